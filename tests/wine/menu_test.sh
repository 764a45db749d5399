#!/usr/bin/env bash
# Tarnvale.exe's system menu and its two dialogs under Wine, in a virtual
# desktop on a private X server, chosen as a user chooses them: with the
# keyboard through the real menu. The entries of the menu in order and
# their pictures, an option's check mark, the partition size dialog typed
# into and closed (the configuration file then holds the sizes, and the
# focus is back where it was), the About window's caption and lines and
# its guide link without the guide, the main window closed and the session
# ended while a dialog is open, the dialog's captions in German, the
# pictures at 120 dpi, and a screenshot of each.
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
# 96 dpi to begin with, whatever an interrupted earlier run left in the prefix.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
wineserver -w || true
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

echo "-- The pictures: 16x16 at 96 dpi, drawn with their background left out"
out=$(ask pictures)
# By menu position: install, boot test, options, (the log has none), About.
for n in 0 1 2 4; do
  expect_line "$out" picture.$n.size 16x16
  row=$(sed -n "s/^picture\.$n\.row=//p" <<<"$out")
  expect_line "$out" picture.$n.corner "$row"
  expect_line "$out" picture.$n.outside 0
  [ "$(sed -n "s/^picture\.$n\.drawn=//p" <<<"$out")" -gt 20 ] || fail "picture $n is not drawn: $out"
done
# The options submenu open over the highlighted options entry.
ask keys alt+space down down right >/dev/null
ask screenshot "$(winpath "$work/menu.bmp")" >/dev/null
ask keys escape escape >/dev/null

echo "-- 2030 chosen from its submenu checks its entry; the platform's minimise still works"
ask keys alt+space down down right enter >/dev/null
for _ in $(seq 1 50); do grep -q '^menu\.2\.0=\[x\]2030|' <<<"$(ask sysmenu)" && break; sleep 0.2; done
grep -q '^menu\.2\.0=\[x\]2030|' <<<"$(ask sysmenu)" || fail "2030 is not checked"
ask keys alt+space n >/dev/null
for _ in $(seq 1 50); do [ "$(ask iconic)" = 1 ] && break; sleep 0.2; done
[ "$(ask iconic)" = 1 ] || fail "the platform's minimise did not reach the window"
ask restore >/dev/null
for _ in $(seq 1 50); do [ "$(ask iconic)" = 0 ] && break; sleep 0.2; done

echo "-- 2021 chosen from the boot-test submenu starts the boot test, which finds no disk"
ask keys alt+space down right down enter >/dev/null
out=$(ask message)
expect_line "$out" title "$(lang 1033 8)"
expect_line "$out" text "$(lang 1033 36)"
ask answer ok >/dev/null
for _ in $(seq 1 50); do [ -z "$(ask messagebox)" ] && break; sleep 0.2; done

echo "-- 2032: the partition size dialog; the focus comes back to its control"
ask keys tab tab >/dev/null
focus=$(ask focus)
[ "$focus" != focus=0 ] || fail "no control has the focus"
ask keys alt+space down down right down down enter >/dev/null
out=$(ask form2)
expect_line "$out" title "$(lang 1033 59)"
expect_line "$out" Label1 "$(lang 1033 60)"
expect_line "$out" Label2 "$(lang 1033 61)"
expect_line "$out" Text1 300
expect_line "$out" Text2 1032
fits=$(ask form2fits)
grep -q '=0$' <<<"$fits" && fail "a caption of the size dialog is cut:
$fits"
sleep 1  # the dialog's timer selects the UD field: typing replaces it
ask form2type UD "5a-0.x0" >/dev/null
ask form2paste EFI >/dev/null
out=$(ask form2)
expect_line "$out" Text1 500
expect_line "$out" Text2 1032
ask screenshot "$(winpath "$work/form2.bmp")" >/dev/null
ask keys escape >/dev/null
for _ in $(seq 1 50); do grep -q "^UDSize=500${tab}" "$work/app/Tarnvale.cfg" && break; sleep 0.2; done
grep -q "^UDSize=500${tab}${tab}${tab}${tab}//" "$work/app/Tarnvale.cfg" || fail "UDSize was not stored: $(cat "$work/app/Tarnvale.cfg")"
grep -q "^EFISize=1032${tab}${tab}${tab}${tab}//" "$work/app/Tarnvale.cfg" || fail "EFISize was not stored"
[ "$(ask focus)" = "$focus" ] || fail "the focus did not come back: $(ask focus), was $focus"

echo "-- The EFI field takes no more digits than a size can have"
ask keys alt+space down down right down down enter >/dev/null
ask form2 >/dev/null
sleep 1
ask keys tab >/dev/null  # to the EFI field, which selects its text
ask form2type EFI 99999999999999999999 >/dev/null
expect_line "$(ask form2)" Text2 999999999
fits=$(ask form2fits)
expect_line "$fits" fits.Text2 1
ask keys escape >/dev/null
for _ in $(seq 1 50); do grep -q "^EFISize=999999999${tab}" "$work/app/Tarnvale.cfg" && break; sleep 0.2; done
grep -q "^EFISize=999999999${tab}" "$work/app/Tarnvale.cfg" || fail "EFISize was not stored: $(cat "$work/app/Tarnvale.cfg")"

echo "-- 2004: the About window"
ask keys alt+space down down down down enter >/dev/null
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

echo "-- The guide link without the guide beside the program: a missing file is reported"
ask aboutclick 3 >/dev/null
for _ in $(seq 1 50); do [ -n "$(ask messagebox)" ] && break; sleep 0.2; done
out=$(ask messagebox)
expect_line "$out" message "$(lang 1033 10)"
grep -qF "text=$(lang 1033 74)" <<<"$out" || fail "the missing guide is not reported: $out"
grep -qF 'Tarnvale-Guide.txt' <<<"$out" || fail "the report does not name the guide: $out"
ask keys enter >/dev/null
for _ in $(seq 1 50); do [ -z "$(ask messagebox)" ] && break; sleep 0.2; done

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
ask keys escape >/dev/null
sleep 1
[ -z "$(ask messagebox)" ] || fail "a message box when the About window closed: $(ask messagebox)"
echo "-- The log beside the program; Ctrl+L and the menu entry Log open it in the text editor"
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
ask keys alt+space down down down enter >/dev/null  # the entry Log
for _ in $(seq 1 50); do [ "$(editors)" = 2 ] && break; sleep 0.2; done
[ "$(editors)" = 2 ] || fail "the menu entry Log did not open the log: $(ask messagebox)"
[ -z "$(ask messagebox)" ] || fail "a message box when the log opened: $(ask messagebox)"
# The editors go, or the prefix's server would wait for them below.
wine taskkill /f /im notepad.exe >/dev/null 2>&1 || true
for _ in $(seq 1 50); do [ "$(editors)" = 0 ] && break; sleep 0.2; done
[ "$(editors)" = 0 ] || fail "the text editors did not end"

ask close >/dev/null
for _ in $(seq 1 50); do [ "$(ask processes)" = 0 ] && break; sleep 0.2; done
[ "$(ask processes)" = 0 ] || fail "the window did not close"
for _ in $(seq 1 50); do grep -q 'closed; the per-run folder' <<<"$(tail -n 1 "$log")" && break; sleep 0.2; done
grep -q '  closed; the per-run folder was removed: ' <<<"$(tail -n 1 "$log")" || fail "the close is not logged: $(tail -n 2 "$log")"
start "$(winpath "$work/app/Tarnvale.exe")"

echo "-- Closed from outside while the size dialog is open: the dialog's closing runs first"
ask keys alt+space down down right down down enter >/dev/null
ask form2 >/dev/null
sleep 1
ask form2type UD 750 >/dev/null
expect_line "$(ask form2)" Text1 750
ask close >/dev/null
for _ in $(seq 1 50); do [ "$(ask processes)" = 0 ] && break; sleep 0.2; done
[ "$(ask processes)" = 0 ] || fail "the window did not close"
grep -q "^UDSize=750${tab}${tab}${tab}${tab}//" "$work/app/Tarnvale.cfg" || fail "the dialog did not store its sizes: $(cat "$work/app/Tarnvale.cfg")"

echo "-- The session ends while the size dialog is open: the dialog's closing runs first"
start "$(winpath "$work/app/Tarnvale.exe")"
ask keys alt+space down down right down down enter >/dev/null
ask form2 >/dev/null
sleep 1
ask form2type UD 820 >/dev/null
expect_line "$(ask form2)" Text1 820
[ "$(ask endsession)" = 1 ] || fail "the end of the session was refused"
for _ in $(seq 1 50); do [ "$(ask processes)" = 0 ] && break; sleep 0.2; done
grep -q "^UDSize=820${tab}${tab}${tab}${tab}//" "$work/app/Tarnvale.cfg" || fail "the dialog did not store its sizes at the end of the session: $(cat "$work/app/Tarnvale.cfg")"

echo "-- In German the size dialog's captions fit"
start "$(winpath "$work/app/Tarnvale.exe")" /lng:1031
ask keys alt+space down down right down down enter >/dev/null
out=$(ask form2)
expect_line "$out" Label2 "$(lang 1031 61)"
fits=$(ask form2fits)
echo "$fits"
grep -q '=0$' <<<"$fits" && fail "a German caption of the size dialog is cut"
ask screenshot "$(winpath "$work/form2-de.bmp")" >/dev/null
ask keys escape >/dev/null
ask close >/dev/null
for _ in $(seq 1 50); do [ "$(ask processes)" = 0 ] && break; sleep 0.2; done
[ "$(ask processes)" = 0 ] || fail "the window did not close"
echo "-- At 120 dpi the pictures are scaled with it: 20x20"
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 120 /f >/dev/null 2>&1
wineserver -w || true
start "$(winpath "$work/app/Tarnvale.exe")"
out=$(ask pictures)
ask keys alt+space down >/dev/null
ask screenshot "$(winpath "$work/menu-120dpi.bmp")" >/dev/null
ask keys escape escape >/dev/null
ask close >/dev/null
for _ in $(seq 1 50); do [ "$(ask processes)" = 0 ] && break; sleep 0.2; done
# The prefix is shared with the other tests: back to 96 dpi before anything is checked.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
wineserver -w || true
for n in 0 1 2 4; do
  expect_line "$out" picture.$n.size 20x20
  row=$(sed -n "s/^picture\.$n\.row=//p" <<<"$out")
  expect_line "$out" picture.$n.corner "$row"
  expect_line "$out" picture.$n.outside 0
done
echo "screenshots: $work/menu.bmp $work/form2.bmp $work/about.bmp $work/about-rest.bmp $work/form2-de.bmp $work/menu-120dpi.bmp"
