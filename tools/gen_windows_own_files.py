#!/usr/bin/env python3
"""Writes the fallback table of Windows' own files as C++ from its data file
(platform/data/windows-own-files.txt), checking every row.

Usage: gen_windows_own_files.py TABLE.txt OUTPUT.cpp
"""
import sys

RELEASES = ["2000", "xp", "2003", "vista", "7", "8", "8.1", "10", "11"]
RELEASE_NAMES = ["k2000", "kXp", "k2003", "kVista", "k7", "k8", "k8_1", "k10", "k11"]
PLACES = {"windows": "kWindows", "system32": "kSystem32", "syswow64": "kSysWow64"}
BITNESS = {"any": "kAny", "32": "k32", "64": "k64"}


def fail(number, problem):
    sys.exit(f"windows-own-files line {number}: {problem}")


def rows(path):
    with open(path, encoding="utf-8") as table:
        for number, line in enumerate(table, 1):
            text = line.split("#", 1)[0].strip()
            if not text:
                continue
            fields = text.split()
            if len(fields) != 5:
                fail(number, "a row has five fields: name place first last bitness")
            name, place, first, last, bitness = fields
            if name != name.lower() or "\\" in name:
                fail(number, f"'{name}' must be a lower-case file name")
            base, _, subfolder = place.partition("\\")
            if base not in PLACES or subfolder != subfolder.lower():
                fail(number, f"unknown place '{place}'")
            if first not in RELEASES or last not in RELEASES:
                fail(number, f"unknown release in '{first} {last}'")
            if RELEASES.index(first) > RELEASES.index(last):
                fail(number, "the first release comes after the last")
            if bitness not in BITNESS:
                fail(number, f"unknown bitness '{bitness}'")
            if base == "syswow64" and bitness != "64":
                fail(number, "only a 64-bit Windows has a syswow64 folder")
            yield name, base, subfolder, first, last, bitness


def main():
    source, output = sys.argv[1], sys.argv[2]
    lines = [
        "// Written by tools/gen_windows_own_files.py from platform/data/windows-own-files.txt.",
        '#include "platform/WindowsOwnFilesTable.h"',
        "",
        "namespace platform {",
        "",
        "const WindowsOwnFileEntry kWindowsOwnFiles[] = {",
    ]
    count = 0
    for name, base, subfolder, first, last, bitness in rows(source):
        escaped = subfolder.replace("\\", "\\\\")
        lines.append(
            f'    {{"{name}", OwnPlace::{PLACES[base]}, "{escaped}", '
            f"WindowsRelease::{RELEASE_NAMES[RELEASES.index(first)]}, "
            f"WindowsRelease::{RELEASE_NAMES[RELEASES.index(last)]}, "
            f"OwnBitness::{BITNESS[bitness]}}},"
        )
        count += 1
    lines += [
        "};",
        "",
        f"const std::size_t kWindowsOwnFileCount = {count};",
        "",
        "}  // namespace platform",
        "",
    ]
    with open(output, "w", encoding="utf-8") as out:
        out.write("\n".join(lines))


if __name__ == "__main__":
    main()
