#!/usr/bin/env bash
# One whole import on a real X server, by real clicks and key presses: a
# disc image in the image drive, a click on the import button, Return in
# the drive dialog, the details dialog and the question, the scan, Return
# on the end message; a screenshot at each step (import-*.png). The library
# must then hold the disc. Exit 77 (skipped) without Xvfb and its tools.
set -uo pipefail
program_dir="$1"
screenshots="$2"
for tool in xvfb-run xdotool openbox import xorriso; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export ALBIREO_REGISTRY_USER="$work/config/user.reg" ALBIREO_REGISTRY_MACHINE="$work/machine.reg"
export ALBIREO_RUNTIME_DIR="$work/run" ALBIREO_TRELLIS_DEVICE_DIR="$work/devices"
unset ALBIREO_PROGRAM_DIR ALBIREO_LIBRARY_DB QT_QPA_PLATFORM ALBIREO_UNATTENDED
mkdir -p "$screenshots" "$work/devices" "$work/tree/Pictures"
head -c 5000 /dev/urandom >"$work/tree/Pictures/harbour.jpg"
echo "postcards from the coast" >"$work/tree/readme.txt"
xorriso -as mkisofs -quiet -R -J -V COAST_2025 -o "$work/coast.iso" "$work/tree" 2>/dev/null || { echo "FAIL: xorriso"; exit 1; }
"$program_dir/albireo-cli" insert D "$work/coast.iso" || { echo "FAIL: the image drive D did not take the image"; exit 1; }

cat > "$work/session.sh" <<'SESSION'
set -uo pipefail
fail() { echo "FAIL: $*"; import -window root "$SCREENSHOTS/import-failure.png"; exit 1; }
# A visible window titled Albireo besides the main window and $1 (or nothing).
dialog_besides() {
  xdotool search --onlyvisible --name '^Albireo$' 2>/dev/null | grep -vx -e "$window" -e "${1:-none}" | head -1
}
# Waits (up to 30 s) for such a window; prints its id.
await_dialog() {
  for _ in $(seq 150); do
    local found; found=$(dialog_besides "${1:-}")
    [ -n "$found" ] && { sleep 0.5; echo "$found"; return 0; }
    sleep 0.2
  done
  fail "no dialog appeared (step $2)"
}
await_named() {
  for _ in $(seq 150); do xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 && { sleep 0.5; return 0; }; sleep 0.2; done
  fail "no window titled $1 appeared (step $2)"
}
openbox --sm-disable >/dev/null 2>&1 &
sleep 1
"$PROGRAM_DIR/albireo" 2>"$WORK/albireo.err" &
pid=$!
window=$(xdotool search --sync --onlyvisible --limit 1 --name '^Albireo$' 2>/dev/null) || fail "no window titled Albireo"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"
import -window root "$SCREENSHOTS/import-1-window.png"
# The import button: the first button of the command bar, under the caption.
xdotool mousemove --sync $((X + 29)) $((Y + 55)) click 1
drive=$(await_dialog "" "drive dialog") || exit 1
import -window root "$SCREENSHOTS/import-2-drive.png"
xdotool key Return
await_named '^Disc Information$' "details" || exit 1
import -window root "$SCREENSHOTS/import-3-details.png"
# Its Import button (the focus starts on the label's camera button).
details=$(xdotool search --onlyvisible --name '^Disc Information$' | head -1)
eval "$(xdotool getwindowgeometry --shell "$details" | sed 's/^/D_/')"
xdotool mousemove --sync $((D_X + D_WIDTH - 292 + 68)) $((D_Y + D_HEIGHT - 22)) click 1
question=$(await_dialog "$drive" "question") || exit 1
import -window root "$SCREENSHOTS/import-4-question.png"
xdotool key Return
# The scan is short; its end is a new message box.
for _ in $(seq 150); do
  done_box=$(dialog_besides "$question")
  [ -n "$done_box" ] && [ "$done_box" != "$drive" ] && break
  sleep 0.2
done
[ -n "$done_box" ] || fail "no message at the end of the import"
sleep 0.5
import -window root "$SCREENSHOTS/import-5-done.png"
xdotool key Return
for _ in $(seq 50); do [ -z "$(dialog_besides none)" ] && break; sleep 0.2; done
sleep 0.5
import -window root "$SCREENSHOTS/import-6-listed.png"
xdotool mousemove --sync $((X + WIDTH - 10 - 15)) $((Y + 11 + 12)) click 1
for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.2; done
kill -0 $pid 2>/dev/null && fail "the window did not close"
wait $pid || fail "albireo exited with $?: $(cat "$WORK/albireo.err")"
exit 0
SESSION

# Its own range of display numbers: two "-a" servers started at once pick the same one.
PROGRAM_DIR="$program_dir" WORK="$work" SCREENSHOTS="$screenshots" \
  timeout 150 xvfb-run -a -n 180 -s "-screen 0 1280x800x24" bash "$work/session.sh" || exit 1

discs=$("$program_dir/albireo-cli" discs) || { echo "FAIL: albireo-cli discs"; exit 1; }
grep -q "COAST_2025" <<<"$discs" || { echo "FAIL: the disc is not in the library: $discs"; exit 1; }
echo "x11 import: passed"
