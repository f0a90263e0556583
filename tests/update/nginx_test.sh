#!/usr/bin/env bash
# The publisher's way end to end: tools/quellix-feed makes a key pair and
# builds the signed answers from a folder of samples, a real nginx serves
# them on loopback (its own configuration and prefix in a temporary folder,
# started here and stopped afterwards), and the exchange reads them through
# it with the public key set; a second server's feed was changed by one byte
# after signing, and the exchange adds nothing from it.
# usage: nginx_test.sh UPDATE_TESTS QUELLIX_FEED
set -euo pipefail
update_tests=$1
quellix_feed=$2
nginx=$(command -v nginx || echo /usr/sbin/nginx)

work=$(mktemp -d)
nginx_pid=
cleanup() {
  if [ -n "$nginx_pid" ]; then
    kill "$nginx_pid" 2>/dev/null || true
    wait "$nginx_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
# nginx's workers run as an unprivileged user when started as root.
chmod 755 "$work"

mkdir -p "$work/samples/more"
: >"$work/samples/.gitkeep"
printf 'first sample\n' >"$work/samples/a.bin"
printf 'second sample\n' >"$work/samples/more/b.bin"
cp "$work/samples/a.bin" "$work/samples/more/c.bin"
expected=$(for f in a.bin more/b.bin; do md5sum "$work/samples/$f" | cut -c1-32; done |
  tr a-f A-F | paste -sd,)
"$quellix_feed" keygen --out-dir "$work/keys" --name test --bits 2048 >/dev/null
"$quellix_feed" build --program-version 4.23 --database-version 7.00 \
  --samples "$work/samples" --key "$work/keys/test.private.pem" --out "$work/www"
# The same answers with one digit of the feed changed, the signature kept.
cp -r "$work/www" "$work/tampered"
python3 - "$work/tampered/app/kestrel/updates.php" <<'PY'
import sys
feed = bytearray(open(sys.argv[1], "rb").read())
feed[0] = ord("0") if feed[0] != ord("0") else ord("1")
open(sys.argv[1], "wb").write(feed)
PY
chmod -R a+rX "$work/www" "$work/tampered"

free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}
port=$(free_port)
tampered_port=$(free_port)
mkdir -p "$work/prefix/logs"
cat >"$work/nginx.conf" <<CONF
pid $work/nginx.pid;
error_log $work/prefix/logs/error.log;
worker_processes 1;
events { worker_connections 16; }
http {
  access_log $work/prefix/logs/access.log;
  default_type application/octet-stream;
  server {
    listen 127.0.0.1:$port;
    root $work/www;
  }
  server {
    listen 127.0.0.1:$tampered_port;
    root $work/tampered;
  }
}
CONF
"$nginx" -p "$work/prefix" -c "$work/nginx.conf" -g 'daemon off;' &
nginx_pid=$!
for _ in $(seq 100); do
  python3 -c "import socket; socket.create_connection(('127.0.0.1', $port), 1)" 2>/dev/null && break
  sleep 0.1
done

QLX_WEB_SERVER="127.0.0.1:$port" QLX_WEB_DIGESTS="$expected" \
  QLX_WEB_FEED_KEY="$work/keys/test.public.blob" QLX_WEB_TAMPERED_SERVER="127.0.0.1:$tampered_port" \
  "$update_tests" --gtest_filter='UpdateExchangeThroughAWebServer.*' >"$work/out.txt" 2>&1 || {
  cat "$work/out.txt" "$work/prefix/logs/error.log"
  exit 1
}
cat "$work/out.txt"
grep -q 'SKIPPED' "$work/out.txt" && { echo "the exchange did not run"; exit 1; }
grep -q 'PASSED.*2 tests' "$work/out.txt"
# nginx was asked exactly for the three answers, by each exchange.
awk '{print $7, $9}' "$work/prefix/logs/access.log" >"$work/asked.txt"
for _ in 1 2; do
  printf '/app/checkupdates.php 200\n/app/kestrel/updates.php 200\n/app/kestrel/updates.sig 200\n'
done | diff - "$work/asked.txt"
echo "nginx served the signed answers; the feed's $(tr ',' '\n' <<<"$expected" | wc -l) digests were read, the changed feed was refused"
