#!/usr/bin/env bash
# Debian's AFL++ 4.04c GCC plugin refuses to load under Debian's GCC 12.2.0-14+deb12u1
# ("GCC and plugin have incompatible versions, expected GCC 12.2.0, is 12.2.0"): the two
# were built from the same compiler release, only their build strings differ. This makes a
# private copy of /usr/lib/afl whose plugin skips that check (the call becomes "return 1");
# `make fuzz` points AFL_PATH at the copy, so the system's AFL++ stays untouched.
# Usage: afl-gcc-plugin-fix.sh DEST_DIR   (prints the AFL_PATH line to use)
set -euo pipefail
dest=${1:?usage: afl-gcc-plugin-fix.sh DEST_DIR}
rm -rf "$dest"
cp -r /usr/lib/afl "$dest"
so="$dest/afl-gcc-pass.so"
# awk reads the whole listing: a reader that stops at the first match would end objdump
# with SIGPIPE, which pipefail turns into a silent failure of this script.
addr=$(objdump -d "$so" | awk '/call.*<plugin_default_version_check@plt>/ && !addr {addr = $1} END {sub(":", "", addr); print addr}')
[ -n "$addr" ] || { echo "no version-check call found in $so" >&2; exit 1; }
# The patch writes at the call's address, which is its file offset only where .text is
# mapped at its own offset; refuse anything else.
read -r vma off < <(objdump -h "$so" | awk '$2 == ".text" {print $4, $6}')
[ "$((16#$vma))" -eq "$((16#$off))" ] || { echo "unexpected section layout in $so" >&2; exit 1; }
printf '\xb8\x01\x00\x00\x00' | dd of="$so" bs=1 seek=$((16#$addr)) conv=notrunc status=none
echo "AFL_PATH=$dest"
