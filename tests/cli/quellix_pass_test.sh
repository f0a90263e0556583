#!/usr/bin/env bash
# quellix-pass from the outside: its output, exit codes and saved machine.
set -uo pipefail
pass=$1
root=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

check() {  # description, command...
  local description=$1
  shift
  if "$@"; then echo "ok: $description"; else echo "FAILED: $description"; failures=$((failures + 1)); fi
}

"$pass" --machine "$root/scenarios/clean.json" >"$work/clean.out" 2>"$work/clean.err"
check "a clean machine reaches its ending (exit 0)" test $? -eq 0
check "the log opens with the two lines of message 1 after the folder boxes" \
  bash -c "grep -A2 '^box 3:' '$work/clean.out' | tail -2 | diff - <(printf 'Starting Scan...\nSmartScanning Processes...\n')"
check "box 2 asks for the folder" grep -qx 'box 2: Please choose a folder to save Backup Files and your Quellix Log file to.' "$work/clean.out"
check "a cancelled dialog gives box 3 with its two lines" \
  grep -qxF 'box 3: You have not selected a folder. | Your log and backup files will be saved to your root directory (usually C:\)' "$work/clean.out"
check "nothing found ends with boxes 6 and 7" \
  bash -c "tail -2 '$work/clean.out' | diff - <(printf 'box 6: No virus detected.\nbox 7: We strongly recommend you change your password, especially if you get signed out when the messages are sent. | Would you like to be taken to the MSN Live account page so you can change your password?\n')"
check "Done! follows Saving Log..." \
  bash -c "grep -A1 -x 'Saving Log...' '$work/clean.out' | tail -1 | grep -qx 'Done!'"

"$pass" --machine "$root/scenarios/clean.json" --save-machine "$work/after.json" \
  --backup-dir 'C:\WINDOWS\TEMP' >"$work/saved.out" 2>&1
check "a chosen folder gives no box 3" bash -c "! grep -q '^box 3:' '$work/saved.out'"
check "the saved machine holds the run log in the chosen folder" \
  grep -q 'Quellix Log [0-9_]* [0-9_]*\.txt' "$work/after.json"

"$pass" --frobnicate 1 >"$work/bad.out" 2>"$work/bad.err"
check "an unknown option exits 2" test $? -eq 2
check "the message names the option" grep -q "unknown option '--frobnicate'" "$work/bad.err"

"$pass" --machine "$root/scenarios/clean.json" --answer maybe >/dev/null 2>"$work/answer.err"
check "a bad answer exits 2" test $? -eq 2

printf '{"base": "standard", "registry": [ {"key": 5} ]}' >"$work/broken.json"
"$pass" --machine "$work/broken.json" >/dev/null 2>"$work/broken.err"
check "a malformed scenario exits 3" test $? -eq 3
check "the message names the place" grep -q '/registry/0' "$work/broken.err"

"$pass" --machine "$work/missing.json" >/dev/null 2>"$work/missing.err"
check "a missing scenario exits 3" test $? -eq 3

printf '{"base": "standard", "faults": [ {"call": "GetTempPathA", "error": 5} ]}' >"$work/stops.json"
"$pass" --machine "$work/stops.json" --save-machine "$work/stopped.json" >/dev/null 2>"$work/stops.err"
check "a stopped run exits 4" test $? -eq 4
check "a stopped run still saves the machine, with what it asked for" \
  grep -q '"GetTempPathA"' "$work/stopped.json"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
