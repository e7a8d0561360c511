#!/usr/bin/env bash
# to-shift-jis.sh IN OUT: turns a help source written in UTF-8 into the Shift-JIS file that
# goes into Orvantis.chm, with its charset declaration changed to match. A character that
# code page 932 cannot hold fails the build instead of turning into garbage.
set -euo pipefail
sed 's/charset=UTF-8/charset=Shift_JIS/' "$1" | iconv -f UTF-8 -t CP932 > "$2.tmp"
mv "$2.tmp" "$2"
