#!/usr/bin/env python3
"""Draws the image of a shot sheet: one soft round bullet per ShotData rectangle, coloured by its
delay colour (white when it has none), on a transparent 256 x 256 canvas.

    scripts/make_shot_image.py SHEET.sht OUTPUT.png
"""
import re
import struct
import sys
import zlib

SIZE = 256


def records(text):
    for block in re.finditer(r"ShotData\s*\{(.*?)\n\}", text, re.S):
        body = block.group(1)
        rect = re.search(r"\brect\s*=\s*\(([^)]*)\)", body)
        colour = re.search(r"\bdelay_color\s*=\s*\(([^)]*)\)", body)
        if rect:
            left, top, right, bottom = (int(v, 0) for v in rect.group(1).split(",")[:4])
            rgb = tuple(int(v, 0) for v in colour.group(1).split(",")[:3]) if colour else (255, 255, 255)
            yield left, top, right, bottom, rgb


def draw(pixels, left, top, right, bottom, rgb):
    cx, cy = (left + right) / 2, (top + bottom) / 2
    rx, ry = (right - left) / 2, (bottom - top) / 2
    for y in range(max(top, 0), min(bottom, SIZE)):
        for x in range(max(left, 0), min(right, SIZE)):
            d = (((x + 0.5 - cx) / rx) ** 2 + ((y + 0.5 - cy) / ry) ** 2) ** 0.5
            if d >= 1:
                continue
            core = max(0.0, 1 - d / 0.45)  # a white centre fading into the colour
            r, g, b = (int(c + (255 - c) * core) for c in rgb)
            a = int(255 * min(1.0, (1 - d) * 4))
            pixels[y][x] = (r, g, b, a)


def write_png(path, pixels):
    raw = b"".join(b"\x00" + b"".join(bytes(p) for p in row) for row in pixels)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    sheet, output = sys.argv[1], sys.argv[2]
    pixels = [[(0, 0, 0, 0)] * SIZE for _ in range(SIZE)]
    with open(sheet, encoding="utf-8") as text:
        for left, top, right, bottom, rgb in records(text.read()):
            draw(pixels, left, top, right, bottom, rgb)
    write_png(output, pixels)


if __name__ == "__main__":
    main()
