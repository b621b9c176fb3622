#!/usr/bin/env bash
# Builds Parvane.exe and the Windows tests for both targets (build/win-x86 with
# the i686 toolchain, build/win-x64 with the x86_64 one), and the native unit
# tests and fuzz target (build/native). The tested build (PARVANE_ARCH) also
# knows the other one, whose release zip the package tests look into.
# Environment: DCMDJPEG_X86 and DCMDJPEG_X64, the paths of each dcmdjpeg.exe,
# as setup.sh prints them.
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

build_windows() {
  local arch="$1" dcmdjpeg="$2" tree
  tree="$(win_build "$arch")"
  local args=(-DCMAKE_TOOLCHAIN_FILE="$(toolchain_file "$arch")" -DCMAKE_BUILD_TYPE=RelWithDebInfo
              -DDCMDJPEG_EXE="$dcmdjpeg" -DPARVANE_OTHER_BUILD=)
  [ "$arch" = "$PARVANE_ARCH" ] && args[-1]="-DPARVANE_OTHER_BUILD=$(win_build "$PARVANE_OTHER_ARCH")"
  cmake -S "$PARVANE_ROOT" -B "$tree" -G Ninja "${args[@]}" >/dev/null
  cmake --build "$tree"
}
# The other build first: the tested one's package tests read its zip.
if [ "$PARVANE_ARCH" = x86 ]; then
  build_windows x64 "${DCMDJPEG_X64:?}"
  build_windows x86 "${DCMDJPEG_X86:?}"
else
  build_windows x86 "${DCMDJPEG_X86:?}"
  build_windows x64 "${DCMDJPEG_X64:?}"
fi

if [ "${PARVANE_WINDOWS_ONLY:-0}" != 1 ]; then
  CC=clang CXX=clang++ cmake -S "$PARVANE_ROOT" -B "$PARVANE_BUILD/native" -G Ninja \
    -DCMAKE_BUILD_TYPE=Debug -DPARVANE_FUZZ=ON >/dev/null
  cmake --build "$PARVANE_BUILD/native"
fi

# One ctest run over the native tree and the tested Windows tree.
cat > "$PARVANE_BUILD/CTestTestfile.cmake" <<CTEST
subdirs("native")
subdirs("win-$PARVANE_ARCH")
CTEST
