#!/usr/bin/env bash
# The package command: sets up, builds both targets and writes the release
# zips with CPack (see packaging/CMakeLists.txt):
#   dist/Parvane-<version>-win32.zip   the 32-bit program, for every Windows
#   dist/Parvane-<version>-win64.zip   the 64-bit build, for 64-bit Windows
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/env.sh"
setup_output="$(bash "$here/setup.sh")"
eval "$setup_output"
export DCMDJPEG_X86 DCMDJPEG_X64
PARVANE_WINDOWS_ONLY=1 PARVANE_BUILD_QUIET=1 bash "$here/build.sh"

dist="$PARVANE_ROOT/dist"
mkdir -p "$dist"
for arch in x86 x64; do
  zip="$(cd "$(win_build "$arch")" && cpack -B "$dist" | sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p')"
  rm -rf "$dist/_CPack_Packages"
  [ -f "$zip" ] || { echo "cpack wrote no zip for $arch" >&2; exit 1; }
  echo "Wrote $zip ($(stat -c %s "$zip") bytes):"
  unzip -Z1 "$zip" | sed 's/^/  /'
done
