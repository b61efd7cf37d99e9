#!/usr/bin/env python3
"""Draws the icons of setup.exe: kestrel.ico (a kestrel on a keycap, group 128) and
keyboard.ico (a keyboard, group 129), each with 16, 32 and 48 px 32-bit images.
With --web-link, draws instead the icon of the installed web links (a globe with the
kestrel keycap), under the file name the payload installs it as (text 80).

usage: make_icons.py OUTPUT_DIR
       make_icons.py --web-link OUTPUT_DIR

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


def ellipse(cx, cy, rx, ry):
    """Inside test of an ellipse."""
    def inside(x, y):
        return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0
    return inside


def ring(outer, inner):
    """Inside outer and not inside inner: an outline."""
    return lambda x, y: outer(x, y) and not inner(x, y)


def clipped(shape, clip):
    return lambda x, y: shape(x, y) and clip(x, y)


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


GLOBE = (38, 110, 190, 255)
GLOBE_DARK = (22, 70, 132, 255)
GLOBE_LINE = (222, 236, 250, 255)


def web_link_layers():
    """A blue globe for the web, with the kestrel keycap in front at the lower right,
    so that the link reads as Kestrel's web page next to the program's own icons."""
    cx, cy, r = 0.42, 0.42, 0.38
    globe = ellipse(cx, cy, r, r)
    line = 0.045  # lines stay at least about a pixel wide at 16 px
    rim = ring(globe, ellipse(cx, cy, r - line, r - line))
    lines = [
        ring(ellipse(cx, cy, r * 0.42, r), ellipse(cx, cy, r * 0.42 - line, r - line)),
        clipped(lambda x, y: abs(x - cx) <= line / 2, globe),             # meridian
        clipped(lambda x, y: abs(y - cy) <= line / 2, globe),             # equator
        clipped(lambda x, y: abs(y - (cy - r * 0.5)) <= line / 2, globe),
        clipped(lambda x, y: abs(y - (cy + r * 0.5)) <= line / 2, globe),
    ]
    bird = mirrored([
        (0.500, 0.17), (0.540, 0.21), (0.555, 0.31), (0.780, 0.33), (0.940, 0.56),
        (0.760, 0.45), (0.600, 0.50), (0.570, 0.62), (0.650, 0.86), (0.500, 0.88)])
    # The keycap and bird of kestrel.ico, scaled into the lower right corner.
    s, ox, oy = 0.56, 0.44, 0.44
    small_bird = [(ox + x * s, oy + y * s) for (x, y) in bird]
    layers = [(globe, GLOBE)]
    layers += [(shape, GLOBE_LINE) for shape in lines]
    layers.append((rim, GLOBE_DARK))  # a dark rim keeps the globe round on white
    layers += [
        (rounded_rect(ox + 0.02 * s, oy + 0.04 * s, ox + 0.98 * s, oy + 1.00 * s, 0.16 * s),
         GLOBE_DARK),  # a dark edge parts the keycap from the globe
        (rounded_rect(ox + 0.06 * s, oy + 0.08 * s, ox + 0.94 * s, oy + 0.96 * s, 0.14 * s),
         RUFOUS),
        (rounded_rect(ox + 0.14 * s, oy + 0.10 * s, ox + 0.86 * s, oy + 0.82 * s, 0.10 * s),
         RUFOUS_LIGHT),
        (polygon(small_bird), SLATE),
    ]
    return layers


def write_icon(path, layers):
    images = [(size, ico_image(render(layers, size))) for size in SIZES]
    data = ico_file(images)
    with open(path + '.tmp', 'wb') as f:
        f.write(data)
    os.replace(path + '.tmp', path)


def main():
    args = sys.argv[1:]
    web_link = args[:1] == ['--web-link']
    if web_link:
        args = args[1:]
    if len(args) != 1:
        sys.exit(__doc__)
    out_dir = args[0]
    os.makedirs(out_dir, exist_ok=True)
    if web_link:
        # Same name as the program icon, so it goes to its own folder.
        write_icon(os.path.join(out_dir, 'kestrel.ico'), web_link_layers())
        return
    for name, layers in (('kestrel.ico', kestrel_layers()), ('keyboard.ico', keyboard_layers())):
        write_icon(os.path.join(out_dir, name), layers)


if __name__ == '__main__':
    main()
