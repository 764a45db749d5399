#!/usr/bin/env bash
# Builds the release package dist/Tarnvale-<version>-win32.zip from the
# Windows build: Tarnvale.exe, the language files, the user guide as text
# (Tarnvale-Guide.txt, which the About window's link opens) and the licence, laid out as the program expects
# them, with the empty folders where the PE system's outside programs and
# package go. Those are not ours and are not included.
#
#   scripts/package.sh [<Windows build folder> [<output folder>]]
#
# Defaults: build/win (configured and built when missing) and dist. The same
# sources give the same zip: every entry carries the time of
# SOURCE_DATE_EPOCH (default 2020-01-01) and the entries are in name order.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/win}
out=${2:-$root/dist}
jobs="${JOBS:-$(nproc)}"
epoch=${SOURCE_DATE_EPOCH:-1577836800}

for tool in zip; do
  command -v $tool >/dev/null || { echo "package.sh: $tool is missing (run scripts/setup.sh)" >&2; exit 1; }
done
version=$(sed -n 's/^project(Tarnvale VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || { echo "package.sh: no version in CMakeLists.txt" >&2; exit 1; }

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DTV_WERROR=ON -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
fi
cmake --build "$build" -j "$jobs" --target Tarnvale lang_files >/dev/null
[ -f "$build/bin/Tarnvale.exe" ] || { echo "package.sh: $build/bin/Tarnvale.exe was not built" >&2; exit 1; }

name=Tarnvale-$version-win32
stage=$(mktemp -d "${TMPDIR:-/tmp}/tarnvale-package.XXXXXX")
trap 'rm -rf "$stage"' EXIT
app=$stage/app
mkdir -p "$app/Data/Lang" "$app/Data/Bin" "$app/Data/Plugins" "$app/PE"
cp "$build/bin/Tarnvale.exe" "$app/Tarnvale.exe"
cp "$build"/Data/Lang/*.lng "$app/Data/Lang/"
# The guide as Windows text: UTF-8 with a byte-order mark (Notepad then reads
# the Chinese messages right) and CR LF line ends.
{ printf '\357\273\277'; sed 's/$/\r/' "$root/docs/user-guide.md"; } > "$app/Tarnvale-Guide.txt"
sed 's/$/\r/' "$root/LICENSE" > "$app/LICENSE.txt"

find "$app" -exec touch -h -d "@$epoch" {} +
mkdir -p "$out"
rm -f "$out/$name.zip"
# Folders are listed too, so the empty ones are in the zip.
(cd "$app" && find . -mindepth 1 | LC_ALL=C sort | sed 's|^\./||' | TZ=UTC zip -q -X -@ "$out/$name.zip")
echo "$out/$name.zip"
