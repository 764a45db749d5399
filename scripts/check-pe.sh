#!/usr/bin/env bash
# Checks, without Wine, that a program file is a Windows program of the kind
# that ships: PE32, i386, the GUI subsystem, and the application manifest as
# resource 1 of type 24 (RT_MANIFEST) with its administrator request.
#
#   scripts/check-pe.sh <Tarnvale.exe>
set -euo pipefail
exe=$1
fail() { echo "FAILED: $exe: $*" >&2; exit 1; }
[ -f "$exe" ] || fail "no such file"
dump=$(i686-w64-mingw32-objdump -p "$exe") || fail "objdump cannot read it"
grep -q 'file format pei-i386$' <<<"$dump" || fail "not an i386 PE program"
grep -Eq '^Magic[[:space:]]+010b[[:space:]]+\(PE32\)$' <<<"$dump" || fail "not PE32"
grep -Eq '^Subsystem[[:space:]]+00000002[[:space:]]+\(Windows GUI\)$' <<<"$dump" || fail "not a GUI program"
# The resource tree is listed depth first: types, then names, then languages.
awk '/^[0-9a-f]+   Entry: /     { type = ($3 == "ID:" && $4 == "0x000018,") }
     /^[0-9a-f]+     Entry: / && type && $4 == "0x000001," { found = 1 }
     END { exit !found }' <<<"$dump" || fail "no manifest (resource 1 of type 24)"
grep -aq 'requestedExecutionLevel level="requireAdministrator"' "$exe" || fail "the manifest asks for no administrator rights"
echo "$exe: PE32 i386 GUI program with its manifest"
