#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes confirm.png, the 20x20 check mark the plug-in's refill log OK button
shows from the host's resources. Only the standard library, so the icon can be
made again anywhere: python3 make_confirm_icon.py"""

import math
import os
import struct
import zlib

SIZE = 20
COLOR = (46, 155, 74)    # green, beside the black text of a button on white
# The mark as two strokes, in pixel coordinates.
STROKES = [((4.0, 10.5), (8.0, 14.5)), ((8.0, 14.5), (16.0, 5.5))]
HALF_WIDTH = 1.3


def distance_to_segment(px, py, a, b):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def alpha_at(x, y):
    # Coverage from 4x4 samples per pixel gives smooth edges.
    inside = 0
    for sy in range(4):
        for sx in range(4):
            px, py = x + (sx + 0.5) / 4, y + (sy + 0.5) / 4
            if min(distance_to_segment(px, py, a, b) for a, b in STROKES) <= HALF_WIDTH:
                inside += 1
    return round(255 * inside / 16)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def main():
    rows = b""
    for y in range(SIZE):
        rows += b"\x00"  # filter: none
        for x in range(SIZE):
            rows += bytes(COLOR) + bytes([alpha_at(x, y)])
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(rows, 9))
    png += chunk(b"IEND", b"")
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "confirm.png")
    with open(path, "wb") as out:
        out.write(png)


if __name__ == "__main__":
    main()
