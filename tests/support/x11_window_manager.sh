# Sourced inside an X server (xvfb-run) by the tests that need a window
# manager. start_window_manager starts openbox and returns once it has
# announced itself (0), or 1 when it never did; `wm` holds its process id.
# A window mapped while the manager is still starting can be lost (it stays
# unmapped), so programs start only after this returns. On a loaded machine
# the manager's first start (fonts, theme) can take many seconds, and now
# and then it never announces itself at all: it is given 25 s, then started
# afresh, three times at most. A healthy run passes at once.
wm_announced() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

start_window_manager() {
  local _attempt _
  for _attempt in 1 2 3; do
    openbox --sm-disable >/dev/null 2>&1 &
    wm=$!
    for _ in $(seq 1 250); do
      wm_announced && return 0
      kill -0 "$wm" 2>/dev/null || break # it ended: start it again
      sleep 0.1
    done
    kill "$wm" 2>/dev/null
    wait "$wm" 2>/dev/null
  done
  wm_announced
}
