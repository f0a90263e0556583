#!/usr/bin/env bash
# The real gorsel.exe end to end, under Wine on a virtual display: a stand-in
# worm started from the load value as winlogon.exe and a program started
# from a documents folder by a Run value; Gorsel is started as a user would,
# its list read, the fix button pressed and every box answered by uidriver.
# Afterwards the processes, files, values and the hosts file are checked.
# Screenshots of the window with the listed process, of a box, of the final
# message and of the window after the fix are saved as PNG files; the driver
# fails a picture in which a window lacks its title bar or a box its whole
# text.
# usage: gorsel_e2e_test.sh GORSEL_EXE UIDRIVER_EXE STANDIN_WORM_EXE SHOTS_DIR
set -uo pipefail
gorsel=$1
driver=$2
standin=$3
shots=$4
here=$(cd "$(dirname "$0")" && pwd)
: "${WINEPREFIX:?the prefix of the test run}"
: "${DISPLAY:?a display; run under xvfb-run}"
export WINEDEBUG=${WINEDEBUG:--all}
# No debugger, no desktop links, and no browser: the pages Gorsel opens
# (its closing page) must never reach a real browser.
export WINEDLLOVERRIDES="winedbg.exe=d;winemenubuilder.exe=d;winebrowser.exe=d"
wine=${QLX_WINE:-wine}

