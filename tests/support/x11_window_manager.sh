# Sourced inside an X server (xvfb-run) by the tests that need a window
# manager. start_window_manager starts openbox and returns once it has
# announced itself (0), or 1 when it never did; `wm` holds its process id.
# A window mapped while the manager is still starting can be lost (it stays
# unmapped), so programs start only after this returns. On a loaded machine
# the manager's first start (fonts, theme) can take many seconds: the wait
# is long, and a healthy run passes it at once.
wm_announced() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

start_window_manager() {
  openbox --sm-disable >/dev/null 2>&1 &
  wm=$!
  local _
  for _ in $(seq 1 600); do
    wm_announced && return 0
    sleep 0.1
  done
  wm_announced
}
