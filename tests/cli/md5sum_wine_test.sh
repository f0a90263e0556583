#!/usr/bin/env bash
# MD5Hash under Wine agrees with md5sum on real files: empty, one byte short of
# a block, one block, one block and a byte, and several blocks and a tail.
set -euo pipefail
tests=$1
runner=$2
: "${WINEPREFIX:?the prefix of the test run}"
folder="$WINEPREFIX/drive_c/qlx-md5"
rm -rf "$folder"
mkdir -p "$folder"
for size in 0 16383 16384 16385 49229; do
  head -c "$size" /dev/urandom >"$folder/file$size.bin"
  digest=$(md5sum "$folder/file$size.bin" | cut -d' ' -f1 | tr 'a-f' 'A-F')
  printf 'file%s.bin %s\r\n' "$size" "$digest" >>"$folder/expected.txt"
done
out=$("$runner" "$tests" --gtest_filter='Md5sumOnWine.*' 2>&1 | tr -d '\r')
echo "$out" | grep -v '^\s' | tail -5
rm -rf "$folder"
echo "$out" | grep -q '\[  PASSED  \] 1 test' && ! echo "$out" | grep -q 'SKIPPED'
