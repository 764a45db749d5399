#!/usr/bin/env bash
# Tarnvale.exe's system menu and its two dialogs under Wine, in a virtual
# desktop on a private X server: the entries of the real system menu in
# order, an option's check mark, the partition size dialog typed into and
# closed (the configuration file then holds the sizes), the About window's
# caption and lines, the log beside the program opened by Ctrl+L and by
# its menu entry, and a screenshot of each.
#
#   menu_test.sh <Tarnvale.exe> <tv_probe.exe> <lang sources> <lang files> <work folder>
set -euo pipefail
exe=$1 probe=$2 langsrc=$3 langdir=$4 work=$5

source "$(dirname "$0")/lib.sh"
# The part of the probe that reads the menu inside the program's process.
cp "$(dirname "$probe")/tv_probe_hook.dll" "$work/"

# The size dialog's labels ask for Microsoft YaHei, as Windows has it; Wine
# draws it with the Chinese font the machine has.
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Microsoft YaHei' /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
LC_ALL=C.UTF-8 wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$(printf '\xe5\xbe\xae\xe8\xbd\xaf\xe9\x9b\x85\xe9\xbb\x91')" /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
wineserver -w || true

printf '[Option]\r\nTitle=Tarnvale Menu Test\r\n[InstPEToDisk]\r\nPEName=Test PE\r\n' > "$work/app/Tarnvale.cfg"
tab=$'\t'

echo "-- The system menu's entries, above the platform's own"
locale=C
start "$(winpath "$work/app/Tarnvale.exe")"
out=$(ask sysmenu)
expect_line "$out" menu.0 "2002|$(lang 1033 53)(&I)${tab}Ctrl+I"
expect_line "$out" menu.1 "sub|$(lang 1033 52)"
expect_line "$out" menu.1.0 "2020|BIOS${tab}${tab}F5"
expect_line "$out" menu.1.1 "2021|EFI X64"
expect_line "$out" menu.2 "sub|$(lang 1033 51)"
expect_line "$out" menu.2.0 "2030|$(lang 1033 55)"
expect_line "$out" menu.2.1 "2031|$(lang 1033 56)"
expect_line "$out" menu.2.2 "2032|$(lang 1033 57)"
expect_line "$out" menu.3 "2003|$(lang 1033 85)(&L)${tab}Ctrl+L"
expect_line "$out" menu.4 "2004|$(lang 1033 49)(&A)"
expect_line "$out" menu.5 "sep|"
grep -q '^menu\.6=61728|' <<<"$out" || fail "the platform's entries do not follow ours:
$out"
ask showsysmenu 2 >/dev/null
ask screenshot "$(winpath "$work/menu.bmp")" >/dev/null
ask escape >/dev/null
ask escape >/dev/null

echo "-- 2030 checks its entry; the platform's minimise still works"
ask syscommand 2030 >/dev/null
for _ in $(seq 1 50); do grep -q '^menu\.2\.0=\[x\]2030|' <<<"$(ask sysmenu)" && break; sleep 0.2; done
grep -q '^menu\.2\.0=\[x\]2030|' <<<"$(ask sysmenu)" || fail "2030 is not checked"
ask syscommand 61472 >/dev/null
for _ in $(seq 1 50); do [ "$(ask iconic)" = 1 ] && break; sleep 0.2; done
[ "$(ask iconic)" = 1 ] || fail "the platform's minimise did not reach the window"
ask syscommand 61728 >/dev/null
for _ in $(seq 1 50); do [ "$(ask iconic)" = 0 ] && break; sleep 0.2; done

echo "-- 2032: the partition size dialog"
ask syscommand 2032 >/dev/null
out=$(ask form2)
expect_line "$out" title "$(lang 1033 59)"
expect_line "$out" Label1 "$(lang 1033 60)"
expect_line "$out" Label2 "$(lang 1033 61)"
expect_line "$out" Text1 300
expect_line "$out" Text2 1032
sleep 1  # the dialog's timer selects the UD field: typing replaces it
ask form2type UD "5a-0.x0" >/dev/null
ask form2paste EFI >/dev/null
out=$(ask form2)
expect_line "$out" Text1 500
expect_line "$out" Text2 1032
ask screenshot "$(winpath "$work/form2.bmp")" >/dev/null
ask form2close >/dev/null
for _ in $(seq 1 50); do grep -q "^UDSize=500${tab}" "$work/app/Tarnvale.cfg" && break; sleep 0.2; done
grep -q "^UDSize=500${tab}${tab}${tab}${tab}//" "$work/app/Tarnvale.cfg" || fail "UDSize was not stored: $(cat "$work/app/Tarnvale.cfg")"
grep -q "^EFISize=1032${tab}${tab}${tab}${tab}//" "$work/app/Tarnvale.cfg" || fail "EFISize was not stored"

