#!/usr/bin/env bash
# The test command: sets up everything, builds both Windows targets and the
# native tests, and runs the three tiers (native unit tests, Windows tests
# under Wine, end-to-end) in one ctest run, on the Windows build this machine
# can run (see env.sh; PARVANE_ARCH=x86 or x64 overrides the choice).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
start=$(date +%s)
source "$here/env.sh"
describe_build() {
  if [ "$PARVANE_ARCH" = x86 ]; then
    echo "the x86 build (i686, 32-bit Wine; $PARVANE_ARCH_REASON)"
  else
    echo "the x64 build (x86_64, 64-bit Wine; $PARVANE_ARCH_REASON)"
  fi
}
echo "Testing $(describe_build)"
setup_output="$(bash "$here/setup.sh")"
eval "$setup_output"
export DCMDJPEG_X86 DCMDJPEG_X64
bash "$here/build.sh"

source "$here/start-display.sh"
start_virtual_display

status=0
ctest --test-dir "$PARVANE_BUILD" --output-on-failure -j 2 "$@" || status=$?

# Screenshots for a person to look at.
for bmp in "$PARVANE_WIN_BUILD"/artifacts/*.bmp; do
  [ -e "$bmp" ] && convert "$bmp" "${bmp%.bmp}.png" 2>/dev/null || true
done
echo "screenshots: $PARVANE_WIN_BUILD/artifacts"
echo "test command took $(( $(date +%s) - start )) s; it tested $(describe_build)"
exit $status
