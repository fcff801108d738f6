#!/usr/bin/env bash
# Builds the Debian package from a build folder, unpacks it into a temporary
# root and checks it there: the layout, the desktop entry, the AppStream
# metadata, the manual pages, the icons, the package's dependencies, the
# executables' versions, an import of a generated image with fresh settings,
# bash completion over that library, and a start of the window program.
#   package_test.sh <build folder>
# Exit code 77 (skipped) where dpkg-deb is missing.
set -uo pipefail
build=$(cd "$1" && pwd)
command -v dpkg-deb >/dev/null || { echo "dpkg-deb is missing: skipped"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
check() { local what=$1; shift; "$@" >"$work/out" 2>&1 || { fail "$what"; cat "$work/out"; }; }

# The package, staged and written under the temporary folder.
if ! cpack -G DEB -B "$work/package" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"; echo "FAILED: cpack"; exit 1
fi
deb=$(ls "$work"/package/albireo_*.deb)
version=$(dpkg-deb -f "$deb" Version)
depends=$(dpkg-deb -f "$deb" Depends)
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"
echo "depends: $depends"
root=$work/root
dpkg-deb -x "$deb" "$root"

# Layout: executables linked from /usr/bin into the program folder, which
# holds the components and the data; desktop files under /usr/share.
program=$root/usr/lib/albireo
for file in usr/lib/albireo/albireo usr/lib/albireo/albireo-cli usr/lib/albireo/libStackvault.so \
            usr/lib/albireo/libStackvaultPicture.so usr/lib/albireo/libAlbireoLabels.so \
            usr/lib/albireo/libTrellis.so usr/lib/albireo/Lingmere/libLingmere.so usr/lib/albireo/DllPath.ini \
            usr/lib/albireo/FlwRC.res usr/lib/albireo/Language/DefaultTagTranslation.xml \
            usr/lib/albireo/Image/Dialogs/MessageBox/icon_warning.png \
            usr/lib/albireo/Image/Dialogs/MessageBox/icon_warning@2x.png usr/lib/albireo/Help/albireo.html \
            usr/share/applications/albireo.desktop usr/share/metainfo/com.quorvel.albireo.metainfo.xml \
            usr/share/mime/packages/albireo.xml usr/share/bash-completion/completions/albireo-cli \
            usr/share/man/man1/albireo.1.gz usr/share/man/man1/albireo-cli.1.gz \
            usr/share/icons/hicolor/scalable/apps/albireo.svg; do
    [ -f "$root/$file" ] || fail "missing /$file"
done
for exe in albireo albireo-cli; do
    [ "$(readlink -f "$root/usr/bin/$exe")" = "$program/$exe" ] || fail "/usr/bin/$exe does not lead to /usr/lib/albireo/$exe"
done
outside=$(cd "$root" && find . -mindepth 1 -maxdepth 1 ! -name usr)
[ -z "$outside" ] || fail "files outside /usr: $outside"
for side in 16 22 24 32 48 64 128 256 512; do
    png=$root/usr/share/icons/hicolor/${side}x${side}/apps/albireo.png
    size=$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print("%dx%d" % struct.unpack(">II", d[16:24]) if d[:8]==b"\x89PNG\r\n\x1a\n" else "none")' "$png" 2>/dev/null)
    [ "$size" = "${side}x${side}" ] || fail "icon ${side}x${side} is $size"
done
grep -q '<svg' "$root/usr/share/icons/hicolor/scalable/apps/albireo.svg" || fail "the scalable icon is no SVG drawing"
for lib in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libsqlite3-0 libcdio19; do
    [[ $depends == *"$lib "* || $depends == *"$lib," || $depends == *"$lib" ]] || fail "Depends lacks $lib"
done
[[ $depends != *albireo* ]] || fail "the package depends on itself"
# Native on Wayland: the platform plugin comes along where the desktop has it.
[[ $(dpkg-deb -f "$deb" Recommends) == *qt6-wayland* ]] || fail "Recommends lacks qt6-wayland"
# The dock finds the entry by the window's class (X11) and app id (Wayland).
grep -qx 'StartupWMClass=albireo' "$root/usr/share/applications/albireo.desktop" ||
    fail "StartupWMClass is not the entry's own name, albireo"

# Desktop entry, metadata, MIME package, manual pages, completion script.
check "desktop-file-validate" desktop-file-validate "$root/usr/share/applications/albireo.desktop"
check "appstreamcli validate" appstreamcli validate --no-net "$root/usr/share/metainfo/com.quorvel.albireo.metainfo.xml"
check "appstreamcli validate-tree" appstreamcli validate-tree --no-net "$root"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/com.quorvel.albireo.metainfo.xml" ||
    fail "the metadata's release is not $version"
check "MIME package" python3 -c 'import sys, xml.dom.minidom as m; m.parse(sys.argv[1])' "$root/usr/share/mime/packages/albireo.xml"
for page in albireo albireo-cli; do
    zcat "$root/usr/share/man/man1/$page.1.gz" | grep -q "^\.TH ${page^^} 1 .*\"Albireo $version\"" ||
        fail "manual page $page.1 lacks its title line with version $version"
done
check "completion script syntax" bash -n "$root/usr/share/bash-completion/completions/albireo-cli"

# The executables, run from the unpacked root with fresh settings.
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data ALBIREO_TRELLIS_DEVICE_DIR=$work/no-drives
unset ALBIREO_REGISTRY_USER ALBIREO_REGISTRY_MACHINE ALBIREO_LIBRARY_DB ALBIREO_PROGRAM_DIR ALBIREO_DUMPMSG
mkdir -p "$ALBIREO_TRELLIS_DEVICE_DIR"
cli=$root/usr/bin/albireo-cli
[ "$("$cli" --version)" = "albireo-cli $version" ] || fail "albireo-cli --version: $("$cli" --version 2>&1)"
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/albireo" --version)" = "albireo $version" ] ||
    fail "albireo --version: $("$root/usr/bin/albireo" --version 2>&1)"

