#!/usr/bin/env python3
"""Converts the game's XPM pictures to palette PNGs for the browser.

    xpm_to_png.py OUT_DIR PICTURE.xpm...

Each PICTURE.xpm becomes OUT_DIR/PICTURE.png with the same pixels: the XPM's
colours as the palette, `None` as a fully transparent entry. Only what the
game's pictures use is read: colours given as `c #RRGGBB` or `c None`.
"""

import os
import re
import struct
import sys
import zlib


def read_xpm(path):
    with open(path, encoding="ascii") as f:
        strings = re.findall(r'"((?:[^"\\]|\\.)*)"', f.read())
    width, height, ncolours, cpp = (int(v) for v in strings[0].split()[:4])
    palette = {}
    for line in strings[1 : 1 + ncolours]:
        key, rest = line[:cpp], line[cpp:].split()
        if "c" not in rest:
            raise ValueError(f"{path}: colour {key!r} has no 'c' entry")
        value = rest[rest.index("c") + 1]
        if value.lower() == "none":
            palette[key] = None
        elif re.fullmatch(r"#[0-9A-Fa-f]{6}", value):
            palette[key] = tuple(int(value[i : i + 2], 16) for i in (1, 3, 5))
        else:
            raise ValueError(f"{path}: colour {value!r} is not #RRGGBB or None")
    rows = strings[1 + ncolours : 1 + ncolours + height]
    if len(rows) != height or any(len(r) != width * cpp for r in rows):
        raise ValueError(f"{path}: expected {height} rows of {width} pixels")
    keys = list(palette)
    index = {k: i for i, k in enumerate(keys)}
    pixels = [[index[r[x * cpp : (x + 1) * cpp]] for x in range(width)] for r in rows]
    return width, height, [palette[k] for k in keys], pixels


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png(width, height, colours, pixels):
    if len(colours) > 256:
        raise ValueError("more than 256 colours")
    depth = 8 if len(colours) > 16 else 4
    per_byte = 8 // depth
    raw = bytearray()
    for row in pixels:
        raw.append(0)  # no filter
        for x in range(0, width, per_byte):
            byte = 0
            for k in range(per_byte):
                v = row[x + k] if x + k < width else 0
                byte |= v << (8 - depth * (k + 1))
            raw.append(byte)
    plte = b"".join(bytes(c if c else (0, 0, 0)) for c in colours)
    out = b"\x89PNG\r\n\x1a\n"
    out += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, 3, 0, 0, 0))
    out += chunk(b"PLTE", plte)
    if any(c is None for c in colours):
        last = max(i for i, c in enumerate(colours) if c is None)
        out += chunk(b"tRNS", bytes(0 if c is None else 255 for c in colours[: last + 1]))
    out += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    out += chunk(b"IEND", b"")
    return out


def main(argv):
    if len(argv) < 3:
        print("usage: xpm_to_png.py OUT_DIR PICTURE.xpm...", file=sys.stderr)
        return 1
    out_dir = argv[1]
    os.makedirs(out_dir, exist_ok=True)
    for path in argv[2:]:
        name = os.path.splitext(os.path.basename(path))[0]
        try:
            data = png(*read_xpm(path))
        except (OSError, ValueError, KeyError, IndexError) as e:
            print(f"xpm_to_png: {path}: {e}", file=sys.stderr)
            return 1
        with open(os.path.join(out_dir, name + ".png"), "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
