#!/usr/bin/env bash
# Small disks for the tests of full disks: tmpfs file systems of a fixed size,
# mounted at test time (this needs root, as CI has). Each holds the file
# "mounted" once it is in place; a test finds none where mounting failed.
#   small_disks.sh mount FOLDER     during/ 12 MiB, small/ 2 MiB
#   small_disks.sh unmount FOLDER
set -euo pipefail
action="$1"
folder="$(realpath -m "$2")"
disks=(during:12m small:2m)
for disk in "${disks[@]}"; do
  at="$folder/${disk%%:*}"
  mountpoint -q "$at" && umount "$at"
  [ "$action" = unmount ] && continue
  mkdir -p "$at"
  if mount -t tmpfs -o "size=${disk##*:}" tmpfs "$at" 2>/dev/null; then
    touch "$at/mounted"
  else
    echo "could not mount a tmpfs at $at (not root?): the tests of full disks will be skipped"
  fi
done
