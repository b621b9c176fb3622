#!/usr/bin/env bash
# Small disks for the tests of full disks, mounted at test time (this needs
# root, as CI has): tmpfs file systems of a fixed size, and a USB drive as
# shipped, exFAT with 128 KiB clusters on an image file through a loop device
# (made by exfatprogs' mkfs.exfat, mounted by exfat-fuse). Each holds the
# file "mounted" once it is in place; a test finds none where mounting failed.
#   small_disks.sh mount FOLDER     during/ 32 MiB, small/ 2 MiB, tight/ 10 MiB,
#                                   usb/ 32 MiB exFAT
#   small_disks.sh unmount FOLDER
set -euo pipefail
action="$1"
folder="$(realpath -m "$2")"
disks=(during:32m small:2m tight:10m)
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

usb="$folder/usb"
if mountpoint -q "$usb"; then umount "$usb" || umount -l "$usb"; fi
if [ -f "$folder/usb.device" ]; then
  losetup -d "$(cat "$folder/usb.device")" 2>/dev/null || true
  rm -f "$folder/usb.device"
fi
rm -f "$folder/usb.img"
[ "$action" = unmount ] && exit 0
mkdir -p "$usb"
if truncate -s 32M "$folder/usb.img" && mkfs.exfat -c 128K "$folder/usb.img" >/dev/null 2>&1 &&
  device="$(losetup -f --show "$folder/usb.img" 2>/dev/null)"; then
  echo "$device" > "$folder/usb.device"
  if mount.exfat-fuse "$device" "$usb" >/dev/null 2>&1 && touch "$usb/mounted"; then
    exit 0
  fi
fi
echo "could not mount an exFAT disk at $usb (not root, no loop device or no FUSE?): its tests will be skipped"
