#!/usr/bin/env python3
"""Draws the demo's pictures and writes its shot sheets:

    demo/SCRIPT/IMG/SPRITES.PNG     ship, hitbox marker, enemies, boss, laser strip, spark
    demo/SCRIPT/SHOT/SHOTS.PNG      the bullets of both sheets
    demo/SCRIPT/SHOT/ENEMY.SHT      enemy bullets: eight colours each of round, rice, arrowhead, orb
    demo/SCRIPT/SHOT/PLAYER.SHT     the ship's needles

Pure standard library. Run from anywhere; the files are rewritten byte for byte the same.
`--check` writes nothing and fails when a file differs from what would be written.
"""
import math
import os
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# The eight bullet colours, in the order of the sheets' ids.
PALETTE = [
    ("red", (255, 48, 48)),
    ("orange", (255, 140, 24)),
    ("yellow", (255, 230, 40)),
    ("green", (64, 230, 64)),
    ("cyan", (48, 220, 255)),
    ("blue", (64, 96, 255)),
    ("purple", (200, 64, 255)),
    ("white", (220, 220, 220)),
]


class Canvas:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = [[(0, 0, 0, 0)] * width for _ in range(height)]

    def blend(self, x, y, rgb, alpha):
        """Lays a colour over the pixel with the given coverage (0..1), source-over."""
        if alpha <= 0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        alpha = min(alpha, 1.0)
        r0, g0, b0, a0 = self.pixels[y][x]
        a0 /= 255
        a = alpha + a0 * (1 - alpha)
        mix = [(c * alpha + c0 * a0 * (1 - alpha)) / a for c, c0 in zip(rgb, (r0, g0, b0))]
        self.pixels[y][x] = tuple(int(round(v)) for v in mix) + (int(round(a * 255)),)

    def shade(self, left, top, right, bottom, colour_at):
        """colour_at(u, v) -> (rgb, alpha) for pixel centres in the box, u and v relative to its centre."""
        cx, cy = (left + right) / 2, (top + bottom) / 2
        for y in range(top, bottom):
            for x in range(left, right):
                rgb, alpha = colour_at(x + 0.5 - cx, y + 0.5 - cy)
                self.blend(x, y, rgb, alpha)

    def polygon(self, points, rgb, alpha=1.0, samples=4):
        """Fills a polygon, its edges smoothed by sampling each pixel on a grid."""
        xs, ys = [p[0] for p in points], [p[1] for p in points]
        for y in range(int(min(ys)), int(math.ceil(max(ys)))):
            for x in range(int(min(xs)), int(math.ceil(max(xs)))):
                inside = sum(
                    inside_polygon(points, x + (i + 0.5) / samples, y + (j + 0.5) / samples)
                    for i in range(samples) for j in range(samples))
                self.blend(x, y, rgb, alpha * inside / samples ** 2)

    def png(self):
        raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in self.pixels)

        def chunk(kind, data):
            return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
                + chunk(b"IEND", b""))


def inside_polygon(points, x, y):
    inside = False
    j = len(points) - 1
    for i in range(len(points)):
        (xi, yi), (xj, yj) = points[i], points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def edge(distance, radius, softness=1.0):
    """Coverage of a disc edge: 1 inside, fading to 0 over `softness` pixels."""
    return max(0.0, min(1.0, (radius - distance) / softness + 0.5))


