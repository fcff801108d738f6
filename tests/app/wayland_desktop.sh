#!/usr/bin/env bash
# The program on a Wayland desktop that offers what weston 10 does not:
# sway (headless, drawn by pixman) has xdg-activation and a seat that this
# test drives through sway's own commands. On it:
# - a second start launched with an activation token (as a file manager or
#   dock launches it) brings the running window forward from another
#   workspace; one launched without a token leaves it there and says where
#   the window is;
# - a double click on the caption asks the compositor to maximise (sway,
#   a tiling desktop, leaves a floating window's size as it is);
# - the caption's menu opens where the right click was;
# - at a fractional output scale (150 %) the window draws into buffers of
#   scale 2, denser than the output (Qt 6.4 has no fractional protocol).
# The test's mouse is a virtual pointer of the seat (the desktop tool), fed
# one line per move or button. Every request the program makes is read from
# its Wayland log (WAYLAND_DEBUG), every answer of the desktop from sway's
# tree. Exit 77 (skipped) without sway or Qt's Wayland platform plugin.
set -uo pipefail
program_dir="$1"
screenshots="$2"
desktop_tool="$3"
source "$(dirname "$0")/x11_common.sh"
wayland_prepare sway swaymsg python3

# sway will not run as root: the compositor runs as nobody in a folder of
# its own, and the program, as root, reaches its socket by its full path.
desk="$work/desk"
mkdir -m 700 -p "$desk" "$work/xdg"
as_desk=()
if [ "$(id -u)" -eq 0 ]; then
  chmod 755 "$work"
  chown nobody "$desk"
  as_desk=(runuser -u nobody --)
fi
cat > "$desk/config" <<'CONFIG'
output HEADLESS-1 resolution 1600x1000 position 0 0
focus_on_window_activation focus
for_window [app_id="albireo"] floating enable, border none
CONFIG
compositor=""
program=""
mouse=""
stop_all() {
  [ -n "$program" ] && kill "$program" 2>/dev/null && wait "$program" 2>/dev/null
  [ -n "$mouse" ] && exec 9>&- && wait "$mouse" 2>/dev/null
  [ -n "$compositor" ] && kill "$compositor" 2>/dev/null && wait "$compositor" 2>/dev/null
  program="" compositor="" mouse=""
}
trap 'stop_all; rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*"
  tail -5 "$desk/sway.log"
  grep -v '^\[' "$work/albireo.log" | tail -20
  exit 1
}
# Waits up to a minute for a command to succeed.
eventually() {
  for _ in $(seq 300); do "$@" && return 0; sleep 0.2; done
  return 1
}
in_log() { grep -qE "$2" "$1" 2>/dev/null; }

"${as_desk[@]}" env XDG_RUNTIME_DIR="$desk" HOME="$desk" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 \
  WLR_RENDERER=pixman sway -c "$desk/config" >"$desk/sway.log" 2>&1 &
compositor=$!
eventually compgen -G "$desk/sway-ipc.*.sock" >/dev/null || fail "sway did not start"
export SWAYSOCK
SWAYSOCK=$(compgen -G "$desk/sway-ipc.*.sock" | head -1)
eventually test -S "$desk/wayland-1" || fail "sway has no Wayland socket"
export XDG_RUNTIME_DIR="$work/xdg" WAYLAND_DISPLAY="$desk/wayland-1" QT_QPA_PLATFORM=wayland
desk_says() { swaymsg "$@" >/dev/null || fail "sway refused: $*"; }

# What sway's tree says of the program's window (by its process):
# "focused", or "x y width height" of its rectangle.
window_fact() {
  swaymsg -t get_tree | python3 -c '
import json, sys
want, pid = sys.argv[1], int(sys.argv[2])
def nodes(node):
    yield node
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        yield from nodes(child)
for node in nodes(json.load(sys.stdin)):
    if node.get("pid") == pid and node.get("app_id") == "albireo":
        rect = node["rect"]
        print(node["focused"] if want == "focused" else "%d %d %d %d" % (rect["x"], rect["y"], rect["width"], rect["height"]))
' "$1" "$program"
}
focused() { [ "$(window_fact focused)" = True ]; }
not_focused() { [ "$(window_fact focused)" = False ]; }
# The mouse, there before the program starts so that its seat has a pointer.
mkfifo "$work/mouse"
"$desktop_tool" pointer 1600 1000 <"$work/mouse" &
mouse=$!
exec 9>"$work/mouse"
left=272 right=273
# A click of a button (a Linux button code) at a point of the desktop.
click_at() {
  printf 'move %d %d\npress %d\n' "$1" "$2" "$3" >&9
  sleep 0.05
  printf 'release %d\n' "$3" >&9
}

