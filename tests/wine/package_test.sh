#!/usr/bin/env bash
# The release package: scripts/package.sh builds the zip from the Windows
# build; unpacked into a fresh folder it holds exactly the program, its
# language files, the user guide, the licence and the empty folders for the
# PE system's outside programs and package; the program started from there
# under Wine shows its main window with the English captions.
#
#   package_test.sh <package.sh> <Windows build folder> <tv_probe.exe> <lang sources> <work folder> [<variant.exe>]
#
# The package is made from the i686 build and holds the i686 program, checked
# as such without Wine. Given the x86_64 variant (the tests run against it
# where 32-bit programs cannot run, and wine64 cannot start the i686 program
# there), the variant is started from the unpacked folder in the packaged
# program's place: the folder, its files and their lookup are what is tested.
set -euo pipefail
package=$1 build=$2 probe=$3 langsrc=$4 work=$5 variant=${6:-}
shipped=$build/bin/Tarnvale.exe langdir=$build/Data/Lang
exe=${variant:-$shipped}

source "$(dirname "$0")/lib.sh"

echo "-- The zip"
zip=$("$package" "$build" "$work/dist" | tail -n 1)
version=$(sed -n 's/^project(Tarnvale VERSION \([0-9.]*\).*/\1/p' "$(dirname "$package")/../CMakeLists.txt")
[ "$(basename "$zip")" = "Tarnvale-$version-win32.zip" ] || fail "the zip is named $(basename "$zip")"
fresh=$work/fresh
mkdir -p "$fresh"
unzip -q "$zip" -d "$fresh"

echo "-- Its layout"
expected="Data/
Data/Bin/
Data/Lang/
Data/Lang/1028.lng
Data/Lang/1031.lng
Data/Lang/1033.lng
Data/Lang/2052.lng
Data/Plugins/
LICENSE.txt
PE/
Tarnvale-Guide.txt
Tarnvale.exe"
actual=$(cd "$fresh" && find . -mindepth 1 \( -type d -printf '%P/\n' -o -printf '%P\n' \) | LC_ALL=C sort)
[ "$actual" = "$expected" ] || fail "the package holds:
$actual"
cmp -s "$fresh/Tarnvale.exe" "$shipped" || fail "Tarnvale.exe is not the one built"
"$(dirname "$package")/check-pe.sh" "$fresh/Tarnvale.exe" || fail "the packaged Tarnvale.exe is not the shipped kind"
for f in "$langdir"/*.lng; do
  cmp -s "$f" "$fresh/Data/Lang/$(basename "$f")" || fail "$(basename "$f") is not the one built"
done
grep -q "MIT License" "$fresh/LICENSE.txt" || fail "no licence text"
[ "$(head -c 3 "$fresh/Tarnvale-Guide.txt" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "the guide has no byte-order mark"
grep -q $'^## What you need\r$' "$fresh/Tarnvale-Guide.txt" || fail "the guide has no heading or no CR LF line ends"
grep -qF "$(lang 1033 65)" "$fresh/Tarnvale-Guide.txt" || fail "the guide lacks a message"
# The same sources give the same zip.
cp "$zip" "$work/first.zip"
"$package" "$build" "$work/dist" >/dev/null
cmp -s "$zip" "$work/first.zip" || fail "a second package differs from the first"

echo "-- The program started from the unpacked folder"
if [ -n "$variant" ]; then
  echo "   (the x86_64 variant in the packaged i686 program's place, under wine64)"
  cp "$variant" "$fresh/Tarnvale.exe"
fi
locale=C
start "$(winpath "$fresh/Tarnvale.exe")" /lng:1033
out=$(ask read)
expect_line "$out" title "Tarnvale $version"
expect_line "$out" Label3 "$(lang 1033 0)"
expect_line "$out" Label0 "$(lang 1033 1)"
expect_line "$out" Label1 "$(lang 1033 2)"
expect_line "$out" Status "$(lang 1033 3)"
expect_line "$out" Command1 "$(lang 1033 4)"
expect_line "$out" UReFresh "$(lang 1033 63)"
ask close >/dev/null
for _ in $(seq 1 50); do [ "$(ask processes)" = 0 ] && break; sleep 0.2; done
[ "$(ask processes)" = 0 ] || fail "the window did not close"
echo "package: $zip"
