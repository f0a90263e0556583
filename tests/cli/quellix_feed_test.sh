#!/usr/bin/env bash
# tools/quellix-feed from the outside: the exact bytes of both answers from a
# digest list and a folder of samples (digests upper-cased, each once, in the
# order first met; empty samples skipped), a bad line or the digest of an
# empty file refused with its place, writing nothing; a database version
# that clients would judge older refused; a key pair and a signed feed.
# usage: quellix_feed_test.sh QUELLIX_FEED
set -uo pipefail
feed=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/../support/checks.sh"

mkdir -p "$work/samples/sub"
: >"$work/samples/.gitkeep"
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
check "it says what it wrote" grep -q '^quellix-feed: 3 digests, program 4.24, database 7.01, unsigned' "$work/out.txt"
check "an empty sample is skipped with a warning" grep -q "samples/.gitkeep: empty, skipped" "$work/out.txt"
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
printf 'd41d8cd98f00b204e9800998ecf8427e\n' >"$work/empty-digest.txt"
"$feed" build --program-version 4.24 --database-version 7.01 --digests "$work/empty-digest.txt" \
  --out "$work/refused" >"$work/out.txt" 2>&1
check "the digest of an empty file is refused" test $? -eq 2
check "with its place and why" grep -qF "$work/empty-digest.txt:1: the digest of an empty file" "$work/out.txt"
"$feed" build --program-version 4.24 --database-version 10.00 --out "$work/refused" >"$work/out.txt" 2>&1
check "a database version that sorts before the program's own is refused" test $? -eq 2
check "saying why" grep -q "compare database versions as text" "$work/out.txt"
check "and nothing was written by any refusal" test ! -e "$work/refused"

# The publisher's key pair and a signed feed.
"$feed" keygen --out-dir "$work/keys" --name site --bits 2048 >"$work/out.txt" 2>&1
check "keygen writes a key pair" test $? -eq 0
check "the private key is readable by its owner only" test "$(stat -c %a "$work/keys/site.private.pem")" = 600
check "the public key is a 2048-bit RSA PUBLICKEYBLOB" cmp -n 20 \
  <(printf '\x06\x02\x00\x00\x00\x24\x00\x00RSA1\x00\x08\x00\x00\x01\x00\x01\x00') "$work/keys/site.public.blob"
check "of 20 + 256 bytes" test "$(stat -c %s "$work/keys/site.public.blob")" -eq 276
check "the registry line carries the same key" \
  grep -q "/v FeedKey /t REG_BINARY /d $(od -An -tx1 -v "$work/keys/site.public.blob" | tr -d ' \n' | tr a-f A-F)\$" "$work/out.txt"
"$feed" keygen --out-dir "$work/keys" --name site >/dev/null 2>&1
check "an existing key pair is never overwritten" test $? -eq 2
"$feed" build --program-version 4.24 --database-version 7.01 --digests "$work/list.txt" \
  --key "$work/keys/site.private.pem" --out "$work/www" >"$work/out.txt" 2>&1
check "build --key signs" grep -q ', signed, ' "$work/out.txt"
openssl rsa -in "$work/keys/site.private.pem" -pubout -out "$work/site.public.pem" 2>/dev/null
python3 -c 'import sys; sys.stdout.buffer.write(bytes.fromhex(open(sys.argv[1]).read()))' \
  "$work/www/app/kestrel/updates.sig" >"$work/updates.sig.bin"
check "the signature holds for the feed's exact bytes" \
  openssl dgst -sha256 -verify "$work/site.public.pem" -signature "$work/updates.sig.bin" \
  "$work/www/app/kestrel/updates.php"
"$feed" build --program-version 4.24 --database-version 7.01 --digests "$work/list.txt" \
  --out "$work/www" >/dev/null 2>&1
check "an unsigned build removes the old signature" test ! -e "$work/www/app/kestrel/updates.sig"

finish_checks
