#!/usr/bin/env python3
"""Draws the price bar's picture buttons and the program icon.

Shapes are sampled 4 x 4 per pixel for smooth edges. Bitmaps are flattened onto the
bar's background colour; the icon keeps its alpha channel. Run from anywhere; the
files are written beside this script.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
SAMPLES = 4
BAR_BACKGROUND = (0xEE, 0xF1, 0xF5)  # must match kBarBackground in the window code


def dist_segment(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy or 1)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def in_rounded_rect(px, py, x0, y0, x1, y1, r):
    cx = min(max(px, x0 + r), x1 - r)
    cy = min(max(py, y0 + r), y1 - r)
    return math.hypot(px - cx, py - cy) <= r


class Canvas:
    def __init__(self, size):
        self.size = size
        self.px = [[(0, 0, 0, 0.0)] * size for _ in range(size)]

    def fill(self, inside, colour):
        """Paints colour over every pixel by the covered share of its samples."""
        n = self.size
        for y in range(n):
            for x in range(n):
                hits = 0
                for sy in range(SAMPLES):
                    for sx in range(SAMPLES):
                        u = (x + (sx + 0.5) / SAMPLES) / n
                        v = (y + (sy + 0.5) / SAMPLES) / n
                        hits += 1 if inside(u, v) else 0
                a = hits / (SAMPLES * SAMPLES)
                if a == 0:
                    continue
                r0, g0, b0, a0 = self.px[y][x]
                out = a + a0 * (1 - a)
                mix = lambda c1, c0: (c1 * a + c0 * a0 * (1 - a)) / out
                self.px[y][x] = (mix(colour[0], r0), mix(colour[1], g0), mix(colour[2], b0), out)

    def flattened(self, background):
        rows = []
        for row in self.px:
            rows.append([tuple(round(c * a + bg * (1 - a)) for c, bg in zip(p[:3], background))
                         for p in row for a in [p[3]]])
        return rows


def circle(cx, cy, r):
    return lambda u, v: math.hypot(u - cx, v - cy) <= r


def ring(cx, cy, r, w):
    return lambda u, v: abs(math.hypot(u - cx, v - cy) - r) <= w / 2


def stroke(points, w):
    segs = list(zip(points, points[1:]))
    return lambda u, v: any(dist_segment(u, v, *a, *b) <= w / 2 for a, b in segs)


def close_button(c):
    c.fill(circle(0.5, 0.5, 0.44), (0xD9, 0x53, 0x4F))
    c.fill(stroke([(0.32, 0.32), (0.68, 0.68)], 0.12), (255, 255, 255))
    c.fill(stroke([(0.68, 0.32), (0.32, 0.68)], 0.12), (255, 255, 255))


def chevron_up(c, disc, mark):
    c.fill(circle(0.5, 0.5, 0.44), disc)
    c.fill(stroke([(0.3, 0.42), (0.5, 0.26), (0.7, 0.42)], 0.12), mark)
    c.fill(stroke([(0.3, 0.62), (0.7, 0.62)], 0.12), mark)


def auto_hide_on(c):
    chevron_up(c, (0x3B, 0x7D, 0xD8), (255, 255, 255))


def auto_hide_off(c):
    c.fill(ring(0.5, 0.5, 0.39, 0.09), (0x9A, 0xA3, 0xAD))
    c.fill(stroke([(0.3, 0.42), (0.5, 0.26), (0.7, 0.42)], 0.11), (0x9A, 0xA3, 0xAD))
    c.fill(stroke([(0.3, 0.62), (0.7, 0.62)], 0.11), (0x9A, 0xA3, 0xAD))


def bell(c):
    amber = (0xE8, 0x9A, 0x17)
    def body(u, v):
        if v < 0.2 or v > 0.72:
            return False
        half = 0.16 + 0.2 * ((v - 0.2) / 0.52) ** 1.6
        return abs(u - 0.5) <= half and (v > 0.3 or math.hypot(u - 0.5, v - 0.3) <= 0.16)
    c.fill(body, amber)
    c.fill(lambda u, v: in_rounded_rect(u, v, 0.12, 0.7, 0.88, 0.78, 0.04), amber)
    c.fill(circle(0.5, 0.86, 0.08), amber)
    c.fill(circle(0.5, 0.14, 0.06), amber)


def gear(c):
    slate = (0x5A, 0x6B, 0x7D)
    def teeth(u, v):
        dx, dy = u - 0.5, v - 0.5
        r = math.hypot(dx, dy)
        a = math.atan2(dy, dx)
        tooth = (math.cos(a * 8) > 0.25)
        return r <= (0.44 if tooth else 0.34)
    c.fill(teeth, slate)
    hole = circle(0.5, 0.5, 0.14)
    # punch the hole through to the background
    n = c.size
    for y in range(n):
        for x in range(n):
            hits = sum(1 for sy in range(SAMPLES) for sx in range(SAMPLES)
                       if hole((x + (sx + 0.5) / SAMPLES) / n, (y + (sy + 0.5) / SAMPLES) / n))
            keep = 1 - hits / (SAMPLES * SAMPLES)
            r, g, b, a = c.px[y][x]
            c.px[y][x] = (r, g, b, a * keep)


def program_icon(c):
    c.fill(lambda u, v: in_rounded_rect(u, v, 0.04, 0.04, 0.96, 0.96, 0.2), (0x2F, 0x6F, 0xD0))
    c.fill(stroke([(0.16, 0.7), (0.36, 0.5), (0.52, 0.6), (0.82, 0.28)], 0.1), (255, 255, 255))
    c.fill(circle(0.82, 0.28, 0.09), (0xFF, 0xC8, 0x3D))
    c.fill(stroke([(0.16, 0.84), (0.84, 0.84)], 0.05), (0xBF, 0xD4, 0xF2))


def write_bmp(path, rows):
    """24-bit bottom-up bitmap."""
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    data = b""
    for row in reversed(rows):
        line = b"".join(struct.pack("BBB", b, g, r) for r, g, b in row)
        data += line + b"\0" * (stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def icon_image(canvas):
    n = canvas.size
    pixels = b""
    for row in reversed(canvas.px):
        for r, g, b, a in row:
            pixels += struct.pack("BBBB", round(b), round(g), round(r), round(a * 255))
    mask_stride = ((n + 31) // 32) * 4
    mask = b"\0" * (mask_stride * n)
    info = struct.pack("<IiiHHIIiiII", 40, n, n * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return info + pixels + mask


def write_ico(path, canvases):
    images = [icon_image(c) for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, img in zip(canvases, images):
        out += struct.pack("<BBBBHHII", c.size % 256, c.size % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


def main():
    buttons = {
        "close.bmp": close_button,
        "autohide_on.bmp": auto_hide_on,
        "autohide_off.bmp": auto_hide_off,
        "alerts.bmp": bell,
        "options.bmp": gear,
    }
    for name, draw in buttons.items():
        c = Canvas(16)
        draw(c)
        write_bmp(os.path.join(HERE, name), c.flattened(BAR_BACKGROUND))
    icons = []
    for size in (16, 32, 48):
        c = Canvas(size)
        program_icon(c)
        icons.append(c)
    write_ico(os.path.join(HERE, "pipwarden.ico"), icons)


if __name__ == "__main__":
    main()