# The machine settings of the unpacked root are its etc/albireo/machine.reg:
# a damaged one is reported under that name.
mkdir -p "$root/etc/albireo"
echo "not a settings store" >"$root/etc/albireo/machine.reg"
"$cli" drives >/dev/null 2>"$work/drives.err"
grep -q "$root/etc/albireo/machine.reg" "$work/drives.err" || { fail "machine settings not read from $root/etc/albireo"; cat "$work/drives.err"; }
rm -rf "$root/etc"

mkdir -p "$work/disc/DCIM/Trip" && echo "a picture" >"$work/disc/DCIM/Trip/IMG_4001.JPG"
xorriso -as mkisofs -quiet -R -J -V HOLIDAY -o "$work/holiday.iso" "$work/disc" 2>/dev/null || fail "xorriso"
check "insert" "$cli" insert D: "$work/holiday.iso"
check "import" "$cli" import D: --name "Package Test" --tags Photo
"$cli" discs | grep -q $'\tPackage Test\t' || fail "the imported disc is not listed"
"$cli" search IMG_4001 | grep -qF 'DCIM\\Trip\\IMG_4001.JPG' || fail "the imported file is not found"

# Completion: drive letters and disc names come from the unpacked albireo-cli.
if [ -f /usr/share/bash-completion/bash_completion ]; then
    complete_words() {
        PATH="$root/usr/bin:$PATH" bash -c '
            source /usr/share/bash-completion/bash_completion
            source "$1"; shift
            COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
            _albireo_cli; printf "%s\n" "${COMPREPLY[@]}"' _ "$root/usr/share/bash-completion/completions/albireo-cli" "$@"
    }
    [ "$(complete_words albireo-cli im)" = "import" ] || fail "completion of a command"
    [ "$(complete_words albireo-cli eject "")" = "D:" ] || fail "completion of a drive letter: $(complete_words albireo-cli eject "")"
    [ "$(complete_words albireo-cli ls Pack)" = 'Package\ Test' ] || fail "completion of a disc name: $(complete_words albireo-cli ls Pack)"
    [ "$(complete_words albireo-cli import D: --t)" = "--tags" ] || fail "completion of an option"
    [ "$(complete_words albireo-cli search --co)" = "--count" ] || fail "completion of a search option"
    # A name holding a backslash is offered whole, quoted for the shell.
    "$cli" rename "Package Test" 'Package\Test' || fail "rename"
    [ "$(complete_words albireo-cli tags Pack)" = 'Package\\Test' ] || fail "completion of a name with a backslash: $(complete_words albireo-cli tags Pack)"
else
    echo "bash-completion is missing: completion not exercised"
fi

# The window program starts from the unpacked root and is still running a
# second later; its instance lock is its own, and a message box would be
# answered (and recorded) instead of waiting.
QT_QPA_PLATFORM=offscreen ALBIREO_RUNTIME_DIR=$work/run ALBIREO_UNATTENDED=1 \
    timeout 1 "$root/usr/bin/albireo" >"$work/albireo.log" 2>&1
status=$?
[ $status -eq 124 ] || { fail "albireo ended at start with status $status"; cat "$work/albireo.log"; }
grep -q "unanswered modal run" "$work/albireo.log" && { fail "albireo showed a message at start"; cat "$work/albireo.log"; }

[ $failures -eq 0 ] && echo "package checks passed" || echo "$failures package checks failed"
[ $failures -eq 0 ]
