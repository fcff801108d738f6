#!/usr/bin/env bash
# The program on a real Wayland compositor: weston without a screen
# (headless, drawn by pixman) at output scale 1 and 2, and at output scale 1
# with the desktop's own scale 150 % (QT_SCALE_FACTOR). Each time the
# program starts natively on Wayland under the desktop entry's name (app id
# "albireo"), its window is mapped with a buffer as dense as the output, a
# second start hands its disc image over to the running window, says
# where that window is (weston cannot bring it forward) and ends,
# and weston's screenshot of the output is written (wayland-scale-*.png).
# Every run has its own run-time folder and socket. Exit 77 (skipped)
# without weston or Qt's Wayland platform plugin.
set -uo pipefail
program_dir="$1"
screenshots="$2"
source "$(dirname "$0")/x11_common.sh"
wayland_prepare weston

compositor=""
program=""
stop_all() {
  [ -n "$program" ] && kill "$program" 2>/dev/null && wait "$program" 2>/dev/null
  [ -n "$compositor" ] && kill "$compositor" 2>/dev/null && wait "$compositor" 2>/dev/null
  program="" compositor=""
}
trap 'stop_all; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; tail -5 "$run/weston.log"; grep -v '^\[' "$run/albireo.log" | tail -20; exit 1; }
# Waits up to a minute for `pattern` in `file`.
wait_for() {
  for _ in $(seq 300); do grep -qE "$2" "$1" 2>/dev/null && return 0; sleep 0.2; done
  return 1
}

for setting in "1 1 100" "2 1 200" "1 1.5 150"; do
  read -r output factor percent <<<"$setting"
  run="$work/run-$percent"
  mkdir -m 700 -p "$run/xdg"
  export XDG_RUNTIME_DIR="$run/xdg" WAYLAND_DISPLAY="albireo-test-$$-$percent"
  weston --backend=headless-backend.so --use-pixman --socket="$WAYLAND_DISPLAY" --width=1600 --height=1000 \
    --scale="$output" --idle-time=0 --debug >"$run/weston.log" 2>&1 &
  compositor=$!
  wait_for "$run/weston.log" "launching '.*weston-desktop-shell'" || fail "weston did not start at scale $output"
  rm -rf "$XDG_CONFIG_HOME"

  QT_QPA_PLATFORM=wayland QT_SCALE_FACTOR="$factor" WAYLAND_DEBUG=1 "$program_dir/albireo" >"$run/albireo.log" 2>&1 &
  program=$!
  wait_for "$run/albireo.log" 'xdg_toplevel@[0-9]+\.set_app_id\("albireo"\)' ||
    fail "at $percent % no window with the app id albireo"
  wait_for "$run/albireo.log" 'wl_surface@[0-9]+\.attach\(wl_buffer@' || fail "at $percent % the window was never drawn"
  if [ "$output" -gt 1 ]; then
    grep -qE "wl_surface@[0-9]+\.set_buffer_scale\($output\)" "$run/albireo.log" ||
      fail "on the output of scale $output the window's buffer is not as dense"
  fi
  kill -0 "$program" 2>/dev/null || fail "at $percent % the program ended: $(tail -3 "$run/albireo.log")"
  sleep 2
  (cd "$run" && weston-screenshooter >/dev/null 2>&1) && mv "$run"/wayland-screenshot-*.png "$screenshots/wayland-scale-$percent.png" ||
    echo "note: weston gave no screenshot at $percent %"

  # A second start hands the image over and ends; the running window takes it.
  QT_QPA_PLATFORM=wayland QT_SCALE_FACTOR="$factor" timeout 60 "$program_dir/albireo" "$work/disc.iso" >"$run/second.log" 2>&1
  wait_for "$run/albireo.log" "start path from another instance: $work/disc.iso" ||
    fail "at $percent % the running window did not receive the second start's image"
  # weston offers no xdg-activation: the window stays behind, and the second start says so.
  grep -q "unanswered modal run: .*already open and has taken the disc image" "$run/second.log" ||
    fail "at $percent % the second start did not say where the window is: $(cat "$run/second.log")"
  kill -0 "$program" 2>/dev/null || fail "at $percent % the running program ended after the hand-over"
  stop_all
done
echo "wayland smoke: passed"
