#!/usr/bin/env python3
"""Compiles the publisher's public key into the program (QLX_FEED_KEY).

usage: gen_feed_key.py KEY_FILE OUTPUT_CPP

KEY_FILE is the public key that `quellix-feed keygen` writes (NAME.public.blob,
a CryptoAPI PUBLICKEYBLOB of an RSA key of 2048 bits or more); an empty
KEY_FILE builds a program without a key, which takes the feed unsigned.
"""

import struct
import sys

PUBLICKEYBLOB = 6
CALG_RSA_SIGN = 0x2400
CALG_RSA_KEYX = 0xA400
RSA1 = 0x31415352
LEAST_BITS = 2048


def check_blob(path, blob):
    if len(blob) < 20:
        raise ValueError(f"{path}: too short for a public key")
    kind, version, reserved, algorithm, magic, bits, _exponent = struct.unpack("<BBHIIII", blob[:20])
    if (kind, version, reserved) != (PUBLICKEYBLOB, 2, 0) or algorithm not in (CALG_RSA_SIGN, CALG_RSA_KEYX) \
            or magic != RSA1:
        raise ValueError(f"{path}: not an RSA PUBLICKEYBLOB (quellix-feed keygen writes NAME.public.blob)")
    if bits < LEAST_BITS or bits % 8 or len(blob) != 20 + bits // 8:
        raise ValueError(f"{path}: an RSA key of {bits} bits; {LEAST_BITS} or more are needed")


def main():
    key_file, output = sys.argv[1], sys.argv[2]
    if key_file:
        with open(key_file, "rb") as source:
            blob = source.read()
        try:
            check_blob(key_file, blob)
        except ValueError as error:
            print(f"gen_feed_key: {error}", file=sys.stderr)
            return 1
        body = ("  return std::vector<std::uint8_t>{\n"
                + "".join("      " + ", ".join(f"0x{b:02X}" for b in blob[i:i + 12]) + ",\n"
                          for i in range(0, len(blob), 12))
                + "  };\n")
    else:
        body = "  return std::nullopt;\n"
    with open(output, "w", encoding="ascii") as out:
        out.write("// Written by tools/gen_feed_key.py from QLX_FEED_KEY.\n"
                  "#include \"quellix/update/UpdateTarget.h\"\n\n"
                  "namespace quellix::update {\n\n"
                  "std::optional<std::vector<std::uint8_t>> BuiltInFeedKey() {\n"
                  + body + "}\n\n}  // namespace quellix::update\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
