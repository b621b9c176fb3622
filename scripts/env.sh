# Sourced by the other scripts: where things live, which Windows build is
# tested, and how Wine is run.
#
# Two builds come from the same sources: x86 (i686, the program we ship) and
# x64 (x86_64). Both are compiled every time; the tests run the one this
# machine can run. Some kernels here have their 32-bit emulation switched off:
# every i386 program, the 32-bit Wine loader among them, then fails with
# "Exec format error", and the tests run the x64 build under 64-bit Wine.
# PARVANE_ARCH=x86 or PARVANE_ARCH=x64 overrides the choice.

# Everything built or fetched outside the clone lives under PARVANE_CACHE.
export PARVANE_CACHE="${PARVANE_CACHE:-/var/cache/parvane}"
PARVANE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export PARVANE_ROOT
export PARVANE_BUILD="${PARVANE_BUILD:-$PARVANE_ROOT/build}"

# True when this machine runs 32-bit x86 Linux programs. The probe is a
# 93-byte i386 program that only exits with 0; it needs no package.
machine_runs_32bit_code() {
  mkdir -p "$PARVANE_CACHE"
  local probe status=0
  probe="$(mktemp "$PARVANE_CACHE/probe-i386.XXXXXX")"
  printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\061\333\315\200' > "$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  return $status
}

if [ -z "${PARVANE_ARCH:-}" ]; then
  if machine_runs_32bit_code; then
    PARVANE_ARCH=x86
    PARVANE_ARCH_REASON="this machine runs 32-bit code"
  else
    PARVANE_ARCH=x64
    PARVANE_ARCH_REASON="this machine cannot run 32-bit code"
  fi
  export PARVANE_ARCH_REASON
elif [ -z "${PARVANE_ARCH_REASON:-}" ]; then
  export PARVANE_ARCH_REASON="chosen by PARVANE_ARCH"
fi
case "$PARVANE_ARCH" in
  x86) PARVANE_OTHER_ARCH=x64 ;;
  x64) PARVANE_OTHER_ARCH=x86 ;;
  *) echo "PARVANE_ARCH must be x86 or x64, not '$PARVANE_ARCH'" >&2; return 1 2>/dev/null || exit 1 ;;
esac
export PARVANE_ARCH PARVANE_OTHER_ARCH

# The mingw target and the CMake toolchain file of a build: x86 or x64.
mingw_target() { [ "$1" = x86 ] && echo i686 || echo x86_64; }
toolchain_file() { echo "$PARVANE_ROOT/cmake/mingw-$(mingw_target "$1").cmake"; }
# The Windows build tree of x86 or x64.
win_build() { echo "$PARVANE_BUILD/win-$1"; }
export PARVANE_WIN_BUILD="$PARVANE_BUILD/win-$PARVANE_ARCH"

# Wine: a prefix of its own for each build (PARVANE_WINEPREFIX and
# PARVANE_WINEPREFIX64 name others). Debian's wine, wineboot and
# winepath always take the 32-bit loader once wine32 is installed, even where
# it cannot run; for x64 the wrappers in scripts/wine64 come first on PATH and
# call the 64-bit loader.
if [ "$PARVANE_ARCH" = x86 ]; then
  export WINEARCH=win32
  export WINEPREFIX="${PARVANE_WINEPREFIX:-$PARVANE_CACHE/wineprefix}"
else
  export WINEARCH=win64
  export WINEPREFIX="${PARVANE_WINEPREFIX64:-$PARVANE_CACHE/wineprefix64}"
  case ":$PATH:" in
    *":$PARVANE_ROOT/scripts/wine64:"*) ;;
    *) export PATH="$PARVANE_ROOT/scripts/wine64:$PATH" ;;
  esac
fi
export WINEDEBUG=-all
# A Japanese system: Wine derives the ANSI/OEM code page (932) from LC_ALL.
export LC_ALL=ja_JP.UTF-8
# No desktop menus, no .NET or browser engine prompts in the prefix.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=;mshtml="

# The dcmdjpeg.exe of the tested build, once setup.sh's output has been read.
tested_dcmdjpeg() { [ "$PARVANE_ARCH" = x86 ] && echo "${DCMDJPEG_X86:?}" || echo "${DCMDJPEG_X64:?}"; }
