#!/usr/bin/env python3
"""Write src/res/brennick.ico: icon 128 of Brennick.

Two images, 32x32 and 16x16, 4 bits per pixel with the standard 16-colour
VGA palette, each with its AND (transparency) mask. The drawing is a
database cylinder with a green arrow pointing into it (data being loaded).
Python standard library only; the output is byte-for-byte deterministic.

Usage: make_icon.py [OUTPUT [--show]]
OUTPUT defaults to src/res/brennick.ico of the repository that holds this
script; --show also prints both images as text, one palette digit a pixel.
"""

import os
import struct
import sys

# Standard Windows 16-colour (VGA) palette, as (r, g, b).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, GREEN, TEAL, GRAY, LIME, AQUA, WHITE = 0, 2, 6, 8, 10, 14, 15

# The drawing in a 32x32 coordinate space; smaller images sample it at
# their pixel centres.
CX, RX, RY = 12.0, 10.0, 4.0      # cylinder: centre x, radii of its ellipses
TOP, BOTTOM = 6.5, 26.0           # centre y of the top and bottom ellipses
BANDS = (13.0, 19.5)              # centre y of the two layer lines


def in_ellipse(x, y, cy):
    return ((x - CX) / RX) ** 2 + ((y - cy) / RY) ** 2 <= 1.0


def in_cylinder(x, y):
    return (CX - RX <= x <= CX + RX and TOP <= y <= BOTTOM) or \
        in_ellipse(x, y, TOP) or in_ellipse(x, y, BOTTOM)


def cylinder_fill(x, y):
    if in_ellipse(x, y, TOP):
        return WHITE if x < CX - 3 and y < TOP else AQUA
    if x < CX - RX + 3.5:
        return AQUA
    return TEAL


def in_arrow(x, y):
    """An arrow pointing left, its tip in the cylinder's right side."""
    cy = 17.0
    if 22.0 <= x <= 30.5 and abs(y - cy) <= 2.0:
        return True
    # head: tip at x 15, base at x 23, half height 6 at the base
    if 15.0 <= x <= 23.0 and abs(y - cy) <= (x - 15.0) * 6.0 / 8.0:
        return True
    return False


# The 16x16 image is drawn by hand: sampling the drawing above at 16 pixels
# blurs the arrow into a blob. One letter per pixel, '.' is transparent.
SMALL = [
    "................",
    "..KKKKKKK.......",
    ".KWWAAAAAK......",
    "KAAAAAAAAAK.....",
    "KKAAAAAAAKK.....",
    "KAKKKKKKKTKG....",
    "KAATTTTTTTGG....",
    "KAATTTTTTGLG....",
    "KSATTTTTGLLLGGGG",
    "KASSSSSGLLLLLLLG",
    "KAATTTTTGLLLGGGG",
    "KSATTTTTTGLG....",
    "KASSSSSSSTGG....",
    "KAATTTTTTTKG....",
    ".KATTTTTTK......",
    "..KKKKKKK.......",
]
LETTERS = {'.': None, 'K': BLACK, 'G': GREEN, 'T': TEAL, 'S': GRAY,
           'L': LIME, 'A': AQUA, 'W': WHITE}


def render(size):
    """Return rows (top first) of palette indexes, None for transparent."""
    if size == len(SMALL):
        return [[LETTERS[c] for c in line] for line in SMALL]
    scale = 32.0 / size

    def sample(shape, px, py):
        if not (0 <= px < size and 0 <= py < size):
            return False
        return shape((px + 0.5) * scale, (py + 0.5) * scale)

    def on_arc(px, py, cy):
        # the pixel holds the lower arc of the ellipse around cy in its column
        x = (px + 0.5) * scale
        t = 1.0 - ((x - CX) / RX) ** 2
        if t < 0.0:
            return False
        return int((cy + RY * t ** 0.5) / scale) == py

    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            colour = None
            if sample(in_cylinder, px, py):
                edge = any(not sample(in_cylinder, px + dx, py + dy)
                           for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                if edge or on_arc(px, py, TOP):
                    colour = BLACK
                elif any(on_arc(px, py, cy) for cy in BANDS):
                    colour = GRAY
                else:
                    colour = cylinder_fill((px + 0.5) * scale, (py + 0.5) * scale)
            if sample(in_arrow, px, py):
                edge = any(not sample(in_arrow, px + dx, py + dy)
                           for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                colour = GREEN if edge else LIME
            row.append(colour)
        rows.append(row)
    return rows


def dib(rows):
    """BITMAPINFOHEADER, palette, XOR bits and AND mask of one image."""
    size = len(rows)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0,
                         (xor_stride + and_stride) * size, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):            # DIBs are stored bottom-up
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, colour in enumerate(row):
            if colour is None:
                bits[x // 8] |= 0x80 >> (x % 8)   # transparent, XOR colour 0
                colour = 0
            line[x // 2] |= colour << (4 if x % 2 == 0 else 0)
        xor += line
        mask += bits
    return header + palette + bytes(xor) + bytes(mask)


def icon(sizes=(32, 16)):
    images = [dib(render(s)) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return out + b''.join(images)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    path = sys.argv[1] if len(sys.argv) > 1 else \
        os.path.join(here, '..', 'src', 'res', 'brennick.ico')
    if len(sys.argv) > 2 and sys.argv[2] == '--show':
        for s in (32, 16):
            for row in render(s):
                print(''.join('.' if c is None else '%X' % c for c in row))
            print()
    with open(path, 'wb') as f:
        f.write(icon())


if __name__ == '__main__':
    main()
