#!/usr/bin/env bash
# The test command: sets up everything, builds, and runs all three tiers
# (native unit tests, Windows tests under Wine, end-to-end) in one ctest run.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
start=$(date +%s)
dcmdjpeg="$(bash "$here/setup.sh" | tail -n 1)"
source "$here/env.sh"
bash "$here/build.sh" "$dcmdjpeg"

source "$here/start-display.sh"
start_virtual_display

status=0
ctest --test-dir "$PARVANE_BUILD" --output-on-failure -j 2 "$@" || status=$?

# Screenshots for a person to look at.
for bmp in "$PARVANE_BUILD"/win/artifacts/*.bmp; do
  [ -e "$bmp" ] && convert "$bmp" "${bmp%.bmp}.png" 2>/dev/null || true
done
echo "screenshots: $PARVANE_BUILD/win/artifacts"
echo "test command took $(( $(date +%s) - start )) s"
exit $status
