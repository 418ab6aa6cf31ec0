#!/usr/bin/env python3
"""Makes examples/catch-star.png, the catch example's sprite: a 16 x 16 star
in gold with an orange rim, transparent around it. Only the standard
library: the PNG is written by hand (RGBA, 8 bits, no interlace)."""
import math
import struct
import sys
import zlib

SIZE = 16
GOLD = (255, 204, 0)
RIM = (255, 102, 0)
SHINE = (255, 255, 204)


def inside_star(x, y, scale):
    """Whether (x, y), from the star's centre, lies in a five-pointed star."""
    angle = math.atan2(y, x) + math.pi / 2
    sector = (angle % (2 * math.pi / 5)) - math.pi / 5
    # The radius of the star's outline at this angle: between its inner and
    # outer points, along a straight edge.
    outer, inner = 7.6 * scale, 3.4 * scale
    t = abs(sector) / (math.pi / 5)
    reach = inner + (outer - inner) * t ** 1.6
    return math.hypot(x, y) <= reach


def pixel(px, py):
    x, y = px - 7.5, py - 7.5
    if not inside_star(x, y, 1.0):
        return (0, 0, 0, 0)
    if not inside_star(x, y, 0.72):
        return RIM + (255,)
    if -3 <= x <= -1 and -3 <= y <= -1:
        return SHINE + (255,)
    return GOLD + (255,)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def main(path):
    rows = b"".join(b"\0" + bytes(c for x in range(SIZE) for c in pixel(x, y))
                    for y in range(SIZE))
    png = (b"\x89PNG\r\n\x1a\n" +
           chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)) +
           chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))
    with open(path, "wb") as out:
        out.write(png)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "examples/catch-star.png")
