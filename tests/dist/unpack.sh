#!/usr/bin/env bash
# unpack.sh ZIP DIR: unpacks the release package into a fresh folder and checks that it holds
# exactly the program, the help, the sample and the read-me, at its top level.
set -euo pipefail
zip=$1 dir=$2
[ -f "$zip" ] || { echo "no release package $zip"; exit 1; }
expected=$'Orvantis.chm\nOrvantis.exe\nREADME-ja.txt\ndata-sample.csv'
listed=$(unzip -Z1 "$zip" | LC_ALL=C sort)
if [ "$listed" != "$expected" ]; then
  printf 'the package holds:\n%s\nexpected:\n%s\n' "$listed" "$expected"
  exit 1
fi
rm -rf "$dir"
mkdir -p "$dir"
unzip -q "$zip" -d "$dir"
echo "unpacked $(basename "$zip") into $dir"
