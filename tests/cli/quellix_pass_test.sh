#!/usr/bin/env bash
# quellix-pass from the outside: its output, exit codes and saved machine.
set -uo pipefail
pass=$1
root=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/../support/checks.sh"

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

"$pass" --help >"$work/help.out" 2>"$work/help.err"
check "--help prints the usage to standard output and exits 0" \
  bash -c "[ $? -eq 0 ] && grep -q -- '--restore FOLDER' '$work/help.out' && [ ! -s '$work/help.err' ]"

# Undoing a run: the record of an infected pass, a copy that went missing, and
# the exit statuses of a restore.
"$pass" --machine "$root/scenarios/infected-demo.json" --backup-dir 'C:\Quellix Backup' \
  --save-machine "$work/passed.json" >/dev/null 2>&1
"$pass" --machine "$work/passed.json" --restore 'C:\Quellix Backup' --dry-run >"$work/dry.out" 2>&1
check "a dry run names what it would restore and exits 0" \
  bash -c "[ $? -eq 0 ] && grep -qx 'would restore: file c:\\\\windows\\\\winmgrs.exe' '$work/dry.out'"
python3 - "$work/passed.json" "$work/no-copy.json" <<'PY'
import json, sys
machine = json.load(open(sys.argv[1]))
machine["files"] = [f for f in machine["files"] if not f["path"].endswith("\\winmgrs.exe.back")]
json.dump(machine, open(sys.argv[2], "w"))
PY
"$pass" --machine "$work/no-copy.json" --restore 'C:\Quellix Backup' --only winmgrs \
  --save-machine "$work/restored.json" >"$work/only.out" 2>&1
check "a missing copy is skipped, the rest asked for restored, and the exit is 6" \
  bash -c "[ $? -eq 6 ] && grep -q '^skipped: file c:.*winmgrs.exe: its copy .* is missing' '$work/only.out' &&
           grep -qx 'restore: 1 restored, 1 skipped, 0 failed' '$work/only.out'"
"$pass" --machine "$work/restored.json" --restore 'C:\Quellix Backup' >"$work/rest.out" 2>&1
check "the next restore puts back the rest and not the value again" \
  bash -c "grep -qx 'restore: 13 restored, 1 skipped, 0 failed' '$work/rest.out'"
"$pass" --machine "$root/scenarios/clean.json" --restore 'C:\' >/dev/null 2>"$work/none.err"
check "a folder without a record exits 5" \
  bash -c "[ $? -eq 5 ] && grep -q 'no readable restore record' '$work/none.err'"
"$pass" --machine "$root/scenarios/clean.json" --dry-run >/dev/null 2>&1
check "--dry-run without --restore exits 2" test $? -eq 2
printf '{"base": "standard", "faults": [ {"call": "GetTempPathA", "error": 5} ]}' >"$work/stops.json"
"$pass" --machine "$work/stops.json" --save-machine "$work/stopped.json" >/dev/null 2>"$work/stops.err"
check "a stopped run exits 4" test $? -eq 4
check "a stopped run still saves the machine, with what it asked for" \
  grep -q '"GetTempPathA"' "$work/stopped.json"

finish_checks
