#!/usr/bin/env bash
# Everything a fresh Debian machine needs: packages, the Japanese locale, the
# Wine prefixes and the Windows dcmdjpeg.exe of both builds. Safe to run
# again. Prints, last, the two paths as shell assignments for eval:
#   DCMDJPEG_X86=...  DCMDJPEG_X64=...
# A step that fails says which, with its command and output, and the script
# ends non-zero.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/env.sh"
bash "$here/install-packages.sh" >&2
# The 64-bit prefix runs the x64 configure of DCMTK on every machine.
PARVANE_ARCH=x64 bash "$here/setup-wine.sh" >&2
[ "$PARVANE_ARCH" = x86 ] && bash "$here/setup-wine.sh" >&2
x86="$(bash "$here/build-dcmdjpeg.sh" x86)"
x64="$(bash "$here/build-dcmdjpeg.sh" x64)"
printf 'DCMDJPEG_X86=%q\nDCMDJPEG_X64=%q\n' "$x86" "$x64"
