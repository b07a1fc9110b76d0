#!/usr/bin/env python3
"""Draws the page update popup's background, written beside this script as notify.bmp.

The top-left pixel is the colour key: every pixel of that colour is cut out of the window,
so the rounded corners show the desktop. Edges inside the panel are smoothed by 4 x 4
samples per pixel, but never towards the key colour, which must stay exact.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
KEY = (255, 0, 255)
TOP = (250, 252, 255)
BOTTOM = (214, 226, 243)
BAND = (228, 236, 248)
BORDER = (92, 128, 184)
RULE = (190, 205, 228)
WIDTH, HEIGHT, RADIUS, BORDER_WIDTH = 240, 120, 10, 1.6
BAND_HEIGHT = 28  # behind the time and the close icon
SAMPLES = 4


def write_bmp(path, width, height, pixel):
    """24-bit bottom-up BMP; pixel(x, y) gives (r, g, b) with y from the top."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (stride - width * 3)
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def rounded_inside(x, y, w, h, r):
    cx = min(max(x, r), w - r)
    cy = min(max(y, r), h - r)
    return math.hypot(x - cx, y - cy) <= r


def mix(a, b, t):
    return tuple(round(p * (1 - t) + q * t) for p, q in zip(a, b))


def pixel(x, y):
    w, h, r, border = WIDTH, HEIGHT, RADIUS, BORDER_WIDTH
    inside = inner = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            px, py = x + (sx + 0.5) / SAMPLES, y + (sy + 0.5) / SAMPLES
            if rounded_inside(px, py, w, h, r):
                inside += 1
                if rounded_inside(px - border, py - border, w - 2 * border, h - 2 * border,
                                  r - border):
                    inner += 1
    if inside == 0:
        return KEY
    fill = mix(TOP, BOTTOM, y / (h - 1))
    if y < BAND_HEIGHT:
        fill = mix(fill, BAND, 0.6)
    elif y == BAND_HEIGHT and 8 <= x < w - 8:
        fill = RULE  # a hairline under the band
    return mix(BORDER, fill, inner / inside)


if __name__ == "__main__":
    write_bmp(os.path.join(HERE, "notify.bmp"), WIDTH, HEIGHT, pixel)
