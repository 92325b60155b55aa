"""The title drawing (484 x 285, 16 colours, opaque).

Upper half: four little scenes of the angler on a cyan field with dark
pools.  Lower half: the lake, and the angler large on the bank reeling in.
The top strip (title lettering) and the bottom-left corner (label) are
kept quiet.
"""
import math

from raster import Canvas, ellipse, circle, poly, capsule, path, rect, union, inter, minus, bezier
import make_pictures as mp

KEYS = ['k', 'w', 'r', 'y', 'c', 'g', 'G', 'l', 'b', 't', 'p', 'o', 'B', 'n', 'N', 'O']

W, H = 484, 285


def head_back(cv, cx, cy, r=6.0):
    cv.fill(ellipse(cx, cy, r + 1.0, r + 0.6), 'r')
    mp.ponytail(cv, [(cx + 0.5, cy - 2.0), (cx + 3.5, cy + 5.0), (cx + 6.0, cy + 11.0)], r=2.3)
    cv.line([(cx - 3.0, cy - 3.0), (cx - 3.5, cy + 3.0)], 'k')
    cv.line([(cx - 0.5, cy - 5.0), (cx - 1.0, cy + 2.5)], 'k')


def angler_walk_away(cv):
    cx = 16.0
    mp.limb(cv, [(cx + 2.3, 26.0), (cx + 2.8, 30.0)])
    mp.shoe(cv, cx + 3.0, 30.6, 0)
    mp.limb(cv, [(cx - 2.3, 26.0), (cx - 3.0, 28.5), (cx - 3.4, 27.0)])
    cv.fill(ellipse(cx - 3.6, 27.2, 1.3, 1.9), 'b')
    mp.skirt(cv, cx, 21.5, 27.3, 5.0, 7.3)
    mp.torso(cv, cx, 15.5, 22.5, 4.4, 5.0)
    mp.limb(cv, [(cx - 4.0, 17.0), (cx - 6.5, 20.0), (cx - 6.0, 23.5)])
    mp.limb(cv, [(cx + 4.0, 17.0), (cx + 7.0, 19.5), (cx + 8.5, 22.5)])
    head_back(cv, cx, 9.0)


def angler_hold_fish(cv):
    cx = 16.0
    mp.limb(cv, [(cx - 2.3, 26.0), (cx - 2.6, 29.8)])
    mp.limb(cv, [(cx + 2.3, 26.0), (cx + 2.6, 29.8)])
    mp.shoe(cv, cx - 3.0, 30.5, -1)
    mp.shoe(cv, cx + 3.0, 30.5, 1)
    mp.skirt(cv, cx, 21.5, 27.3, 5.0, 7.5)
    mp.torso(cv, cx, 15.5, 22.5, 4.4, 5.0)
    mp.head_front(cv, cx, 9.0, eyes='happy', mouth='open',
                  tail=[(cx + 5, 5), (cx + 8.5, 8), (cx + 9.5, 14), (cx + 9.0, 19)])
    mp.limb(cv, [(cx - 4.0, 17.0), (cx - 8.0, 10.5), (cx - 7.5, 2.0)])
    mp.limb(cv, [(cx + 4.0, 17.0), (cx + 8.0, 10.5), (cx + 7.5, 2.0)])


def fish_at(cv, x, y, scale, mirror=False, rot=0.0, angry=False, open_mouth=False):
    cv.place(x, y, scale, mirror=mirror, rot=rot, pivot=(16.0, 16.0))
    mp.fish(cv, angry=angry, open_mouth=open_mouth)


def pool(cv, x, y, rx, ry):
    cv.place()
    cv.fill(ellipse(x, y, rx, ry), 't', width=2)
    cv.fill(ellipse(x - rx * 0.25, y - ry * 0.35, rx * 0.35, ry * 0.12), 'c', outline=None)
    cv.fill(ellipse(x + rx * 0.3, y + ry * 0.2, rx * 0.22, ry * 0.09), 'c', outline=None)


def tuft(cv, x, y, s=1.0, col='N'):
    cv.place()
    cv.line([(x - 4 * s, y), (x - 6 * s, y - 7 * s)], col, r=1.0)
    cv.line([(x, y), (x, y - 10 * s)], col, r=1.0)
    cv.line([(x + 4 * s, y), (x + 7 * s, y - 6 * s)], col, r=1.0)