def lerp(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


WHITE = (255, 255, 255)


# --- bullets -------------------------------------------------------------------------------------

def round_bullet(rgb):
    # A coloured rim around a white core: readable on any background.
    def at(u, v):
        d = math.hypot(u, v)
        if d < 3.5:
            return lerp(WHITE, rgb, max(0.0, (d - 2) / 1.5)), 1.0
        return rgb, edge(d, 6.5)
    return at


def rice_bullet(rgb):
    # A grain pointing up the texture: shots turn it along their path.
    def at(u, v):
        d = math.hypot(u / 3.2, v / 6.5)
        if d < 0.55:
            return WHITE, 1.0
        return lerp(WHITE, rgb, min(1.0, (d - 0.55) * 3)), edge(d * 5, 5)
    return at


def orb_bullet(rgb):
    def at(u, v):
        d = math.hypot(u, v)
        if d < 8:
            return lerp(WHITE, rgb, max(0.0, (d - 4) / 4)), 1.0
        if d < 12.5:
            return rgb, edge(d, 12)
        return rgb, 0.45 * edge(d, 15.5, 2.0)  # a faint halo
    return at


def arrowhead(canvas, left, top, rgb):
    canvas.polygon([(left + 8, top + 1), (left + 14, top + 14), (left + 8, top + 10), (left + 2, top + 14)], rgb)
    canvas.polygon([(left + 8, top + 4), (left + 11, top + 11), (left + 8, top + 9), (left + 5, top + 11)], WHITE)


def needle(rgb):
    def at(u, v):
        d = math.hypot(u / 2.6, v / 13)
        if d < 0.5:
            return WHITE, 0.95
        return rgb, 0.8 * edge(d * 6, 6)
    return at


def shots():
    canvas = Canvas(256, 256)
    enemy = ["// Enemy bullets of the demo, written by scripts/make_demo_assets.py: do not edit by hand.",
             "// Ids: 1-8 round, 11-18 rice, 21-28 arrowheads, 31-38 orbs; colours in the order",
             "// " + ", ".join(name for name, _ in PALETTE) + ".",
             'shot_image = "./SHOTS.PNG"', ""]

    def record(lines, id_, rect, rgb, collision, extra=""):
        lines.append("ShotData { id = %d rect = (%d, %d, %d, %d) delay_color = (%d, %d, %d) collision = %d%s }"
                     % ((id_,) + rect + tuple(rgb) + (collision, extra)))

    for i, (_, rgb) in enumerate(PALETTE):
        x = i * 16
        canvas.shade(x, 0, x + 16, 16, round_bullet(rgb))
        record(enemy, 1 + i, (x, 0, x + 16, 16), rgb, 4)
        canvas.shade(x, 16, x + 16, 32, rice_bullet(rgb))
        record(enemy, 11 + i, (x, 16, x + 16, 32), rgb, 2)
        arrowhead(canvas, x, 32, rgb)
        record(enemy, 21 + i, (x, 32, x + 16, 48), rgb, 2)
        ox, oy = (i % 4) * 32, 48 + (i // 4) * 32
        canvas.shade(ox, oy, ox + 32, oy + 32, orb_bullet(rgb))
        record(enemy, 31 + i, (ox, oy, ox + 32, oy + 32), rgb, 8)

    player = ["// The ship's shots, written by scripts/make_demo_assets.py: do not edit by hand.",
              'shot_image = "./SHOTS.PNG"', ""]
    canvas.shade(128, 48, 144, 80, needle((120, 200, 255)))
    record(player, 1, (128, 48, 144, 80), (120, 200, 255), 6)
    canvas.shade(144, 48, 160, 80, needle((255, 150, 220)))
    record(player, 2, (144, 48, 160, 80), (255, 150, 220), 6)
    return canvas, "\n".join(enemy) + "\n", "\n".join(player) + "\n"


# --- sprites -------------------------------------------------------------------------------------

def ship(canvas, left, top):
    p = lambda points: [(left + x, top + y) for x, y in points]
    canvas.polygon(p([(16, 1), (30, 28), (16, 22), (2, 28)]), (30, 60, 110))
    canvas.polygon(p([(16, 3), (27, 26), (16, 20), (5, 26)]), (90, 190, 255))
    canvas.polygon(p([(16, 6), (21, 18), (16, 16), (11, 18)]), (200, 240, 255))
    canvas.polygon(p([(12, 22), (16, 31), (20, 22)]), (255, 170, 60), 0.9)   # the engine's flame
    canvas.shade(left + 13, top + 10, left + 19, top + 16, lambda u, v: (WHITE, edge(math.hypot(u, v), 2.2)))


def hitbox_marker(canvas, left, top):
    def at(u, v):
        d = math.hypot(u, v)
        if d < 3:
            return WHITE, 1.0
        return (255, 60, 90), edge(abs(d - 5.5), 1.2)
    canvas.shade(left, top, left + 16, top + 16, at)


def drone(canvas, left, top, body, wing):
    def wings(u, v):
        d = min(math.hypot((u - 8) / 7, (v + 3) / 4), math.hypot((u + 8) / 7, (v + 3) / 4))
        return wing, 0.7 * edge(d * 6, 6)
    canvas.shade(left, top, left + 32, top + 32, wings)

    def core(u, v):
        d = math.hypot(u, v)
        if d < 4:
            return lerp(WHITE, body, d / 4), 1.0
        return lerp(body, (40, 10, 20), max(0.0, (d - 6) / 4)), edge(d, 10)
    canvas.shade(left, top, left + 32, top + 32, core)


def boss(canvas, left, top):
    cx, cy = left + 32, top + 32
    star = []
    for k in range(16):
        a = math.pi * k / 8 - math.pi / 2
        r = 30 if k % 2 == 0 else 17
        star.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    canvas.polygon(star, (110, 30, 150))
    inner = [(cx + (x - cx) * 0.8, cy + (y - cy) * 0.8) for x, y in star]
    canvas.polygon(inner, (210, 90, 255))

    def core(u, v):
        d = math.hypot(u, v)
        if d < 5:
            return WHITE, 1.0
        return lerp(WHITE, (255, 80, 200), min(1.0, (d - 5) / 6)), edge(d, 12)
    canvas.shade(left, top, left + 64, top + 64, core)


def laser_strip(canvas, left, top, width, height):
    # Across the strip: clear edges, a coloured glow, a white core. Along it: the same everywhere.
    for x in range(width):
        t = abs(x + 0.5 - width / 2) / (width / 2)
        rgb = lerp(WHITE, (255, 90, 220), min(1.0, t * 1.8))
        alpha = max(0.0, 1 - t ** 2.2)
        for y in range(height):
            canvas.blend(left + x, top + y, rgb, alpha)


def spark(canvas, left, top, size):
    def at(u, v):
        d = math.hypot(u, v) / (size / 2)
        ring = edge(abs(d - 0.75) * size / 2, 2.2)
        glow = max(0.0, 1 - d) ** 2
        return WHITE, min(1.0, ring + glow)
    canvas.shade(left, top, left + size, top + size, at)


def sprites():
    canvas = Canvas(256, 128)
    ship(canvas, 0, 0)                                       # (0, 0, 32, 32)
    hitbox_marker(canvas, 32, 0)                             # (32, 0, 48, 16)
    drone(canvas, 64, 0, (255, 70, 70), (255, 180, 180))     # (64, 0, 96, 32)
    drone(canvas, 96, 0, (60, 200, 120), (180, 255, 210))    # (96, 0, 128, 32)
    boss(canvas, 128, 0)                                     # (128, 0, 192, 64)
    laser_strip(canvas, 192, 0, 16, 64)                      # (192, 0, 208, 64)
    spark(canvas, 0, 64, 64)                                 # (0, 64, 64, 128)
    return canvas


def outputs():
    shot_canvas, enemy_sheet, player_sheet = shots()
    return {
        "demo/SCRIPT/IMG/SPRITES.PNG": sprites().png(),
        "demo/SCRIPT/SHOT/SHOTS.PNG": shot_canvas.png(),
        "demo/SCRIPT/SHOT/ENEMY.SHT": enemy_sheet.encode(),
        "demo/SCRIPT/SHOT/PLAYER.SHT": player_sheet.encode(),
    }


def main():
    check = "--check" in sys.argv[1:]
    stale = []
    for relative, data in outputs().items():
        path = os.path.join(ROOT, relative)
        if check:
            try:
                with open(path, "rb") as f:
                    if f.read() == data:
                        continue
            except OSError:
                pass
            stale.append(relative)
            continue
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    if stale:
        print("make_demo_assets.py: out of date: " + ", ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
