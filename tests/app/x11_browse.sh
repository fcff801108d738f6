#!/usr/bin/env bash
# The browsing paths by real key presses on a real X server, each judged by
# comparing screenshots of the window (x11-browse-*.png): emptying the
# search box leaves the disc list as it was; View > Small Icons rests in the
# search results; Back after a search started inside a folder leaves the
# results as they are; a file opened from the results leaves them (and the
# search box) as they were, and Escape in the box is the way back to the
# discs. Exit 77 (skipped) without Xvfb and its tools.
set -uo pipefail
program_dir="$1"
screenshots="$2"
source "$(dirname "$0")/x11_common.sh"
x11_prepare xorriso compare
export ALBIREO_TRELLIS_DEVICE_DIR="$work/devices"
mkdir -p "$work/devices" "$work/bin"
# Files the program hands the desktop are recorded, not opened.
printf '#!/bin/sh\necho "$@" >>"%s/opened"\n' "$work" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
export PATH="$work/bin:$PATH"

import_disc() { # NAME VOLUME FILE...
  local name="$1" volume="$2" tree="$work/tree-$2"
  shift 2
  for file in "$@"; do mkdir -p "$tree/$(dirname "$file")"; head -c 3000 /dev/urandom >"$tree/$file"; done
  xorriso -as mkisofs -quiet -R -J -V "$volume" -o "$work/$volume.iso" "$tree" 2>/dev/null || { echo "FAIL: xorriso"; exit 1; }
  "$program_dir/albireo-cli" insert D "$work/$volume.iso" >/dev/null || { echo "FAIL: insert $volume"; exit 1; }
  "$program_dir/albireo-cli" import D --name "$name" >/dev/null || { echo "FAIL: import $name"; exit 1; }
}
import_disc "Backup March" BACKUP docs/report.txt docs/notes.txt
import_disc "Holiday" HOLIDAY DCIM/beach.jpg DCIM/dunes.jpg readme.txt

cat > "$work/session.sh" <<'SESSION'
source "$X11_SESSION"
# shot NAME list|client: the list, or the list with the command bar above
# it (the location and the search box), right of the tag pane.
shot() {
  local top=72
  [ "$2" = client ] && top=45
  import -window root -crop "$((WIDTH - 240))x$((HEIGHT - top - 8))+$((X + 228))+$((Y + top))" "$SCREENSHOTS/x11-browse-$1.png"
}
pixels_apart() { compare -metric AE "$SCREENSHOTS/x11-browse-$1.png" "$SCREENSHOTS/x11-browse-$2.png" null: 2>&1 | cut -d' ' -f1; }
same() { local d; d=$(pixels_apart "$1" "$2"); [ "$d" = 0 ] || fail "$3 ($d pixels differ between $1 and $2)"; }
differs() { local d; d=$(pixels_apart "$1" "$2"); [ "$d" != 0 ] || fail "$3 ($1 and $2 are the same)"; }
# From the search box (where the keyboard starts) to the list.
to_list() { xdotool key F6; sleep 0.2; xdotool key F6; sleep 0.3; }
# Ctrl+F, then Escape: the search box emptied, the keyboard left in it.
clear_search() { xdotool key ctrl+f; xdotool key Escape; sleep 0.6; }
search_for() { xdotool type --delay 60 "$1"; sleep 1.2; }

# Emptying the search box: the disc list, nothing of the search left.
start_program
shot discs list
search_for e
shot search-e list
differs discs search-e "the search did not show its results"
xdotool key Escape
sleep 0.6
shot cleared list
same discs cleared "the list after Escape is not the disc list"

# View > Small Icons in the search results does nothing.
search_for e
shot results list
xdotool key alt+v
sleep 0.4
import -window root "$SCREENSHOTS/x11-browse-menu-view.png"
xdotool key s
sleep 0.4
xdotool key Escape
sleep 0.5
shot results-after-menu list
same results results-after-menu "View > Small Icons changed the search results"
clear_search

# A search started inside a folder: Back has nothing to go back to.
to_list
xdotool type h
xdotool key Return
sleep 0.5
xdotool type d
xdotool key Return
sleep 0.5
xdotool key ctrl+f
search_for report
to_list
shot results-from-folder client
xdotool key BackSpace
sleep 0.4
xdotool key alt+Left
sleep 0.5
shot after-back client
same results-from-folder after-back "Back left the search results"
clear_search

# A file opened from the results: they stay, the box keeps its text.
search_for beach
to_list
xdotool type b
sleep 0.3
shot file-selected client
xdotool key Return
for _ in $(seq 25); do [ -s "$WORK/opened" ] && break; sleep 0.2; done
grep -q "beach.jpg" "$WORK/opened" 2>/dev/null || fail "the file was not handed to the desktop"
sleep 0.5
shot file-opened client
same file-selected file-opened "opening the file changed the results or the search box"
clear_search
shot way-out list
same discs way-out "Escape in the search box did not lead back to the discs"
close_by_button
exit 0
SESSION

x11_run_session 200 || exit 1
echo "x11 browse: passed"
