#!/usr/bin/env bash
# The run command's work without a display, in a scratch working folder:
#  1. first run: the sample and a param.ini naming it are made, every file
#     converts, the screenshots are there, and the exit status is 0;
#  2. a param.ini naming other folders is kept, and the sample still converts;
#  3. a sample file that cannot convert makes the exit status non-zero.
# Runs on the display of the test command. Argument: the scratch folder.
set -euo pipefail
source "$(dirname "$0")/../../scripts/env.sh"
source "$PARVANE_ROOT/scripts/sample.sh"
work="$(realpath -m "$1")"
rm -rf "$work"
mkdir -p "$work"
cp "$(grep -m1 '^DCMDJPEG_EXE:' "$PARVANE_WIN_BUILD/CMakeCache.txt" | cut -d= -f2-)" "$work/dcmdjpeg.exe"
fail() { echo "FAILED: $*" >&2; exit 1; }

make_sample "$work"
write_sample_settings "$work"
[ -f "$work/param.ini" ] || fail "no param.ini written"
convert_sample "$work" || fail "first run: exit status $?"
for shot in before after; do
  [ -s "$work/screenshots/$shot.png" ] || fail "no $shot screenshot"
done

other=$'[INPUT]C:\\elsewhere\r\n[OUTPUT]C:\\other\r\n'
printf '%s' "$other" > "$work/param.ini"
cp "$work/param.ini" "$work/param.ini.before"
rm -f "$work/sample/output"/*
write_sample_settings "$work"
convert_sample "$work" || fail "with another param.ini: exit status $?"
cmp -s "$work/param.ini" "$work/param.ini.before" || fail "param.ini was changed"

printf 'not a DICOM file\r\n' > "$work/sample/input/notdicom.dcm"
if convert_sample "$work"; then
  fail "a file that did not convert gave exit status 0"
fi
echo "run command without a display: all cases passed"
