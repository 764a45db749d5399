#!/usr/bin/env bash
# Tarnvale.exe under Wine, in a virtual desktop on a private X server:
# its caption and control texts from the configuration and the English and
# Chinese language files, the layout list for a folder with only a PE image,
# a screenshot of each, and the single-instance behaviour.
#
#   program_test.sh <Tarnvale.exe> <tv_probe.exe> <lang sources> <lang files> <work folder>
set -euo pipefail
exe=$1 probe=$2 langsrc=$3 langdir=$4 work=$5

source "$(dirname "$0")/lib.sh"

# A PE folder holding only a PE image (no UD package) and the configuration file.
mkdir -p "$work/app/PE"
: > "$work/app/PE/pe.iso"
printf '[Option]\r\nTitle=Tarnvale Wine Test\r\nDefaultFormat=0\r\n' > "$work/app/PE/Tarnvale.cfg"

echo "-- English (locale 1033, code page 1252)"
locale=C
start "$(winpath "$work/app/Tarnvale.exe")"
out=$(ask read)
expect_line "$out" title "Tarnvale Wine Test"
expect_line "$out" Label3 "$(lang 1033 0)"
expect_line "$out" Label0 "$(lang 1033 1)"
expect_line "$out" Label1 "$(lang 1033 2)"
expect_line "$out" Status "$(lang 1033 3)"
expect_line "$out" Command1 "$(lang 1033 4)"
expect_line "$out" UReFresh "$(lang 1033 63)"
expect_line "$out" Fsys.count 3
expect_line "$out" Fsys.0 "DATA+UEFI # $(lang 1033 64)"
expect_line "$out" Fsys.1 "DATA+UEFI # $(lang 1033 5)"
expect_line "$out" Fsys.2 "UEFI+DATA # $(lang 1033 67)"
expect_line "$out" Fsys.selected 0
expect_line "$out" FSFor.selected 0
ask screenshot "$(winpath "$work/english.bmp")" >/dev/null
[ "$(stat -c %s "$work/english.bmp")" -gt 100000 ] || fail "no screenshot"

echo "-- A second instance brings the first back and ends"
ask minimize >/dev/null
[ "$(ask iconic)" = 1 ] || fail "the window did not minimise"
start "$(winpath "$work/app/Tarnvale.exe")"
for _ in $(seq 1 50); do [ "$(ask iconic)" = 0 ] && break; sleep 0.2; done
[ "$(ask iconic)" = 0 ] || fail "the first window was not restored"
for _ in $(seq 1 50); do [ "$(ask processes)" = 1 ] && break; sleep 0.2; done
[ "$(ask processes)" = 1 ] || fail "the second instance did not end"

echo "-- With /source: a second window opens"
start "$(winpath "$work/app/Tarnvale.exe")" /source:x
for _ in $(seq 1 50); do [ "$(ask count)" = 2 ] && break; sleep 0.2; done
[ "$(ask count)" = 2 ] || fail "no second window"
wineserver -k; sleep 1

echo "-- Simplified Chinese (/lng:2052, code page 936)"
locale=zh_CN.UTF-8
start "$(winpath "$work/app/Tarnvale.exe")" /lng:2052
out=$(ask read)
expect_line "$out" Label3 "$(lang 2052 0)"
expect_line "$out" Command1 "$(lang 2052 4)"
expect_line "$out" Status "$(lang 2052 3)"
expect_line "$out" Fsys.0 "DATA+UEFI # $(lang 2052 64)"
ask screenshot "$(winpath "$work/chinese.bmp")" >/dev/null
[ "$(stat -c %s "$work/chinese.bmp")" -gt 100000 ] || fail "no screenshot"
ask close >/dev/null
for _ in $(seq 1 50); do [ "$(ask processes)" = 0 ] && break; sleep 0.2; done
[ "$(ask processes)" = 0 ] || fail "the window did not close"
echo "screenshots: $work/english.bmp $work/chinese.bmp"
