#!/usr/bin/env bash
# The main window's keys on a real X server: F6 walks the panes (a
# screenshot of each), then the menu bar is driven with real key presses:
# Alt, then the letters of File and Exit, must end the program; so must F10
# and the letter of Exit. Exit 77 (skipped) without Xvfb.
set -uo pipefail
program_dir="$1"
screenshots="$2"
source "$(dirname "$0")/x11_common.sh"
x11_prepare

cat > "$work/session.sh" <<'SESSION'
source "$X11_SESSION"

start_program
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

start_program
xdotool key F10
sleep 0.3
xdotool key x
ends "F10, X did not choose File > Exit"
exit 0
SESSION

x11_run_session 160 || exit 1
echo "x11 keys: passed"
