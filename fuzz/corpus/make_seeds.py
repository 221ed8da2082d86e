#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the seed inputs of the fuzzers into fuzz/corpus/<target>/.

The seeds are committed; run this again only to change them. Each one is a
small, meaningful case the fuzzer then mutates: a language catalogue, or a
host's session, whose layout is described in fuzz/fuzz_host.cpp and below.
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


# -- fuzz_catalogue: the bytes of Lang/Lang.ini.

CATALOGUE = (
    "; languages of the host\n"
    "[LANG_MGR]\n"
    "DEFAULT=1\n"
    "LANG0_ID=0\nLANG0_NAME=简体中文\nLANG0_FOLDER=chs\nLANG0_SHOW=1\n"
    "LANG1_ID=1\nLANG1_NAME=English\nLANG1_FOLDER=en\nLANG1_SHOW=1\n"
    "LANG2_ID=2\nLANG2_NAME=繁体中文\nLANG2_FOLDER=cht\nLANG2_SHOW=0\n"
    "[OTHER]\nDEFAULT=0\n"
)


def catalogue(name, data):
    write("fuzz_catalogue", name, data)


def catalogue_seeds():
    catalogue("utf8-bom.ini", b"\xef\xbb\xbf" + CATALOGUE.encode("utf-8"))
    utf16 = CATALOGUE.replace("\n", "\r\n").encode("utf-16-le")
    catalogue("utf16le-bom.ini", b"\xff\xfe" + utf16)
    catalogue("gb2312.ini", CATALOGUE.encode("gb2312"))
    # A big-endian mark is not recognised: read as GB2312.
    catalogue("utf16be-bom.ini", b"\xfe\xff" + CATALOGUE.encode("utf-16-be"))
    catalogue("bad-translation.ini",
              b"[LANG_MGR]\nDEFAULT=7\nLANG7_NAME=Broken\nLANG7_FOLDER=bad\nLANG7_SHOW=1\n"
              b"LANG8_NAME=Dir\nLANG8_FOLDER=dir\nLANG8_SHOW=1\n")
    catalogue("edge-lines.ini",
              b"DEFAULT=9\n[LANG_MGR]\n  LANG007_NAME = Seven = 7 \n=LANG7_FOLDER\nLANG7_FOLDER=en ; comment\n"
              b"LANG7_SHOW=true\nLANG99999999999_SHOW=1\n[ LANG_MGR ]\nDEFAULT=x\n[LANG_MGR\n"
              b"[LANG_MGR]\nDEFAULT=-2147483648\nLANG0_SHOW=01\n")
    catalogue("empty.ini", b"")


# -- records as they lie in a host's arrays

def record(name, amount, time=(0, 0, 0, 0, 0, 0), reserved=b"\0" * 8):
    if isinstance(name, str):
        name = name.encode("utf-8")
    name = name[:128].ljust(128, b"\0")
    return reserved + struct.pack("<d", amount) + name + struct.pack("<6i", *time)


# -- fuzz_host: records are taken from the front of the input, every choice
# from its end, one byte each here (a record's length is one) but for a
# claimed count's four, so the choices are written reversed.
CREATE, RELEASE, SET_HOST, ANSWER, SHOW, LANGUAGE, CLOSE_PARENT, RELEASE_SHOWING = 0, 1, 2, 3, 4, 5, 6, 7
EVENT, CLICK, OTHER_THREAD = 8, 9, 10
ESCAPE, CLOSED_BY_SYSTEM = [EVENT, 3, 0, 0, 0, 0], [EVENT, 6, 0, 0, 0, 0]
CLOSE, TITLE_CLOSE, REFILL_LOG = 0, 1, 2
NO_THROW = 200
# A show's reserved argument, which any value leaves without effect: 0, 1, -1, INT_MIN, INT_MAX.
INT_MIN, INT_MAX = 3, 4


def host(name, choices, data=b""):
    write("fuzz_host", name, data + bytes(reversed(choices)))


def claimed(count):
    # An int from the whole range, most significant byte taken first.
    value = count + 2 ** 31
    return [1, value >> 24 & 255, value >> 16 & 255, value >> 8 & 255, value & 255]


def answer(ink_list, limited, result, records, count=None, throws=False):
    """Host 0's answer to GetInkList (ink_list 1) or GetRefillLog: every record whole."""
    return [ANSWER, 0, limited, ink_list, result, 0 if throws else NO_THROW, len(records), *(len(r) for r in records),
            *(claimed(count) if count is not None else [0])]


def records(name, inks, refills, limited=1, results=(1, 1), counts=(None, None)):
    """Both windows over the answers given: the ink window, its refill log, each closed by its button."""
    host(name, [SET_HOST, 0, 0, 0, *answer(1, limited, results[0], inks, counts[0]),
                *answer(0, limited, results[1], refills, counts[1]),
                SHOW, 0, 0, 0, 2, CLICK, REFILL_LOG, CLICK, CLOSE, CLICK, CLOSE], b"".join(inks + refills))


