# Sourced: starts a private Xvfb display for this shell and stops it on exit,
# together with the Wine server of the prefix.
start_virtual_display() {
  local n
  for n in $(seq 90 130); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  PARVANE_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  trap stop_virtual_display EXIT
  # One Wine server and its desktop services for the whole run, started apart
  # from any test so that they do not hold a test's output pipe open.
  wineserver -p
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

stop_virtual_display() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "${PARVANE_XVFB_PID:-}" ] && kill "$PARVANE_XVFB_PID" 2>/dev/null || true
}
