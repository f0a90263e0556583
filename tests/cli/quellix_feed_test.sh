#!/usr/bin/env bash
# tools/quellix-feed from the outside: the exact bytes of both answers from a
# digest list and a folder of samples (digests upper-cased, each once, in the
# order first met), and a bad line refused with its place, writing nothing.
# usage: quellix_feed_test.sh QUELLIX_FEED
set -uo pipefail
feed=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {
  local description=$1
  shift
  if "$@"; then echo "ok: $description"; else echo "FAILED: $description"; failures=$((failures + 1)); fi
}

mkdir -p "$work/samples/sub"
printf 'worm one\n' >"$work/samples/one.exe"
printf 'worm two\n' >"$work/samples/sub/two.exe"
one=$(md5sum "$work/samples/one.exe" | cut -c1-32 | tr a-f A-F)
two=$(md5sum "$work/samples/sub/two.exe" | cut -c1-32 | tr a-f A-F)
listed=0123456789ABCDEF0123456789ABCDEF
printf '# digests of the week\r\n\r\n%s\r\n  %s\t\n%s\n' "${listed,,}" "$listed" "${two,,}" \
  >"$work/list.txt"
"$feed" build --program-version 4.24 --database-version 7.01 --digests "$work/list.txt" \
  --samples "$work/samples" --out "$work/www" >"$work/out.txt" 2>&1
check "a list and a folder build the answers" test $? -eq 0
check "it says what it wrote" grep -q '^quellix-feed: 3 digests, program 4.24, database 7.01' "$work/out.txt"
check "the version check's answer" \
  cmp <(printf 'Version: 4.24\r\nVDB: 7.01\r\n') "$work/www/app/checkupdates.php"
check "the feed's answer" \
  cmp <(printf '%s\r\n%s\r\n%s\r\n\r\r\n' "$listed" "$two" "$one") "$work/www/app/kestrel/updates.php"

printf '%s\r\n%sZ\r\n' "$listed" "${listed:1}" >"$work/bad.txt"
"$feed" build --program-version 4.24 --database-version 7.01 --digests "$work/bad.txt" \
  --out "$work/refused" >"$work/out.txt" 2>&1
check "a line that is no digest is refused" test $? -eq 2
check "with its file and line" grep -qF "$work/bad.txt:2: not an MD5 digest" "$work/out.txt"
check "and nothing is written" test ! -e "$work/refused"
"$feed" build --program-version 4.24x --database-version 7.01 --out "$work/refused" >/dev/null 2>&1
check "a program version that Quellix cannot read is refused" test $? -eq 2

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
