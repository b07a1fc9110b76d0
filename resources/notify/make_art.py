#!/usr/bin/env python3
"""Draws the notification popup's background, its close icon and its small mark.

The background's top-left pixel is the colour key: every pixel of that colour is cut out
of the window, so the rounded corners show the desktop. Edges inside the panel are
smoothed by 4 x 4 samples per pixel, but never towards the key colour, which must stay
exact. The files are written beside this script.
"""
import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from popup_art import BAND, BOTTOM, SAMPLES, TOP, mix, panel_pixel, write_bmp  # noqa: E402

ACCENT = (59, 125, 216)


def background():
    w, h, r, border = 320, 150, 10, 1.6

    def pixel(x, y):
        fill = mix(TOP, BOTTOM, y / (h - 1))
        if y < 24:  # a faint band behind the time, symbol and price
            fill = mix(fill, BAND, 0.6)
        return panel_pixel(x, y, w, h, r, border, fill)

    write_bmp(os.path.join(HERE, "background.bmp"), w, h, pixel)


def mark():
    n = 22

    def pixel(x, y):
        hits = 0
        for sy in range(SAMPLES):
            for sx in range(SAMPLES):
                u, v = x + (sx + 0.5) / SAMPLES - n / 2, y + (sy + 0.5) / SAMPLES - n / 2
                bell = (u * u) / 36 + ((v + 1) ** 2) / 49 <= 1 and v < 5
                rim = abs(v - 5) < 1.2 and abs(u) < 8
                clapper = math.hypot(u, v - 7.5) < 2
                hits += 1 if bell or rim or clapper else 0
        back = mix(TOP, BAND, 0.6)
        return mix(back, ACCENT, hits / (SAMPLES * SAMPLES))

    write_bmp(os.path.join(HERE, "mark.bmp"), n, n, pixel)


def icon_image(n):
    """32-bit BGRA image with its AND mask, as an icon directory entry holds it."""
    pixels = bytearray()
    for y in reversed(range(n)):
        for x in range(n):
            hits_circle = hits_cross = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    u = (x + (sx + 0.5) / SAMPLES) / n - 0.5
                    v = (y + (sy + 0.5) / SAMPLES) / n - 0.5
                    if math.hypot(u, v) <= 0.42:
                        hits_circle += 1
                        d1 = abs(u - v) / math.sqrt(2)
                        d2 = abs(u + v) / math.sqrt(2)
                        if min(d1, d2) < 0.06 and max(abs(u), abs(v)) < 0.2:
                            hits_cross += 1
            total = SAMPLES * SAMPLES
            a = hits_circle / total
            c = mix((150, 166, 190), (255, 255, 255), hits_cross / max(hits_circle, 1))
            pixels += bytes((c[2], c[1], c[0], round(255 * a)))
    mask = b"\0" * (((n + 31) // 32) * 4 * n)
    info = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return info + bytes(pixels) + mask


def close_icon():
    images = [(n, icon_image(n)) for n in (16, 32)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in images:
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    with open(os.path.join(HERE, "close.ico"), "wb") as f:
        f.write(out)


if __name__ == "__main__":
    background()
    mark()
    close_icon()
