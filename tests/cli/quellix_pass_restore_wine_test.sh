#!/usr/bin/env bash
# Undoing a run on the real system of the throw-away prefix: worm files, Run
# and policy values, a service key and hosts lines are removed by a pass of
# quellix-pass.exe, and its --restore gives back every file byte for byte with
# its attributes, every value and the whole service key.
set -uo pipefail
pass=$1
runner=$2
: "${WINEPREFIX:?the prefix of the test run}"
wine=${QLX_WINE:-wine}
export WINEDEBUG=-all
drive="$WINEPREFIX/drive_c"
backup="$drive/qlx-undo"
rm -rf "$backup"
mkdir -p "$backup"
work=$(mktemp -d)
. "$(dirname "$0")/../support/checks.sh"
reg() { "$wine" reg "$@" </dev/null 2>/dev/null | tr -d '\r'; }
attributes() { "$wine" cmd /c attrib "$1" </dev/null 2>/dev/null | tr -d '\r'; }

run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
user_run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
policy='HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\System'
service='HKLM\System\CurrentControlSet\Services\avserve'
worms=('C:\windows\winmgrs.exe' 'C:\windows\system32\msblast.exe' 'C:\windows\avserve.exe')
files=("$drive/windows/winmgrs.exe" "$drive/windows/system32/msblast.exe" "$drive/windows/avserve.exe")

# The prefix is shared with later tests, which expect a clean machine. Its
# desktop program is a find of every pass, and of the restore's putting back;
# the tests before this one have swept it.
cp "$drive/windows/system32/drivers/etc/hosts" "$work/clean-hosts"
desktop="$drive/windows/system32/explorer.exe"
[ -e "$desktop" ] && desktop_was_there=1 || desktop_was_there=0
cleanup() {
  rm -f "${files[@]}"
  [ "$desktop_was_there" -eq 1 ] || rm -f "$desktop"
  for value in "$run_key winmgrs" "$user_run msblast" "$policy DisableTaskMgr"; do
    reg delete "${value% *}" /v "${value##* }" /f >/dev/null
  done
  reg delete "$service" /f >/dev/null
  cp "$work/clean-hosts" "$drive/windows/system32/drivers/etc/hosts"
  rm -rf "$backup" "$work"
}
trap cleanup EXIT

# Stand-in worms: bytes of every value, each file different.
for i in 0 1 2; do
  { printf 'stand-in %d\0' "$i"; head -c 3000 /dev/urandom; } >"${files[$i]}"
  cp "${files[$i]}" "$work/file$i"
done
"$wine" cmd /c attrib +h +s 'C:\windows\winmgrs.exe' </dev/null >/dev/null 2>&1
"$wine" cmd /c attrib +r 'C:\windows\system32\msblast.exe' </dev/null >/dev/null 2>&1
reg add "$run_key" /v winmgrs /d 'c:\windows\winmgrs.exe -start' /f >/dev/null
reg add "$user_run" /v msblast /d 'C:\windows\system32\msblast.exe' /f >/dev/null
reg add "$policy" /v DisableTaskMgr /t REG_DWORD /d 1 /f >/dev/null
reg add "$service" /v ImagePath /t REG_EXPAND_SZ /d 'C:\windows\avserve.exe' /f >/dev/null
reg add "$service" /v Start /t REG_DWORD /d 2 /f >/dev/null
reg add "$service\\Parameters" /v Interval /t REG_BINARY /d 00ff10 /f >/dev/null
hosts="$drive/windows/system32/drivers/etc/hosts"
# An earlier pass may have left the file without a line break at its end:
# the entry must be a line of its own.
if [ -s "$hosts" ] && [ -n "$(tail -c1 "$hosts")" ]; then printf '\r\n' >>"$hosts"; fi
printf '127.0.0.1 www.symantec.com\r\n' >>"$hosts"

snapshot() {  # folder
  for i in 0 1 2; do attributes "${worms[$i]}" >"$1/attrib$i"; done
  reg query "$run_key" /v winmgrs >"$1/run"
  reg query "$user_run" /v msblast >"$1/userrun"
  reg query "$policy" /v DisableTaskMgr >"$1/policy"
  reg query "$service" /s >"$1/service"
  cp "$hosts" "$1/hosts"
}
mkdir -p "$work/before" "$work/after"
snapshot "$work/before"
check "the seeded values read back" \
  bash -c "grep -q ImagePath '$work/before/service' && grep -q Interval '$work/before/service' &&
           grep -q winmgrs '$work/before/run' && grep -q msblast '$work/before/userrun' &&
           grep -q DisableTaskMgr '$work/before/policy'"
check "the seeded attributes read back" \
  bash -c "grep -q '^[A-Z ]*S[A-Z ]*C:' '$work/before/attrib0' && grep -q '^[A-Z ]*R[A-Z ]*C:' '$work/before/attrib1'"

"$runner" "$pass" --backup-dir 'C:\qlx-undo' --answer no >"$work/pass.out" 2>&1
for i in 0 1 2; do check "the pass removes ${worms[$i]}" test ! -e "${files[$i]}"; done
check "the pass takes the line out of the hosts file" \
  bash -c "grep -q 'Found Entry 127.0.0.1 www.symantec.com' '$work/pass.out' && ! grep -q symantec '$hosts'"
check "the pass removes the service key" bash -c "! '$wine' reg query '$service' </dev/null >/dev/null 2>&1"
check "the pass leaves a restore record" test -s "$backup/Restore record.txt"
check "and the note that names the command" grep -q 'quellix-pass --restore' "$backup/How to undo this run.txt"

"$runner" "$pass" --restore 'C:\qlx-undo' 2>&1 | tr -d '\r' >"$work/restore.out"
status=${PIPESTATUS[0]}
check "the restore puts everything back (exit 0)" test "$status" -eq 0
check "it says so" grep -q '^restore: [1-9][0-9]* restored, 0 skipped, 0 failed$' "$work/restore.out"
snapshot "$work/after"
for i in 0 1 2; do
  check "${worms[$i]} comes back byte for byte" cmp -s "$work/file$i" "${files[$i]}"
  check "${worms[$i]} comes back with its attributes" cmp -s "$work/before/attrib$i" "$work/after/attrib$i"
done
for part in run userrun policy service hosts; do
  check "$part is as before the pass" cmp -s "$work/before/$part" "$work/after/$part"
done

"$runner" "$pass" --restore 'C:\qlx-undo' 2>&1 | tr -d '\r' >"$work/again.out"
check "a second restore puts nothing back" grep -qx 'restore: 0 restored, 0 skipped, 0 failed' "$work/again.out"
[ "$failures" -eq 0 ] || cat "$work/pass.out" "$work/restore.out"
finish_checks
