#!/usr/bin/env bash
# Tarnvale.exe under Wine from its start to its end: a program folder whose
# name is outside the ANSI code page, the unload when the session ends
# (logoff or shutdown), a background unpack that is ended when the window
# closes, the session's end during an operation (held up, and the per-run
# folder kept for the running tool), and the programs it started ending
# with it when it is ended abruptly.
#
#   program_life_test.sh <Tarnvale.exe> <tv_probe.exe> <lang sources> <lang files> <work folder>
set -euo pipefail
exe=$1 probe=$2 langsrc=$3 langdir=$4 work=$5

source "$(dirname "$0")/lib.sh"
temp="$WINEPREFIX/drive_c/windows/temp"

# The per-run folders (eight letters) in the Windows temporary folder.
run_folders() { ls "$temp" 2>/dev/null | grep -E '^[A-Za-z]{8}$' | sort || true; }
wait_for() {  # <what> <command...>: up to thirty seconds
  local what=$1; shift
  for _ in $(seq 1 150); do "$@" && return 0; sleep 0.2; done
  fail "$what"
}
closed() { [ "$(ask processes)" = 0 ]; }

echo "-- A program folder outside the ANSI code page (1252)"
# The probe copies the folder to one whose name is in Cyrillic and Chinese
# and starts the program there. In the locale C.UTF-8 Wine's ANSI code page
# is 1252, and host file names can hold any character.
locale=C.UTF-8
mkdir -p "$work/stage/PE"
cp -r "$work/app/." "$work/stage/"
printf '[Option]\r\nTitle=Tarnvale Elsewhere\r\n' > "$work/stage/PE/Tarnvale.cfg"
ask start-elsewhere "$(winpath "$work/stage")" >/dev/null
out=$(ask read)
expect_line "$out" title "Tarnvale Elsewhere"
expect_line "$out" Label3 "$(lang 1033 0)"
expect_line "$out" Command1 "$(lang 1033 4)"
expect_line "$out" Status "$(lang 1033 3)"
ask close >/dev/null
wait_for "the window did not close" closed
locale=C

echo "-- The session ends: the unload runs and the per-run folder goes"
before=$(run_folders)
start "$(winpath "$work/app/Tarnvale.exe")"
ask read >/dev/null
folder=$(comm -13 <(echo "$before") <(run_folders) | head -n 1)
[ -n "$folder" ] || fail "no per-run folder in $temp"
# The probe ends the process after WM_ENDSESSION, as Windows does.
[ "$(ask endsession)" = 1 ] || fail "the window refused the end of the session while idle"
wait_for "the program did not end" closed
[ ! -e "$temp/$folder" ] || fail "the per-run folder $folder stayed behind at the end of the session"

echo "-- A background unpack that does not finish is ended at closing"
mkdir -p "$work/app/Data/Plugins" "$work/app/Data/Bin"
head -c 10000 /dev/zero > "$work/app/Data/Plugins/pacmd.aes"
cp "$probe" "$work/app/Data/Bin/x86.dll"  # an archiver that never finishes
rm -f "$work/app/Data/Bin/started"
before=$(run_folders)
start "$(winpath "$work/app/Tarnvale.exe")"
wait_for "the archiver was not started" test -f "$work/app/Data/Bin/started"
folder=$(comm -13 <(echo "$before") <(run_folders) | head -n 1)
[ -n "$folder" ] || fail "no per-run folder in $temp"
[ "$(ask processes x86.dll)" = 1 ] || fail "the archiver does not run"
ask close >/dev/null
wait_for "the window did not close" closed
[ "$(ask processes x86.dll)" = 0 ] || fail "the archiver outlived the window"
[ ! -e "$temp/$folder" ] || fail "the per-run folder $folder stayed behind"

echo "-- The session ends during an operation: held up, and the per-run folder stays"
# The local install with a PE image beside the program runs the archiver,
# which never finishes here: the operation is under way.
rm -f "$work/app/Data/Bin/started" "$work/app/Data/Plugins/pacmd.aes"
mkdir -p "$work/app/PE"
printf 'image' > "$work/app/PE/TarnvalePE.iso"
printf '[InstPEToDisk]\r\nWIMFile=boot.wim\r\nSDIFile=boot.sdi\r\n' > "$work/app/PE/Tarnvale.cfg"
before=$(run_folders)
start "$(winpath "$work/app/Tarnvale.exe")"
ask read >/dev/null
folder=$(comm -13 <(echo "$before") <(run_folders) | head -n 1)
[ -n "$folder" ] || fail "no per-run folder in $temp"
ask key I ctrl >/dev/null
for _ in $(seq 1 50); do ask message 2>/dev/null | grep -qxF "text=$(lang 1033 40)" && break; sleep 0.2; done
ask answer ok >/dev/null
wait_for "the install did not start the archiver" test -f "$work/app/Data/Bin/started"
[ "$(ask endsession-force)" = 0 ] || fail "the window let the session end during the install"
wait_for "the window did not go" closed
[ -e "$temp/$folder" ] || fail "the per-run folder $folder was deleted under the running archiver"
rm -rf "$work/app/PE" "${temp:?}/$folder"

echo "-- The program ended abruptly: the programs it started end with it"
# No close, no unload: only the job that every started program joins (and
# that the system closes with the process) can end the archiver.
rm -f "$work/app/Data/Bin/started"
start "$(winpath "$work/app/Tarnvale.exe")"
wait_for "the archiver was not started" test -f "$work/app/Data/Bin/started"
[ "$(ask processes x86.dll)" = 1 ] || fail "the archiver does not run"
wine taskkill /f /im Tarnvale.exe >/dev/null 2>&1 || fail "taskkill could not end the program"
wait_for "the window did not go" closed
wait_for "the archiver outlived the program" test "$(ask processes x86.dll)" = 0
echo "ok"
