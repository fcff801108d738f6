#!/usr/bin/env bash
# One whole import on a real X server, by real clicks and key presses: a
# disc image in the image drive, a click on the import button, Return in
# the drive dialog, the details dialog and the question, the scan, Return
# on the end message; a screenshot at each step (import-*.png). The library
# must then hold the disc. A second import, of a disc of many files, is
# ended by the window manager closing the window during the scan: the
# program must end cleanly and the library keep nothing of that disc.
# Exit 77 (skipped) without Xvfb and its tools.
set -uo pipefail
program_dir="$1"
screenshots="$2"
source "$(dirname "$0")/x11_common.sh"
x11_prepare xorriso wmctrl
# Message boxes are answered by the keys here, and the image drives live in the work folder.
unset ALBIREO_UNATTENDED
export ALBIREO_TRELLIS_DEVICE_DIR="$work/devices"
mkdir -p "$work/devices" "$work/tree/Pictures"
head -c 5000 /dev/urandom >"$work/tree/Pictures/harbour.jpg"
echo "postcards from the coast" >"$work/tree/readme.txt"
xorriso -as mkisofs -quiet -R -J -V COAST_2025 -o "$work/coast.iso" "$work/tree" 2>/dev/null || { echo "FAIL: xorriso"; exit 1; }
"$program_dir/albireo-cli" insert D "$work/coast.iso" || { echo "FAIL: the image drive D did not take the image"; exit 1; }
# 600000 one-byte files grafted from one source file: a scan that lasts a
# few seconds even on a fast idle machine (200000 were over in under one
# once the import's writes got leaner).
echo x >"$work/one.dat"
for i in $(seq 0 599999); do echo "/d$((i % 1000))/file$i.dat=$work/one.dat"; done >"$work/many.paths"
xorriso -as mkisofs -quiet -R -V MANY_FILES -graft-points -path-list "$work/many.paths" -o "$work/many.iso" 2>/dev/null ||
    { echo "FAIL: xorriso (many files)"; exit 1; }

cat > "$work/session.sh" <<'SESSION'
source "$X11_SESSION"
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
start_program
import -window root "$SCREENSHOTS/import-1-window.png"
# Up to the start of the scan: the import button (the first button of the
# command bar, under the caption), Return in the drive dialog, the details
# dialog (the keyboard starts on its Import button) and the question.
start_import() {
  xdotool mousemove --sync $((X + 29)) $((Y + 55)) click 1
  drive=$(await_dialog "" "drive dialog") || exit 1
  import -window root "$SCREENSHOTS/import-$1-drive.png"
  xdotool key Return
  await_named '^Disc Information$' "details" || exit 1
  import -window root "$SCREENSHOTS/import-$2-details.png"
  xdotool key Return
  question=$(await_dialog "$drive" "question") || exit 1
  import -window root "$SCREENSHOTS/import-$3-question.png"
  xdotool key Return
}
start_import 2 3 4
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
close_by_button

"$PROGRAM_DIR/albireo-cli" insert D "$WORK/many.iso" >/dev/null || fail "the image drive D did not take the second image"
start_program
start_import 7 8 9
await_named '^Importing Disc$' "progress window" || exit 1
import -window root "$SCREENSHOTS/import-10-scanning.png"
xdotool search --onlyvisible --name '^Importing Disc$' >/dev/null 2>&1 ||
  fail "the scan ended before the window could be closed during it (a disc of more files is needed)"
# The window manager's close (_NET_CLOSE_WINDOW), as its title bar menu or
# Alt+F4 gives it, while the scan runs.
wmctrl -i -c "$window"
ends "the window manager's close did not end the program during the scan"
exit 0
SESSION

x11_run_session 180 300 || exit 1

discs=$("$program_dir/albireo-cli" discs) || { echo "FAIL: albireo-cli discs"; exit 1; }
grep -q "COAST_2025" <<<"$discs" || { echo "FAIL: the disc is not in the library: $discs"; exit 1; }
[ "$(wc -l <<<"$discs")" -eq 1 ] || { echo "FAIL: the disc whose scan was cut short is in the library: $discs"; exit 1; }
"$program_dir/albireo-cli" check --full || { echo "FAIL: the library is not sound after the close"; exit 1; }
echo "x11 import: passed"
