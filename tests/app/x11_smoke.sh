#!/usr/bin/env bash
# The program on a real X server: start it under Xvfb with a small window
# manager, find its window, type into the search box with real key
# presses, close it with a real click on the caption's close button, and
# check the placement it saved. Exit 77 (skipped) without Xvfb.
set -uo pipefail
program_dir="$1"
screenshots="$2"
source "$(dirname "$0")/x11_common.sh"
x11_prepare

cat > "$work/session.sh" <<'SESSION'
source "$X11_SESSION"
start_program
echo "window $window at $X,$Y size ${WIDTH}x$HEIGHT"
[ "$WIDTH" = 1024 ] && [ "$HEIGHT" = 668 ] || fail "the first start is 1024 x 668, not ${WIDTH}x$HEIGHT"
import -window root "$SCREENSHOTS/x11-main-window.png"
# The search box is at the right end of the command bar, under the caption.
xdotool mousemove --sync $((X + WIDTH - 10 - 236 + 100)) $((Y + 43 + 12)) click 1
xdotool type --delay 60 "IMG"
sleep 1
import -window root "$SCREENSHOTS/x11-search.png"
xdotool key Escape
close_by_button
exit 0
SESSION

x11_run_session 120 || exit 1

# The placement the window saved: 1024 wide, 668 high, not maximised
# (4-byte little-endian values in the settings file).
grep -q 'AlbWnd_PosW 3 00040000' "$work/config/user.reg" || { echo "FAIL: width not saved"; cat "$work/config/user.reg"; exit 1; }
grep -q 'AlbWnd_PosH 3 9c020000' "$work/config/user.reg" || { echo "FAIL: height not saved"; exit 1; }
grep -q 'AlbWnd_PosS 3 00000000' "$work/config/user.reg" || { echo "FAIL: maximised flag not saved"; exit 1; }
echo "x11 smoke: passed"
