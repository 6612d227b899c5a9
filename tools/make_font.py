#!/usr/bin/env python3
# Draws the demo's bitmap font: 5 x 7 glyphs designed below, doubled and shadowed into a PNG atlas of
# 12 x 16 cells, and the FNT file that names each glyph's rectangle on it. Lowercase letters share the
# capitals' cells, and the control characters the blank one. Run from anywhere; both files are
# rewritten byte for byte the same.
import os
import struct
import zlib

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
out_dir = os.path.join(root, "demo", "SCRIPT", "FONT")

SCALE = 2
# A cell: a clear column and row, the glyph's 10 x 14 texels, and a shadow texel. The clear column and
# row come first because texel coordinates are divided by the image size less one, which moves the
# sampled rectangle up to a texel right and down across the atlas: it may reach the next cell's
# first column or row, never its ink.
CELL_W, CELL_H = 12, 16
COLUMNS = 16

# Each glyph: 7 rows of 5 columns, '#' inked.
GLYPHS = {
    " ": [".....", ".....", ".....", ".....", ".....", ".....", "....."],
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "B": ["####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."],
    "C": [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    "D": ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "F": ["#####", "#....", "#....", "####.", "#....", "#....", "#...."],
    "G": [".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"],
    "H": ["#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "I": [".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "J": ["..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."],
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "M": ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    "N": ["#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "Q": [".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "U": ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "V": ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "W": ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."],
    "X": ["#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"],
    "Y": ["#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."],
    "Z": ["#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"],
    "0": [".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."],
    "1": ["..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "2": [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    "3": ["####.", "....#", "....#", ".###.", "....#", "....#", "####."],
    "4": ["...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."],
    "5": ["#####", "#....", "####.", "....#", "....#", "#...#", ".###."],
    "6": ["..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."],
    "7": ["#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."],
    "8": [".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."],
    "9": [".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."],
    ".": [".....", ".....", ".....", ".....", ".....", ".##..", ".##.."],
    ",": [".....", ".....", ".....", ".....", ".##..", "..#..", ".#..."],
    ":": [".....", ".##..", ".##..", ".....", ".##..", ".##..", "....."],
    "!": ["..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."],
    "?": [".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."],
    "-": [".....", ".....", ".....", "#####", ".....", ".....", "....."],
    "+": [".....", "..#..", "..#..", "#####", "..#..", "..#..", "....."],
    "=": [".....", ".....", "#####", ".....", "#####", ".....", "....."],
    "/": ["....#", "....#", "...#.", "..#..", ".#...", "#....", "#...."],
    "(": ["...#.", "..#..", ".#...", ".#...", ".#...", "..#..", "...#."],
    ")": [".#...", "..#..", "...#.", "...#.", "...#.", "..#..", ".#..."],
    "%": ["##..#", "##..#", "...#.", "..#..", ".#...", "#..##", "#..##"],
    "'": ["..#..", "..#..", ".#...", ".....", ".....", ".....", "....."],
    "*": [".....", "#.#.#", ".###.", "#####", ".###.", "#.#.#", "....."],
}

INK = (255, 255, 255, 255)     # white, so that vertex colours tint it
SHADOW = (0, 0, 0, 160)
CLEAR = (0, 0, 0, 0)


def png(width, height, pixels):
    raw = b"".join(b"\0" + b"".join(bytes(pixels[y][x]) for x in range(width)) for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def main():
    order = list(GLYPHS)
    rows = (len(order) + COLUMNS - 1) // COLUMNS
    width, height = COLUMNS * CELL_W, rows * CELL_H
    pixels = [[CLEAR] * width for _ in range(height)]
    cells = {}
    for index, name in enumerate(order):
        left, top = (index % COLUMNS) * CELL_W, (index // COLUMNS) * CELL_H
        cells[name] = (left, top)
        bitmap = GLYPHS[name]
        assert len(bitmap) == 7 and all(len(row) == 5 for row in bitmap), name
        inked = {(x, y) for y, row in enumerate(bitmap) for x, c in enumerate(row) if c == "#"}
        # The shadow first, one texel down and right, so the ink covers it where they meet.
        for colour, shift in ((SHADOW, 1), (INK, 0)):
            for x, y in inked:
                for dy in range(SCALE):
                    for dx in range(SCALE):
                        px, py = left + 1 + x * SCALE + dx + shift, top + 1 + y * SCALE + dy + shift
                        pixels[py][px] = colour

    lines = [
        "// The demo's bitmap font, written by tools/make_font.py: do not edit by hand.",
        'font_name = "Demo Pixel"',
        "",
        "PaletteData",
        "{",
        "    id = 0",
        '    image = "./DEMO_PIXEL.PNG"',
        "    rect = (0, 0, %d, %d)" % (width, height),
        "}",
        "",
    ]
    entries = [(ord(name), name) for name in order]
    entries += [(ord(name.lower()), name) for name in order if name.isalpha()]
    # Tab, line feed and vertical tab move the pen by the blank cell's size.
    entries += [(code, " ") for code in (9, 10, 11)]
    for code, name in entries:
        left, top = cells[name]
        lines.append("CharacterData { char = %d rect = (%d, %d, %d, %d) }" % (
            code, left, top, left + CELL_W, top + CELL_H))

    os.makedirs(out_dir, exist_ok=True)
    with open(os.path.join(out_dir, "DEMO_PIXEL.PNG"), "wb") as f:
        f.write(png(width, height, pixels))
    with open(os.path.join(out_dir, "DEMO_PIXEL.FNT"), "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
