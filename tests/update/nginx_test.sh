#!/usr/bin/env bash
# The publisher's way end to end: tools/quellix-feed builds the two answers
# from a folder of samples, a real nginx serves them on loopback (its own
# configuration and prefix in a temporary folder, started here and stopped
# afterwards), and the exchange reads them through it.
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
printf 'first sample\n' >"$work/samples/a.bin"
printf 'second sample\n' >"$work/samples/more/b.bin"
cp "$work/samples/a.bin" "$work/samples/more/c.bin"
expected=$(for f in a.bin more/b.bin; do md5sum "$work/samples/$f" | cut -c1-32; done |
  tr a-f A-F | paste -sd,)
"$quellix_feed" build --program-version 4.23 --database-version 7.00 \
  --samples "$work/samples" --out "$work/www"
chmod -R a+rX "$work/www"

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
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
}
CONF
"$nginx" -p "$work/prefix" -c "$work/nginx.conf" -g 'daemon off;' &
nginx_pid=$!
for _ in $(seq 100); do
  python3 -c "import socket; socket.create_connection(('127.0.0.1', $port), 1)" 2>/dev/null && break
  sleep 0.1
done

QLX_WEB_SERVER="127.0.0.1:$port" QLX_WEB_DIGESTS="$expected" \
  "$update_tests" --gtest_filter='UpdateExchangeThroughAWebServer.*' >"$work/out.txt" 2>&1 || {
  cat "$work/out.txt" "$work/prefix/logs/error.log"
  exit 1
}
cat "$work/out.txt"
grep -q 'SKIPPED' "$work/out.txt" && { echo "the exchange did not run"; exit 1; }
grep -q 'PASSED.*1 test' "$work/out.txt"
# nginx was asked exactly for the two answers.
awk '{print $7, $9}' "$work/prefix/logs/access.log" >"$work/asked.txt"
printf '/app/checkupdates.php 200\n/app/kestrel/updates.php 200\n' | diff - "$work/asked.txt"
echo "nginx served both answers; the feed's $(tr ',' '\n' <<<"$expected" | wc -l) digests were read"
