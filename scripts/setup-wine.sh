#!/usr/bin/env bash
# Creates the project's own 32-bit Wine prefix once: Japanese UI font, no crash dialog.
set -euo pipefail
source "$(dirname "$0")/env.sh"

ready="$WINEPREFIX/.parvane-ready"
[ -f "$ready" ] && exit 0
mkdir -p "$PARVANE_CACHE"
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
# The dialog's font, and the system's dialog font, drawn with a Japanese font.
for face in "MS UI Gothic" "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma"; do
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
    /v "$face" /t REG_SZ /d "IPAGothic" /f >/dev/null 2>&1
done
wineserver -w
touch "$ready"
