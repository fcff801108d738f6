#!/usr/bin/env bash
# Run inside an X server (xvfb-run): starts a window manager and the message
# box probe, waits until the box is the active window, presses Return
# through the X test extension and exits with the probe's result code.
#   answer_with_return.sh <probe> <style>
set -u
probe=$1
style=$2
source "$(dirname "$0")/../../support/x11_window_manager.sh"
if ! start_window_manager; then
  echo "the window manager never announced itself" >&2
  kill "$wm" 2>/dev/null
  exit 92
fi
QT_QPA_PLATFORM=xcb "$probe" "$style" &
pid=$!
finish() { kill "$wm" 2>/dev/null; wait "$wm" 2>/dev/null; exit "$1"; }

# The first window of the program that is mapped and viewable.
visible_window() {
  local w
  for w in $(xdotool search --pid "$pid" 2>/dev/null); do
    xwininfo -id "$w" 2>/dev/null | grep -q 'Map State: IsViewable' && { echo "$w"; return 0; }
  done
  return 1
}
window=
for _ in $(seq 1 600); do
  window=$(visible_window) && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$window" ]; then
  if kill -0 "$pid" 2>/dev/null; then
    echo "the message box never showed; windows of the program: $(xdotool search --pid "$pid" 2>&1 | tr '\n' ' ')" >&2
    kill "$pid"
  else
    wait "$pid"
    echo "the message box program ended with $? before it showed" >&2
  fi
  finish 90
fi
# The window manager may still be starting: ask for the focus until it holds.
for _ in $(seq 1 600); do
  xdotool windowactivate "$window" 2>/dev/null
  [ "$(xdotool getactivewindow 2>/dev/null)" = "$window" ] && break
  sleep 0.1
done
if [ "$(xdotool getactivewindow 2>/dev/null)" != "$window" ]; then
  echo "the message box never became active (active window: $(xdotool getactivewindow 2>&1), window manager alive: $(kill -0 "$wm" 2>/dev/null && echo yes || echo no))" >&2
  kill "$pid" 2>/dev/null
  finish 91
fi
xdotool key --clearmodifiers Return
wait "$pid"
finish $?
