#!/usr/bin/env bash
# The run command: sets up, builds Parvane.exe and runs it under Wine in the
# working folder ./run (param.ini, uncompress.bat and dcmdjpeg.exe live there),
# with a sample of JPEG-compressed DICOM files made there on the first run.
# With a usable display Parvane shows there. Without one, the main job is done
# on a virtual display by the end-to-end driver, which presses 一括変換 and
# answers the boxes; then each file's transfer syntax and pixels are checked,
# and the exit code is 0 only when every sample file converted.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/env.sh"
setup_output="$(bash "$here/setup.sh")"
eval "$setup_output"
export DCMDJPEG_X86 DCMDJPEG_X64
source "$here/sample.sh"
PARVANE_WINDOWS_ONLY=1 PARVANE_BUILD_QUIET=1 bash "$here/build.sh"

workdir="${PARVANE_WORKDIR:-$PARVANE_ROOT/run}"
mkdir -p "$workdir"
cp -f "$(tested_dcmdjpeg)" "$workdir/dcmdjpeg.exe"
make_sample "$workdir"
write_sample_settings "$workdir"
cd "$workdir"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Starting Parvane on display $DISPLAY (working folder: $workdir)"
  exec wine "$PARVANE_WIN_BUILD/src/Parvane.exe"
fi

source "$here/start-display.sh"
start_virtual_display
echo "No display found: the sample is converted on the virtual display $DISPLAY (working folder: $workdir)"
convert_sample "$workdir"
