#!/usr/bin/env bash
# The Windows quellix-pass on the real system of the throw-away prefix: a clean
# prefix ends with boxes 6 and 7 and leaves a UTF-16 run log in the folder.
set -uo pipefail
pass=$1
runner=$2
: "${WINEPREFIX:?the prefix of the test run}"
backup="$WINEPREFIX/drive_c/qlx-cli"
rm -rf "$backup"
mkdir -p "$backup"
. "$(dirname "$0")/../support/checks.sh"

# Wine keeps its desktop program in the system folder as well as in the
# Windows folder; no Windows of either bitness has an Explorer there, so a
# pass would judge that copy a worm's. The clean prefix is one without it: it
# is set aside for the run and put back for the window tests.
explorer="$WINEPREFIX/drive_c/windows/system32/explorer.exe"
aside="$WINEPREFIX/qlx-explorer-aside.exe"
out=$(mktemp)
restore() {
  rm -f "$out"
  if [ -e "$aside" ]; then mv -f "$aside" "$explorer"; fi
}
trap restore EXIT
if [ -e "$explorer" ]; then mv -f "$explorer" "$aside"; fi
"$runner" "$pass" --backup-dir 'C:\qlx-cli' --answer no 2>/dev/null | tr -d '\r' >"$out"
check "the run reaches its ending" grep -qx 'box 6: No virus detected.' "$out"
check "box 7 follows" grep -q '^box 7: We strongly recommend' "$out"
log=$(ls "$backup"/Quellix\ Log\ *.txt 2>/dev/null | head -1)
check "one run log in the chosen folder" test -n "$log"
check "the log starts with FF FE" \
  bash -c "[ \"\$(head -c 2 '$log' | od -An -tx1 | tr -d ' ')\" = fffe ]"
check "then the header line" \
  bash -c "tail -c +3 '$log' | head -c 68 | iconv -f UTF-16LE -t UTF-8 | grep -qx 'Version: 4.23 Virus DataBase: 7.00'"
finish_checks
