#!/usr/bin/env bash
# Under Wine: times a 200-file folder through the batch-convert button against
# running the same uncompress.bat directly with the interpreter, and the
# gathering alone (click until uncompress.bat is whole, with a stand-in
# interpreter that ends at once) for 1 000 to 100 000 empty files against a
# bare FindFirstFileW/FindNextFileW loop writing the same bytes.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/env.sh"
setup_output="$(bash "$here/setup.sh")"
eval "$setup_output"
export DCMDJPEG_X86 DCMDJPEG_X64
PARVANE_WINDOWS_ONLY=1 PARVANE_BUILD_QUIET=1 bash "$here/build.sh"
bash "$PARVANE_ROOT/tests/e2e/make_dicom_fixtures.sh" "$PARVANE_WIN_BUILD/tests/e2e/dicom-fixtures"
kept="$PARVANE_WIN_BUILD/tests/e2e/scratch/GatheringBenchmarkFiles"
for n in 1000 10000 100000; do
  mkdir -p "$kept/in$n"
  (cd "$kept/in$n" && seq 0 $((n - 1)) | sed 's/^/image/; s/$/.dcm/' | xargs touch)
done
source "$here/start-display.sh"
start_virtual_display
wine "$PARVANE_WIN_BUILD/tests/e2e/parvane_e2e.exe" --gtest_also_run_disabled_tests \
  --gtest_filter='Benchmark.*'
