# Sourced by the other scripts: where things live and how Wine is run.
# Everything built or fetched outside the clone lives under PARVANE_CACHE.
export PARVANE_CACHE="${PARVANE_CACHE:-/var/cache/parvane}"
export WINEPREFIX="${WINEPREFIX:-$PARVANE_CACHE/wineprefix}"
export WINEARCH=win32
export WINEDEBUG=-all
# A Japanese system: Wine derives the ANSI/OEM code page (932) from LC_ALL.
export LC_ALL=ja_JP.UTF-8
PARVANE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export PARVANE_ROOT
export PARVANE_BUILD="${PARVANE_BUILD:-$PARVANE_ROOT/build}"
# No desktop menus, no .NET or browser engine prompts in the prefix.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=;mshtml="
