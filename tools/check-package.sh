#!/usr/bin/env bash
# Installs the Debian package on this machine with apt-get, runs Albireo from
# /usr/bin, removes (purges) the package again and checks that the user's
# library and settings are untouched. Needs root or sudo.
#   tools/check-package.sh [build folder]     (default: build)
# The package is built first (cpack -G DEB in the build folder).
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
config=${XDG_CONFIG_HOME:-$HOME/.config}/Albireo
data=${XDG_DATA_HOME:-$HOME/.local/share}/Albireo
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
step() { echo "== $*"; }

# A fingerprint of the user's settings and library: every file's name and checksum.
fingerprint() {
    for folder in "$config" "$data"; do
        [ -d "$folder" ] && find "$folder" -type f -print0 | sort -z | xargs -0 -r sha256sum
    done
    true
}

step "building the package"
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/albireo_*.deb | head -1)
echo "$deb"
dpkg-deb -f "$deb" Package Version Depends

step "the user's settings and library before: $config, $data"
fingerprint | tee "$scratch/before"
[ -s "$scratch/before" ] || echo "(the user has no Albireo settings or library yet)"

step "apt-get install $deb"
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$deb" | tr "\r" "\n" | grep -v -e "^(Reading database" -e "^$" | tail -n 3

step "running from /usr/bin"
command -v albireo albireo-cli
albireo --version
albireo-cli --version
albireo-cli drives
man -w albireo albireo-cli
desktop-file-validate /usr/share/applications/albireo.desktop && echo "desktop entry valid"
appstreamcli validate --no-net /usr/share/metainfo/com.quorvel.albireo.metainfo.xml
[ -f /usr/share/mime/application/x-nrg.xml ] && echo "MIME database knows application/x-nrg"

# An import from the installed program, on fresh settings and a fresh library
# of its own, so that the user's are not written.
mkdir -p "$scratch/disc/Docs" && echo "installed" >"$scratch/disc/Docs/readme.txt"
xorriso -as mkisofs -quiet -R -J -V CHECK -o "$scratch/check.iso" "$scratch/disc" 2>/dev/null
(
    export XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data
    albireo-cli insert D: "$scratch/check.iso"
    albireo-cli import D: --name "Package check" 2>/dev/null
    albireo-cli search readme
    albireo-cli eject D:
    QT_QPA_PLATFORM=offscreen ALBIREO_RUNTIME_DIR=$scratch/run ALBIREO_UNATTENDED=1 timeout 1 albireo && status=0 || status=$?
    [ "$status" -eq 124 ] && echo "albireo ran for a second and was stopped" || { echo "albireo ended with $status"; exit 1; }
)

step "apt-get purge albireo"
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q albireo | tr "\r" "\n" | grep -v -e "^(Reading database" -e "^$" | tail -n 2
for gone in /usr/bin/albireo /usr/bin/albireo-cli /usr/lib/albireo /usr/share/applications/albireo.desktop; do
    [ ! -e "$gone" ] || { echo "FAILED: $gone is still there"; exit 1; }
done
echo "program files removed"

step "the user's settings and library after"
fingerprint >"$scratch/after"
if ! diff "$scratch/before" "$scratch/after"; then
    echo "FAILED: the user's settings or library changed"
    exit 1
fi
[ -f "$scratch/data/Albireo/library.db" ] || { echo "FAILED: the library written by the installed program is gone"; exit 1; }
echo "the user's settings and library are untouched; the library written by the installed program is still there"
echo "check-package: passed"
