#!/usr/bin/env python3
"""Draws the icon of plotwright.exe, an ear of wheat, and writes it as a
Windows .ico file.

Usage: make_icon.py ICON [PNG]

The ear is drawn from a few ellipses and strokes in four colours: golden
kernels with a brown rim in two rows along the rachis, awns above them, and a
green stalk with a leaf. Each size is drawn on its own grid of samples
(several to a pixel, so edges are smooth) and the .ico holds them all: 16, 24,
32 and 48 pixels as bitmaps with an alpha channel, 256 as a PNG, as Windows
expects. The same script writes the same bytes on every machine. PNG, if
given, receives the largest size alone, to look at.
"""

import math
import struct
import sys
import zlib

GOLD = (232, 178, 58)
BROWN = (122, 78, 20)
LIGHT = (250, 222, 140)
GREEN = (86, 136, 40)
DARK_GREEN = (52, 92, 26)

# (size in pixels, samples across one pixel)
SIZES = [(16, 6), (24, 5), (32, 4), (48, 4), (256, 2)]


class Ellipse:
    def __init__(self, colour, cx, cy, rx, ry, degrees=0.0):
        self.colour = colour
        self.cx, self.cy, self.rx, self.ry = cx, cy, rx, ry
        self.cos, self.sin = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))
        reach = max(rx, ry)
        self.box = (cx - reach, cy - reach, cx + reach, cy + reach)

    def holds(self, x, y):
        dx, dy = x - self.cx, y - self.cy
        u = dx * self.cos + dy * self.sin
        v = -dx * self.sin + dy * self.cos
        return (u / self.rx) ** 2 + (v / self.ry) ** 2 <= 1.0


class Stroke:
    """A straight stroke with round ends."""

    def __init__(self, colour, x0, y0, x1, y1, width):
        self.colour = colour
        self.x0, self.y0, self.dx, self.dy = x0, y0, x1 - x0, y1 - y0
        self.length2 = self.dx ** 2 + self.dy ** 2
        self.r2 = (width / 2) ** 2
        r = width / 2
        self.box = (min(x0, x1) - r, min(y0, y1) - r, max(x0, x1) + r, max(y0, y1) + r)

    def holds(self, x, y):
        t = ((x - self.x0) * self.dx + (y - self.y0) * self.dy) / self.length2
        t = min(1.0, max(0.0, t))
        ex, ey = x - self.x0 - t * self.dx, y - self.y0 - t * self.dy
        return ex * ex + ey * ey <= self.r2


def kernel(shapes, cx, cy, degrees, size):
    """A kernel leaning `degrees` from upright, its rim and its shine."""
    rim = 0.022 if size >= 32 else 0.03
    shapes.append(Ellipse(BROWN, cx, cy, 0.062 + rim, 0.102 + rim, degrees))
    shapes.append(Ellipse(GOLD, cx, cy, 0.062, 0.102, degrees))
    if size >= 32:
        lean = math.radians(degrees)
        shapes.append(Ellipse(LIGHT, cx - 0.018 * math.cos(lean) + 0.03 * math.sin(lean),
                              cy - 0.018 * math.sin(lean) - 0.03 * math.cos(lean), 0.018, 0.04, degrees))


def ear(size):
    """The shapes of the ear, back to front, on a square from 0 to 1 (y down)."""
    shapes = []
    if size >= 24:
        # Awns rise from the upper kernels, fanning out behind them.
        width = 0.016 if size >= 48 else 0.026
        for x0, y0, x1, y1 in [(0.5, 0.16, 0.5, 0.02), (0.39, 0.27, 0.31, 0.06), (0.61, 0.22, 0.69, 0.03),
                               (0.39, 0.37, 0.25, 0.17), (0.61, 0.32, 0.75, 0.13)]:
            shapes.append(Stroke(BROWN, x0, y0, x1, y1, width))
    shapes.append(Ellipse(DARK_GREEN, 0.66, 0.8, 0.05, 0.17, 38))  # the leaf, its edge
    shapes.append(Ellipse(GREEN, 0.66, 0.8, 0.032, 0.15, 38))
    shapes.append(Stroke(DARK_GREEN, 0.5, 0.97, 0.5, 0.6, 0.085))  # the stalk
    shapes.append(Stroke(GREEN, 0.5, 0.96, 0.5, 0.61, 0.045))
    shapes.append(Stroke(BROWN, 0.5, 0.66, 0.5, 0.22, 0.04))  # the rachis
    for row in range(4):  # lowest first, each row overlapping the one below
        y = 0.64 - row * 0.1
        kernel(shapes, 0.425, y, -26, size)
        kernel(shapes, 0.575, y - 0.05, 26, size)
    kernel(shapes, 0.5, 0.23, 0, size)
    return shapes


def draw(size, samples):
    """Rows of (r, g, b, a) pixels of the ear drawn `size` pixels wide."""
    grid = size * samples
    step = 1.0 / grid
    colours = [None] * (grid * grid)
    for shape in ear(size):
        left, top, right, bottom = shape.box
        for j in range(max(0, int(top * grid)), min(grid, int(bottom * grid) + 1)):
            y = (j + 0.5) * step
            base = j * grid
            for i in range(max(0, int(left * grid)), min(grid, int(right * grid) + 1)):
                if shape.holds((i + 0.5) * step, y):
                    colours[base + i] = shape.colour
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = n = 0
            for j in range(py * samples, (py + 1) * samples):
                for colour in colours[j * grid + px * samples:j * grid + (px + 1) * samples]:
                    if colour is not None:
                        r, g, b, n = r + colour[0], g + colour[1], b + colour[2], n + 1
            if n == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(r / n), round(g / n), round(b / n), round(255 * n / samples ** 2)))
        rows.append(row)
    return rows


def bitmap(rows):
    """An icon image as Windows keeps one: a header, the pixels bottom row
    first in blue, green, red, alpha, and a mask of the see-through ones."""
    size = len(rows)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_row = (size + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_row)
        for x, pixel in enumerate(row):
            if pixel[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + bytes(mask)


def png(rows):
    size = len(rows)
    raw = b"".join(b"\0" + b"".join(bytes(pixel) for pixel in row) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    images = []
    for size, samples in SIZES:
        rows = draw(size, samples)
        images.append((size, png(rows) if size == 256 else bitmap(rows)))
        largest = rows
    icon = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        icon += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    icon += b"".join(data for _, data in images)
    with open(sys.argv[1], "wb") as f:
        f.write(icon)
    if len(sys.argv) == 3:
        with open(sys.argv[2], "wb") as f:
            f.write(png(largest))


if __name__ == "__main__":
    main()
