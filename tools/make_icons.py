#!/usr/bin/env python3
"""Draws the icons of setup.exe: kestrel.ico (a kestrel on a keycap, group 128) and
keyboard.ico (a keyboard, group 129), each with 16, 32 and 48 px 32-bit images.

usage: make_icons.py OUTPUT_DIR

Standard library only; the output bytes depend on nothing but this file.
"""

import os
import struct
import sys

SIZES = (16, 32, 48)
SAMPLES = 4  # supersamples per pixel side, for smooth edges


def rounded_rect(x0, y0, x1, y1, r):
    """Inside test of a rectangle with rounded corners (unit coordinates, y down)."""
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def polygon(points):
    """Inside test of a polygon (even-odd rule)."""
    def inside(x, y):
        result = False
        n = len(points)
        for i in range(n):
            xa, ya = points[i]
            xb, yb = points[(i + 1) % n]
            if (ya > y) != (yb > y):
                if x < xa + (y - ya) * (xb - xa) / (yb - ya):
                    result = not result
        return result
    return inside


def mirrored(right_half):
    """A shape symmetric about x = 0.5 from its right half, listed top to bottom."""
    left = [(1.0 - x, y) for (x, y) in reversed(right_half)]
    return right_half + left


def render(layers, size):
    """Composites (inside, (r, g, b, a)) layers, first at the bottom; returns rows of
    (r, g, b, a) bytes, top row first."""
    rows = []
    n = SAMPLES * SAMPLES
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    y = (py + (sy + 0.5) / SAMPLES) / size
                    c = [0.0, 0.0, 0.0, 0.0]
                    for inside, (r, g, b, a) in layers:
                        if inside(x, y):
                            fa = a / 255.0
                            c = [r / 255.0 * fa + c[0] * (1 - fa),
                                 g / 255.0 * fa + c[1] * (1 - fa),
                                 b / 255.0 * fa + c[2] * (1 - fa),
                                 fa + c[3] * (1 - fa)]
                    for i in range(4):
                        acc[i] += c[i]
            a = acc[3] / n
            if a > 0:
                rgb = [min(255, int(acc[i] / n / a * 255 + 0.5)) for i in range(3)]
            else:
                rgb = [0, 0, 0]
            row.append((rgb[0], rgb[1], rgb[2], int(a * 255 + 0.5)))
        rows.append(row)
    return rows


def ico_image(rows):
    """One icon image: BITMAPINFOHEADER, BGRA pixels bottom-up, then the AND mask
    (set = transparent, for systems that ignore alpha, such as Windows 2000)."""
    size = len(rows)
    mask_stride = ((size + 31) // 32) * 4
    pixels = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (r, g, b, a) in enumerate(row):
            pixels += bytes((b, g, r, a))
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0,
                         len(pixels) + len(mask), 0, 0, 0, 0)
    return header + bytes(pixels) + bytes(mask)


def ico_file(images):
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    blobs = []
    for size, blob in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    for blob in blobs:
        out += blob
    return bytes(out)


RUFOUS = (196, 98, 42, 255)       # a kestrel's back
RUFOUS_LIGHT = (226, 140, 78, 255)
SLATE = (44, 52, 66, 255)         # a kestrel's head and tail
KEY_DARK = (52, 56, 62, 255)
KEY_FACE = (236, 236, 232, 255)
KEY_EDGE = (120, 124, 130, 255)


def kestrel_layers():
    """A keycap in kestrel colours with a falcon in flight, seen from below."""
    bird = mirrored([
        (0.500, 0.17), (0.540, 0.21), (0.555, 0.31), (0.780, 0.33), (0.940, 0.56),
        (0.760, 0.45), (0.600, 0.50), (0.570, 0.62), (0.650, 0.86), (0.500, 0.88)])
    return [
        (rounded_rect(0.04, 0.06, 0.96, 0.98, 0.16), RUFOUS),
        (rounded_rect(0.12, 0.08, 0.88, 0.84, 0.12), RUFOUS_LIGHT),
        (polygon(bird), SLATE),
    ]


def keyboard_layers():
    """A keyboard: a dark body, three rows of keys and a space bar."""
    layers = [(rounded_rect(0.02, 0.22, 0.98, 0.80, 0.08), KEY_DARK)]
    rows = ((0.28, 0.08, 5), (0.41, 0.13, 4), (0.54, 0.08, 5))
    key = 0.14
    for y, x0, count in rows:
        for i in range(count):
            x = x0 + i * (key + 0.03)
            layers.append((rounded_rect(x, y, x + key, y + 0.10, 0.02), KEY_FACE))
    layers.append((rounded_rect(0.25, 0.67, 0.75, 0.75, 0.02), KEY_FACE))
    return layers


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out_dir = sys.argv[1]
    os.makedirs(out_dir, exist_ok=True)
    for name, layers in (('kestrel.ico', kestrel_layers()), ('keyboard.ico', keyboard_layers())):
        images = [(size, ico_image(render(layers, size))) for size in SIZES]
        data = ico_file(images)
        path = os.path.join(out_dir, name)
        with open(path + '.tmp', 'wb') as f:
            f.write(data)
        os.replace(path + '.tmp', path)


if __name__ == '__main__':
    main()
