#!/usr/bin/env bash
# The run command: sets up, builds Parvane.exe and starts it under Wine in the
# working folder ./run (param.ini, uncompress.bat and dcmdjpeg.exe live there).
# With a usable display it shows there; otherwise on a virtual display, with a
# screenshot saved for you to open.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
dcmdjpeg="$(bash "$here/setup.sh" | tail -n 1)"
source "$here/env.sh"
PARVANE_WINDOWS_ONLY=1 bash "$here/build.sh" "$dcmdjpeg" >/dev/null

workdir="${PARVANE_WORKDIR:-$PARVANE_ROOT/run}"
mkdir -p "$workdir"
cp -f "$dcmdjpeg" "$workdir/dcmdjpeg.exe"
cd "$workdir"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Starting Parvane on display $DISPLAY (working folder: $workdir)"
  exec wine "$PARVANE_BUILD/win/src/Parvane.exe"
fi

source "$here/start-display.sh"
start_virtual_display
echo "No display found: Parvane runs on the virtual display $DISPLAY (working folder: $workdir)"
wine "$PARVANE_BUILD/win/src/Parvane.exe" &
parvane=$!
sleep "${PARVANE_SCREENSHOT_DELAY:-6}"
screenshot="$workdir/screenshot.png"
import -window root -crop 1280x1024+0+0 "$screenshot" 2>/dev/null && convert "$screenshot" -trim "$screenshot"
echo "Screenshot: $screenshot"
if [ -t 0 ]; then
  echo "Press Ctrl+C to stop."
  wait "$parvane" || true
else
  sleep "${PARVANE_RUN_SECONDS:-0}"
fi
