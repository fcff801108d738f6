# Sourced by the session scripts of the real-X-server tests (inside Xvfb):
# a window manager, starting the program, and waiting for it to end.
set -uo pipefail
fail() { echo "FAIL: $*"; import -window root "$SCREENSHOTS/x11-failure.png" 2>/dev/null; exit 1; }

source "$(dirname "${BASH_SOURCE[0]}")/../support/x11_window_manager.sh"
start_window_manager || fail "the window manager never announced itself"

# Starts the program and waits for its main window; sets pid, window and
# the window's geometry (X, Y, WIDTH, HEIGHT).
start_program() {
  "$PROGRAM_DIR/albireo" 2>>"$WORK/albireo.err" &
  pid=$!
  window=$(xdotool search --sync --onlyvisible --limit 1 --name '^Albireo$' 2>/dev/null) || fail "no window titled Albireo"
  sleep 1
  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
  eval "$(xdotool getwindowgeometry --shell "$window")"
}

# Waits for the program to end by itself; fails with `why` when it does not.
ends() {
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
  if kill -0 "$pid" 2>/dev/null; then kill "$pid"; fail "$1"; fi
  wait "$pid" || fail "albireo exited with $?: $(cat "$WORK/albireo.err")"
}

# Closes the window with a real click on the caption's close button (10
# pixels in from the right edge, 11 down, 30 x 24) and waits for the end.
close_by_button() {
  xdotool mousemove --sync $((X + WIDTH - 10 - 15)) $((Y + 11 + 12)) click 1
  ends "the close button did not close the window"
}
