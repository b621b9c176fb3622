#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need: both
# mingw toolchains always (both builds are compiled every time), 64-bit Wine
# (it runs the x64 configure of DCMTK on every machine), and where the tests
# run the x86 build, 32-bit Wine; wine32 cannot run where 32-bit code cannot.
set -euo pipefail
source "$(dirname "$0")/env.sh"
source "$(dirname "$0")/step.sh"

packages=(
  g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
  xvfb xauth x11-utils fonts-ipafont-gothic imagemagick
  googletest cmake ninja-build make clang libclang-rt-14-dev
  dcmtk libjpeg-turbo-progs unzip
  locales dpkg-dev xz-utils
  python3-fusepy python3-pydicom fuse exfatprogs exfat-fuse
)
if [ "$PARVANE_ARCH" = x86 ]; then
  if ! machine_runs_32bit_code; then
    echo "PARVANE_ARCH=x86, but this machine cannot run 32-bit code (the kernel's 32-bit emulation is off): use PARVANE_ARCH=x64" >&2
    exit 1
  fi
  packages+=(wine wine32:i386 wine64)
else
  packages+=(wine wine64)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  if [ "$PARVANE_ARCH" = x86 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    run_step "add the i386 architecture" dpkg --add-architecture i386
  fi
  run_step "apt-get update" apt-get update -q
  run_step "install Debian packages" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Wine reads Unix file names and arguments through the glibc locale; without
# ja_JP.UTF-8 Japanese file names are not found. en_US.UTF-8 is the
# non-Japanese system of one test (ANSI 1252, OEM 437).
for wanted in ja_JP en_US; do
  if ! locale -a 2>/dev/null | grep -qi "^$wanted\.utf-\?8$"; then
    sed -i "s/^# *\($wanted.UTF-8 UTF-8\)/\1/" /etc/locale.gen
    grep -q "^$wanted.UTF-8 UTF-8" /etc/locale.gen || echo "$wanted.UTF-8 UTF-8" >> /etc/locale.gen
    run_step "generate the locales" locale-gen
  fi
done