def host_seeds():
    # Show calls as hosts make them, closed as operators close them; none of
    # them loses a window or a parent on the way.
    host("widget-closed.bin", [SHOW, 0, INT_MAX, 1, 1, CLICK, CLOSE])
    # The host closes its panel once the window is closed, and then shows
    # over the window it no longer has.
    host("panel-closed-after.bin", [SHOW, 0, 0, 1, 1, CLICK, CLOSE, CLOSE_PARENT, SHOW, 0, 0, 0, 1, CLICK, TITLE_CLOSE])
    host("window-refill-log.bin", [SHOW, 0, INT_MIN, 0, 0, CLICK, REFILL_LOG, CLICK, CLOSE, CLICK, TITLE_CLOSE])
    inks = [record("Cyan", 250), record("Magenta", 12.5)]
    refills = [record("Cyan", 100, (2024, 5, 1, 10, 0, 0)), record("Magenta", 50, (2025, 1, 1, 0, 0, 0))]
    host("answers.bin", [*answer(1, 1, 1, inks), *answer(0, 1, 1, refills),
                         SHOW, 0, 0, 0, 2, *ESCAPE, CLICK, REFILL_LOG, *CLOSED_BY_SYSTEM, CLICK, CLOSE],
         b"".join(inks + refills))
    host("objects-and-hosts.bin", [CREATE, SET_HOST, 1, 0, 1, LANGUAGE, 1, SET_HOST, 0, 0, 0,
                                   SHOW, 1, 0, 1, 1, SHOW, 0, 0, 0, 2, CLICK, TITLE_CLOSE, RELEASE, 0])
    # A host whose ink list throws, and one that releases the object that is
    # showing its window; the show call and the release have to take both.
    host("ink-list-throws.bin", [SET_HOST, 0, 0, 0, *answer(1, 1, 1, inks[:1], throws=True), SHOW, 0, 0, 0, 2], inks[0])
    # A refill history that throws leaves the ink window open, to be closed by its button.
    host("refill-log-throws.bin", [SET_HOST, 0, 0, 0, *answer(0, 1, 1, refills[:1], throws=True), SHOW, 0, 0, 0, 2,
                                   CLICK, REFILL_LOG, CLICK, CLOSE], refills[0])
    host("released-while-showing.bin", [SHOW, 0, 0, 0, 2, RELEASE_SHOWING, CLICK, CLOSE])
    # Records of every kind through both windows: counts that claim fewer
    # records than the array holds or come without one, names without a
    # terminator, amounts and times of every value.
    inks = [record("Cyan", 250), record("Magenta", 12.5), record("Yellow", 0.25)]
    refills = [record("Cyan", 100, (2024, 5, 1, 10, 0, 0)),
               record("Magenta", 50, (2025, 1, 1, 0, 0, 0)),
               record("Yellow", 0.5, (2024, 12, 31, 23, 59, 59))]
    records("three-each.bin", inks, refills)
    records("unlimited.bin", inks, refills, limited=0)
    records("both-fail.bin", [], [], results=(0, 0))
    records("empty-lists.bin", [], [])
    records("negative-counts.bin", inks, refills, counts=(-1, -2147483648))
    records("count-without-array.bin", [], [], counts=(2147483647, 5))
    records("count-below-array.bin", inks, refills, counts=(1, 2))
    hostile = [record(b"\xff" * 128, math.nan, (-2147483648, 2147483647, -1, 99, 60, 61), b"\xff" * 8),
               record(b"\xc7\xe0\xc9\xab", math.inf, (999, 1, 2, 3, 4, 5)),
               record(b"A" * 128, -math.inf, (999, 1, 2, 3, 4, 5)),
               record("", 1e-5, (2025, 3, 7, 9, 5, 2)),
               record("Big", 1234567, (2025, 3, 7, 9, 5, 1))]
    records("hostile-fields.bin", hostile[:2], hostile[2:])
    # What a show answers: false for a window the window system closed, and
    # for a null widget, which opens none.
    host("closed-by-system.bin", [SET_HOST, 0, 0, 0, SHOW, 0, 0, 1, 1, *CLOSED_BY_SYSTEM, SHOW, 0, 0, 0, 2, *CLOSED_BY_SYSTEM])
    host("null-widget.bin", [SET_HOST, 0, 0, 0, SHOW, 0, 0, 1, 0, CLICK, CLOSE])
    # Requests while a window is open, through the showing object and
    # another: each refused with a line to the host in use, which a null host
    # does not replace and another one does at once.
    host("requests-while-open.bin", [SET_HOST, 0, 0, 0, CREATE, SHOW, 0, 0, 0, 0, SHOW, 0, 0, 1, 1, SHOW, 1, 0, 0, 2,
                                     SET_HOST, 0, 1, SHOW, 1, 0, 1, 0, SET_HOST, 1, 0, 1, SHOW, 0, 0, 0, 1, CLICK, CLOSE])
    # The host closes its window while ours is open over it: a widget takes
    # ours with it, a native window leaves it and its refill log open.
    host("widget-goes.bin", [SET_HOST, 0, 0, 0, SHOW, 0, 0, 1, 1, CLOSE_PARENT])
    host("native-window-goes.bin", [SET_HOST, 0, 0, 0, SHOW, 0, 0, 0, 0, CLICK, REFILL_LOG, CLOSE_PARENT,
                                    CLICK, CLOSE, CLICK, CLOSE])
    # Calls from another thread, one bringing a host of its own, while a
    # window is open: refused, and told to the host in use.
    host("other-thread.bin", [SET_HOST, 0, 0, 0, SHOW, 0, 0, 0, 2, OTHER_THREAD, 0, 1, CLICK, CLOSE])


if __name__ == "__main__":
    for target in ("fuzz_catalogue", "fuzz_host"):
        shutil.rmtree(os.path.join(HERE, target), ignore_errors=True)
    catalogue_seeds()
    host_seeds()
