#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes close.png, the white cross of the dialogs' title-bar close button.

The icon is drawn here rather than in an image editor so that it can be
remade exactly: 20 x 20 RGBA, two anti-aliased strokes corner to corner on a
transparent background. Only the standard library is used. At scale 2 it
writes close@2x.png, the same cross at 40 x 40, which Qt picks on screens
scaled beyond 100 %, where the small one would be blown up and blurred.

    python3 make_close_icon.py [scale]   (1 or 2; default 1)
"""

import math
import os
import struct
import sys
import zlib

SCALE = int(sys.argv[1]) if len(sys.argv) > 1 else 1
SIZE = 20 * SCALE
# Pixel centres the strokes run through at scale 1: (3, 3)-(16, 16) and
# (16, 3)-(3, 16); at scale 2 the same lines, on a grid twice as fine.
STROKES = tuple(tuple((x * SCALE, y * SCALE) for x, y in stroke)
                for stroke in (((3.5, 3.5), (16.5, 16.5)), ((16.5, 3.5), (3.5, 16.5))))
HALF_WIDTH = 0.9 * SCALE
SAMPLES = 4  # per axis, for the anti-aliased edge


def distance_to_segment(px, py, a, b):
    ax, ay = a
    bx, by = b
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def coverage(x, y):
    hits = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            px = x + (sx + 0.5) / SAMPLES
            py = y + (sy + 0.5) / SAMPLES
            if any(distance_to_segment(px, py, a, b) <= HALF_WIDTH for a, b in STROKES):
                hits += 1
    return hits / (SAMPLES * SAMPLES)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png():
    rows = bytearray()
    for y in range(SIZE):
        rows.append(0)  # no filter
        for x in range(SIZE):
            rows += bytes((255, 255, 255, round(255 * coverage(x, y))))
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", header)
            + chunk(b"sRGB", b"\x00")  # perceptual rendering intent
            + chunk(b"IDAT", zlib.compress(bytes(rows), 9))
            + chunk(b"IEND", b""))


def main():
    name = "close.png" if SCALE == 1 else "close@%dx.png" % SCALE
    target = os.path.join(os.path.dirname(os.path.abspath(__file__)), name)
    with open(target, "wb") as out:
        out.write(png())


if __name__ == "__main__":
    main()
