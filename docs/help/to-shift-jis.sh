#!/usr/bin/env bash
# to-shift-jis.sh [--crlf] IN OUT: turns a text written in UTF-8 into the Shift-JIS file that
# Windows users get, with an HTML charset declaration changed to match; --crlf also ends
# every line with CR LF. A character that code page 932 cannot hold fails the build instead
# of turning into garbage.
set -euo pipefail
crlf=0
if [ "$1" = "--crlf" ]; then crlf=1; shift; fi
if [ $crlf -eq 1 ]; then
  sed -e 's/charset=UTF-8/charset=Shift_JIS/' -e 's/\r$//' -e 's/$/\r/' "$1" | iconv -f UTF-8 -t CP932 > "$2.tmp"
else
  sed 's/charset=UTF-8/charset=Shift_JIS/' "$1" | iconv -f UTF-8 -t CP932 > "$2.tmp"
fi
mv "$2.tmp" "$2"
