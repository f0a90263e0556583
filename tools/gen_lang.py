#!/usr/bin/env python3
"""Turns the language table sources into the program's language resources.

Input: a folder of UTF-8 sources, one per language, named "NN-name.txt" (NN is
the language index 00-22), 40 rows one per line, plus "titles.txt" with the 23
native language titles in index order.

Output, into the given folder, the resource bytes exactly as the program reads
them, in three forms:
  LANGUAGE_<id>.bin, LANGUAGETITLES_1.bin  the raw resource data;
  LanguageResources.rc                     the resource script for the Windows build;
  EmbeddedResources.cpp                    the same bytes as arrays for the portable build.

A table resource is UTF-16LE without byte-order mark, every row followed by
CR LF (so cutting it at CR LF gives 41 pieces, the last one empty). The title
resource starts with the byte-order mark U+FEFF and has CR LF between rows but
not after the last one. Any fault in a source stops the build with a message
naming the file and line.
"""

import argparse
import pathlib
import re
import sys

TABLE_ROWS = 40
LANGUAGE_COUNT = 23
FIRST_TABLE_ID = 100
TITLES_ID = 1
ENGLISH_INDEX = 7
TITLES_FILE = "titles.txt"
TABLE_NAME = re.compile(r"^(\d\d)-([a-z]+)\.txt$")
# Resource types as the program asks for them; Windows compares them without case.
SPELLING = {"LANGUAGE": "Language", "LANGUAGETITLES": "LanguageTitles"}
# Translations must keep the markers where the English table has them: a lost
# "%%" drops the argument of a log message, a lost " >> " merges two lines.
MARKERS = ("%%", " >> ")


class SourceError(Exception):
    pass


def read_rows(path, expected_rows):
    data = path.read_bytes()
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError as error:
        raise SourceError(
            f"{path}: not valid UTF-8 (byte 0x{data[error.start]:02x} at offset {error.start})")
    if text.startswith("\ufeff"):
        raise SourceError(f"{path}: starts with a byte-order mark; save it as UTF-8 without one")
    rows = text.split("\n")
    if rows[-1] == "":
        rows.pop()
    for number, row in enumerate(rows, start=1):
        if row == "":
            raise SourceError(f"{path}:{number}: empty row")
    if len(rows) != expected_rows:
        raise SourceError(f"{path}: has {len(rows)} rows, needs exactly {expected_rows}")
    for number, row in enumerate(rows, start=1):
        if "\r" in row:
            raise SourceError(f"{path}:{number}: carriage return in the row; use LF line ends")
        # Control characters would break the layout; U+FEFF and U+FFFE are the
        # marks the resources and the loader add themselves.
        bad = [c for c in row if ord(c) < 0x20 or c in "\ufeff\ufffe"]
        if bad:
            raise SourceError(
                f"{path}:{number}: character U+{ord(bad[0]):04X} is not allowed in a row")
    return rows


def table_bytes(rows):
    return "".join(row + "\r\n" for row in rows).encode("utf-16-le")


def titles_bytes(rows):
    return ("\ufeff" + "\r\n".join(rows)).encode("utf-16-le")


def find_tables(folder):
    tables = {}
    for path in sorted(folder.glob("*.txt")):
        if path.name == TITLES_FILE:
            continue
        match = TABLE_NAME.match(path.name)
        if not match:
            raise SourceError(f"{path}: not a table name; tables are named NN-language.txt")
        index = int(match.group(1))
        if index >= LANGUAGE_COUNT:
            raise SourceError(f"{path}: language index {index} is beyond the last one "
                              f"({LANGUAGE_COUNT - 1})")
        if index in tables:
            raise SourceError(f"{path}: index {index} is taken by {tables[index].name}")
        tables[index] = path
    if ENGLISH_INDEX not in tables:
        raise SourceError(f"{folder}: the English table ({ENGLISH_INDEX:02d}-english.txt) "
                          "is missing; every other table is checked against it")
    return tables


def check_markers(path, rows, english_rows):
    for number, (row, english) in enumerate(zip(rows, english_rows), start=1):
        for marker in MARKERS:
            if (marker in row) != (marker in english):
                presence = "has" if marker in english else "does not have"
                raise SourceError(f'{path}:{number}: the English row {presence} "{marker}"; '
                                  "the translation must match it")


def cpp_array(name, data):
    lines = [f"const unsigned char {name}[] = {{"]
    for start in range(0, len(data), 16):
        lines.append("    " + ", ".join(f"0x{b:02x}" for b in data[start:start + 16]) + ",")
    lines.append("};")
    return "\n".join(lines)


def array_name(kind, rid):
    return f"k{SPELLING[kind]}{rid}"


def cpp_source(resources):
    arrays = "\n\n".join(cpp_array(array_name(kind, rid), data) for kind, rid, data in resources)
    entries = "\n".join(
        f'      {{"{kind}", {rid}, {array_name(kind, rid)}, sizeof {array_name(kind, rid)}}},'
        for kind, rid, _ in resources)
    return f"""// Generated by tools/gen_lang.py from quellix/lang/tables; edit the tables instead.
#include "quellix/lang/EmbeddedResources.h"

namespace quellix::lang {{
namespace {{

{arrays}

}}  // namespace

const std::vector<EmbeddedResource>& EmbeddedLanguageResources() {{
  static const std::vector<EmbeddedResource> resources = {{
{entries}
  }};
  return resources;
}}

}}  // namespace quellix::lang
"""


def rc_script(resources, out_dir):
    # windres reads the upper-case word LANGUAGE as the LANGUAGE statement, so
    # the types are written in mixed case; it stores type names upper-cased.
    lines = ["// Generated by tools/gen_lang.py from quellix/lang/tables; edit the tables instead."]
    for kind, rid, _ in resources:
        path = (out_dir / bin_name(kind, rid)).resolve().as_posix()
        lines.append(f'{rid} {SPELLING[kind]} "{path}"')
    return "\n".join(lines) + "\n"


def bin_name(kind, rid):
    return f"{kind}_{rid}.bin"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tables", required=True, type=pathlib.Path, help="folder of sources")
    parser.add_argument("--out", required=True, type=pathlib.Path, help="output folder")
    args = parser.parse_args()

    try:
        tables = find_tables(args.tables)
        english_rows = read_rows(tables[ENGLISH_INDEX], TABLE_ROWS)
        resources = []
        for index, path in sorted(tables.items()):
            rows = read_rows(path, TABLE_ROWS)
            check_markers(path, rows, english_rows)
            resources.append(("LANGUAGE", FIRST_TABLE_ID + index, table_bytes(rows)))
        titles = read_rows(args.tables / TITLES_FILE, LANGUAGE_COUNT)
        resources.append(("LANGUAGETITLES", TITLES_ID, titles_bytes(titles)))
    except (SourceError, OSError) as error:
        print(f"gen_lang.py: error: {error}", file=sys.stderr)
        return 1

    args.out.mkdir(parents=True, exist_ok=True)
    for kind, rid, data in resources:
        (args.out / bin_name(kind, rid)).write_bytes(data)
    rc_path = args.out / "LanguageResources.rc"
    rc_path.write_text(rc_script(resources, args.out), encoding="utf-8")
    (args.out / "EmbeddedResources.cpp").write_text(cpp_source(resources), encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main())
