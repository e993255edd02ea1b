#!/usr/bin/env python3
"""Writes the zlib streams under tests/data/zlib/ with Python's zlib, so the
tests read streams that another zlib user produced. Run once; the files are
checked in. compression_test.cpp knows the payloads:

  empty.z             the empty payload, default level
  entry.bin           an entry text as stored: UTF-16LE with a terminating zero
  entry_l9.z          entry.bin at level 9
  entry_stored.z      entry.bin at level 0 (stored blocks only)
  entry_trailing.z    entry_l9.z followed by bytes that are no zlib data
  entry_dict.z        entry.bin against a preset dictionary (never written by
                      the program: must be refused)
  pattern.z           Pattern(1200000) at the default level; more than two
                      500,000-byte chunks when inflated
Pattern(n): byte i is (7 * i + i // 4096) % 256.
"""
import os
import zlib

ENTRY = ("Tally Leaf diary entry.\r\n"
         "今日は良い天気でした。散歩に出かけて、桜を見ました。\r\n"
         "Zeile mit Umlauten: äöü ß — and a long dash.\r\n") * 20


def pattern(n):
    return bytes((7 * i + i // 4096) % 256 for i in range(n))


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = os.path.join(root, "tests", "data", "zlib")
    os.makedirs(out, exist_ok=True)
    entry = ENTRY.encode("utf-16-le") + b"\0\0"
    co = zlib.compressobj(level=-1, zdict=b"Tally Leaf diary entry")
    files = {
        "empty.z": zlib.compress(b""),
        "entry.bin": entry,
        "entry_l9.z": zlib.compress(entry, 9),
        "entry_stored.z": zlib.compress(entry, 0),
        "entry_trailing.z": zlib.compress(entry, 9) + b"\x00not zlib data\xff",
        "entry_dict.z": co.compress(entry) + co.flush(),
        "pattern.z": zlib.compress(pattern(1200000)),
    }
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
