#!/usr/bin/env bash
# The real quellix.exe end to end, under Wine on a virtual display: a prefix
# seeded with an infection (seed-infection) and an update host on loopback
# (tools/quellix-feed, found through the prefix's UpdateHost value) that
# offers a newer version and a feed with the digest of a worm no list names.
# The program is started as a user would; its status line is watched through
# the update exchange, box 4 is answered after the feed has ended behind it,
# a second copy is refused, the About window opened and closed, START
# pressed, the boxes and the folder dialog answered by uidriver; afterwards
# the run log, the backups, the registry, the files and the hosts file are
# checked. A second session passes again in Arabic, both Chinese, Hebrew and
# Korean and ends by the title bar. Screenshots of box 4, the ready window,
# the About window, each box, the folder dialog, the window after the run,
# and the language list and START's box in each of those languages are saved
# as PNG files for people to look at.
# usage: quellix_e2e_test.sh QUELLIX_EXE UIDRIVER_EXE STANDIN_WORM_EXE SHOTS_DIR
set -uo pipefail
quellix=$1
driver=$2
standin=$3
shots=$4
here=$(cd "$(dirname "$0")" && pwd)
: "${WINEPREFIX:?the prefix of the test run}"
: "${DISPLAY:?a display; run under xvfb-run}"
export WINEDEBUG=${WINEDEBUG:--all}
# No debugger, no desktop links, and no browser: a page the program opens
# must never reach a real browser.
export WINEDLLOVERRIDES="winedbg.exe=d;winemenubuilder.exe=d;winebrowser.exe=d"
wine=${QLX_WINE:-wine}
QLX_FEED=${QLX_FEED:-$here/../../tools/quellix-feed}

drive_c="$WINEPREFIX/drive_c"
qlx_dir="$drive_c/qlx-e2e"
qlx_dir_win='C:\qlx-e2e'
backup="$drive_c/Quellix Backup"
rm -rf "$qlx_dir" "$backup" "$drive_c/Quellix Tour"
mkdir -p "$qlx_dir" "$backup" "$drive_c/Quellix Tour" "$shots"
cp -f "$quellix" "$qlx_dir/quellix.exe"
cp -f "$driver" "$qlx_dir/uidriver.exe"
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  rm -rf "$work" "$qlx_dir"
}
trap cleanup EXIT
QLX_WINE=$wine
# shellcheck source=tests/e2e/driving.sh
. "$here/driving.sh"

. "$(dirname "$0")/../support/checks.sh"
has() { grep -qxF -- "$1" "$work/out.txt"; }
ended() {
  for _ in $(seq 300); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
  return 1
}
wine_quiet() { "$wine" "$@" 2>/dev/null </dev/null | tr -d '\r'; }

"$here/prepare-prefix" || { echo "FAILED: the prefix could not be prepared"; exit 1; }
cd "$drive_c"
"$here/seed-infection" "$standin"
check "the seeded worm service is registered" \
  bash -c "$(declare -f wine_quiet); wine=$wine; wine_quiet reg query 'HKLM\\System\\CurrentControlSet\\Services\\avserve' | grep -q ImagePath"

# The update host offers version 4.24 and a feed of one digest: that of the
# worm file only the feed knows.
check "the update host serves on loopback" qlx_serve_feed 4.24 "$drive_c/windows/qlxnews.exe"
pids+=("$feed_pid")

qlx_start first
first=$last_pid
pids+=("$first")
# A close request while the exchange runs is refused: the window stays for
# the rest of the script.
qlx_drive wait-main 90 close-main watch-status 'Success. 1 KESTREL detections added!' 90 \
  wait-box 'newer version' 10 screenshot "$qlx_dir_win\\1-update-box.bmp" \
  answer-box 2 'A newer version of Quellix is available.' 10 \
  wait-enabled 102 30 screenshot "$qlx_dir_win\\1-ready.bmp"
check "the window refuses to close during the update exchange and becomes ready after it" \
  test "$status" -eq 0
sed -n 's/^watch-status| //p' "$work/out.txt" >"$work/statuses.txt"
check "the status line shows the exchange's texts in their order" python3 - "$work/statuses.txt" <<'ORDER'
import sys
order = ["Checking for Updates....", "Conected to server, requesting data...",
         "Checking for KESTREL updates...", "Update Check Success - An Update is Available.",
         "Success. 1 KESTREL detections added!"]