WAYLAND_DEBUG=1 "$program_dir/albireo" >"$work/albireo.log" 2>&1 &
program=$!
eventually focused || fail "the program's window never showed and took the focus"
read -r X Y WIDTH HEIGHT <<<"$(window_fact rect)"
echo "window at $X,$Y size ${WIDTH}x$HEIGHT"
sleep 1

# Brought forward by a launcher's token, from another workspace.
desk_says workspace 2
eventually not_focused || fail "the window kept the focus on another workspace"
token=$("$desktop_tool" token) || fail "sway gave no activation token"
XDG_ACTIVATION_TOKEN="$token" timeout 60 "$program_dir/albireo" "$work/disc.iso" >"$work/second.log" 2>&1
eventually in_log "$work/albireo.log" "start path from another instance: $work/disc.iso" ||
  fail "the running window did not take the second start's image"
in_log "$work/albireo.log" "xdg_activation_v1@[0-9]+\.activate\(\"$token\"" ||
  fail "the running window did not spend the second start's token"
eventually focused || fail "the second start's token did not bring the window forward"
in_log "$work/second.log" "unanswered modal run: .*already open and has taken the disc image" && fail "the second start said the window stayed behind"

# Without a token nothing comes forward, and the second start says where it is.
desk_says workspace 3
eventually not_focused || fail "the window kept the focus on another workspace"
env -u XDG_ACTIVATION_TOKEN timeout 60 "$program_dir/albireo" "$work/disc.iso" >"$work/second.log" 2>&1
in_log "$work/second.log" "unanswered modal run: .*already open and has taken the disc image" ||
  fail "a second start without a token did not say where the window is: $(cat "$work/second.log")"
sleep 1
not_focused || fail "the window came forward without a token"
desk_says workspace 1
eventually focused || fail "the window did not take the focus back on its workspace"
sleep 1

# The caption: a double click asks to maximise.
caption_y=$((Y + 20))
click_at $((X + WIDTH / 2)) "$caption_y" $left
click_at $((X + WIDTH / 2)) "$caption_y" $left
eventually in_log "$work/albireo.log" "xdg_toplevel@[0-9]+\.set_maximized\(\)" ||
  fail "a double click on the caption did not ask to maximise"

# A right click on the caption opens its menu there: the pop-up's anchor,
# relative to the window, is the click's point.
# (sway keeps a floating window's size: it leaves the window as it was.)
sleep 1
menu_x=$((WIDTH / 2 + 40)) menu_y=20
anchors_before=$(grep -cE 'xdg_positioner@[0-9]+\.set_anchor_rect' "$work/albireo.log")
click_at $((X + menu_x)) $((Y + menu_y)) $right
anchored() { [ "$(grep -cE 'xdg_positioner@[0-9]+\.set_anchor_rect' "$work/albireo.log")" -gt "$anchors_before" ]; }
eventually anchored || fail "a right click on the caption opened no menu"
anchor=$(grep -oE 'xdg_positioner@[0-9]+\.set_anchor_rect\([0-9-]+, [0-9-]+' "$work/albireo.log" | tail -1 | sed 's/.*(//; s/,//')
read -r ax ay <<<"$anchor"
echo "menu anchored at $ax,$ay of the window for a click at $menu_x,$menu_y"
[ $((ax - menu_x)) -le 2 ] && [ $((menu_x - ax)) -le 2 ] && [ $((ay - menu_y)) -le 2 ] && [ $((menu_y - ay)) -le 2 ] ||
  fail "the caption's menu opened at $ax,$ay of the window, not at the click ($menu_x,$menu_y)"
click_at $((X + menu_x + 300)) $((Y + menu_y)) $left

# The desktop turns to 150 %: the window's buffers become at least as dense.
desk_says output HEADLESS-1 scale 1.5
eventually in_log "$work/albireo.log" "wl_surface@[0-9]+\.set_buffer_scale\(2\)" ||
  fail "at 150 % the window's buffers did not become denser than the output"
kill -0 "$program" 2>/dev/null || fail "the program ended when the scale changed"

echo "wayland desktop: passed"
