#!/usr/bin/env bash
# The start button of Tarnvale.exe under Wine, where no USB disk is listed:
# pressing it shows the target check's message box (no disk chosen), writes
# the step marker's "0" and nothing else, and the window stays usable: its
# controls enabled, the same press answered again, and the window closes.
#
#   make_test.sh <Tarnvale.exe> <tv_probe.exe> <lang sources> <lang files> <work folder>
set -euo pipefail
exe=$1 probe=$2 langsrc=$3 langdir=$4 work=$5

source "$(dirname "$0")/lib.sh"

mkdir -p "$work/app/PE"
: > "$work/app/PE/pe.iso"
printf '[Option]\r\nTitle=Tarnvale Make Test\r\nBreakPoint=7\r\n' > "$work/app/PE/Tarnvale.cfg"

echo "-- Start with an empty target list"
locale=C
start "$(winpath "$work/app/Tarnvale.exe")"
out=$(ask read)
expect_line "$out" title "Tarnvale Make Test"
expect_line "$out" RDriver.count 0
expect_line "$out" Command1.enabled 1

for press in 1 2; do
  ask click Command1 >/dev/null
  box=$(ask message)
  expect_line "$box" title "$(lang 1033 8)"
  expect_line "$box" text "$(lang 1033 36)"
  expect_line "$box" buttons OK
  ask answer ok >/dev/null
  # The box goes, and the window is as it was: unlocked, its idle texts.
  for _ in $(seq 1 50); do out=$(ask read); grep -qx "Command1.enabled=1" <<<"$out" && break; sleep 0.2; done
  expect_line "$out" Command1.enabled 1
  expect_line "$out" UReFresh.enabled 1
  expect_line "$out" Command1 "$(lang 1033 4)"
  expect_line "$out" Status "$(lang 1033 3)"
  echo "   press $press: message box read and answered"
done

# The step marker was written before the check, and nothing else.
grep -q $'^BreakPoint=0\r$' "$work/app/PE/Tarnvale.cfg" || fail "BreakPoint was not written: $(cat "$work/app/PE/Tarnvale.cfg")"

ask close >/dev/null
for _ in $(seq 1 50); do [ "$(ask processes)" = 0 ] && break; sleep 0.2; done
[ "$(ask processes)" = 0 ] || fail "the window did not close"
echo "make_test: ok"
