#!/usr/bin/env bash
# The system programs' tests of the 32-bit Windows build in a 64-bit Wine
# prefix with Wine's version set to Windows XP for them, as the XP
# compatibility mode reports it on a 64-bit Windows (5.1): the native
# command interpreter of System32 must still be the one that runs.
#
#   xp_version_test.sh <tv_tests_win.exe> <work folder>
set -euo pipefail
tests=$1 work=$2
export TV_WINE_WOW64=1
source "$(dirname "$0")/../../cmake/wine-select.sh"
tv_wine_select "$tests" "${TMPDIR:-/tmp}/tarnvale-wine-xp"
if [ "$tv_wine_wow64_skip" = 1 ]; then
  echo "the 64-bit variant is never redirected: nothing to test"
  exit 77
fi
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C LC_ALL=C

# A copy of its own, so that the version setting reaches no other test.
rm -rf "$work"
mkdir -p "$work"
cp "$tests" "$work/tv_xp_tests.exe"
cp "$(dirname "$tests")/tv_child.exe" "$work/"
"$tv_wine" wineboot -i > /dev/null 2>&1 || true
"$tv_wine" reg add 'HKCU\Software\Wine\AppDefaults\tv_xp_tests.exe' /v Version /d winxp /f > /dev/null
status=0
TV_EXPECT_MAJOR=5 "$tv_wine" "$work/tv_xp_tests.exe" --gtest_brief=1 \
  --gtest_filter='SystemProgramsWin32.*:PlantedCmd.*' || status=$?
wineserver -w
exit $status
