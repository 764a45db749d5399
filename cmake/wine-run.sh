#!/bin/sh
# Runs a cross-built Windows test program under Wine (wine for a 32-bit
# program, wine64 for a 64-bit one), in a prefix of its own so that a
# developer's ~/.wine is never touched, and on a private X server when there
# is no display, so that the tests can make windows. The first run builds
# the prefix (about ten seconds).
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run > /dev/null; then
  exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$0" "$@"
fi
. "$(dirname "$0")/wine-select.sh"
tv_wine_select "$1" "${WINEPREFIX:-${TMPDIR:-/tmp}/tarnvale-wine}"
if [ "$tv_wine_wow64_skip" = 1 ]; then
  echo "a 64-bit program is never redirected: nothing to run in a 64-bit prefix as a 32-bit one" >&2
  exit 77
fi
export WINEDEBUG=-all
# A plain locale: Wine then uses code page 1252 as its ANSI code page, as an
# English Windows does (under a UTF-8 locale it would use UTF-8).
export LANG=C LC_ALL=C
export WINEDLLOVERRIDES="mscoree,mshtml="
"$tv_wine" "$@"
status=$?
# The prefix's Wine processes end before the X server they use goes away.
wineserver -w
exit $status
