"""Tiny deterministic raster toolkit used to draw Mogumo's pixel pictures.

Shapes are predicates f(x, y) -> bool in "design" coordinates.  A Canvas
maps design coordinates to pixels with a scale, an offset and an optional
horizontal mirror, so one figure routine can be drawn as a 32 px sprite or
large inside the title drawing.  Every filled shape can carry its own black
outline, which gives the flat cartoon look with clean black edges.
"""

import math
import struct
import zlib

NONE = '.'


# --- shapes -----------------------------------------------------------------

def ellipse(cx, cy, rx, ry, rot=0.0):
    c, s = math.cos(math.radians(rot)), math.sin(math.radians(rot))

    def f(x, y):
        dx, dy = x - cx, y - cy
        u = dx * c + dy * s
        v = -dx * s + dy * c
        return (u / rx) ** 2 + (v / ry) ** 2 <= 1.0
    f.center = (cx, cy)
    m = max(rx, ry)
    f.bb = (cx - m, cy - m, cx + m, cy + m)
    return f


def circle(cx, cy, r):
    return ellipse(cx, cy, r, r)


def poly(pts):
    pts = list(pts)

    def f(x, y):
        inside = False
        n = len(pts)
        j = n - 1
        for i in range(n):
            xi, yi = pts[i]
            xj, yj = pts[j]
            if (yi > y) != (yj > y):
                xc = xi + (y - yi) * (xj - xi) / (yj - yi)
                if x < xc:
                    inside = not inside
            j = i
        return inside
    f.center = (sum(p[0] for p in pts) / len(pts), sum(p[1] for p in pts) / len(pts))
    f.bb = (min(p[0] for p in pts), min(p[1] for p in pts), max(p[0] for p in pts), max(p[1] for p in pts))
    return f


def _seg_dist(x, y, a, b):
    ax, ay = a
    bx, by = b
    dx, dy = bx - ax, by - ay
    l2 = dx * dx + dy * dy
    t = 0.0 if l2 == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / l2))
    px, py = ax + t * dx, ay + t * dy
    return math.hypot(x - px, y - py)


def capsule(a, b, r):
    def f(x, y):
        return _seg_dist(x, y, a, b) <= r
    f.center = ((a[0] + b[0]) / 2, (a[1] + b[1]) / 2)
    f.bb = (min(a[0], b[0]) - r, min(a[1], b[1]) - r, max(a[0], b[0]) + r, max(a[1], b[1]) + r)
    return f


