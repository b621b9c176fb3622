#!/usr/bin/env bash
# Creates the Wine prefix of the tested build (32-bit for x86, 64-bit for x64)
# and sets it up: Japanese UI fonts, Wine drawing its own window frames (so
# screenshots show captions on a display without a window manager), no crash
# dialog. Redone when this script changes.
set -euo pipefail
source "$(dirname "$0")/env.sh"
source "$(dirname "$0")/step.sh"

ready="$WINEPREFIX/.parvane-$(sha1sum "$0" | cut -c1-12)"
[ -f "$ready" ] && exit 0
mkdir -p "$PARVANE_CACHE"
run_step "create the $WINEARCH Wine prefix $WINEPREFIX" wineboot -i

reg_add() { run_step "set $1\\$2 in the Wine registry" wine reg add "$1" /v "$2" /t "$3" /d "$4" /f; }
reg_add 'HKCU\Software\Wine\WineDbg' ShowCrashDialog REG_DWORD 0
reg_add 'HKCU\Software\Wine\X11 Driver' Managed REG_SZ N
reg_add 'HKCU\Software\Wine\X11 Driver' Decorated REG_SZ N
# The dialog's font and the system's dialog fonts, drawn with a proportional Japanese font.
for face in "MS UI Gothic" "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma"; do
  reg_add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' "$face" REG_SZ IPAPGothic
done
run_step "wait for the Wine server" wineserver -w
rm -f "$WINEPREFIX"/.parvane-*
touch "$ready"
