#!/usr/bin/env bash
# The main window's keys on a real X server: F6 walks the panes (a
# screenshot of each), then the menu bar is driven with real key presses:
# Alt, then the letters of File and Exit, must end the program; so must F10
# and the letter of Exit. Exit 77 (skipped) without Xvfb.
set -uo pipefail
program_dir="$1"
screenshots="$2"
for tool in xvfb-run xdotool openbox import; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export ALBIREO_REGISTRY_USER="$work/config/user.reg" ALBIREO_REGISTRY_MACHINE="$work/machine.reg"
export ALBIREO_RUNTIME_DIR="$work/run" ALBIREO_UNATTENDED=1
unset ALBIREO_PROGRAM_DIR ALBIREO_LIBRARY_DB QT_QPA_PLATFORM
mkdir -p "$screenshots"

cat > "$work/session.sh" <<'SESSION'
set -uo pipefail
fail() { echo "FAIL: $*"; exit 1; }
openbox --sm-disable >/dev/null 2>&1 &
sleep 1

# Starts the program and waits for its window; sets pid and window.
start() {
  "$PROGRAM_DIR/albireo" 2>>"$WORK/albireo.err" &
  pid=$!
  window=$(xdotool search --sync --onlyvisible --limit 1 --name '^Albireo$' 2>/dev/null) || fail "no window titled Albireo"
  sleep 1
  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
}
# Waits for the program to end by itself; fails with `why` when it does not.
ends() {
  for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.2; done
  if kill -0 $pid 2>/dev/null; then kill $pid; fail "$1"; fi
  wait $pid || fail "albireo exited with $?: $(cat "$WORK/albireo.err")"
}

start
# The keyboard starts in the search box; F6 goes on from there.
for pane in tags list commands search; do
  xdotool key F6
  sleep 0.3
  import -window root "$SCREENSHOTS/x11-focus-$pane.png"
done
xdotool key alt
sleep 0.3
xdotool key f
sleep 0.3
import -window root "$SCREENSHOTS/x11-menu-file.png"
xdotool key x
ends "Alt, F, X did not choose File > Exit"

start
xdotool key F10
sleep 0.3
xdotool key x
ends "F10, X did not choose File > Exit"
exit 0
SESSION

# Its own range of display numbers: two "-a" servers started at once pick the same one.
PROGRAM_DIR="$program_dir" WORK="$work" SCREENSHOTS="$screenshots" \
  xvfb-run -a -n 160 -s "-screen 0 1280x800x24" bash "$work/session.sh" || exit 1
echo "x11 keys: passed"
