#!/usr/bin/env bash
# Everything a fresh Debian machine needs: packages, the Japanese locale, the
# Wine prefix and the Windows dcmdjpeg.exe. Safe to run again; prints the path
# of dcmdjpeg.exe last.
set -euo pipefail
here="$(dirname "$0")"
bash "$here/install-packages.sh" >&2
bash "$here/setup-wine.sh" >&2
bash "$here/build-dcmdjpeg.sh"
