#!/usr/bin/env python3
"""Makes the screenshots the AppStream metadata names, from the game's own
`shot` pictures.

    python3 packaging/screenshots/make_screenshots.py build/dev/mogumo-sim

mogumo-sim plays scenes.txt and shoots the screens; a scene that the game
shows in two windows, one above the other (the cast screen over the lure
screen, the battle splash over the battle screen), becomes one picture, the
two client areas put together as the layouts stack them. Every picture is
doubled by nearest neighbour, so that the pixel art stays crisp where a
software centre shows it large, and written as an indexed PNG when it has
256 colours or fewer. Output, next to this script: title.png, lure.png,
battle.png. The same game and fonts give the same files, byte for byte.
"""

import os
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SCALE = 2
# Each output: the shots it is made of, top to bottom, with the left edge of
# each in pixels as its screen's layout places it.
SCENES = {
    'title.png': [('title.png', 0)],
    'lure.png': [('cast.png', 0), ('lure.png', 1)],
    'battle.png': [('splash.png', 0), ('battle.png', 0)],
}
BACKGROUND = (0, 0, 0)


def read_png(path):
    """Width, height and rows of (r, g, b) of an 8-bit RGB or RGBA PNG, as
    Qt writes them (not interlaced)."""
    with open(path, 'rb') as fh:
        data = fh.read()
    assert data[:8] == b'\x89PNG\r\n\x1a\n', path
    pos, idat = 8, b''
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b'IHDR':
            w, h, depth, colour, _, _, interlace = struct.unpack('>IIBBBBB', body)
            assert depth == 8 and colour in (2, 6) and interlace == 0, path
        elif kind == b'IDAT':
            idat += body
        pos += 12 + length
    bpp = 3 if colour == 2 else 4
    raw, stride, rows, prev = zlib.decompress(idat), w * bpp, [], bytearray(w * bpp)
    for y in range(h):
        f = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            if f == 1:
                line[i] = (line[i] + a) & 255
            elif f == 2:
                line[i] = (line[i] + b) & 255
            elif f == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([tuple(line[x * bpp:x * bpp + 3]) for x in range(w)])
        prev = line
    return w, h, rows


def write_png(path, rows):
    """Indexed when the picture has at most 256 colours, RGB otherwise; no
    time stamp or other chunk that would change from one run to the next."""
    h, w = len(rows), len(rows[0])
    colours = sorted({px for row in rows for px in row})

    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))
    if len(colours) <= 256:
        index = {c: i for i, c in enumerate(colours)}
        header = struct.pack('>IIBBBBB', w, h, 8, 3, 0, 0, 0)
        extra = chunk(b'PLTE', b''.join(bytes(c) for c in colours))
        raw = b''.join(b'\0' + bytes(index[px] for px in row) for row in rows)
    else:
        header = struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0)
        extra = b''
        raw = b''.join(b'\0' + bytes(v for px in row for v in px) for row in rows)
    with open(path, 'wb') as fh:
        fh.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + extra +
                 chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def stack(parts):
    """The shots one under the other, each at its left edge."""
    width = max(left + w for (w, _, _), left in parts)
    out = []
    for (w, _, rows), left in parts:
        for row in rows:
            out.append([BACKGROUND] * left + row + [BACKGROUND] * (width - left - w))
    return out


def doubled(rows):
    out = []
    for row in rows:
        wide = [px for px in row for _ in range(SCALE)]
        out.extend(list(wide) for _ in range(SCALE))
    return out


def main():
    if len(sys.argv) != 2:
        sys.exit('usage: make_screenshots.py MOGUMO_SIM')
    sim = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as shots:
        subprocess.run([sim, os.path.join(HERE, 'scenes.txt')], cwd=shots, check=True,
                       stdout=subprocess.DEVNULL, env=dict(os.environ, QT_QPA_PLATFORM='offscreen'))
        for name, parts in SCENES.items():
            rows = doubled(stack([(read_png(os.path.join(shots, shot)), left) for shot, left in parts]))
            write_png(os.path.join(HERE, name), rows)
            print('%s: %d x %d, %d bytes' % (name, len(rows[0]), len(rows), os.path.getsize(os.path.join(HERE, name))))


if __name__ == '__main__':
    main()
