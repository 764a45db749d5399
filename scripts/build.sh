#!/usr/bin/env bash
# Builds both programs: the host build in build/host, the Windows build in build/win.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${JOBS:-$(nproc)}"
cmake -S . -B build/host -G Ninja -DTV_WERROR=ON > /dev/null
cmake --build build/host -j "$jobs"
cmake -S . -B build/win -G Ninja -DTV_WERROR=ON -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake > /dev/null
cmake --build build/win -j "$jobs"
