#!/usr/bin/env python3
"""Draws Mogumo's application icon and writes it at every hicolor size.

    python3 tools/art/make_icon.py [output-dir]

The icon is one 32 x 32 pixel-art design: the angler in profile, rod raised,
her red hair tied back, on a round badge of sky and lake with a grey fish
leaping at the end of her line.  The sizes that are not a whole multiple of
32 (16, 24, 48) are drawn afresh at their own size, so that the outline stays
one pixel wide and unbroken; 64, 128 and 256 are the 32 px drawing scaled by
nearest neighbour, never smoothed, so the pixels stay crisp.  Default output is
assets/icons/ at the project root: hicolor/<n>x<n>/apps/<id>.png and the
Qt resource file icons.qrc.  Output is deterministic.

The icon is the project's own work, under the GNU GPL, version 3 or later
(LICENSE), like the rest of Mogumo.
"""

import math
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from raster import NONE, Canvas, capsule, ellipse, inter, path, poly

APP_ID = 'io.github.mogumo.Mogumo'
SIZES = (16, 24, 32, 48, 64, 128, 256)

# The angler's colours, as in the game's pictures.
PAL = {
    'k': (0x00, 0x00, 0x00),
    'w': (0xFF, 0xFF, 0xFF),
    'r': (0xE0, 0x28, 0x18),   # hair
    'y': (0xF8, 0xD8, 0x30),   # skin
    'c': (0x18, 0xC8, 0xF0),   # top
    'g': (0xA0, 0xA0, 0xA0),   # fish
    'l': (0xD4, 0xD4, 0xD4),   # fish belly
    'b': (0xA8, 0x64, 0x2C),   # rod
    'o': (0xF0, 0x5A, 0x5A),   # mouth
    'p': (0xB8, 0xF4, 0xFC),   # sky
    'n': (0x40, 0xB8, 0x40),   # grass
    'B': (0x28, 0x58, 0xD8),   # lake
    't': (0x0C, 0x70, 0x78),   # deep water
}

CENTRE, RADIUS = (16.0, 16.0), 15.6
SURFACE = 21.5


def badge(x, y):
    return math.hypot(x - CENTRE[0], y - CENTRE[1]) <= RADIUS


badge.center = CENTRE


