#!/usr/bin/env bash
# Builds the Windows dcmdjpeg.exe for x86 (i686) or x64 (x86_64) from Debian's
# dcmtk source package with the mingw toolchain, once per target and source
# version, and prints the path of the result. The source comes from a deb-src
# entry derived from this machine's own Debian apt sources (same URIs and
# suites).
#
# DCMTK's configure, when cross-compiling, runs its checks through Wine. For
# x64 that is 64-bit Wine, which runs on every machine here. For x86 it is
# 32-bit Wine where the tests run the x86 build; elsewhere the configure runs
# no program (DCMTK_NO_TRY_RUN) and is given the answers its checks would
# find, from scripts/dcmtk/ (see the comments there). Where 32-bit code runs,
# that configure is also made beside the real one, so that a test can compare
# the headers the two generate.
# Usage: build-dcmdjpeg.sh x86|x64
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
target="${1:?usage: build-dcmdjpeg.sh x86|x64}"
source "$here/env.sh"
tested_arch="$PARVANE_ARCH"
mode=try-run
if [ "$target" = x86 ] && [ "$tested_arch" = x64 ]; then
  mode=no-try-run
fi
# The Wine that runs the configure's checks: the one of the x86 tests for a
# real x86 configure, 64-bit Wine for everything else.
if [ "$target" = x64 ] || [ "$mode" = no-try-run ]; then
  PARVANE_ARCH=x64
  source "$here/env.sh"
fi
source "$here/step.sh"

work="$PARVANE_CACHE/dcmtk"
mkdir -p "$work"

add_deb_src() {
  local list=/etc/apt/sources.list.d/parvane-deb-src.sources
  [ -f "$list" ] && return 0
  local codename
  codename="$(. /etc/os-release && echo "$VERSION_CODENAME")"
  # Copy every enabled deb822 stanza of Debian's own suites as deb-src.
  awk -v codename="$codename" '
    BEGIN { RS=""; ORS="\n\n" }
    /(^|\n)Types:[^\n]*deb/ && $0 ~ ("Suites:[^\n]*" codename) {
      gsub(/Types:[^\n]*/, "Types: deb-src"); print
    }' /etc/apt/sources.list.d/*.sources 2>/dev/null > "$list.tmp" || true
  # One-line sources.list entries, if any.
  if [ -f /etc/apt/sources.list ]; then
    grep -E "^deb [^ ]+ $codename" /etc/apt/sources.list | sed 's/^deb /deb-src /' > "$list.list.tmp" || true
    if [ -s "$list.list.tmp" ]; then
      mv "$list.list.tmp" /etc/apt/sources.list.d/parvane-deb-src.list
    else
      rm -f "$list.list.tmp"
    fi
  fi
  mv "$list.tmp" "$list"
  run_step "apt-get update with the deb-src entry" apt-get update -q
}

fetch_source() {
  if ! ls "$work"/dcmtk_*.dsc >/dev/null 2>&1; then
    add_deb_src
    (cd "$work" && run_step "download DCMTK's source package" apt-get source --download-only dcmtk)
  fi
  ls "$work"/dcmtk_*.dsc | sort -V | tail -n 1
}

dsc="$(fetch_source)"
version="$(basename "$dsc" .dsc | sed 's/^dcmtk_//')"
src="$work/src-$version"
extract_source() {
  if [ ! -d "$src" ]; then
    rm -rf "$src.tmp"
    (cd "$work" && run_step "unpack DCMTK's source package" dpkg-source --no-check -x "$dsc" "src-$version.tmp")
    mv "$src.tmp" "$src"
  fi
}

