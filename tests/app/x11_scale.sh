#!/usr/bin/env bash
# The program on a real X server at desktop scales 100 %, 125 %, 150 %,
# 175 % and 200 % (QT_SCALE_FACTOR, on a 2560 x 1600 screen), and at 150 %
# set the way lightweight desktops set it (Xft.dpi 144 in the X resources): the window maps at 1024 x 668
# logical pixels, that is 1024 x 668 times the scale on the screen, its
# caption's close button answers a real click at its scaled place, and the
# placement is saved in logical pixels with the scale it was taken at.
# Screenshots: x11-scale-100.png ... -200.png and x11-scale-xft-150.png.
# Exit 77 (skipped) without Xvfb or xrdb.
set -uo pipefail
program_dir="$1"
screenshots="$2"
source "$(dirname "$0")/x11_common.sh"
x11_prepare xrdb

display=150
for run in 100 125 150 175 200 xft-150; do
  percent=${run#xft-}
  scale_setting="export QT_SCALE_FACTOR=$((percent / 100)).$((percent % 100))"
  # (set once the window manager holds the server, which would otherwise
  # forget its resources when their setter leaves)
  [ "$run" = "$percent" ] || scale_setting="echo 'Xft.dpi: $((96 * percent / 100))' | xrdb -nocpp -merge"
  rm -rf "$work/config"
  cat > "$work/session.sh" <<SESSION
source "\$X11_SESSION"
$scale_setting
start_program
echo "at $percent %: window \$window at \$X,\$Y size \${WIDTH}x\$HEIGHT"
want_w=\$((1024 * $percent / 100)) want_h=\$((668 * $percent / 100))
[ \$((WIDTH - want_w)) -le 1 ] && [ \$((want_w - WIDTH)) -le 1 ] && [ \$((HEIGHT - want_h)) -le 1 ] &&
  [ \$((want_h - HEIGHT)) -le 1 ] || fail "at $percent % the window is \${WIDTH}x\$HEIGHT, not \${want_w}x\$want_h"
import -window "\$window" "\$SCREENSHOTS/x11-scale-$run.png"
# The close button: 10 logical pixels in from the right edge, 11 down, 30 x 24.
xdotool mousemove --sync \$((X + WIDTH - 25 * $percent / 100)) \$((Y + 23 * $percent / 100)) click 1
ends "the close button at its scaled place did not close the window"
exit 0
SESSION
  x11_run_session "$display" 120 2560x1600 || exit 1
  display=$((display + 10))
  # 1024 x 668 logical pixels (a pixel less where the scale is fractional:
  # the screen's whole pixels divided back), and the scale in percent
  # (4-byte little-endian values).
  scale=$(printf '%02x000000' "$percent")
  grep -qE 'AlbWnd_PosW 3 (00040000|ff030000)' "$work/config/user.reg" || { echo "FAIL: at $percent % the width saved is not 1024"; cat "$work/config/user.reg"; exit 1; }
  grep -qE 'AlbWnd_PosH 3 (9c020000|9b020000)' "$work/config/user.reg" || { echo "FAIL: at $percent % the height saved is not 668"; exit 1; }
  grep -q "AlbWnd_Scale 3 $scale" "$work/config/user.reg" || { echo "FAIL: at $percent % the scale saved is not $percent"; cat "$work/config/user.reg"; exit 1; }
done
echo "x11 scale: passed"