drive_c="$WINEPREFIX/drive_c"
dir="$drive_c/gorsel-e2e"
dir_win='C:\gorsel-e2e'
documents="$drive_c/Documents and Settings/tester/My Documents"
documents_win='C:\Documents and Settings\tester\My Documents'
hosts="$drive_c/windows/system32/drivers/etc/hosts"
rm -rf "$dir"
mkdir -p "$dir/worm" "$documents" "$shots"
cp -f "$gorsel" "$dir/gorsel.exe"
cp -f "$driver" "$dir/uidriver.exe"
cp -f "$standin" "$dir/worm/winlogon.exe"
cp -f "$standin" "$documents/pics.exe"
hosts_before=$(mktemp)
cp -f "$hosts" "$hosts_before"
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  cp -f "$hosts_before" "$hosts"
  rm -f "$(dirname "$hosts")"/*.back "$hosts_before" "$(dirname "$hosts")"/Gorsel\ *.reg \
    "$(dirname "$hosts")"/Restore\ record*.txt "$(dirname "$hosts")/How to undo this run.txt"
  rm -rf "$work" "$dir" "$drive_c/Documents and Settings/tester"
}
trap cleanup EXIT

. "$(dirname "$0")/../support/checks.sh"
has() { grep -qF -- "$1" "$work/out.txt"; }
ended() {
  for _ in $(seq 300); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
  return 1
}
wine_quiet() { "$wine" "$@" 2>/dev/null </dev/null | tr -d '\r'; }
drive() {
  status=0
  "$wine" "$dir_win\\uidriver.exe" "$@" >"$work/out" 2>"$work/err" </dev/null || status=$?
  tr -d '\r' <"$work/out" >"$work/out.txt"
  tr -d '\r' <"$work/err" >"$work/err.txt"
  echo "--- uidriver $* (exit $status)"
  cat "$work/out.txt" "$work/err.txt"
}
running() { pgrep -f "$1" >/dev/null; }

"$here/prepare-prefix" || { echo "FAILED: the prefix could not be prepared"; exit 1; }
cd "$drive_c"
windows_key='HKCU\Software\Microsoft\Windows NT\CurrentVersion\Windows'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
wine_quiet reg add "$windows_key" /v load /d "$dir_win\\worm\\winlogon.exe" /f >/dev/null
wine_quiet reg add "$run_key" /v pics /d "\"$documents_win\\pics.exe\" -s" /f >/dev/null
wine_quiet reg add "$run_key" /v GorselNotepad /d 'C:\windows\notepad.exe' /f >/dev/null

"$wine" "$dir_win\\worm\\winlogon.exe" >"$work/worm.out" 2>&1 </dev/null &
pids+=($!)
"$wine" "$documents_win\\pics.exe" >"$work/pics.out" 2>&1 </dev/null &
pids+=($!)
for _ in $(seq 100); do running '[g]orsel-e2e.worm.winlogon.exe' && running '[p]ics.exe' && break; sleep 0.1; done
check "the stand-in worm runs as winlogon.exe" running '[g]orsel-e2e.worm.winlogon.exe'

"$wine" "$dir_win\\gorsel.exe" >"$work/gorsel.out" 2>&1 </dev/null &
gorsel_pid=$!
pids+=("$gorsel_pid")
drive wait-main 90 wait-enabled 201 60 print-list 202 screenshot "$dir_win\\1-listed.bmp"
check "the window opens with its caption" has 'wait-main: found "Gorsel v3 (Quellix)"'
check "the list holds the worm with a process id" \
  grep -qiE '^print-list\| C:\\gorsel-e2e\\worm\\winlogon\.exe	[0-9]+$' "$work/out.txt"
check "and nothing else" has 'print-list: 1 row'
check "the window is pictured whole, with its title bar" test "$status" -eq 0

# The fix: the Run value's two boxes, then the final message.
drive click 201 wait-box 'pics.exe' 120 screenshot "$dir_win\\2-run-value-box.bmp" \
  answer-box 1 'pics.exe' 30 answer-box 1 'Run\pics' 60 \
  wait-box 'Gorsel has just tried' 120 screenshot "$dir_win\\3-final-box.bmp" \
  answer-box 1 "Let's hope they died, okay?" 30 wait-enabled 201 30 print-list 202 print-details \
  screenshot "$dir_win\\4-after-fix.bmp"
check "the fix was driven to its final message" test "$status" -eq 0
check "the list is empty afterwards" has 'print-list: 0 rows'
check "Text1 lists the Run value that stays" has 'print-details| Name: GorselNotepad'

drive close-main answer-box 1 'leave a comment' 30 wait-gone-main 30
check "closing asks for a comment and ends the program" test "$status" -eq 0
check "gorsel.exe has ended" ended "$gorsel_pid"

for bmp in "$dir"/*.bmp; do
  [ -e "$bmp" ] && convert "$bmp" "$shots/gorsel-$(basename "${bmp%.bmp}").png"
done
check "the screenshots were saved" test "$(ls "$shots"/gorsel-*.png 2>/dev/null | wc -l)" -ge 4

check "the worm process has ended" bash -c "! pgrep -f '[g]orsel-e2e.worm.winlogon.exe' >/dev/null"
check "its program is deleted" test ! -e "$dir/worm/winlogon.exe"
check "after its copy was made beside the hosts copy" cmp -s "$(dirname "$hosts")/winlogon.exe.back" "$standin"
check "the documents folder's program has ended" bash -c "! pgrep -f '[p]ics.exe' >/dev/null"
check "the load value is gone" bash -c "$(declare -f wine_quiet); wine=$wine; ! wine_quiet reg query '$windows_key' /v load | grep -q load"
run_values=$(wine_quiet reg query "$run_key")
check "the documents Run value is gone" bash -c "! grep -q 'pics' <<<'$run_values'"
check "the other Run value stays" grep -q 'GorselNotepad' <<<"$run_values"
check "the hosts file holds exactly the three lines" \
  cmp -s "$hosts" <(printf '# Hosts file restored by Quellix\r\n# ---------------------------------\r\n127.0.0.1      localhost\r\n')
check "the old hosts file was kept beside it" cmp -s "$hosts.back" "$hosts_before"
check "the removed values were saved beside it" \
  grep -q '^"pics"=' "$(dirname "$hosts")/Gorsel HKCU pics.reg"
record="$(dirname "$hosts")/Restore record.txt"
check "the restore record lists the value and the hosts file" \
  bash -c $'grep -q "^value\tHKCU\t.*\tpics\t" "$1" && grep -q "^hosts\t" "$1"' _ "$record"
check "and the program" grep -qiF $'file\tC:\\gorsel-e2e\\worm\\winlogon.exe\t' "$record"
wine_quiet reg delete "$run_key" /v GorselNotepad /f >/dev/null

finish_checks
