#!/usr/bin/env bash
# Runs the batch-line fuzz target longer than the test command does: by
# default 10 million inputs (about 20 minutes on one core). Arguments: the
# number of inputs, then any further libFuzzer options. A finding is written
# to the working folder as crash-*; keep it as a regression case.
set -euo pipefail
source "$(dirname "$0")/env.sh"
runs="${1:-10000000}"
shift || true
CC=clang CXX=clang++ cmake -S "$PARVANE_ROOT" -B "$PARVANE_BUILD/native" -G Ninja \
  -DCMAKE_BUILD_TYPE=Debug -DPARVANE_FUZZ=ON >/dev/null
cmake --build "$PARVANE_BUILD/native" --target fuzz_batch_line
unit="$PARVANE_BUILD/native/tests/unit"
mkdir -p "$unit/fuzz-batch-line-corpus"
"$unit/fuzz_batch_line" -runs="$runs" -max_len=512 -print_final_stats=1 "$@" \
  "$unit/fuzz-batch-line-corpus" "$PARVANE_ROOT/tests/unit/script/fuzz-batch-line-seeds"
