#!/usr/bin/env bash
# The window's frame on a real X server, by real clicks (press and release
# 20 ms apart) and drags: a quick click on the caption or on a dialog's
# background moves nothing, and the keyboard still works after it; a drag
# moves the window, which stays put after the release; every caption button
# answers a quick click, Minimise while maximised included; the window does
# not shrink below its minimum. Exit 77 (skipped) without Xvfb.
set -uo pipefail
program_dir="$1"
screenshots="$2"
source "$(dirname "$0")/x11_common.sh"
x11_prepare
# The drive dialog is really shown here.
unset ALBIREO_UNATTENDED

cat > "$work/session.sh" <<'SESSION'
source "$X11_SESSION"
# A real click: press and release 20 ms apart, as a touchpad tap gives.
tap() { xdotool mousemove --sync "$1" "$2" mousedown 1 sleep 0.02 mouseup 1; sleep 0.4; }
# A drag from (x, y) by (dx, dy) in small steps, the button held.
drag() {
  xdotool mousemove --sync "$1" "$2" mousedown 1
  for step in 1 2 3 4 5 6 7 8; do xdotool mousemove --sync $(($1 + $3 * step / 8)) $(($2 + $4 * step / 8)); sleep 0.03; done
  xdotool mouseup 1
  sleep 0.4
}
position_of() { xdotool getwindowgeometry --shell "$1" | grep -E '^(X|Y)=' | tr '\n' ' '; }
size_of() { xdotool getwindowgeometry --shell "$1" | grep -E '^(WIDTH|HEIGHT)=' | tr '\n' ' '; }
state_of() { xprop -id "$window" _NET_WM_STATE WM_STATE 2>/dev/null; }
# Caption buttons from the right edge: close, maximise, minimise (30 x 24, 7 apart, 11 down).
button_x() { echo $((X + WIDTH - 10 - 15 - $1 * 37)); }

start_program
caption_y=$((Y + 20))
title_x=$((X + WIDTH / 2))

# A quick click on the caption, then the pointer wanders: nothing moves.
before=$(position_of "$window")
tap "$title_x" "$caption_y"
xdotool mousemove --sync $((title_x + 150)) $((caption_y + 120)); sleep 0.4
[ "$(position_of "$window")" = "$before" ] || fail "a click on the caption moved the window: $before -> $(position_of "$window")"

# A drag moves it by the drag, and the release ends the move.
drag "$title_x" "$caption_y" 120 80
eval "$(xdotool getwindowgeometry --shell "$window")"
moved=$(position_of "$window")
[ "$moved" != "$before" ] || fail "a drag on the caption did not move the window"
xdotool mousemove --sync 50 50; sleep 0.4
[ "$(position_of "$window")" = "$moved" ] || fail "the window followed the pointer after the release"
import -window root "$SCREENSHOTS/x11-frame-dragged.png"

# The smallest size: no smaller than 450 x 320, however it is asked.
xdotool windowsize --sync "$window" 200 150 2>/dev/null; sleep 0.6
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$WIDTH" -ge 450 ] && [ "$HEIGHT" -ge 320 ] || fail "the window shrank to ${WIDTH}x$HEIGHT"
import -window root "$SCREENSHOTS/x11-frame-smallest.png"
xdotool windowsize --sync "$window" 900 600; sleep 0.6
eval "$(xdotool getwindowgeometry --shell "$window")"

# A dialog: a quick click on its background leaves it where it is, and Tab
# and Escape still reach it.
xdotool key ctrl+i
dialog=""
for _ in $(seq 100); do
  dialog=$(xdotool search --onlyvisible --name '^Albireo$' 2>/dev/null | grep -vx "$window" | head -1)
  [ -n "$dialog" ] && break
  sleep 0.2
done
[ -n "$dialog" ] || fail "Ctrl+I opened no drive dialog"
sleep 0.5
eval "$(xdotool getwindowgeometry --shell --prefix D_ "$dialog")"
dialog_before=$(position_of "$dialog")
tap $((D_X + 40)) $((D_Y + D_HEIGHT / 2))
xdotool mousemove --sync $((D_X + 200)) $((D_Y + 200)); sleep 0.4
[ "$(position_of "$dialog")" = "$dialog_before" ] || fail "a click on the dialog moved it"
xdotool key Tab; sleep 0.2
xdotool key Escape
for _ in $(seq 50); do xdotool search --onlyvisible --name '^Albireo$' 2>/dev/null | grep -qvx "$window" || break; sleep 0.2; done
xdotool search --onlyvisible --name '^Albireo$' 2>/dev/null | grep -qvx "$window" && fail "Escape did not reach the dialog after a click on it"

# Maximise, then Minimise while maximised, each by one quick click.
xdotool windowactivate --sync "$window" 2>/dev/null
tap "$(button_x 1)" $((Y + 23))
for _ in $(seq 20); do state_of | grep -q MAXIMIZED_HORZ && break; sleep 0.2; done
state_of | grep -q MAXIMIZED_HORZ || fail "Maximise did not maximise: $(state_of)"
eval "$(xdotool getwindowgeometry --shell "$window")"
import -window root "$SCREENSHOTS/x11-frame-maximised.png"
tap "$(button_x 2)" $((Y + 23))
for _ in $(seq 20); do state_of | grep -q 'Iconic' && break; sleep 0.2; done
state_of | grep -q 'Iconic' || fail "Minimise did nothing while maximised: $(state_of)"

# Back, and the maximise button (now Restore) and Close answer quick clicks.
xdotool windowactivate --sync "$window" 2>/dev/null; sleep 0.6
eval "$(xdotool getwindowgeometry --shell "$window")"
tap "$(button_x 1)" $((Y + 23))
for _ in $(seq 20); do state_of | grep -q MAXIMIZED_HORZ || break; sleep 0.2; done
state_of | grep -q MAXIMIZED_HORZ && fail "Restore did not restore"
eval "$(xdotool getwindowgeometry --shell "$window")"
tap "$(button_x 0)" $((Y + 23))
ends "one quick click on Close did not close the window"
exit 0
SESSION

x11_run_session 140 || exit 1
echo "x11 frame: passed"
