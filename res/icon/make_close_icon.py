#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes close.png, the white cross of the dialogs' title-bar close button.

The icon is drawn here rather than in an image editor so that it can be
remade exactly: 20 x 20 RGBA, two anti-aliased strokes corner to corner on a
transparent background. Only the standard library is used.

    python3 make_close_icon.py [output]   (default: close.png beside this file)
"""

import math
import os
import struct
import sys
import zlib

SIZE = 20
# Pixel centres the strokes run through: (3, 3)-(16, 16) and (16, 3)-(3, 16).
STROKES = (((3.5, 3.5), (16.5, 16.5)), ((16.5, 3.5), (3.5, 16.5)))
HALF_WIDTH = 0.9
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
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "close.png")
    with open(target, "wb") as out:
        out.write(png())


if __name__ == "__main__":
    main()
