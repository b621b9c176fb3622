#!/usr/bin/env bash
# The package command: sets up, builds Parvane.exe and writes the release zip
# dist/Parvane-<version>-win32.zip with CPack (see packaging/CMakeLists.txt).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
dcmdjpeg="$(bash "$here/setup.sh" | tail -n 1)"
source "$here/env.sh"
PARVANE_WINDOWS_ONLY=1 PARVANE_BUILD_QUIET=1 bash "$here/build.sh" "$dcmdjpeg"

dist="$PARVANE_ROOT/dist"
mkdir -p "$dist"
zip="$(cd "$PARVANE_BUILD/win" && cpack -B "$dist" | sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p')"
rm -rf "$dist/_CPack_Packages"
[ -f "$zip" ] || { echo "cpack wrote no zip" >&2; exit 1; }
echo "Wrote $zip ($(stat -c %s "$zip") bytes):"
unzip -Z1 "$zip" | sed 's/^/  /'
