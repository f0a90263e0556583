#!/usr/bin/env bash
# uidriver against the fixture window program under Wine: the fixture runs in
# the background in the suite's prefix while several driver scripts click its
# START button, answer its message boxes and folder dialogs, read its status
# and details, take a screenshot and close it. Steps that must fail are run
# too, so a driver that clicks blindly or answers the wrong window is caught.
# Needs WINEPREFIX (scripts/wine-prefix) and a display (xvfb-run).
set -uo pipefail
driver=$1
fixture=$2
: "${WINEPREFIX:?the prefix of the test run}"
: "${DISPLAY:?a display; run under xvfb-run}"
export WINEDEBUG=${WINEDEBUG:--all}
# A crash ends the program with its error instead of waiting in the debugger.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-winedbg.exe=d;winemenubuilder.exe=d}
wine=${QLX_WINE:-wine}

drive_c="$WINEPREFIX/drive_c"
run="$drive_c/qlx-uidriver"
rm -rf "$run" "$drive_c/some folder"
mkdir -p "$run" "$drive_c/some folder"
cp -f "$driver" "$run/uidriver.exe"
cp -f "$fixture" "$run/fixture.exe"
work=$(mktemp -d)
fixture_pid=
cleanup() {
  [ -n "$fixture_pid" ] && kill "$fixture_pid" 2>/dev/null
  rm -rf "$work" "$run" "$drive_c/some folder"
}
trap cleanup EXIT

. "$(dirname "$0")/../support/checks.sh"

"$(dirname "$0")/prepare-prefix" || { echo "FAILED: the prefix could not be prepared"; exit 1; }
# The prefix has no Z: drive, so Wine starts from C:. Every Wine program's
# output goes to a file: the system processes that Wine starts inherit it.
cd "$drive_c"
"$wine" 'C:\qlx-uidriver\fixture.exe' 'C:\qlx-uidriver\chosen.txt' \
  >"$work/fixture.out" 2>&1 </dev/null &
fixture_pid=$!

# Runs one driver script; its output lands in $work/out and $work/err, its
# exit status in $status.
drive() {
  status=0
  "$wine" 'C:\qlx-uidriver\uidriver.exe' "$@" >"$work/out" 2>"$work/err" </dev/null || status=$?
  tr -d '\r' <"$work/out" >"$work/out.txt"
  tr -d '\r' <"$work/err" >"$work/err.txt"
  echo "--- uidriver $* (exit $status)"
  cat "$work/out.txt" "$work/err.txt"
}
has() { grep -qxF -- "$1" "$work/out.txt"; }
err_has() { grep -qF -- "$1" "$work/err.txt"; }
exited() { [ "$status" -eq "$1" ]; }
block() { sed -n "s/^$1| //p" "$work/out.txt"; }

drive wait-main 60 print-status wait-enabled 102 30 click 102
check "the script runs to its end" exited 0
check "wait-main names the window" has 'wait-main: found "Quellix fixture"'
screen_size=$(sed -n 's/^print-status| Waiting on a \([0-9]*\)x\([0-9]*\) screen$/\1 \2/p' "$work/out.txt")
check "the status before the first click names the screen" test -n "$screen_size"
check "START is clicked once it is enabled" has 'click: clicked 102 "START"'

drive wait-main 5 answer-box 3 '' 5
check "a script with a mistake is refused as a whole" exited 2
check "before anything runs" test ! -s "$work/out.txt"
check "with the reason" err_has '"3" is not a button number'

drive answer-box 1 'not in this box' 1
check "a box without the expected text fails the step" exited 1
check "the error shows the box that is there" err_has 'a box says "Choose a folder / for the test"'

drive answer-box 2 '' 1
check "a one-button box has no button 2 to click" exited 1
check "the error says so" err_has 'its button 2 is hidden or disabled'

drive click 102
check "a click while the box holds the window is refused" exited 1
check "with the reason" err_has 'cannot be clicked now'

