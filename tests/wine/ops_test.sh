#!/usr/bin/env bash
# The three operations of Tarnvale.exe under Wine, where they stop before
# any disk work: Ctrl+I with no PE image beside the program asks its
# question and then says that no PE image was found; F5 with an empty
# target list shows the target check's message. The window stays usable
# after both: its inputs are enabled and the keys work again.
#
#   ops_test.sh <Tarnvale.exe> <tv_probe.exe> <lang sources> <lang files> <work folder>
set -euo pipefail
exe=$1 probe=$2 langsrc=$3 langdir=$4 work=$5

source "$(dirname "$0")/lib.sh"

# The program folder holds no PE package at all.
locale=C
start "$(winpath "$work/app/Tarnvale.exe")"
out=$(ask read)
expect_line "$out" RDriver.count 0

# Waits until the program's open message box shows the text (an answered
# box may take a moment to go), then checks its title.
expect_box() {  # <text> <title>
  local out=""
  for _ in $(seq 1 30); do
    out=$(ask message)
    grep -qxF "text=$1" <<<"$out" && break
    sleep 0.2
  done
  expect_line "$out" text "$1"
  expect_line "$out" title "$2"
}

# The answered box has gone, and the window takes input again.
expect_usable() {
  local out
  for _ in $(seq 1 50); do [ -z "$(ask messagebox)" ] && break; sleep 0.2; done
  [ -z "$(ask messagebox)" ] || fail "a message box stays open"
  out=$(ask read)
  for input in RDriver UReFresh Fsys FSFor Command1; do expect_line "$out" "$input.enabled" 1; done
  expect_line "$out" Status "$(lang 1033 3)"
}

echo "-- Ctrl+I without a PE image: the question, then string 41"
ask key I ctrl >/dev/null
expect_box "$(lang 1033 40)" "$(lang 1033 8)"
ask answer ok >/dev/null
expect_box "$(lang 1033 41)" "$(lang 1033 8)"
ask answer ok >/dev/null
expect_usable

echo "-- F5 with an empty target list: string 36"
ask key F5 >/dev/null
expect_box "$(lang 1033 36)" "$(lang 1033 8)"
ask answer ok >/dev/null
expect_usable

echo "-- The keys work again afterwards"
ask key I ctrl >/dev/null
expect_box "$(lang 1033 40)" "$(lang 1033 8)"
ask answer cancel >/dev/null
expect_usable
ask key F5 >/dev/null
expect_box "$(lang 1033 36)" "$(lang 1033 8)"
ask answer ok >/dev/null
expect_usable

ask close >/dev/null
for _ in $(seq 1 50); do [ "$(ask processes)" = 0 ] && break; sleep 0.2; done
[ "$(ask processes)" = 0 ] || fail "the window did not close"
echo "ok"
