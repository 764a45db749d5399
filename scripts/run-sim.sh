#!/usr/bin/env bash
# The main job on a simulated Windows machine: sets up a fresh machine,
# builds the host program with its stand-ins and the sample PE package,
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
scripts/setup.sh
cmake -S . -B build/host -G Ninja -DTV_WERROR=ON > /dev/null
cmake --build build/host -j "${JOBS:-$(nproc)}"

machine=sample/machine
rm -rf "$machine"
build/host/bin/tvtool machine-sample "$machine"

script=()
if [ "${1:-}" = "--script" ]; then script=(--script "$2"); shift 2;
elif [ ! -t 0 ]; then script=(--script scripts/main-job.txt); fi
[ "${1:-}" = "--" ] && shift
echo "== Tarnvale on the simulated machine in $machine"
status=0
build/host/bin/tarnvale --machine "$machine" "${script[@]}" -- "$@" || status=$?
echo "== The USB stick (disk 1) afterwards"
build/host/bin/tvtool show-disk "$machine" 1
# The log a support desk would ask for: beside the program, or in the
# temporary folder when the program's folder cannot be written.
log=$(find "$machine/drives" -iname Tarnvale.log -print -quit)
if [ -n "$log" ]; then
  echo "== The log of this run and the earlier ones: $log"
else
  echo "== No log was written"
fi
exit $status
