#!/usr/bin/env python3
# Writes the small images the repository carries: the demo's two menu images, the seed inputs of
# the image fuzz target and the images of the script tests. Run from anywhere; the files are
# rewritten byte for byte the same.
import os
import struct
import zlib

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def png(width, height, pixel, colour_type=6, interlace=0):
    channels = {0: 1, 2: 3, 6: 4}[colour_type]
    raw = b"".join(b"\0" + b"".join(bytes(pixel(x, y)[:channels]) for x in range(width)) for y in range(height))
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, interlace)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")


def bmp(width, height, pixel):
    rows = b""
    for y in reversed(range(height)):  # bottom row first
        row = b"".join(bytes((b, g, r)) for r, g, b, _ in (pixel(x, y) for x in range(width)))
        rows += row + b"\0" * ((4 - len(row) % 4) % 4)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(info) + len(rows), 0, 0, 14 + len(info)) + info + rows


def write(relative, data):
    path = os.path.join(root, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)


def menu(x, y):
    return (20 + x % 64, 30 + y % 48, 90, 255)


write("demo/SCRIPT/MENU/IMG/SELECT.PNG", png(64, 48, menu))
write("demo/SCRIPT/MENU/IMG/SELECTB.PNG", png(16, 16, lambda x, y: (255, 200, 0, 255 if (x + y) % 2 else 128)))
write("tests/fuzz/corpus/image/rgba_3x2.png", png(3, 2, lambda x, y: (x * 80, y * 120, 40, 255 - x)))
write("tests/fuzz/corpus/image/grey_5x1.png", png(5, 1, lambda x, y: (x * 50, 0, 0, 0), colour_type=0))
write("tests/fuzz/corpus/image/rgb_4x4_interlaced.png", png(4, 4, lambda x, y: (x * 60, y * 60, 7, 0), 2, 1))
write("tests/fuzz/corpus/image/rgb_3x3.bmp", bmp(3, 3, lambda x, y: (x * 100, y * 100, 50, 255)))
write("tests/scripts/render/files/SCRIPT/IMG/SPRITE.PNG", png(100, 30, lambda x, y: (x, y, 200, 255)))
write("tests/scripts/render/files/SCRIPT/IMG/DOT.PNG", png(1, 1, lambda x, y: (255, 255, 255, 255)))
write("tests/scripts/text/files/SCRIPT/FONT/TINY.PNG", png(32, 24, lambda x, y: (255, 255, 255, 255 if (x // 2 + y // 3) % 2 else 0)))