def build():
    cv = Canvas(W, H, 'p')
    cv.place()

    # --- upper half: field with pools -------------------------------------
    for (x, y, rx, ry) in ((40, 52, 24, 7), (446, 48, 26, 8), (330, 136, 30, 7),
                           (172, 140, 20, 5), (455, 100, 18, 6)):
        pool(cv, x, y, rx, ry)
    # a few grass tufts
    for (x, y) in ((120, 130), (205, 118), (395, 134), (160, 70), (470, 128)):
        cv.place()
        cv.line([(x - 3, y), (x - 5, y - 5)], 'N', r=0.8)
        cv.line([(x, y), (x, y - 7)], 'N', r=0.8)
        cv.line([(x + 3, y), (x + 5, y - 5)], 'N', r=0.8)

    s = 2.15
    # 1. holding up a caught fish
    cv.place(8, 72, s)
    angler_hold_fish(cv)
    fish_at(cv, 22, 46, 1.55)
    cv.place(8, 72, s)
    cv.fill(circle(8.4, 1.2, 1.9), 'y')
    cv.fill(circle(23.6, 1.2, 1.9), 'y')

    # 2. fallen over beside her rod
    cv.place(96, 72, s)
    cv.line([(-2.0, 31.0), (26.0, 28.5)], 'b', r=0.6)
    cv.line([(26.0, 28.5), (34.0, 27.0)], 'k')
    mp.angler_fall(cv)

    # 3. pulling a fish out of a pool
    pool(cv, 236, 132, 36, 8)
    fish_at(cv, 202, 80, 1.45, rot=-60, open_mouth=True)
    cv.place(262, 72, s)
    mp.angler_pull(cv)
    cv.place()
    cv.line([(262 + 0.0 * s, 72 + 22.0 * s), (234, 88)], 'k', r=0.5)
    # splash
    for (x, y) in ((212, 122), (222, 116), (250, 117), (258, 124)):
        cv.fill(circle(x, y, 3), 'p', width=1)

    # 4. walking away
    cv.place(388, 70, s)
    angler_walk_away(cv)

    # --- lower half: the lake --------------------------------------------
    cv.place()
    shore = lambda x, y: y >= 150 + 4 * math.sin(x / 37.0)
    shore.bb = (0, 140, W, H)
    cv.fill(shore, 'B', outline='k', width=2)
    for (x, y, l) in ((40, 172, 30), (110, 190, 22), (200, 168, 34), (280, 182, 26),
                      (60, 214, 26), (170, 236, 30), (250, 214, 20), (330, 166, 30),
                      (420, 172, 24)):
        cv.fill(rect(x, y, x + l, y + 1), 'p', outline=None)
        cv.fill(rect(x + l * 0.3, y + 5, x + l * 0.8, y + 6), 'p', outline=None)

    # the bank
    bank = poly([(270, H + 2), (300, 236), (345, 212), (400, 200), (W + 2, 194), (W + 2, H + 2)])
    cv.fill(bank, 'n', width=2)
    edge = poly([(270, H + 2), (300, 236), (345, 212), (400, 200), (W + 2, 194),
                 (W + 2, 202), (402, 208), (350, 220), (308, 243), (282, H + 2)])
    cv.fill(edge, 'N', outline=None)
    for (x, y) in ((320, 262), (470, 230), (410, 276), (455, 270)):
        tuft(cv, x, y, 0.9)

    # the fish being reeled in, jumping out of the lake
    fx, fy, fs = 128, 150, 2.2
    cv.place()
    for (rx, ry) in ((40, 8), (26, 5)):
        cv.fill(minus(ellipse(160, 232, rx, ry), ellipse(160, 232, rx - 3, ry - 1.5)), 'w', outline=None)
    for (x, y, r) in ((120, 214, 3), (134, 204, 4), (196, 208, 3), (206, 220, 2.5), (112, 226, 2)):
        cv.fill(circle(x, y, r), 'w', outline='k', width=1)
    fish_at(cv, fx, fy, fs, rot=-28, angry=True, open_mouth=True)
    mouth = cv._pixel(31.0, 17.2)

    # the tackle box
    cv.place()
    cv.fill(poly([(426, 244), (478, 244), (476, 272), (428, 272)]), 'O', width=2)
    cv.fill(rect(426, 240, 478, 250), 'O', width=2)
    cv.fill(rect(447, 232, 457, 241), 'G', width=2)
    cv.fill(rect(449, 235, 455, 240), 'O', outline=None)
    cv.fill(rect(449, 251, 455, 257), 'l', width=1)

    # the angler, large, reeling
    bs = 4.0
    ox, oy = 318, 285 - 32 * bs
    def d(px, py):
        return ((px - ox) / bs, (py - oy) / bs)
    cv.place(ox, oy, bs)
    mp.angler_reeling(cv, tip=d(262, 166), line_end=d(*mouth), line_r=0.5 / bs)
    # the reel
    cv.fill(circle(19.0 - 4.2, 22.2, 1.5), 'G', width=1)
    cv.fill(circle(19.0 - 4.2, 22.2, 0.5), 'l', outline=None)
    cv.place()
    return cv
