# Chooses the Wine for a Windows program, by the machine type in its PE
# header: a 64-bit program (8664) runs under wine64 in a 64-bit prefix, a
# 32-bit one (014c) under wine in a 32-bit prefix. Sourced by
# cmake/wine-run.sh and tests/wine/lib.sh.
#
#   tv_wine_select <program.exe> <prefix>
# sets tv_wine (the loader), and exports WINEARCH and WINEPREFIX (<prefix>,
# with "-64" added for a 64-bit program: the two kinds of prefix differ).
# A prefix of the other kind left there by an older run is made anew.
#
# With TV_WINE_WOW64=1 a 32-bit program runs in a 64-bit prefix instead
# (<prefix>-wow64), as on a 64-bit Windows: its view of System32 is then
# really redirected to SysWOW64. tv_wine_wow64_skip is set to 1 when that is
# asked for a 64-bit program, which has no such view to test.
tv_pe_machine() {
  local at
  at=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  [ -n "$at" ] && od -An -tx2 -j"$((at + 4))" -N2 "$1" | tr -d ' '
}

tv_wine_select() {
  tv_wine_wow64_skip=0
  if [ "$(tv_pe_machine "$1")" = 8664 ]; then
    tv_wine=/usr/lib/wine/wine64
    export WINEARCH=win64 WINEPREFIX="$2-64"
    [ "${TV_WINE_WOW64:-}" = 1 ] && tv_wine_wow64_skip=1
  elif [ "${TV_WINE_WOW64:-}" = 1 ]; then
    tv_wine=/usr/lib/wine/wine
    export WINEARCH=win64 WINEPREFIX="$2-wow64"
  else
    tv_wine=/usr/lib/wine/wine
    export WINEARCH=win32 WINEPREFIX="$2"
  fi
  if [ -f "$WINEPREFIX/system.reg" ] && ! grep -q "^#arch=$WINEARCH" "$WINEPREFIX/system.reg"; then
    rm -rf "$WINEPREFIX"
  fi
}
