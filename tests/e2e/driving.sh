# Shared by the end-to-end test and the demo (sourced): starting quellix.exe
# in the prefix and driving it with uidriver. The caller sets WINEPREFIX,
# DISPLAY, QLX_WINE, qlx_dir (the Linux folder under drive_c that holds
# quellix.exe and uidriver.exe), qlx_dir_win (the same folder as Windows
# sees it), work (a scratch folder) and, for the feed, QLX_FEED
# (tools/quellix-feed), and has changed to drive_c: the prefix has no Z: drive.

# Starts one copy in the background; its process id is left in last_pid.
# Wine's output goes to a file: the system processes it starts inherit it.
qlx_start() {
  "$QLX_WINE" "$qlx_dir_win\\quellix.exe" >"$work/quellix-$1.out" 2>&1 </dev/null &
  last_pid=$!
}

# Runs one uidriver script; its output is echoed and left in $work/out.txt
# and $work/err.txt, its exit status in $status.
qlx_drive() {
  status=0
  "$QLX_WINE" "$qlx_dir_win\\uidriver.exe" "$@" >"$work/out" 2>"$work/err" </dev/null || status=$?
  tr -d '\r' <"$work/out" >"$work/out.txt"
  tr -d '\r' <"$work/err" >"$work/err.txt"
  echo "--- uidriver $* (exit $status)"
  cat "$work/out.txt" "$work/err.txt"
}

# One removal pass as a user makes it on an infected machine: START, the
# folder box, the folder dialog, the restart notice, with a screenshot of
# each and of the window after the run; then the details box is printed.
# Steps given after the folder run while the pass runs.
qlx_drive_pass() {
  local folder=$1
  shift
  qlx_drive click 102 wait-box 'choose a folder' 30 screenshot "$qlx_dir_win\\3-box-2.bmp" \
    answer-box 1 'Please choose a folder to save Backup Files and your Quellix Log file to.' 30 \
    wait-folder 30 screenshot "$qlx_dir_win\\4-folder-dialog.bmp" \
    answer-folder "$folder" 30 "$@" \
    wait-box 'restart automatically' 300 screenshot "$qlx_dir_win\\5-end-box.bmp" \
    answer-box 1 'the virus has been deleted' 30 \
    wait-enabled 102 60 screenshot "$qlx_dir_win\\6-after-run.bmp" print-details
}

# The screenshots of $qlx_dir as PNG files in the folder $1.
qlx_save_screenshots() {
  mkdir -p "$1"
  for bmp in "$qlx_dir"/*.bmp; do
    [ -e "$bmp" ] || continue
    convert "$bmp" "$1/$(basename "${bmp%.bmp}").png"
  done
}

# The update host on loopback: tools/quellix-feed makes a key pair in
# $work/keys (once), builds the answers (newest program $1, database 7.00, the
# digests of the files $2...) signed with it in $work/www and serves them on
# 127.0.0.1, pausing $QLX_FEED_PAUSE seconds (default 1) before each answer
# so that the status line can be watched; the prefix's UpdateHost value
# points Quellix there, and its FeedKey value holds the public key. The
# server stops by itself after ten minutes; its process id is left in
# feed_pid.
qlx_serve_feed() {
  local version=$1 file
  shift
  : >"$work/feed-digests.txt"
  for file in "$@"; do
    md5sum "$file" >"$work/feed-digest" || return 1
    cut -c1-32 "$work/feed-digest" >>"$work/feed-digests.txt"
  done
  if [ ! -e "$work/keys/demo.public.blob" ]; then
    "$QLX_FEED" keygen --out-dir "$work/keys" --name demo --bits 2048 >/dev/null || return 1
  fi
  "$QLX_FEED" build --program-version "$version" --database-version 7.00 \
    --digests "$work/feed-digests.txt" --key "$work/keys/demo.private.pem" \
    --out "$work/www" >/dev/null || return 1
  "$QLX_FEED" serve "$work/www" --port 0 --seconds 600 --pause "${QLX_FEED_PAUSE:-1}" \
    >"$work/feed.out" 2>"$work/feed.err" &
  feed_pid=$!
  local port=
  for _ in $(seq 100); do
    port=$(sed -n 's/.* on 127\.0\.0\.1:\([0-9]*\) .*/\1/p' "$work/feed.out")
    [ -n "$port" ] && break
    sleep 0.1
  done
  [ -n "$port" ] || { cat "$work/feed.err"; return 1; }
  "$QLX_WINE" reg add 'HKLM\Software\Quellix\QLX' /v UpdateHost /t REG_SZ \
    /d "127.0.0.1:$port" /f >/dev/null 2>&1 </dev/null
  "$QLX_WINE" reg add 'HKLM\Software\Quellix\QLX' /v FeedKey /t REG_BINARY \
    /d "$(od -An -tx1 -v "$work/keys/demo.public.blob" | tr -d ' \n')" /f >/dev/null 2>&1 </dev/null
  echo "--- the update host serves on 127.0.0.1:$port"
}