def draw(n=32):
    """The design drawn at n pixels.  Black outlines are one pixel wide at
    every size; at 24 px only the fish, the head and the body keep theirs,
    and at 16 px only the badge's ring, so that the outlines do not eat the
    colours."""
    cv = Canvas(n, n).place(scale=n / 32.0)
    main = 'k' if n >= 24 else None
    edge = 'k' if n >= 32 else None
    # Sky, lake and the grassy bank she stands on.
    cv.fill(badge, 'p', outline=None)
    cv.fill(inter(badge, lambda x, y: y >= SURFACE), 'B', outline=None)
    cv.fill(inter(badge, lambda x, y: y >= 26.5 and x < 14.0), 't', outline=None)
    cv.fill(inter(badge, lambda x, y: y >= 24.5 + 0.15 * (16.0 - x) and x >= 13.0), 'n', outline=edge)
    # The rod rises to the upper left; the line drops straight to the fish.
    fx = 8.0
    tip = (fx + 0.5, 4.5)
    cv.line([tip, (fx + 0.5, 11.0)], 'k')
    # The fish leaps head up out of the water, splashing.
    cv.fill(poly([(fx, 23.0), (fx - 2.8, 26.0), (fx, 24.6), (fx + 2.8, 26.0)]), 'g', outline=edge)
    cv.fill(poly([(fx - 2.4, 16.0), (fx - 4.6, 19.0), (fx - 2.4, 19.5)]), 'g', outline=edge)
    body = poly([(fx, 11.2), (fx + 2.6, 15.0), (fx + 2.6, 20.0), (fx, 23.8), (fx - 2.6, 20.0), (fx - 2.6, 15.0)])
    cv.fill(body, 'g', outline=main)
    cv.fill(inter(poly([(fx + 1.0, 15.0), (fx + 1.8, 15.0), (fx + 1.8, 20.5), (fx + 1.0, 21.0)]), body), 'l',
            outline=None)
    cv.dot(int(fx) - 0.5, 14.5, 'k')
    for i, j in ((int(fx) - 4, 21), (int(fx) + 3, 21), (int(fx) + 4, 20), (int(fx) - 5, 20)):
        cv.dot(i + 0.5, j + 0.5, 'w')
    # The angler: skirt and top, arm out to the rod.
    cx = 21.5
    cv.fill(poly([(cx - 3.8, 22.5), (cx + 3.8, 22.5), (cx + 5.5, 28.5), (cx - 5.5, 28.5)]), 'g', outline=edge)
    cv.fill(poly([(cx - 3.4, 16.0), (cx + 3.4, 16.0), (cx + 3.9, 23.5), (cx - 3.9, 23.5)]), 'c', outline=main)
    hand = (cx - 7.5, 18.5)
    cv.line([hand, tip], 'b')
    cv.fill(path([(cx - 1.0, 17.5), (cx - 4.5, 20.0), hand], 1.4), 'y', outline=edge)
    # Head in profile facing left, hair tied back in a long tail.
    hx, hy, r = cx - 0.5, 9.5, 6.2
    tail = [(hx + 4.5, 6.0), (hx + 7.5, 5.5), (hx + 8.8, 9.5), (hx + 8.6, 13.5)]
    cv.fill(path(tail, 1.8), 'r', outline=edge)
    cv.fill(ellipse(hx + 0.6, hy, r + 0.9, r + 0.6), 'r', outline=main)
    front = lambda x, y: x < hx + 1.6 - 0.4 * (y - hy) and y > hy - 2.4 + 0.8 * max(0.0, x - hx + 2.5)
    face = inter(ellipse(hx - 1.2, hy + 1.3, r - 0.4, r - 1.0), front)
    face.center = (hx - 2, hy + 2)
    cv.fill(face, 'y', outline=main)
    cv.dot(int(hx - 3.5) + 0.5, int(hy + 1.0) + 0.5, 'k')
    cv.dot(int(hx - 3.5) + 0.5, int(hy + 2.0) + 0.5, 'k')
    cv.dot(int(hx - 4.5) + 0.5, int(hy + 4.0) + 0.5, 'o')
    # Clip to the badge and ring it in black.
    for j in range(n):
        for i in range(n):
            if not badge((i + 0.5) * 32.0 / n, (j + 0.5) * 32.0 / n):
                cv.px[j][i] = NONE
    cv.outline_figure('k')
    return cv


def scaled(cv, n):
    """Nearest-neighbour scaling: each output pixel takes the design pixel under its centre."""
    return [[cv.px[(j * 2 + 1) * cv.h // (2 * n)][(i * 2 + 1) * cv.w // (2 * n)] for i in range(n)]
            for j in range(n)]


def write_png(path_, rows):
    """An 8-bit RGBA PNG; transparent where the design has no colour."""
    raw = b''
    for row in rows:
        raw += b'\x00' + b''.join(bytes(PAL[ch] + (255,)) if ch != NONE else b'\0\0\0\0' for ch in row)

    def chunk(t, d):
        return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)
    n = len(rows)
    data = (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', n, n, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))
    with open(path_, 'wb') as fh:
        fh.write(data)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    outdir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', '..', 'assets', 'icons')
    cv = draw()
    files = []
    for n in SIZES:
        rel = 'hicolor/%dx%d/apps/%s.png' % (n, n, APP_ID)
        os.makedirs(os.path.join(outdir, os.path.dirname(rel)), exist_ok=True)
        write_png(os.path.join(outdir, rel), scaled(cv, n) if n % 32 == 0 else draw(n).px)
        files.append((n, rel))
    with open(os.path.join(outdir, 'icons.qrc'), 'w') as fh:
        fh.write('<!DOCTYPE RCC>\n<RCC version="1.0">\n<qresource prefix="/icons">\n')
        for n, rel in files:
            fh.write('    <file alias="mogumo-%d.png">%s</file>\n' % (n, rel))
        fh.write('</qresource>\n</RCC>\n')


if __name__ == '__main__':
    main()