seen = [line.rstrip("\n") for line in open(sys.argv[1])]
positions = [order.index(text) for text in seen if text in order]
must = {order[1], order[3], order[4]}
sys.exit(0 if len(positions) == len(seen) and positions == sorted(positions) and must <= set(seen) else 1)
ORDER
check "box 4 stood open while the feed ended" \
  grep -qF 'wait-box| A newer version of Quellix is available.' "$work/out.txt"
check "the update host was asked both questions and for the feed's signature" \
  bash -c "grep -q 'GET /app/checkupdates.php' '$work/feed.err' && grep -q 'GET /app/kestrel/updates.php' '$work/feed.err' && grep -q 'GET /app/kestrel/updates.sig' '$work/feed.err'"

qlx_start second
second=$last_pid
pids+=("$second")
qlx_drive wait-box 'already running' 60 screenshot "$qlx_dir_win\\2-second-copy.bmp" \
  answer-box 1 'Quellix is already running, please wait...' 30
check "a second copy shows box 1" test "$status" -eq 0
check "and ends" ended "$second"
check "the first copy still runs" kill -0 "$first"

# The About window: modal over the main window; its icon writes the tune
# to the temporary folder, its OK closes it. No link is clicked: a page
# must never be opened from a test. The credits start below their panel;
# the picture waits until a few rows have risen into it.
qlx_drive click 103 wait-about 30 sleep 5000 screenshot "$qlx_dir_win\\2-about.bmp" click-about 2 \
  click-about 1 wait-enabled 102 30
check "About shows the About window, owned by the main window" \
  has 'wait-about: found "About", owned by the main window'
check "its OK closes it and the main window can be used again" test "$status" -eq 0
tunes() { find "$drive_c/users" -iname '*.mid' 2>/dev/null; }
tune=$(tunes | head -1)
check "the icon wrote the tune to the temporary folder" test -n "$tune"
check "the tune is a Standard MIDI file" bash -c "[ \"\$(head -c 4 '$tune')\" = MThd ]"

# The language picker: the arrow opens the list, a pick switches the
# captions at once and closes the list; English again for the pass.
qlx_drive click-right 104 wait-enabled 210 10 sleep 500 screenshot "$qlx_dir_win\\2-language-list.bmp" \
  click 210 wait-enabled 101 10
check "German is picked from the list" has 'wait-enabled: 101 "BEENDEN" is enabled'
check "and the selector shows it" bash -c "'$QLX_WINE' '$qlx_dir_win\\uidriver.exe' wait-enabled 104 5 2>/dev/null | tr -d '\r' | grep -qF 'Deutsch'"
qlx_drive click 210
check "the list has closed" test "$status" -eq 1
qlx_drive click-right 104 wait-enabled 207 10 click 207 wait-enabled 101 10
check "English is picked again" has 'wait-enabled: 101 "CLOSE" is enabled'

# The close request arrives while the pass runs: it is refused, and the
# steps after it find the window still there.
qlx_drive_pass 'C:\Quellix Backup' close-main
check "the run was driven to its end, the close request during it refused" test "$status" -eq 0
check "the details box holds the run" has 'print-details| Done!'
check "the worm process was terminated" has 'print-details| teekids.exe ...Terminated'
# Wine's desktop program runs as system32\explorer.exe, where Windows keeps
# no Explorer: the pass names it, and must leave it running.
check "the desktop's program is left running" \
  has 'print-details| Left c:\windows\system32\explorer.exe running ...it holds the desktop, and every window with it'
check "SmartScan identified the worm by the feed's digest" \
  has 'print-details| qlxnews.exe ...Identified'
check "and the sweep removed it by its learned name" \
  has 'print-details| Found c:\windows\qlxnews.exe ...Removed'

qlx_drive click 101 wait-gone-main 30
check "CLOSE ends the program" ended "$first"
check "and deletes the tune file" test -z "$(tunes)"

# A second session on the cleaned machine, in the languages of other
# scripts: each is picked from the list, and START's first box and the
# list are photographed; the pass then finds nothing. The tune is played
# first, and the session ends by the title bar. The pass has swept Wine's
# desktop program from the system folder: it is put back for the start and
# taken away again once the window is up, so the clean passes find nothing.
# The update host is stopped first: its newer version would hold box 4 open
# over the session; with nobody listening the exchange ends by its time-outs.
kill "$feed_pid" 2>/dev/null
wait "$feed_pid" 2>/dev/null
"$here/prepare-prefix" || { echo "FAILED: the prefix could not be prepared"; exit 1; }
qlx_start tour
tour=$last_pid
pids+=("$tour")
qlx_drive wait-main 90 wait-enabled 102 90 click 103 wait-about 30 click-about 2 click-about 1 \
  wait-enabled 102 30
