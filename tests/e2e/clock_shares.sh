#!/usr/bin/env bash
# File servers whose clocks are off, for the tests of what a run wrote: a
# folder served through skewed_clock_fs.py (FUSE) with every time stamp 10
# minutes ahead (ahead/) or behind (behind/) this computer's clock, reached by
# Wine as \\parvane-server\ahead and \\parvane-server\behind through links in
# the prefix's dosdevices/unc; and one whose every look-up of a .dcm file
# stalls for 2 s (slow/, \\parvane-server\slow). Mounting needs root and
# /dev/fuse, as CI has; each share holds the file "mounted" once it is in
# place, so a test finds none where mounting failed.
#   clock_shares.sh mount FOLDER
#   clock_shares.sh unmount FOLDER
set -euo pipefail
action="$1"
folder="$(realpath -m "$2")"
here="$(dirname "$(realpath "$0")")"
unc="${WINEPREFIX:?}/dosdevices/unc/parvane-server"
shares=(ahead:600:0 behind:-600:0 slow:0:2)
for share in "${shares[@]}"; do
  name="${share%%:*}"
  at="$folder/$name"
  if mountpoint -q "$at"; then umount "$at" || umount -l "$at"; fi
  rm -f "$unc/$name"
  [ "$action" = unmount ] && continue
  rm -rf "$folder/$name.backing"
  mkdir -p "$at" "$folder/$name.backing"
  settings="${share#*:}"
  nohup /usr/bin/python3 "$here/skewed_clock_fs.py" "$folder/$name.backing" "$at" "${settings%%:*}" "${settings##*:}" \
    >"$folder/$name.log" 2>&1 &
  for _ in $(seq 50); do mountpoint -q "$at" && break; sleep 0.1; done
  if mountpoint -q "$at" && touch "$at/mounted"; then
    mkdir -p "$unc"
    ln -s "$at" "$unc/$name"
  else
    echo "could not mount the share $name at $at (not root, or no FUSE?): its tests will be skipped"
    cat "$folder/$name.log" || true
  fi
done
