#!/usr/bin/env bash
# Builds both programs: the host build in build/host, the Windows build in
# build/win (the shipped i686 Tarnvale.exe), and, where the Windows tests run
# against it (scripts/windows-variant.sh), the x86_64 variant in build/win64.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/windows-variant.sh
jobs="${JOBS:-$(nproc)}"
cmake -S . -B build/host -G Ninja -DTV_WERROR=ON -DTV_TESTS=ON > /dev/null
cmake --build build/host -j "$jobs"
cmake -S . -B build/win -G Ninja -DTV_WERROR=ON -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake > /dev/null
cmake --build build/win -j "$jobs"
if [ "$tv_variant" = x86_64 ]; then
  echo "== the x86_64 variant of the Windows program in $tv_win64 ($tv_variant_why)"
  # Its package test packages the shipped i686 program of build/win.
  cmake -S . -B "$tv_win64" -G Ninja -DTV_WERROR=ON -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
        -DTV_SHIPPED_BUILD="$PWD/build/win" > /dev/null
  cmake --build "$tv_win64" -j "$jobs"
fi
