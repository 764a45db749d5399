#!/bin/sh
# Runs a cross-built Windows test program under Wine, in a prefix of its own so
# that a developer's ~/.wine is never touched. The first run builds the prefix
# (about ten seconds).
: "${WINEPREFIX:=${TMPDIR:-/tmp}/tarnvale-wine}"
export WINEPREFIX
export WINEDEBUG=-all
# A plain locale: Wine then uses code page 1252 as its ANSI code page, as an
# English Windows does (under a UTF-8 locale it would use UTF-8).
export LANG=C LC_ALL=C
export WINEDLLOVERRIDES="mscoree,mshtml="
# Windows need a display: without one, the run gets a private X server.
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null 2>&1; then
  # Wine's own processes end before the server does.
  exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
    sh -c 'wine "$@"; status=$?; wineserver -w; exit $status' wine-run "$@"
fi
exec wine "$@"
