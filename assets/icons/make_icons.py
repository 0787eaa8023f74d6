#!/usr/bin/env python3
"""Draws the programs' icons and writes them as Windows icon resources.

flash.exe carries the .swf document picture as a raw icon image (resource 30001, 32 x 32,
24 bits, with a 1-bit mask) and icon groups pointing at it; update.exe a 32-bit icon.
Usage: make_icons.py OUTPUT_FOLDER
"""
import math
import os
import struct
import sys

SUPERSAMPLE = 4


class Canvas:
    def __init__(self, size):
        self.size = size
        self.rgba = [[(0.0, 0.0, 0.0, 0.0) for _ in range(size)] for _ in range(size)]

    def fill(self, inside, colour):
        """Paints colour (r, g, b, a in 0..1) where inside(x, y) holds, anti-aliased."""
        n = SUPERSAMPLE
        for py in range(self.size):
            for px in range(self.size):
                hits = sum(inside(px + (i + 0.5) / n, py + (j + 0.5) / n)
                           for i in range(n) for j in range(n))
                if hits:
                    self._over(px, py, colour, hits / (n * n))

    def _over(self, x, y, colour, coverage):
        r, g, b, a = colour
        a *= coverage
        dr, dg, db, da = self.rgba[y][x]
        out_a = a + da * (1 - a)
        if out_a == 0:
            return
        mix = lambda s, d: (s * a + d * da * (1 - a)) / out_a
        self.rgba[y][x] = (mix(r, dr), mix(g, dg), mix(b, db), out_a)


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def polygon(points):
    def inside(x, y):
        result = False
        for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
            if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
                result = not result
        return result
    return inside


def stroke(points, width):
    """A polyline of the given width with round ends."""
    def inside(x, y):
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            dx, dy = x1 - x0, y1 - y0
            t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy or 1)))
            if (x - x0 - t * dx) ** 2 + (y - y0 - t * dy) ** 2 <= width * width / 4:
                return True
        return False
    return inside


def arc(cx, cy, r, start_deg, end_deg, steps=12):
    return [(cx + r * math.cos(math.radians(a)), cy + r * math.sin(math.radians(a)))
            for a in (start_deg + (end_deg - start_deg) * i / steps for i in range(steps + 1))]


def rgb(r, g, b, a=1.0):
    return (r / 255, g / 255, b / 255, a)


def document_picture():
    """A white page with a folded upper right corner, a blue-grey badge and a white f."""
    c = Canvas(32)
    page = [(5, 1), (21, 1), (27, 7), (27, 31), (5, 31)]
    c.fill(polygon(page), rgb(128, 128, 128))
    c.fill(polygon([(6, 2), (20.5, 2), (26, 7.5), (26, 30), (6, 30)]), rgb(255, 255, 255))
    c.fill(polygon([(20, 1.5), (20, 8), (26.5, 8)]), rgb(128, 128, 128))
    c.fill(polygon([(20.9, 3.2), (20.9, 7.1), (24.8, 7.1)]), rgb(224, 224, 224))
    c.fill(circle(16, 19, 8.6), rgb(78, 102, 134))
    f_stem = arc(20.2, 14.6, 3.0, 290, 180, 8) + [(17.2, 19.5)] + arc(14.2, 19.5, 3.0, 0, 120, 8)
    c.fill(stroke(f_stem, 2.1), rgb(255, 255, 255))
    c.fill(stroke([(13.6, 17.0), (21.0, 17.0)], 1.9), rgb(255, 255, 255))
    return c


def update_picture(size):
    """A round blue badge with a white arrow pointing down onto a tray."""
    c = Canvas(size)
    s = size / 32
    c.fill(circle(16 * s, 16 * s, 15 * s), rgb(28, 92, 168))
    c.fill(circle(16 * s, 16 * s, 13.2 * s), rgb(52, 140, 220))
    white = rgb(255, 255, 255)
    c.fill(polygon([(13 * s, 6 * s), (19 * s, 6 * s), (19 * s, 14 * s), (23.5 * s, 14 * s),
                    (16 * s, 21.5 * s), (8.5 * s, 14 * s), (13 * s, 14 * s)]), white)
    c.fill(stroke([(9 * s, 22 * s), (9 * s, 25 * s), (23 * s, 25 * s), (23 * s, 22 * s)], 2.2 * s), white)
    return c


def dib_24_with_mask(canvas):
    """BITMAPINFOHEADER, 24-bit colours bottom row first, then the AND mask (1 = clear)."""
    n = canvas.size
    header = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, 24, 0, n * n * 3 + n * n // 8, 0, 0, 0, 0)
    colours, mask = bytearray(), bytearray()
    for y in reversed(range(n)):
        bits = 0
        for x in range(n):
            r, g, b, a = canvas.rgba[y][x]
            opaque = a >= 0.5
            # The page carries no partial transparency: colour the edge as over white.
            colours += bytes(round(255 * (ch * a + (1 - a))) if opaque else 0 for ch in (b, g, r))
            bits = (bits << 1) | (0 if opaque else 1)
            if x % 8 == 7:
                mask.append(bits)
                bits = 0
        mask += bytes((-len(mask)) % 4)  # rows are padded to 32 bits
    return header + bytes(colours) + bytes(mask)


def dib_32(canvas):
    n = canvas.size
    header = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, 32, 0, n * n * 4 + n * n // 8, 0, 0, 0, 0)
    pixels = bytearray()
    for y in reversed(range(n)):
        for x in range(n):
            r, g, b, a = canvas.rgba[y][x]
            pixels += bytes(round(255 * ch) for ch in (b, g, r, a))
    row_mask = ((n + 31) // 32) * 4
    return header + bytes(pixels) + bytes(row_mask * n)


def group_entry(size, bits, length, ident, as_file_offset):
    fmt = '<BBBBHHII' if as_file_offset else '<BBBBHHIH'
    return struct.pack(fmt, size % 256, size % 256, 0, 0, 1, bits, length, ident)


def write_ico(path, images):
    """images: list of (size, bits, dib bytes)."""
    offset = 6 + 16 * len(images)
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    for size, bits, dib in images:
        out += group_entry(size, bits, len(dib), offset, True)
        offset += len(dib)
    for _, _, dib in images:
        out += dib
    open(path, 'wb').write(out)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    image = dib_24_with_mask(document_picture())
    assert len(image) == 3240, len(image)
    open(os.path.join(out, 'flash_icon_30001.bin'), 'wb').write(image)
    group = struct.pack('<HHH', 0, 1, 1) + group_entry(32, 24, len(image), 30001, False)
    open(os.path.join(out, 'flash_icon_group.bin'), 'wb').write(group)
    write_ico(os.path.join(out, 'flash.ico'), [(32, 24, image)])
    write_ico(os.path.join(out, 'update.ico'),
              [(32, 32, dib_32(update_picture(32))), (16, 32, dib_32(update_picture(16)))])


if __name__ == '__main__':
    main()
