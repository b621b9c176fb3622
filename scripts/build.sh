#!/usr/bin/env bash
# Builds Parvane.exe and the Windows tests (build/win), and the native unit
# tests and fuzz target (build/native). Argument: the path of dcmdjpeg.exe.
set -euo pipefail
# With PARVANE_BUILD_QUIET=1 it prints nothing unless the build fails.
if [ "${PARVANE_BUILD_QUIET:-0}" = 1 ]; then
  if ! output="$(PARVANE_BUILD_QUIET=0 bash "$0" "$@" 2>&1)"; then
    echo "$output" >&2
    echo "The build failed." >&2
    exit 1
  fi
  exit 0
fi
source "$(dirname "$0")/env.sh"
dcmdjpeg="${1:-}"

cmake -S "$PARVANE_ROOT" -B "$PARVANE_BUILD/win" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$PARVANE_ROOT/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDCMDJPEG_EXE="$dcmdjpeg" >/dev/null
cmake --build "$PARVANE_BUILD/win"

if [ "${PARVANE_WINDOWS_ONLY:-0}" != 1 ]; then
  CC=clang CXX=clang++ cmake -S "$PARVANE_ROOT" -B "$PARVANE_BUILD/native" -G Ninja \
    -DCMAKE_BUILD_TYPE=Debug -DPARVANE_FUZZ=ON >/dev/null
  cmake --build "$PARVANE_BUILD/native"
fi

# One ctest run over both build trees.
cat > "$PARVANE_BUILD/CTestTestfile.cmake" <<CTEST
subdirs("native")
subdirs("win")
CTEST
