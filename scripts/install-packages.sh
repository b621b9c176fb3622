#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
set -euo pipefail

packages=(
  g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
  wine wine32:i386
  xvfb xauth x11-utils fonts-ipafont-gothic imagemagick
  googletest cmake ninja-build make clang libclang-rt-14-dev
  dcmtk libjpeg-turbo-progs unzip
  locales dpkg-dev xz-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt-get update -q
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Wine reads Unix file names and arguments through the glibc locale; without
# ja_JP.UTF-8 Japanese file names are not found. en_US.UTF-8 is the
# non-Japanese system of one test (ANSI 1252, OEM 437).
for wanted in ja_JP en_US; do
  if ! locale -a 2>/dev/null | grep -qi "^$wanted\.utf-\?8$"; then
    sed -i "s/^# *\($wanted.UTF-8 UTF-8\)/\1/" /etc/locale.gen
    grep -q "^$wanted.UTF-8 UTF-8" /etc/locale.gen || echo "$wanted.UTF-8 UTF-8" >> /etc/locale.gen
    locale-gen
  fi
done
