# What the Windows program's tests under Wine share: a private X server, a
# Wine prefix of the tests' own, a program folder with Tarnvale.exe, its
# language files and the probe, and the helpers that start programs in a
# virtual desktop and ask the probe. A test script sets exe, probe, langsrc,
# langdir and work, sources this file, then adds what its case needs to
# $work/app (it starts with Data/Lang and nothing else).
#
# Functions: fail, winpath, start, ask, lang, expect_line; and wine, which
# runs the Wine that fits the program: wine64 for the 64-bit variant.

source "$(dirname "${BASH_SOURCE[0]}")/../../cmake/wine-select.sh"
tv_wine_select "$exe" "${TMPDIR:-/tmp}/tarnvale-wine-gui"
wine() { "$tv_wine" "$@"; }
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
desktop="tvtest,900x640"

fail() { echo "FAILED: $*" >&2; exit 1; }

# A private X server.
for n in $(seq 90 140); do [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }; done
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
cleanup() { wineserver -k >/dev/null 2>&1 || true; kill $xvfb >/dev/null 2>&1 || true; }
trap cleanup EXIT
sleep 1

# The program folder: the program and its language files; the probe beside it.
rm -rf "$work"
mkdir -p "$work/app/Data/Lang"
cp "$exe" "$work/app/Tarnvale.exe"
cp "$probe" "$work/tv_probe.exe"
cp "$langdir"/*.lng "$work/app/Data/Lang/"
winpath() { printf 'Z:%s' "$(echo "$1" | sed 's|/|\\|g')"; }

# Starts a program in the virtual desktop (Wine returns at once), in the
# locale $locale: Wine takes its ANSI code page and system locale from it.
locale=C
start() { env LANG=$locale LC_ALL=$locale "$tv_wine" explorer /desktop="$desktop" "$@" >/dev/null 2>&1 & }

# Runs the probe and waits for its answer file.
ask() {
  local answer="$work/answer-$RANDOM"
  start "$(winpath "$work/tv_probe.exe")" "$(winpath "$answer")" "$@"
  for _ in $(seq 1 600); do [ -f "$answer" ] && break; sleep 0.1; done
  [ -f "$answer" ] || fail "the probe did not answer: $*"
  [ "$(tail -n 1 "$answer")" = ok ] || fail "the probe could not: $*"
  head -n -1 "$answer"
}

# The text of String(n) in a language source.
lang() { grep "^String($2)=" "$langsrc/$1.lng" | cut -d= -f2- | sed 's/^"\(.*\)"$/\1/'; }

expect_line() {  # <read output> <name> <value>
  grep -qxF "$2=$3" <<<"$1" || fail "expected '$2=$3' in:
$1"
}

# The first start of Wine builds its prefix; let it finish first.
wine wineboot -i >/dev/null 2>&1 || true
wineserver -w || true
