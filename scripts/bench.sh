#!/usr/bin/env bash
# Under Wine: times a 200-file folder through the batch-convert button against
# running the same uncompress.bat directly with the interpreter, and the
# gathering alone (click until uncompress.bat is whole, with a stand-in
# interpreter that ends at once) for 1 000 to 100 000 empty files against a
# bare FindFirstFileW/FindNextFileW loop writing the same bytes; and for
# 10 000 DICOM files, the headers read before a run and the outputs checked
# after it (in-process), to set against the time a file's conversion takes;
# and a folder of PARVANE_BENCH_FILES files (100 000) from the click to the
# report with a stand-in interpreter that copies each input: the time until
# the progress window shows, the longest time the dialog takes to answer,
# and the click against the stand-in alone. PARVANE_BENCH_FILTER picks
# benchmarks of the end-to-end driver (default: all).
#
# Before the benchmarks, the DICOM fixtures are made anew.
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
# The large inputs of two benchmarks: whole uncompressed files (copied as they
# are by the stand-in interpreter), PARVANE_BENCH_FILES of them (100 000), in
# one folder and spread over PARVANE_BENCH_FOLDERS folders (1 000).
export PARVANE_BENCH_FILES="${PARVANE_BENCH_FILES:-100000}"
PARVANE_BENCH_FOLDERS="${PARVANE_BENCH_FOLDERS:-1000}"
plain="$PARVANE_WIN_BUILD/tests/e2e/dicom-fixtures/plain.dcm"
scratch="$PARVANE_WIN_BUILD/tests/e2e/scratch"
make_inputs() {  # FOLDER FOLDERS: the files, by turns in FOLDERS subfolders (0: none)
  [ -f "$1.done" ] && return
  rm -rf "$1"
  mkdir -p "$1"
  /usr/bin/python3 - "$plain" "$1" "$PARVANE_BENCH_FILES" "$2" <<'PY'
import os, sys
data = open(sys.argv[1], "rb").read()
folders = int(sys.argv[4])
for i in range(int(sys.argv[3])):
    folder = sys.argv[2] if folders == 0 else f"{sys.argv[2]}/folder{i % folders:04d}"
    os.makedirs(folder, exist_ok=True)
    with open(f"{folder}/image{i}.dcm", "wb") as f:
        f.write(data)
PY
  touch "$1.done"
}
make_inputs "$scratch/ManyFilesBenchmarkInput$PARVANE_BENCH_FILES" 0
make_inputs "$scratch/TreeBenchmarkInput$PARVANE_BENCH_FILES" "$PARVANE_BENCH_FOLDERS"
source "$here/sample.sh"  # windows_path
source "$here/start-display.sh"
start_virtual_display
wine "$PARVANE_WIN_BUILD/tests/e2e/parvane_e2e.exe" --gtest_also_run_disabled_tests \
  --gtest_filter="${PARVANE_BENCH_FILTER:-Benchmark.*}"

# 10 000 inputs and their whole outputs, made on the Linux side.
checks="$PARVANE_WIN_BUILD/tests/e2e/scratch/RunChecksBenchmarkFiles"
if [ ! -f "$checks/out/image9999.dcm" ]; then
  rm -rf "$checks"
  mkdir -p "$checks/in" "$checks/out"
  fixtures="$PARVANE_WIN_BUILD/tests/e2e/dicom-fixtures"
  dcmdjpeg "$fixtures/lossless.dcm" "$checks/plain.dcm"
  for i in $(seq 0 9999); do
    cp "$fixtures/lossless.dcm" "$checks/in/image$i.dcm"
    cp "$checks/plain.dcm" "$checks/out/image$i.dcm"
  done
fi
PARVANE_BENCH_FOLDER="$(windows_path "$checks")" wine "$PARVANE_WIN_BUILD/tests/win/parvane_win_tests.exe" \
  --gtest_also_run_disabled_tests --gtest_filter='Benchmark.*'
