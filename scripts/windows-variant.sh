# Which variant of the Windows program the Windows tests run against, and
# why; sourced by scripts/build.sh and scripts/test-all.sh.
#
# Where 32-bit programs run, the shipped i686 program is tested under wine.
# Where they do not (the kernel answers "Exec format error"), the i686
# program is still built and checked without Wine, and the tests run against
# the x86_64 variant under wine64. TV_WINE_VARIANT=i686 or x86_64 forces one.
#
# Sets: tv_variant (i686 or x86_64), tv_variant_why (one line), tv_win64
# (the x86_64 variant's build folder).
tv_win64=build/win64
source "$(dirname "${BASH_SOURCE[0]}")/probe-32bit.sh"

tv_probe_32bit() {  # prints why 32-bit programs cannot run, or nothing
  local out
  out=$(tv_no_32bit)
  if [ -n "$out" ]; then
    echo "$out"
  elif [ ! -e /usr/lib/wine/wine ]; then
    echo "the 32-bit Wine (/usr/lib/wine/wine) is not installed"
  elif ! out=$(/usr/lib/wine/wine --version 2>&1); then
    echo "32-bit programs do not run here (/usr/lib/wine/wine --version: $(echo "$out" | tail -n 1))"
  fi
}

case "${TV_WINE_VARIANT:-}" in
  i686|x86_64)
    tv_variant=$TV_WINE_VARIANT
    tv_variant_why="chosen by TV_WINE_VARIANT=$TV_WINE_VARIANT" ;;
  "")
    tv_no32=$(tv_probe_32bit)
    if [ -z "$tv_no32" ]; then
      tv_variant=i686
      tv_variant_why="32-bit programs run on this machine"
    else
      tv_variant=x86_64
      tv_variant_why=$tv_no32
    fi ;;
  *)
    echo "TV_WINE_VARIANT is i686 or x86_64, not '$TV_WINE_VARIANT'" >&2
    exit 2 ;;
esac