def path(pts, r):
    """A thick polyline."""
    pts = list(pts)

    def f(x, y):
        return any(_seg_dist(x, y, pts[i], pts[i + 1]) <= r for i in range(len(pts) - 1))
    f.center = pts[len(pts) // 2]
    f.bb = (min(p[0] for p in pts) - r, min(p[1] for p in pts) - r, max(p[0] for p in pts) + r, max(p[1] for p in pts) + r)
    return f


def rect(x0, y0, x1, y1):
    f = lambda x, y: x0 <= x <= x1 and y0 <= y <= y1
    f.center = ((x0 + x1) / 2, (y0 + y1) / 2)
    f.bb = (x0, y0, x1, y1)
    return f


def union(*fs):
    f = lambda x, y: any(g(x, y) for g in fs)
    f.center = fs[0].center
    bbs = [getattr(g, 'bb', None) for g in fs]
    if all(bbs):
        f.bb = (min(b[0] for b in bbs), min(b[1] for b in bbs), max(b[2] for b in bbs), max(b[3] for b in bbs))
    return f


def inter(a, b):
    f = lambda x, y: a(x, y) and b(x, y)
    f.center = a.center
    if hasattr(a, 'bb'):
        f.bb = a.bb
    return f


def minus(a, b):
    f = lambda x, y: a(x, y) and not b(x, y)
    f.center = a.center
    if hasattr(a, 'bb'):
        f.bb = a.bb
    return f


def bezier(p0, p1, p2, n=24):
    out = []
    for i in range(n + 1):
        t = i / n
        out.append(((1 - t) ** 2 * p0[0] + 2 * (1 - t) * t * p1[0] + t * t * p2[0],
                    (1 - t) ** 2 * p0[1] + 2 * (1 - t) * t * p1[1] + t * t * p2[1]))
    return out


# --- canvas -----------------------------------------------------------------

class Canvas:
    def __init__(self, w, h, fill=NONE):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]
        self.scale = 1.0
        self.ox = 0.0
        self.oy = 0.0
        self.mirror = False
        self.mirror_w = 32.0
        self.edge_inside = (False, False)   # (left/right, top/bottom)
        self.rot, self.pivot = 0.0, (16.0, 16.0)

    def place(self, ox=0.0, oy=0.0, scale=1.0, mirror=False, width=32.0, rot=0.0, pivot=(16.0, 16.0)):
        self.ox, self.oy, self.scale, self.mirror, self.mirror_w = ox, oy, scale, mirror, width
        self.rot, self.pivot = rot, pivot
        return self

    def tilt(self, rot=0.0, pivot=(16.0, 16.0)):
        """Keep the placement but rotate following drawing by `rot` degrees."""
        self.rot, self.pivot = rot, pivot
        return self

    def _rotate(self, x, y, ang):
        if not ang:
            return x, y
        c, s = math.cos(math.radians(ang)), math.sin(math.radians(ang))
        px, py = self.pivot
        dx, dy = x - px, y - py
        return px + dx * c - dy * s, py + dx * s + dy * c

    def _design(self, i, j):
        x = (i + 0.5 - self.ox) / self.scale
        y = (j + 0.5 - self.oy) / self.scale
        if self.mirror:
            x = self.mirror_w - x
        return self._rotate(x, y, -self.rot)

    def _pixel(self, x, y):
        x, y = self._rotate(x, y, self.rot)
        if self.mirror:
            x = self.mirror_w - x
        return int(math.floor(x * self.scale + self.ox)), int(math.floor(y * self.scale + self.oy))

    def cover(self, shape):
        cells = set()
        ir, jr = range(self.w), range(self.h)
        bb = getattr(shape, 'bb', None)
        if bb is not None:
            corners = [self._pixel(x, y) for x in (bb[0], bb[2]) for y in (bb[1], bb[3])]
            i0 = max(0, min(c[0] for c in corners) - 2)
            i1 = min(self.w, max(c[0] for c in corners) + 3)
            j0 = max(0, min(c[1] for c in corners) - 2)
            j1 = min(self.h, max(c[1] for c in corners) + 3)
            ir, jr = range(i0, i1), range(j0, j1)
        for j in jr:
            for i in ir:
                x, y = self._design(i, j)
                if shape(x, y):
                    cells.add((i, j))
        if not cells and hasattr(shape, 'center'):
            i, j = self._pixel(*shape.center)
            if 0 <= i < self.w and 0 <= j < self.h:
                cells.add((i, j))
        return cells

    def owidth(self):
        return max(1, int(round(self.scale * 0.45)))

    def fill(self, shape, col, outline='k', width=None):
        cells = self.cover(shape)
        if outline is None:
            for (i, j) in cells:
                self.px[j][i] = col
            return cells
        w = self.owidth() if width is None else width
        core = cells
        for _ in range(w):
            core = self._erode(core)
        for (i, j) in cells:
            self.px[j][i] = col if (i, j) in core else outline
        return cells

    def _erode(self, cells):
        lr, tb = self.edge_inside
        out = set()
        for (i, j) in cells:
            ok = True
            for di, dj in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                n = (i + di, j + dj)
                if n in cells:
                    continue
                if lr and not (0 <= n[0] < self.w) and 0 <= n[1] < self.h:
                    continue
                if tb and not (0 <= n[1] < self.h) and 0 <= n[0] < self.w:
                    continue
                ok = False
                break
            if ok:
                out.add((i, j))
        return out

    def dot(self, x, y, col):
        i, j = self._pixel(x, y)
        if 0 <= i < self.w and 0 <= j < self.h:
            self.px[j][i] = col

    def set(self, i, j, col):
        if 0 <= i < self.w and 0 <= j < self.h:
            self.px[j][i] = col

    def get(self, i, j):
        if 0 <= i < self.w and 0 <= j < self.h:
            return self.px[j][i]
        return NONE

    def line(self, pts, col, r=None):
        """A thin line through design points, at least one pixel wide."""
        if r is None:
            r = max(0.6 / self.scale, 0.25) if self.scale > 1 else 0.0
        if r and self.scale > 1:
            self.fill(path(pts, r), col, outline=None)
            return
        for k in range(len(pts) - 1):
            (x0, y0), (x1, y1) = self._pixel(*pts[k]), self._pixel(*pts[k + 1])
            n = max(abs(x1 - x0), abs(y1 - y0), 1)
            for t in range(n + 1):
                self.set(int(round(x0 + (x1 - x0) * t / n)), int(round(y0 + (y1 - y0) * t / n)), col)

    def outline_figure(self, col='k', lr_inside=False, bottom_inside=False):
        """Turn every figure pixel that touches the background into `col`."""
        edge = []
        for j in range(self.h):
            for i in range(self.w):
                if self.px[j][i] == NONE:
                    continue
                for di, dj in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                    ni, nj = i + di, j + dj
                    if not (0 <= ni < self.w and 0 <= nj < self.h):
                        if lr_inside and 0 <= nj < self.h:
                            continue
                        if bottom_inside and nj >= self.h:
                            continue
                        edge.append((i, j))
                        break
                    if self.px[nj][ni] == NONE:
                        edge.append((i, j))
                        break
        for (i, j) in edge:
            self.px[j][i] = col


