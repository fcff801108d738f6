#!/usr/bin/env bash
# The program on a real X server: start it under Xvfb with a small window
# manager, find its window, type into the search box with real key
# presses, close it with a real click on the caption's close button, and
# check the placement it saved. Exit 77 (skipped) without Xvfb.
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
"$PROGRAM_DIR/albireo" 2>"$WORK/albireo.err" &
pid=$!
window=$(xdotool search --sync --onlyvisible --limit 1 --name '^Albireo$' 2>/dev/null) || fail "no window titled Albireo"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"
echo "window $window at $X,$Y size ${WIDTH}x$HEIGHT"
[ "$WIDTH" = 1024 ] && [ "$HEIGHT" = 668 ] || fail "the first start is 1024 x 668, not ${WIDTH}x$HEIGHT"
import -window root "$SCREENSHOTS/x11-main-window.png"
# The search box is at the right end of the command bar, under the caption.
xdotool mousemove --sync $((X + WIDTH - 10 - 236 + 100)) $((Y + 43 + 12)) click 1
xdotool type --delay 60 "IMG"
sleep 1
import -window root "$SCREENSHOTS/x11-search.png"
xdotool key Escape
# The close button: 10 pixels in from the right edge, 11 down, 30 x 24.
xdotool mousemove --sync $((X + WIDTH - 10 - 15)) $((Y + 11 + 12)) click 1
for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.2; done
kill -0 $pid 2>/dev/null && fail "the close button did not close the window"
wait $pid || fail "albireo exited with $?: $(cat "$WORK/albireo.err")"
exit 0
SESSION

# Its own range of display numbers: two "-a" servers started at once pick the same one.
PROGRAM_DIR="$program_dir" WORK="$work" SCREENSHOTS="$screenshots" \
  xvfb-run -a -n 120 -s "-screen 0 1280x800x24" bash "$work/session.sh" || exit 1

# The placement the window saved: 1024 wide, 668 high, not maximised
# (4-byte little-endian values in the settings file).
grep -q 'AlbWnd_PosW 3 00040000' "$work/config/user.reg" || { echo "FAIL: width not saved"; cat "$work/config/user.reg"; exit 1; }
grep -q 'AlbWnd_PosH 3 9c020000' "$work/config/user.reg" || { echo "FAIL: height not saved"; exit 1; }
grep -q 'AlbWnd_PosS 3 00000000' "$work/config/user.reg" || { echo "FAIL: maximised flag not saved"; exit 1; }
echo "x11 smoke: passed"
