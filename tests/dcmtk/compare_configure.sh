#!/usr/bin/env bash
# Compares the settings (#define and #undef lines) of the headers of DCMTK's
# real configure with those of the configure that runs no program.
# Arguments: the real configure's headers, the other configure's headers.
# Exit status 77 (skipped) where there is no real configure to compare with.
set -euo pipefail
real="$1" answered="$2"
if [ ! -d "$answered" ]; then
  echo "skipped: $real comes from a configure that ran no program (this machine cannot run 32-bit code)"
  exit 77
fi
settings() { grep -E '^[[:space:]]*#[[:space:]]*(define|undef)[[:space:]]' "$1" | sed 's/[[:space:]]\+/ /g; s/ $//'; }
status=0
for header in osconfig.h arith.h; do
  if diff <(settings "$real/$header") <(settings "$answered/$header") > /tmp/parvane-configure-diff.$$; then
    echo "$header: $(settings "$real/$header" | wc -l) settings, the same in both"
  else
    echo "$header differs (< real configure, > configure without running):"
    cat /tmp/parvane-configure-diff.$$
    status=1
  fi
done
rm -f /tmp/parvane-configure-diff.$$
exit $status
