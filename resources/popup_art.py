"""What the popups' art scripts share: the panel's colours, its sampled rounded outline and
the 24-bit BMP they are written as."""
import math
import struct

KEY = (255, 0, 255)  # cut out of the window
TOP = (250, 252, 255)
BOTTOM = (214, 226, 243)
BAND = (228, 236, 248)
BORDER = (92, 128, 184)
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


def panel_pixel(x, y, w, h, r, border, fill):
    """The key outside the rounded panel; inside, fill shaded into the border by how many of
    the pixel's samples fall within the border's width of the edge (never towards the key,
    which must stay exact)."""
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
    return mix(BORDER, fill, inner / inside)
