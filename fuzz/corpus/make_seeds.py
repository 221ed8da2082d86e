#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the seed inputs of the three fuzzers into fuzz/corpus/<target>/.

The seeds are committed; run this again only to change them. Each one is a
small, meaningful case the fuzzer then mutates. The input layouts are
described at the top of fuzz/fuzz_records.cpp and fuzz/fuzz_logger.cpp.
"""
import math
import os
import shutil
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    directory = os.path.join(HERE, target)
    os.makedirs(directory, exist_ok=True)
    with open(os.path.join(directory, name), "wb") as f:
        f.write(data)


# -- fuzz_catalogue: the bytes of Lang/Lang.ini. An even length ships the
#    fallback chs translation, an odd one doesn't.

CATALOGUE = (
    "; languages of the host\n"
    "[LANG_MGR]\n"
    "DEFAULT=1\n"
    "LANG0_ID=0\nLANG0_NAME=简体中文\nLANG0_FOLDER=chs\nLANG0_SHOW=1\n"
    "LANG1_ID=1\nLANG1_NAME=English\nLANG1_FOLDER=en\nLANG1_SHOW=1\n"
    "LANG2_ID=2\nLANG2_NAME=繁体中文\nLANG2_FOLDER=cht\nLANG2_SHOW=0\n"
    "[OTHER]\nDEFAULT=0\n"
)


def catalogue(name, data, fallback):
    if (len(data) % 2 == 0) != fallback:
        data += b"\n"
    write("fuzz_catalogue", name, data)


def catalogue_seeds():
    catalogue("utf8-bom.ini", b"\xef\xbb\xbf" + CATALOGUE.encode("utf-8"), True)
    catalogue("utf8-bom-no-fallback.ini", b"\xef\xbb\xbf" + CATALOGUE.encode("utf-8"), False)
    utf16 = CATALOGUE.replace("\n", "\r\n").encode("utf-16-le")
    write("fuzz_catalogue", "utf16le-bom.ini", b"\xff\xfe" + utf16)  # even: fallback present
    write("fuzz_catalogue", "utf16le-bom-odd.ini", b"\xff\xfe" + utf16 + b"\n")
    catalogue("gb2312.ini", CATALOGUE.encode("gb2312"), True)
    # A big-endian mark is not recognised: read as GB2312.
    catalogue("utf16be-bom.ini", b"\xfe\xff" + CATALOGUE.encode("utf-16-be"), True)
    catalogue("bad-translation.ini",
              b"[LANG_MGR]\nDEFAULT=7\nLANG7_NAME=Broken\nLANG7_FOLDER=bad\nLANG7_SHOW=1\n"
              b"LANG8_NAME=Dir\nLANG8_FOLDER=dir\nLANG8_SHOW=1\n", True)
    catalogue("edge-lines.ini",
              b"DEFAULT=9\n[LANG_MGR]\n  LANG007_NAME = Seven = 7 \n=LANG7_FOLDER\nLANG7_FOLDER=en ; comment\n"
              b"LANG7_SHOW=true\nLANG99999999999_SHOW=1\n[ LANG_MGR ]\nDEFAULT=x\n[LANG_MGR\n"
              b"[LANG_MGR]\nDEFAULT=-2147483648\nLANG0_SHOW=01\n", False)
    catalogue("empty.ini", b"", True)


# -- fuzz_records

LIMITED, INK_OK, REFILL_OK, INK_NO_ARRAY, REFILL_NO_ARRAY, PAINT = 1, 2, 4, 8, 16, 32


def record(name, amount, time=(0, 0, 0, 0, 0, 0), reserved=b"\0" * 8):
    if isinstance(name, str):
        name = name.encode("utf-8")
    name = name[:128].ljust(128, b"\0")
    return reserved + struct.pack("<d", amount) + name + struct.pack("<6i", *time)


def records(name, flags, ink_count, refill_count, inks, refills):
    data = struct.pack("<Bii", flags, ink_count, refill_count) + bytes([len(inks)])
    write("fuzz_records", name, data + b"".join(inks) + b"".join(refills))


def records_seeds():
    inks = [record("Cyan", 250), record("Magenta", 12.5), record("Yellow", 0.25)]
    refills = [record("Cyan", 100, (2024, 5, 1, 10, 0, 0)),
               record("Magenta", 50, (2025, 1, 1, 0, 0, 0)),
               record("Yellow", 0.5, (2024, 12, 31, 23, 59, 59))]
    records("three-each.bin", LIMITED | INK_OK | REFILL_OK | PAINT, 3, 3, inks, refills)
    records("unlimited.bin", INK_OK | REFILL_OK, 3, 3, inks, refills)
    records("both-fail.bin", 0, 0, 0, [], [])
    records("empty-lists.bin", LIMITED | INK_OK | REFILL_OK, 0, 0, [], [])
    records("negative-counts.bin", LIMITED | INK_OK | REFILL_OK, -1, -2147483648, inks, refills)
    records("count-without-array.bin", LIMITED | INK_OK | REFILL_OK | INK_NO_ARRAY | REFILL_NO_ARRAY,
            2147483647, 5, [], [])
    hostile = [record(b"\xff" * 128, math.nan, (-2147483648, 2147483647, -1, 99, 60, 61), b"\xff" * 8),
               record(b"\xc7\xe0\xc9\xab", math.inf, (999, 1, 2, 3, 4, 5)),
               record(b"A" * 128, -math.inf, (999, 1, 2, 3, 4, 5)),
               record("", 1e-5, (2025, 3, 7, 9, 5, 2)),
               record("Big", 1234567, (2025, 3, 7, 9, 5, 1))]
    records("hostile-fields.bin", LIMITED | INK_OK | REFILL_OK | PAINT, 2, 3, hostile[:2], hostile[2:])
    # Fewer counted than handed out: the rest of the array stays untouched.
    records("count-below-array.bin", LIMITED | INK_OK | REFILL_OK, 1, 2, inks, refills)


# -- fuzz_logger

RETENTION = {365: 0, 1: 1, 0: 2, -1: 3}
DIR_MISSING, DIR_IS_FILE = 8, 16
KIND = {"file": 0, "dir": 2, "link": 3}
SIZE = {0: 0, 1: 1, 4: 2, 100: 3, 4096: 4, "below": 5, "full": 6, "over": 7}
SUFFIX = {".log": 0, ".LOG": 3, ".log.bak": 4, ".txt": 5, "": 6, ".log\n": 7}
BENT = {"prefix": 0, "activity": 3, "Activit": 4, "ActivityActivity": 5, "none": 6, "Activity ": 7}


def entry(number, kind="file", size=4, hours=0, suffix=".log", prefix="prefix", dot=False, target=0,
          non_ascii=False):
    digits = str(number)
    head = KIND[kind] | (4 if dot else 0) | (BENT[prefix] << 3)
    count = len(digits) | (0x80 if non_ascii else 0)
    return (bytes([head, count]) + bytes(int(c) for c in digits) + bytes([SUFFIX[suffix], SIZE[size]])
            + struct.pack("<h", hours) + bytes([target]))


def raw_entry(name, size=4, hours=0):
    return bytes([29 << 3, len(name) - 1]) + name + bytes([SIZE[size]]) + struct.pack("<h", hours) + b"\0"


def logger(name, retention, entries, flags=0):
    write("fuzz_logger", name, bytes([RETENTION[retention] | flags]) + b"".join(entries))


def logger_seeds():
    logger("empty-dir.bin", 365, [])
    logger("missing-dir.bin", 365, [], DIR_MISSING)
    logger("dir-is-file.bin", 365, [], DIR_IS_FILE)
    logger("continue-newest.bin", 365, [entry(1), entry(2), entry(12), entry(9)])
    # Number 1 at the limit as well: the first line moves on to number 2.
    logger("newest-full.bin", 365, [entry(1, size="full"), entry(2, size="full")])
    # Continued, and the run header takes it over the limit.
    logger("newest-below.bin", 365, [entry(1), entry(2, size="below")])
    # 400 days old, 200 days old, tomorrow.
    logger("expired.bin", 365, [entry(3, hours=9600), entry(2, hours=4800), entry(1, hours=-24),
                                entry(5, suffix=".txt", hours=9600)])
    logger("retention-1.bin", 1, [entry(1, hours=47), entry(2, hours=49), entry(3, hours=24)])
    logger("foreign-names.bin", 365, [entry(4, prefix="activity"), entry(4, suffix=".log.bak"),
                                      entry(4, suffix=".log\n"), entry(7, non_ascii=True),
                                      entry(5, dot=True), entry("007"), entry(2147483648),
                                      raw_entry(b"\xff\xfeActivity9.log"), entry(3)])
    logger("links-and-dirs.bin", 365, [entry(2), entry(3, kind="link", target=0), entry(4, kind="dir"),
                                       entry(5, kind="link", target=9), entry(1, kind="dir")])


if __name__ == "__main__":
    for target in ("fuzz_catalogue", "fuzz_records", "fuzz_logger"):
        shutil.rmtree(os.path.join(HERE, target), ignore_errors=True)
    catalogue_seeds()
    records_seeds()
    logger_seeds()
