#!/usr/bin/env bash
# Tarnvale.exe under Wine: the main window's ProgressBar1 is a container
# that hosts a real msctls_progress32 bar window, built with the control's
# defaults at start-up (range 0 to 100, position 0, no smooth or marquee
# style) and filling its container. While the local install unpacks (the
# archiver is the probe, held until the test lets it go) the window has
# rebuilt the bar with the marquee style, keeping range and position; after
# it, the bar is a plain one again.
#
#   progress_test.sh <Tarnvale.exe> <tv_probe.exe> <lang sources> <lang files> <work folder>
set -euo pipefail
exe=$1 probe=$2 langsrc=$3 langdir=$4 work=$5

source "$(dirname "$0")/lib.sh"

mkdir -p "$work/app/PE"
: > "$work/app/PE/pe.iso"
printf '[Option]\r\nTitle=Tarnvale Progress Test\r\nTaskbarProgress=1\r\n[InstPEToDisk]\r\nWIMFile=boot.wim\r\nSDIFile=boot.sdi\r\n' \
  > "$work/app/PE/Tarnvale.cfg"
mkdir -p "$work/app/Data/Bin"
cp "$probe" "$work/app/Data/Bin/x86.dll"

echo "-- ProgressBar1 after start-up"
start "$(winpath "$work/app/Tarnvale.exe")"
out=$(ask progress)
expect_line "$out" container.class TarnvaleProgressBar
expect_line "$out" bar.class msctls_progress32
expect_line "$out" bar.style 50000000
expect_line "$out" bar.pos 0
expect_line "$out" bar.min 0
expect_line "$out" bar.max 100
expect_line "$out" bar.fills 1
# The window still reads as before, with the taskbar object made on the way.
expect_line "$(ask read)" title "Tarnvale Progress Test"

echo "-- ProgressBar1 while the local install unpacks: the marquee"
# Waits for a message box of the program and reads it.
next_box() {
  for _ in $(seq 1 100); do [ -n "$(ask messagebox)" ] && break; sleep 0.2; done
  ask message
}
ask key I ctrl >/dev/null
expect_line "$(next_box)" text "$(lang 1033 40)"
ask answer ok >/dev/null
for _ in $(seq 1 100); do [ -f "$work/app/Data/Bin/extracting" ] && break; sleep 0.2; done
[ -f "$work/app/Data/Bin/extracting" ] || fail "the install did not start the archiver"
out=$(ask progress)
expect_line "$out" bar.class msctls_progress32
expect_line "$out" bar.style 50000008
expect_line "$out" bar.pos 0
expect_line "$out" bar.min 0
expect_line "$out" bar.max 100
expect_line "$out" bar.fills 1
out=$(ask read)
expect_line "$out" Status "$(lang 1033 54)"
expect_line "$out" Command1.enabled 0

echo "-- ProgressBar1 after the install: a plain bar again"
touch "$work/app/Data/Bin/release"
# Nothing was extracted: the install says so while the marquee still runs.
# The question has gone; the next box is the install's report.
expect_line "$(next_box)" title "$(lang 1033 39)"
expect_line "$(ask progress)" bar.style 50000008
ask answer ok >/dev/null
for _ in $(seq 1 50); do out=$(ask read); grep -qx "Command1.enabled=1" <<<"$out" && break; sleep 0.2; done
expect_line "$out" Command1.enabled 1
expect_line "$out" Status "$(lang 1033 3)"
out=$(ask progress)
expect_line "$out" bar.class msctls_progress32
expect_line "$out" bar.style 50000000
expect_line "$out" bar.pos 0
expect_line "$out" bar.max 100
expect_line "$out" bar.fills 1
ask close >/dev/null
for _ in $(seq 1 50); do [ "$(ask processes)" = 0 ] && break; sleep 0.2; done
[ "$(ask processes)" = 0 ] || fail "the window did not close"
