# Shared by the tests that run the program on a real X server or Wayland
# compositor; sourced after `program_dir` and `screenshots` are set.

# x11_prepare [TOOL...]: exits 77 (skipped) unless Xvfb, xdotool, openbox,
# xprop, ImageMagick's import and the given tools are installed; makes a work
# folder, removed at exit, holding the program's settings and run-time
# folders, and the screenshots folder. Message boxes are answered
# unattended unless the caller unsets ALBIREO_UNATTENDED.
x11_prepare() {
  local tool
  for tool in xvfb-run xdotool openbox xprop import "$@"; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
  done
  isolated_environment
}

# wayland_prepare TOOL...: exits 77 (skipped) unless the given tools (a
# compositor and what drives it) and Qt's Wayland platform plugin are
# installed; then the isolated environment, with the program's messages
# written to its error output and an image ($work/disc.iso) to hand over.
wayland_prepare() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
  done
  compgen -G "/usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so" >/dev/null ||
    { echo "skipped: Qt's Wayland platform plugin (qt6-wayland) is not installed"; exit 77; }
  isolated_environment
  export ALBIREO_DUMPMSG=1
  head -c 65536 /dev/zero > "$work/disc.iso"
}

# isolated_environment: the work folder (removed at exit) with the program's
# own settings, library and run-time folders, and the screenshots folder.
isolated_environment() {
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
  export ALBIREO_REGISTRY_USER="$work/config/user.reg" ALBIREO_REGISTRY_MACHINE="$work/machine.reg"
  export ALBIREO_RUNTIME_DIR="$work/run" ALBIREO_UNATTENDED=1
  unset ALBIREO_PROGRAM_DIR ALBIREO_LIBRARY_DB QT_QPA_PLATFORM
  mkdir -p "$screenshots"
}

# x11_run_session FIRST_DISPLAY [SECONDS] [SCREEN]: runs $work/session.sh
# under Xvfb, on a screen of SCREEN pixels (1280x800 unless given).
# Each test has its own range of display numbers: two "-a" servers started
# at once pick the same one. The session can source $X11_SESSION.
x11_run_session() {
  PROGRAM_DIR="$program_dir" WORK="$work" SCREENSHOTS="$screenshots" \
    X11_SESSION="$(dirname "${BASH_SOURCE[0]}")/x11_session.sh" \
    timeout "${2:-150}" xvfb-run -a -n "$1" -s "-screen 0 ${3:-1280x800}x24" bash "$work/session.sh"
}
