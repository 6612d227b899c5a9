#!/usr/bin/env python3
"""Writes platform/win32/sparrel.ico, the program's icon (resource 101): a sparrow-brown diamond
with a white spark on a dark field, at 32 x 32 and 16 x 16, 32-bit colour with alpha."""
import struct
import sys
from pathlib import Path


def pixel(x, y, size):
    c = (size - 1) / 2.0
    d = abs(x - c) + abs(y - c)
    if d > c + 0.5:
        return (0, 0, 0, 0)  # outside the diamond: transparent
    if abs(x - c) < size / 10 and abs(y - c) < size / 3 or abs(y - c) < size / 10 and abs(x - c) < size / 3:
        return (255, 255, 255, 255)  # the spark
    if d > c - size / 8:
        return (40, 24, 16, 255)  # rim
    return (64 + int(96 * y / size), 120 + int(80 * x / size), 200, 255)  # b, g, r shading


def image(size):
    # BITMAPINFOHEADER with doubled height (colour rows, then the AND mask), rows bottom to top.
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b"".join(bytes(v for px in (pixel(x, y, size) for x in range(size)) for v in px)
                    for y in reversed(range(size)))
    mask_row = ((size + 31) // 32) * 4
    mask = b"\0" * (mask_row * size)
    return header + rows + mask


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "platform/win32/sparrel.ico")
    images = [image(32), image(16)]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, img in zip((32, 16), images):
        data += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    out.write_bytes(data + b"".join(images))


if __name__ == "__main__":
    main()
