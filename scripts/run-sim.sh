#!/usr/bin/env bash
# The main job on a simulated Windows machine: installs what it needs on a
# fresh machine (scripts/setup.sh --main-job), builds only the host program,
# its stand-ins and the sample PE package,
# makes a machine with the sample program folder and one 16 GB USB stick,
# and runs Tarnvale on it. In a terminal the window is yours (type "show" or
# "help"-style commands from os/sim/console.h); otherwise the script
# scripts/main-job.txt plays a person's part. Afterwards the stick is shown
# as the make left it: partitions, sizes, types, flags, file systems,
# labels, boot code, the UD area and the files on each; last, where the
# log (Tarnvale.log) lies.
#
#   scripts/run-sim.sh [--script <file>] [-- <Windows arguments such as /lng:2052>]
set -euo pipefail
cd "$(dirname "$0")/.."
# Only what the main job needs, in a build folder of its own: no test suite,
# no Windows build, and compiled without optimisation or debug information,
# which takes a third of the time of the test build (build/host, made by
# scripts/test-all.sh) and makes no difference to a run of a few seconds.
scripts/setup.sh --main-job
build=build/main-job
cmake -S . -B "$build" -G Ninja -DTV_WERROR=ON -DTV_TESTS=OFF -DCMAKE_BUILD_TYPE=MainJob \
      -DCMAKE_CXX_FLAGS_MAINJOB="-O0" -DCMAKE_C_FLAGS_MAINJOB="-O0" > /dev/null
cmake --build "$build" -j "${JOBS:-$(nproc)}" --target tarnvale tvtool sample_package

machine=sample/machine
rm -rf "$machine"
"$build/bin/tvtool" machine-sample "$machine"

script=()
if [ "${1:-}" = "--script" ]; then script=(--script "$2"); shift 2;
elif [ ! -t 0 ]; then script=(--script scripts/main-job.txt); fi
[ "${1:-}" = "--" ] && shift
echo "== Tarnvale on the simulated machine in $machine"
status=0
"$build/bin/tarnvale" --machine "$machine" "${script[@]}" -- "$@" || status=$?
echo "== The USB stick (disk 1) afterwards"
"$build/bin/tvtool" show-disk "$machine" 1
# The log a support desk would ask for: beside the program, or in the
# temporary folder when the program's folder cannot be written.
log=$(find "$machine/drives" -iname Tarnvale.log -print -quit)
if [ -n "$log" ]; then
  echo "== The log of this run and the earlier ones: $log"
else
  echo "== No log was written"
fi
exit $status