rm -f "$drive_c/windows/system32/explorer.exe"
check "the second session plays the tune" test -n "$(tunes)"
tables="$here/../../quellix/lang/tables"
for language in 01-arabic 03-chinesesimplified 04-chinesetraditional 12-hebrew 15-korean; do
  entry=$((200 + 10#${language%%-*}))
  qlx_drive click-right 104 wait-enabled "$entry" 10 sleep 500 \
    screenshot "$qlx_dir_win\\7-$language-list.bmp" click "$entry" wait-enabled 102 10 \
    click 102 wait-box '' 30 sleep 500 screenshot "$qlx_dir_win\\7-$language-box.bmp" \
    answer-box 1 '' 30 answer-folder 'C:\Quellix Tour' 30 answer-box 1 '' 300 \
    answer-box 2 '' 30 wait-enabled 102 60
  check "$language: picked, its box shown and the clean pass answered" test "$status" -eq 0
  check "$language: START's box speaks it" has "answer-box| $(sed -n 11p "$tables/$language.txt")"
  check "$language: the clean pass says so in it" has "answer-box| $(sed -n 15p "$tables/$language.txt")"
done
qlx_drive close-main wait-gone-main 30
check "the title bar ends the program" ended "$tour"
check "and deletes the tune file" test -z "$(tunes)"

qlx_save_screenshots "$shots"
check "the screenshots were saved" test "$(ls "$shots"/*.png 2>/dev/null | wc -l)" -ge 19

# What the run did to the prefix.
log=$(ls "$backup"/Quellix\ Log\ *.txt 2>/dev/null | head -1)
check "one run log in the chosen folder" test -n "$log"
log_text() { tail -c +3 "$log" | iconv -f UTF-16LE -t UTF-8 | tr -d '\r' | sed 's/\xef\xbf\xbe//g'; }
check "the log is UTF-16 with its byte order mark" \
  bash -c "[ \"\$(head -c 2 '$log' | od -An -tx1 | tr -d ' ')\" = fffe ]"
check "the log names the terminated worm" bash -c "$(declare -f log_text); log='$log'; log_text | grep -qx 'teekids.exe ...Terminated'"
check "the log ends with Saving Log..." bash -c "$(declare -f log_text); log='$log'; log_text | tail -1 | grep -qx 'Saving Log...'"
check "the worm process is gone" bash -c "! pgrep -f '[q]lx-worm.teekids.exe' >/dev/null"
for file in windows/system32/msblast.exe windows/penis32.exe windows/system32/avserve.exe \
  windows/qlxnews.exe; do
  name=$(basename "$file")
  check "$name was deleted" test ! -e "$drive_c/$file"
  check "$name was backed up first" test -s "$backup/$name.back"
done
check "the worm service key is gone" \
  bash -c "$(declare -f wine_quiet); wine=$wine; ! wine_quiet reg query 'HKLM\\System\\CurrentControlSet\\Services\\avserve' | grep -q ImagePath"
check "the service key was exported first" grep -qa 'avserve' "$backup/avserve.reg"
run_values=$(wine_quiet reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run')
check "the worm's Run value is gone" bash -c "! grep -q 'Windows Update Helper' <<<'$run_values'"
user_run_values=$(wine_quiet reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run')
check "so is the user's Run value of the worm the feed found" \
  bash -c "! grep -q 'News Ticker' <<<'$user_run_values'"
check "the harmless Run value stays" grep -q 'Sound Manager' <<<"$run_values"
hosts="$drive_c/windows/system32/drivers/etc/hosts"
check "the hosts file keeps localhost and the owner's note" \
  bash -c "grep -q 'localhost' '$hosts' && grep -q 'a note of the owner' '$hosts'"
check "the hijacking lines are gone" bash -c "! grep -qi 'symantec\\|mcafee' '$hosts'"
check "the old hosts file was kept" grep -q 'www.symantec.com' "$backup/hosts.back"

finish_checks
