#!/usr/bin/env python3
"""Draws the page update popup's background, written beside this script as notify.bmp.

The top-left pixel is the colour key: every pixel of that colour is cut out of the window,
so the rounded corners show the desktop. Edges inside the panel are smoothed by 4 x 4
samples per pixel, but never towards the key colour, which must stay exact.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from popup_art import BAND, BOTTOM, TOP, mix, panel_pixel, write_bmp  # noqa: E402

RULE = (190, 205, 228)
WIDTH, HEIGHT, RADIUS, BORDER_WIDTH = 240, 120, 10, 1.6
BAND_HEIGHT = 28  # behind the time and the close icon


def pixel(x, y):
    fill = mix(TOP, BOTTOM, y / (HEIGHT - 1))
    if y < BAND_HEIGHT:
        fill = mix(fill, BAND, 0.6)
    elif y == BAND_HEIGHT and 8 <= x < WIDTH - 8:
        fill = RULE  # a hairline under the band
    return panel_pixel(x, y, WIDTH, HEIGHT, RADIUS, BORDER_WIDTH, fill)


if __name__ == "__main__":
    write_bmp(os.path.join(HERE, "notify.bmp"), WIDTH, HEIGHT, pixel)
