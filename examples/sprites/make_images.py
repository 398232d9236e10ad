#!/usr/bin/env python3
"""Draws the sprites example's pictures, pixel by pixel, into PNG files.

    python3 make_images.py     (writes walker.png, star.png and gem.png here)

walker.png is a sprite sheet: four 32 x 32 frames of a figure walking to the
right, side by side (128 x 32). star.png and gem.png are 32 x 32. Every
background pixel is fully transparent.

The pictures were made for Vantrel by this script and are dedicated to the
public domain (CC0 1.0): use them for anything.
"""
import math
import struct
import zlib

SKIN = (246, 196, 150, 255)
HAIR = (90, 50, 20, 255)
SHIRT = (220, 40, 40, 255)
TROUSERS = (30, 60, 160, 255)
SHOES = (40, 40, 40, 255)
STAR = (255, 215, 0, 255)
STAR_EDGE = (230, 140, 0, 255)
GEM = (0, 200, 210, 255)
GEM_LIGHT = (170, 250, 255, 255)
CLEAR = (0, 0, 0, 0)


class Picture:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = [[CLEAR] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, x, y, w, h, colour):
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                self.put(xx, yy, colour)

    def disc(self, cx, cy, r, colour):
        for yy in range(int(cy - r) - 1, int(cy + r) + 2):
            for xx in range(int(cx - r) - 1, int(cx + r) + 2):
                if (xx + 0.5 - cx) ** 2 + (yy + 0.5 - cy) ** 2 <= r * r:
                    self.put(xx, yy, colour)

    def polygon(self, points, colour):
        # Even-odd rule at each pixel centre.
        for yy in range(self.height):
            for xx in range(self.width):
                px, py, inside = xx + 0.5, yy + 0.5, False
                for (x1, y1), (x2, y2) in zip(points, points[1:] + points[:1]):
                    if (y1 > py) != (y2 > py):
                        if px < x1 + (py - y1) * (x2 - x1) / (y2 - y1):
                            inside = not inside
                if inside:
                    self.put(xx, yy, colour)

    def limb(self, x1, y1, x2, y2, thickness, colour):
        steps = int(max(abs(x2 - x1), abs(y2 - y1)) * 2) + 1
        for i in range(steps + 1):
            t = i / steps
            self.disc(x1 + (x2 - x1) * t, y1 + (y2 - y1) * t, thickness / 2, colour)

    def save(self, path):
        rows = b"".join(b"\x00" + bytes(c for p in row for c in p) for row in self.pixels)

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0)
        with open(path, "wb") as out:
            out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                      chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def walker_frame(sheet, left, step):
    """One frame of the walk, facing right; step 0-3 swings the legs and arms."""
    swing = [-5, 0, 5, 0][step]
    bob = [0, -1, 0, -1][step]
    hip_x, hip_y = left + 16, 21 + bob
    # The far arm and leg first, darker, so the near ones cover them.
    sheet.limb(hip_x, hip_y, hip_x - swing, 29, 4, (20, 40, 110, 255))
    sheet.limb(left + 16, 13 + bob, left + 16 + swing, 20 + bob, 3, (170, 130, 100, 255))
    sheet.rect(left + 12, 11 + bob, 9, 11, SHIRT)
    sheet.limb(hip_x, hip_y, hip_x + swing, 29, 4, TROUSERS)
    sheet.rect(hip_x + swing - 1, 29, 5, 2, SHOES)
    sheet.rect(hip_x - swing - 1, 29, 5, 2, SHOES)
    sheet.limb(left + 16, 13 + bob, left + 16 - swing, 20 + bob, 3, SKIN)
    sheet.disc(left + 17, 6.5 + bob, 5, SKIN)
    sheet.rect(left + 12, 1 + bob, 10, 3, HAIR)
    sheet.rect(left + 12, 1 + bob, 3, 6, HAIR)
    sheet.put(left + 19, 6 + bob, (0, 0, 0, 255))  # the eye shows which way it faces


def main():
    sheet = Picture(128, 32)
    for step in range(4):
        walker_frame(sheet, step * 32, step)
    sheet.save("walker.png")

    star = Picture(32, 32)
    points = []
    for i in range(10):
        radius = 15 if i % 2 == 0 else 6.5
        angle = -math.pi / 2 + i * math.pi / 5
        points.append((16 + radius * math.cos(angle), 16 + radius * math.sin(angle)))
    star.polygon(points, STAR_EDGE)
    inner = [(16 + (x - 16) * 0.7, 16 + (y - 16) * 0.7) for x, y in points]
    star.polygon(inner, STAR)
    star.save("star.png")

    gem = Picture(32, 32)
    gem.polygon([(16, 1), (30, 12), (16, 31), (2, 12)], GEM)
    gem.polygon([(16, 4), (24, 12), (16, 14), (8, 12)], GEM_LIGHT)
    gem.save("gem.png")


if __name__ == "__main__":
    main()