# --- output -----------------------------------------------------------------

def write_xpm(path_, name, canvas, palette, keys=None, pad_to=None):
    """palette: char -> '#rrggbb' or 'None'.  keys: chars to emit (in order)."""
    used = []
    for row in canvas.px:
        for ch in row:
            if ch not in used:
                used.append(ch)
    if keys is None:
        keys = [k for k in palette if k in used]
    missing = [u for u in used if u not in keys]
    if missing:
        raise ValueError('%s: colours %r not in palette' % (name, missing))
    lines = ['/* XPM */',
             'static const char *const %s_xpm[] = {' % name,
             '"%d %d %d 1",' % (canvas.w, canvas.h, len(keys))]
    for k in keys:
        lines.append('"%s c %s",' % (k, palette[k]))
    rows = ['"%s"' % ''.join(r) for r in canvas.px]
    lines.append(',\n'.join(rows))
    lines.append('};')
    with open(path_, 'w') as fh:
        fh.write('\n'.join(lines) + '\n')


def read_xpm(path_):
    import re
    text = open(path_).read()
    strs = re.findall(r'"((?:[^"\\]|\\.)*)"', text)
    w, h, n, cpp = map(int, strs[0].split()[:4])
    pal = {}
    for s in strs[1:1 + n]:
        key = s[:cpp]
        parts = s[cpp:].split()
        val = parts[parts.index('c') + 1]
        pal[key] = None if val.lower() == 'none' else (
            int(val[1:3], 16), int(val[3:5], 16), int(val[5:7], 16))
    rows = strs[1 + n:1 + n + h]
    img = [[pal[r[i * cpp:(i + 1) * cpp]] for i in range(w)] for r in rows]
    return w, h, img


def write_png(path_, w, h, rgb_rows):
    raw = b''.join(b'\x00' + bytes(v for px in row for v in px) for row in rgb_rows)

    def chunk(t, d):
        c = struct.pack('>I', len(d)) + t + d
        return c + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)
    data = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0))
    data += chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')
    open(path_, 'wb').write(data)
