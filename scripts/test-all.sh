#!/usr/bin/env bash
# Sets up a fresh machine, builds both programs and runs every test: the
# host tests on the simulated machine, and the Windows build's tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
jobs="${JOBS:-$(nproc)}"
echo "== host tests (simulated machine)"
(cd build/host && ctest --output-on-failure -j "$jobs")
echo "== Windows tests (under Wine)"
(cd build/win && ctest --output-on-failure)
