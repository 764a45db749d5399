#!/usr/bin/env bash
# Tarnvale.exe under Wine: the main window's ProgressBar1 is a container
# that hosts a real msctls_progress32 bar window, built with the control's
# defaults at start-up (range 0 to 100, position 0, no smooth or marquee
# style) and filling its container.
#
#   progress_test.sh <Tarnvale.exe> <tv_probe.exe> <lang sources> <lang files> <work folder>
set -euo pipefail
exe=$1 probe=$2 langsrc=$3 langdir=$4 work=$5

source "$(dirname "$0")/lib.sh"

mkdir -p "$work/app/PE"
: > "$work/app/PE/pe.iso"
printf '[Option]\r\nTitle=Tarnvale Progress Test\r\nTaskbarProgress=1\r\n' > "$work/app/PE/Tarnvale.cfg"

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
ask close >/dev/null
for _ in $(seq 1 50); do [ "$(ask processes)" = 0 ] && break; sleep 0.2; done
[ "$(ask processes)" = 0 ] || fail "the window did not close"
