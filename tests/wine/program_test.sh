#!/usr/bin/env bash
# Tarnvale.exe under Wine, in a virtual desktop on a private X server:
# its caption and control texts from the configuration and the English and
# Chinese language files, the layout list for a folder with only a PE image,
# a screenshot of each, and the single-instance behaviour.
#
#   program_test.sh <Tarnvale.exe> <tv_probe.exe> <lang sources> <lang files> <work folder>
set -euo pipefail
exe=$1 probe=$2 langsrc=$3 langdir=$4 work=$5

export WINEPREFIX="${TMPDIR:-/tmp}/tarnvale-wine-gui"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
desktop="tvtest,900x640"

fail() { echo "FAILED: $*" >&2; exit 1; }

# A private X server.
for n in $(seq 90 140); do [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }; done
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
cleanup() { wineserver -k >/dev/null 2>&1 || true; kill $xvfb >/dev/null 2>&1 || true; }
trap cleanup EXIT
sleep 1

# The program folder: the program, its language files, and a PE folder
# holding only a PE image (no UD package) and the configuration file.
rm -rf "$work"
mkdir -p "$work/app/Data/Lang" "$work/app/PE"
cp "$exe" "$work/app/Tarnvale.exe"
cp "$probe" "$work/tv_probe.exe"
cp "$langdir"/*.lng "$work/app/Data/Lang/"
: > "$work/app/PE/pe.iso"
printf '[Option]\r\nTitle=Tarnvale Wine Test\r\nDefaultFormat=0\r\n' > "$work/app/PE/Tarnvale.cfg"
winpath() { printf 'Z:%s' "$(echo "$1" | sed 's|/|\\|g')"; }

# Starts a program in the virtual desktop (Wine returns at once), in the
# locale $locale: Wine takes its ANSI code page and system locale from it.
locale=C
start() { env LANG=$locale LC_ALL=$locale wine explorer /desktop="$desktop" "$@" >/dev/null 2>&1 & }

# Runs the probe and waits for its answer file.
ask() {
  local answer="$work/answer-$RANDOM"
  start "$(winpath "$work/tv_probe.exe")" "$(winpath "$answer")" "$@"
  for _ in $(seq 1 600); do [ -f "$answer" ] && break; sleep 0.1; done
  [ -f "$answer" ] || fail "the probe did not answer: $*"
  [ "$(tail -n 1 "$answer")" = ok ] || fail "the probe could not: $*"
  head -n -1 "$answer"
}

# The text of String(n) in a language source.
lang() { grep "^String($2)=" "$langsrc/$1.lng" | cut -d= -f2- | sed 's/^"\(.*\)"$/\1/'; }

expect_line() {  # <read output> <name> <value>
  grep -qxF "$2=$3" <<<"$1" || fail "expected '$2=$3' in:
$1"
}

# The first start of Wine builds its prefix; let it finish first.
wineboot -i >/dev/null 2>&1 || true
wineserver -w || true

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