drive wait-box 'Choose a folder' 30 screenshot 'C:\qlx-uidriver\box.bmp' \
  answer-box 1 'Choose a folder' 30 wait-folder 30 \
  answer-folder 'C:\some folder' 30 \
  answer-box 2 'C:\some folder' 30 \
  wait-enabled 102 30 click 102 answer-box 1 '' 30
check "the first round and the start of the second run" exited 0
check "the screenshot step reports its file" grep -qE '^screenshot: [0-9]+x[0-9]+ saved to C:\\qlx-uidriver\\box.bmp$' "$work/out.txt"
check "wait-box shows the box without answering it" test "$(block wait-box)" = "$(printf 'Choose a folder\nfor the test')"
check "wait-folder waits for the dialog" has 'wait-folder: the folder dialog is shown'
check "the box text is printed" test "$(block answer-box | head -2)" = "$(printf 'Choose a folder\nfor the test')"
check "its button is named" has 'answer-box: clicked 1 "OK"'
check "the folder is selected in the dialog" has 'answer-folder: selected C:\some folder ("some folder"), pressed OK'
check "the second box shows the chosen path" has 'answer-box| C:\some folder'
check "and its second button is clicked" has 'answer-box: clicked 2 "Drop"'
shot_size=$(sed -n 's/^screenshot: \([0-9]*\)x\([0-9]*\) .*/\1 \2/p' "$work/out.txt")

drive answer-folder 'C:\no such folder' 3
check "a folder that cannot be selected fails the step" exited 1
check "instead of pressing OK on another folder" err_has 'did not select C:\no such folder'

drive cancel-folder 30 wait-enabled 102 30 print-status print-details close-main wait-gone-main 30
check "the second round is cancelled and the program closed" exited 0
check "the status shows the last round" test "$(block print-status)" = cancelled
check "the details hold every round" test "$(block print-details)" = \
  "$(printf 'Fixture ready\nchosen C:\\some folder answer 2\ncancelled')"
check "the main window has gone" has 'wait-gone-main: the main window has gone'

# The fixture ends by itself once its window has gone.
for _ in $(seq 300); do kill -0 "$fixture_pid" 2>/dev/null || break; sleep 0.1; done
check "the fixture has ended" bash -c "! kill -0 $fixture_pid 2>/dev/null"
check "the fixture recorded the chosen folder and the cancel" test \
  "$(tr -d '\r' <"$run/chosen.txt")" = "$(printf 'chosen C:\\some folder answer 2\ncancelled')"

# The screenshot: a 24-bit BMP of the whole screen (as the fixture measured
# it), with the fixture's main window colour in it (a capture of an empty
# desktop would not have it).
check "the driver saw the screen's size" test "$shot_size" = "$screen_size"
check "the screenshot is a valid BMP of that size showing the window" \
  python3 - "$run/box.bmp" $screen_size <<'PY'
import struct, sys
path, width, height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
data = open(path, "rb").read()
magic, file_size, offset = data[:2], struct.unpack_from("<I", data, 2)[0], struct.unpack_from("<I", data, 10)[0]
header, w, h, planes, bits, compression = struct.unpack_from("<IiiHHI", data, 14)
stride = (w * 3 + 3) & ~3
problems = []
if magic != b"BM": problems.append("no BM signature")
if file_size != len(data): problems.append(f"header says {file_size} bytes, file has {len(data)}")
if (header, planes, bits, compression) != (40, 1, 24, 0): problems.append("not a plain 24-bit DIB")
if (w, h) != (width, height): problems.append(f"{w}x{h}, screen is {width}x{height}")
if offset + stride * abs(h) != len(data): problems.append("pixel data size does not match")
if not problems:
    colour = bytes((0x22, 0xC8, 0x12))  # the fixture's window colour, stored blue-green-red
    found = sum(1 for row in range(h) for x in range(0, w * 3, 3)
                if data[offset + row * stride + x: offset + row * stride + x + 3] == colour)
    if found < 1000: problems.append(f"only {found} pixels of the window colour")
for p in problems: print(p)
sys.exit(1 if problems else 0)
PY

finish_checks
