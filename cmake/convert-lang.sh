#!/bin/sh
# Converts a language file from its UTF-8 source to the code page it ships
# in, with CRLF line ends: convert-lang.sh <source> <code page> <target>
set -eu
src=$1 cp=$2 out=$3
mkdir -p "$(dirname "$out")"
sed 's/\r$//; s/$/\r/' "$src" | iconv -f UTF-8 -t "CP$cp" > "$out.tmp"
mv "$out.tmp" "$out"