# configure BUILD_DIR MODE: DCMTK's CMake configure for the target, with the
# modules dcmdjpeg needs and no optional library.
configure() {
  local bld="$1" how="$2" mingw runtime
  mingw="$(mingw_target "$target")"
  runtime="$("$mingw-w64-mingw32-g++-posix" -print-libgcc-file-name | xargs dirname)"
  local args=(
    -DCMAKE_TOOLCHAIN_FILE="$(toolchain_file "$target")"
    -DCMAKE_BUILD_TYPE=Release
    -DWINE_CPP_RUNTIME="Z:$(echo "$runtime" | tr / '\\')"
    -DWINE_WINE_PROGRAM="$(command -v wine)" -DWINE_WINEPATH_PROGRAM="$(command -v winepath)"
    -DBUILD_SHARED_LIBS=OFF -DBUILD_APPS=ON
    -DDCMTK_MODULES="ofstd;oflog;dcmdata;dcmimgle;dcmimage;dcmjpeg"
    -DDCMTK_WITH_TIFF=OFF -DDCMTK_WITH_PNG=OFF -DDCMTK_WITH_XML=OFF
    -DDCMTK_WITH_ZLIB=OFF -DDCMTK_WITH_OPENSSL=OFF -DDCMTK_WITH_SNDFILE=OFF
    -DDCMTK_WITH_ICONV=OFF -DDCMTK_WITH_ICU=OFF -DDCMTK_WITH_WRAP=OFF
    -DDCMTK_WITH_OPENJPEG=OFF -DDCMTK_WITH_DOXYGEN=OFF
    -DDCMTK_DEFAULT_DICT=builtin -DCMAKE_INSTALL_DATADIC=share/dcmtk
    -DCMAKE_EXE_LINKER_FLAGS="-static"
  )
  # A 32-bit dcmdjpeg may then use 4 GB on 64-bit Windows rather than 2 GB,
  # which large multi-frame files need (64-bit images have no such limit).
  [ "$target" = x86 ] && args[-1]="-DCMAKE_EXE_LINKER_FLAGS=-static -Wl,--large-address-aware"
  rm -rf "$bld"
  mkdir -p "$bld"
  if [ "$how" = no-try-run ]; then
    # The configure stops without arith.h; a copy newer than its generator is kept.
    mkdir -p "$bld/config/include/dcmtk/config"
    cp "$PARVANE_ROOT/scripts/dcmtk/arith-i686.h" "$bld/config/include/dcmtk/config/arith.h"
    args+=(-DDCMTK_NO_TRY_RUN=ON -C "$PARVANE_ROOT/scripts/dcmtk/answers-i686.cmake")
  fi
  run_step "configure DCMTK for $target ($how)" cmake -S "$src" -B "$bld" -G Ninja "${args[@]}"
}

# Keeps the headers a configure generated: what the compiled code depends on.
keep_config() {
  local bld="$1" to="$2"
  rm -rf "$to"
  mkdir -p "$to"
  cp "$bld/config/include/dcmtk/config/osconfig.h" "$bld/config/include/dcmtk/config/arith.h" "$to/"
}

out="$work/$version/$target"
[ "$mode" = no-try-run ] && out="$out-no-try-run"
exe="$out/dcmdjpeg.exe"
if [ ! -f "$exe" ]; then
  extract_source
  bld="$work/build-$version-$target-$mode"
  configure "$bld" "$mode"
  run_step "build dcmdjpeg.exe for $target" cmake --build "$bld" --target dcmdjpeg
  mkdir -p "$out"
  keep_config "$bld" "$out/config"
  # DCMTK's copyright and licence text goes into the release zip beside the
  # program: it is kept next to dcmdjpeg.exe, from the same source.
  cp "$src/COPYRIGHT" "$out/COPYRIGHT"
  cp "$(find "$bld" -name dcmdjpeg.exe | head -n 1)" "$exe.tmp"
  mv "$exe.tmp" "$exe"
  rm -rf "$bld"
fi

# Where 32-bit code runs: the configure without programs, for comparison.
if [ "$target" = x86 ] && [ "$mode" = try-run ] && [ ! -f "$out/no-try-run-config/osconfig.h" ]; then
  extract_source
  bld="$work/build-$version-$target-compare"
  PARVANE_ARCH=x64
  source "$here/env.sh"
  configure "$bld" no-try-run
  keep_config "$bld" "$out/no-try-run-config"
  rm -rf "$bld"
fi
echo "$exe"
