#!/usr/bin/env bash
# Builds the Windows dcmdjpeg.exe from Debian's dcmtk source package with the
# mingw toolchain, once per source version, and prints the path of the result.
# The source comes from a deb-src entry derived from this machine's own Debian
# apt sources (same URIs and suites).
set -euo pipefail
source "$(dirname "$0")/env.sh"

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
  apt-get update -q >&2
}

fetch_source() {
  if ! ls "$work"/dcmtk_*.dsc >/dev/null 2>&1; then
    add_deb_src
    (cd "$work" && apt-get source --download-only dcmtk) >&2
  fi
  ls "$work"/dcmtk_*.dsc | sort -V | tail -n 1
}

dsc="$(fetch_source)"
version="$(basename "$dsc" .dsc | sed 's/^dcmtk_//')"
out="$work/$version"
exe="$out/dcmdjpeg.exe"
src="$work/src-$version"
extract_source() {
  if [ ! -d "$src" ]; then
    (cd "$work" && dpkg-source --no-check -x "$dsc" "src-$version" >&2)
  fi
}
# DCMTK's copyright and licence text goes into the release zip beside the
# program: it is kept next to dcmdjpeg.exe, from the same source.
keep_copyright() {
  if [ ! -f "$out/COPYRIGHT" ]; then
    extract_source
    cp "$src/COPYRIGHT" "$out/COPYRIGHT.tmp"
    mv "$out/COPYRIGHT.tmp" "$out/COPYRIGHT"
  fi
}
if [ -f "$exe" ]; then
  keep_copyright
  echo "$exe"
  exit 0
fi

extract_source

bld="$work/build-$version"
rm -rf "$bld"
mkdir -p "$bld"
runtime="$(i686-w64-mingw32-g++-posix -print-libgcc-file-name | xargs dirname)"
wine_runtime="Z:$(echo "$runtime" | tr / '\\')"
# DCMTK's configure checks run through Wine when cross-compiling.
wineboot -i >/dev/null 2>&1 || true
cmake -S "$src" -B "$bld" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$PARVANE_ROOT/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DWINE_CPP_RUNTIME="$wine_runtime" \
  -DBUILD_SHARED_LIBS=OFF -DBUILD_APPS=ON \
  -DDCMTK_MODULES="ofstd;oflog;dcmdata;dcmimgle;dcmimage;dcmjpeg" \
  -DDCMTK_WITH_TIFF=OFF -DDCMTK_WITH_PNG=OFF -DDCMTK_WITH_XML=OFF \
  -DDCMTK_WITH_ZLIB=OFF -DDCMTK_WITH_OPENSSL=OFF -DDCMTK_WITH_SNDFILE=OFF \
  -DDCMTK_WITH_ICONV=OFF -DDCMTK_WITH_ICU=OFF -DDCMTK_WITH_WRAP=OFF \
  -DDCMTK_WITH_OPENJPEG=OFF -DDCMTK_WITH_DOXYGEN=OFF \
  -DDCMTK_DEFAULT_DICT=builtin -DCMAKE_INSTALL_DATADIC=share/dcmtk \
  -DCMAKE_EXE_LINKER_FLAGS="-static" >&2
cmake --build "$bld" --target dcmdjpeg >&2
mkdir -p "$out"
cp "$(find "$bld" -name dcmdjpeg.exe | head -n 1)" "$exe.tmp"
mv "$exe.tmp" "$exe"
keep_copyright
echo "$exe"