echo "-- 2004: the About window"
ask syscommand 2004 >/dev/null
out=$(ask about)
expect_line "$out" title "About Tarnvale"
expect_line "$out" Label1.0 "Tarnvale 12.0.0"
expect_line "$out" Label1.1 "Made by the Tarnvale project"
expect_line "$out" Label1.3 "User Guide"
expect_line "$out" Label1.5.visible 0
# Prog1 is a progress bar control, hidden until the tune plays.
expect_line "$out" Prog1.class TarnvaleProgressBar
expect_line "$out" Prog1.bar.class msctls_progress32
expect_line "$out" Prog1.visible 0
expect_line "$out" Prog1.max 100
expect_line "$out" Prog1.value 0
ask screenshot "$(winpath "$work/about.bmp")" >/dev/null

echo "-- The logo falls and comes to rest; the tune plays, or the window stays quiet"
top=$(ask about | sed -n 's/^Image1.top=//p')
ask aboutclick logo >/dev/null
# The logo bounces, so it is seen low once; a second look may find it high again.
fell=0
for _ in $(seq 1 100); do
  now=$(ask about | sed -n 's/^Image1.top=//p')
  [ -n "$now" ] && [ "$now" -gt $((top + 40)) ] && { fell=1; break; }
  sleep 0.3
done
[ "$fell" = 1 ] || fail "the logo did not fall"
sleep 10
ask screenshot "$(winpath "$work/about-rest.bmp")" >/dev/null
out=$(ask about)
echo "$out" | grep '^Prog1'
# Where Wine plays the tune, Prog1 shows its position within the tune's length.
if grep -qx 'Prog1.visible=1' <<<"$out"; then
  max=$(sed -n 's/^Prog1.max=//p' <<<"$out") value=$(sed -n 's/^Prog1.value=//p' <<<"$out")
  [ "$max" -gt 100 ] && [ "$value" -le "$max" ] || fail "Prog1 does not follow the tune: $value of $max"
fi
[ -z "$(ask messagebox)" ] || fail "a message box while the tune starts: $(ask messagebox)"
ask aboutclose >/dev/null
sleep 1
[ -z "$(ask messagebox)" ] || fail "a message box when the About window closed: $(ask messagebox)"
echo "-- The log beside the program; Ctrl+L and 2003 open it in the text editor"
log="$work/app/Tarnvale.log"
[ -f "$log" ] || fail "no Tarnvale.log beside the program"
[ "$(head -c 3 "$log" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "the log does not begin with a byte-order mark"
grep -qE '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3}  ---- a new run ----'$'\r''$' <<<"$(tail -c +4 "$log")" \
  || fail "the log does not begin its run with a time-stamped line: $(head -c 300 "$log")"
grep -q '  Tarnvale 12\.0\.0 started' "$log" || fail "the start is not logged: $(cat "$log")"
grep -qE '  Windows: [0-9]+\.[0-9]+ build [0-9]+, (32|64)-bit, this program 32-bit, ' "$log" \
  || grep -qE '  Windows: [0-9]+\.[0-9]+ build [0-9]+, 64-bit, this program 64-bit, ' "$log" \
  || fail "the system is not logged: $(grep Windows "$log")"
grep -q '  target list rebuilt (removable disks):' "$log" || fail "the target list is not logged"
# Windows opens .log files as text files; the test's prefix is told the same.
wine reg add 'HKCR\.log' /ve /d txtfile /f >/dev/null 2>&1
editors() { ask processes notepad.exe; }
[ "$(editors)" = 0 ] || fail "a text editor runs already"
ask key L ctrl >/dev/null
for _ in $(seq 1 50); do [ "$(editors)" = 1 ] && break; sleep 0.2; done
[ "$(editors)" = 1 ] || fail "Ctrl+L did not open the log: $(ask messagebox)"
ask syscommand 2003 >/dev/null
for _ in $(seq 1 50); do [ "$(editors)" = 2 ] && break; sleep 0.2; done
[ "$(editors)" = 2 ] || fail "the menu entry 2003 did not open the log: $(ask messagebox)"
[ -z "$(ask messagebox)" ] || fail "a message box when the log opened: $(ask messagebox)"

ask close >/dev/null
for _ in $(seq 1 50); do [ "$(ask processes)" = 0 ] && break; sleep 0.2; done
[ "$(ask processes)" = 0 ] || fail "the window did not close"
for _ in $(seq 1 50); do grep -q 'closed; the per-run folder' <<<"$(tail -n 1 "$log")" && break; sleep 0.2; done
grep -q '  closed; the per-run folder was removed: ' <<<"$(tail -n 1 "$log")" || fail "the close is not logged: $(tail -n 2 "$log")"
echo "screenshots: $work/menu.bmp $work/form2.bmp $work/about.bmp $work/about-rest.bmp"
