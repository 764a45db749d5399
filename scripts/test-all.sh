#!/usr/bin/env bash
# Sets up a fresh machine, builds both programs and runs every test: the
# host tests on the simulated machine, and the Windows build's tests under Wine.
#
#   TV_WINE_VARIANT=i686|x86_64  the variant of the Windows program that the
#                          Windows tests run against (scripts/windows-variant.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
scripts/setup.sh
scripts/build.sh
source scripts/windows-variant.sh
jobs="${JOBS:-$(nproc)}"

echo "== host tests (simulated machine)"
(cd build/host && ctest --output-on-failure -j "$jobs")

if [ "$tv_variant" = i686 ]; then
  echo "== Windows tests: the i686 program under wine ($tv_variant_why)"
  scripts/check-pe.sh build/win/bin/Tarnvale.exe
  (cd build/win && ctest --output-on-failure)
else
  echo "== Windows tests: the x86_64 variant under wine64 ($tv_variant_why)"
  scripts/check-pe.sh build/win/bin/Tarnvale.exe
  (cd "$tv_win64" && ctest --output-on-failure)
fi
echo "== every test passed ($((SECONDS - start)) s)"
