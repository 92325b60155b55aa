#!/usr/bin/env python3
"""Draws every Mogumo picture and writes them as XPM files.

    python3 tools/art/make_pictures.py [output-dir]

Default output is assets/pictures/ next to this script's project root.
Output is deterministic: running it twice gives identical files.

The pictures are the project's own work and, like the rest of Mogumo, free
software under the GNU GPL, version 3 or later (LICENSE).
"""

import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from raster import (Canvas, NONE, ellipse, circle, poly, capsule, path, rect,
                    union, inter, minus, bezier, write_xpm)

PAL = {
    '.': 'None',
    'k': '#000000',
    'w': '#FFFFFF',
    'r': '#E02818',   # hair
    'y': '#F8D830',   # skin
    'c': '#18C8F0',   # top / swimsuit
    'g': '#A0A0A0',   # skirt, fish
    'G': '#606060',   # dark grey
    'l': '#D4D4D4',   # light grey
    'b': '#A8642C',   # rod, wood
    't': '#0C7078',   # dark teal
    'p': '#B8F4FC',   # pale cyan
    'o': '#F05A5A',   # mouth
    'B': '#2858D8',   # lake
    'n': '#40B840',   # grass
    'N': '#1C7428',   # dark grass
    'O': '#F08C20',   # tackle box
}

SWIM_KEYS = ['.', 'k', 'w', 'r', 'y', 'c', 'b', 'o']


# --- the angler -------------------------------------------------------------

def ponytail(cv, pts, r=2.3):
    """Hair tied back: a thick tapering tail along pts."""
    n = len(pts)
    shapes = []
    for i in range(n - 1):
        rr = r * (1.0 - 0.45 * i / max(1, n - 2))
        shapes.append(capsule(pts[i], pts[i + 1], rr))
    cv.fill(union(*shapes), 'r')


def head_front(cv, cx, cy, r=6.0, eyes='dot', mouth='small', tail=None):
    if tail:
        ponytail(cv, tail)
    cv.fill(ellipse(cx, cy, r + 1.0, r + 0.6), 'r')
    bangs = lambda x, y: y > cy - 2.6 + 1.4 * abs(((x - cx + 1.0) / 2.4) % 2 - 1)
    face = inter(ellipse(cx, cy + 1.3, r - 0.3, r - 0.9), bangs)
    face.center = (cx, cy + 2)
    cv.fill(face, 'y')
    ex = 2.2 * r / 6.0
    if eyes == 'dot':
        for sx in (-1, 1):
            cv.fill(ellipse(cx + sx * ex, cy + 1.6, 0.55, 1.1), 'k', outline=None)
    elif eyes == 'wide':
        for sx in (-1, 1):
            cv.fill(ellipse(cx + sx * ex, cy + 1.8, 1.3, 1.6), 'w', outline='k', width=1)
            cv.fill(ellipse(cx + sx * ex, cy + 1.9, 0.45, 0.45), 'k', outline=None)
    elif eyes == 'happy':
        for sx in (-1, 1):
            cv.line([(cx + sx * ex - 1.1, cy + 2.6), (cx + sx * ex, cy + 1.5), (cx + sx * ex + 1.1, cy + 2.6)], 'k')
    if mouth == 'small':
        cv.fill(ellipse(cx, cy + 4.0, 0.9, 0.45), 'o', outline=None)
    elif mouth == 'open':
        cv.fill(ellipse(cx, cy + 4.0, 1.6, 1.3), 'o', outline='k', width=1)
    elif mouth == 'o':
        cv.fill(ellipse(cx, cy + 4.2, 0.9, 0.9), 'k', outline=None)


def head_profile(cv, cx, cy, r=6.0, tail=None, eye='dot', mouth=None):
    """Head facing LEFT."""
    if tail:
        ponytail(cv, tail)
    cv.fill(ellipse(cx + 0.6, cy, r + 0.9, r + 0.6), 'r')
    front = lambda x, y: x < cx + 0.8 - 0.4 * (y - cy) and y > cy - 1.6 + 0.8 * max(0.0, x - cx + 2)
    face = inter(union(ellipse(cx - 0.8, cy + 1.4, r - 0.6, r - 1.3),
                       ellipse(cx - r + 0.4, cy + 1.8, 1.2, 1.0)), front)
    face.center = (cx - 2, cy + 2)
    cv.fill(face, 'y')
    if eye == 'dot':
        cv.fill(ellipse(cx - 2.6 * r / 6.0, cy + 1.6, 0.55, 1.1), 'k', outline=None)
    elif eye == 'shut':
        cv.line([(cx - 3.6 * r / 6, cy + 1.9), (cx - 1.8 * r / 6, cy + 1.9)], 'k')
    if mouth == 'open':
        cv.fill(ellipse(cx - 3.8 * r / 6, cy + 4.2, 0.8, 0.7), 'k', outline=None)


def torso(cv, cx, top, bot, half_top, half_bot, swimsuit=False):
    if swimsuit:
        cv.fill(poly([(cx - half_top, top), (cx + half_top, top), (cx + half_bot, bot - 1.2),
                      (cx + 1.3, bot + 0.8), (cx - 1.3, bot + 0.8), (cx - half_bot, bot - 1.2)]), 'c')
    else:
        cv.fill(poly([(cx - half_top, top), (cx + half_top, top),
                      (cx + half_bot, bot), (cx - half_bot, bot)]), 'c')


def skirt(cv, cx, top, bot, half_top, half_bot):
    cv.fill(poly([(cx - half_top, top), (cx + half_top, top),
                  (cx + half_bot, bot), (cx - half_bot, bot)]), 'g')


def limb(cv, pts, r=1.6, col='y'):
    cv.fill(path(pts, r), col)


def shoe(cv, x, y, facing=0, col='b'):
    cv.fill(ellipse(x + facing * 0.8, y, 2.0, 1.2), col)


def rod(cv, hand, tip, butt=None, line_to=None, line_col='k'):
    if butt:
        cv.fill(capsule(butt, hand, 1.0), 'b')
    if line_to:
        cv.line(line_to, line_col)
    cv.line([hand, tip], 'k')


def angler_front(cv, sw=False):
    cx = 16.0
    if sw:
        limb(cv, [(cx - 2.2, 23.5), (cx - 2.4, 30.0)])
        limb(cv, [(cx + 2.2, 23.5), (cx + 2.4, 30.0)])
        shoe(cv, cx - 2.6, 30.6, -1, 'y')
        shoe(cv, cx + 2.6, 30.6, 1, 'y')
        torso(cv, cx, 15.5, 25.0, 4.3, 4.3, True)
    else:
        limb(cv, [(cx - 2.3, 26.0), (cx - 2.3, 29.8)])
        limb(cv, [(cx + 2.3, 26.0), (cx + 2.3, 29.8)])
        shoe(cv, cx - 2.8, 30.5, -1)
        shoe(cv, cx + 2.8, 30.5, 1)
        skirt(cv, cx, 21.5, 27.3, 5.0, 7.5)
        torso(cv, cx, 15.5, 22.5, 4.4, 5.0)
    limb(cv, [(cx - 4.0, 17.0), (cx - 6.8, 20.5), (cx - 7.4, 24.0)])
    limb(cv, [(cx + 4.0, 17.0), (cx + 6.8, 20.5), (cx + 7.4, 24.0)])
    head_front(cv, cx, 9.0, tail=[(cx + 5, 5), (cx + 8.5, 8), (cx + 9.5, 14), (cx + 9.0, 19)])


def angler_stride(cv, sw=False):
    """Walking to the left, hair streaming back."""
    cx = 15.0
    # back leg and arm
    if sw:
        limb(cv, [(cx + 1.0, 23.0), (cx + 4.0, 27.0), (cx + 6.0, 30.0)])
        shoe(cv, cx + 6.4, 30.6, -1, 'y')
    else:
        limb(cv, [(cx + 1.0, 25.5), (cx + 3.5, 28.0), (cx + 5.5, 30.0)])
        shoe(cv, cx + 5.6, 30.6, -1)
    limb(cv, [(cx + 1.0, 17.0), (cx + 4.5, 20.0), (cx + 6.5, 22.0)])
    if sw:
        limb(cv, [(cx - 1.0, 23.0), (cx - 3.5, 27.0), (cx - 5.0, 30.0)])
        shoe(cv, cx - 5.6, 30.6, -1, 'y')
        torso(cv, cx, 15.5, 24.5, 3.4, 3.6, True)
    else:
        limb(cv, [(cx - 1.0, 25.5), (cx - 3.5, 28.0), (cx - 4.6, 30.0)])
        shoe(cv, cx - 5.2, 30.6, -1)
        skirt(cv, cx, 21.5, 27.0, 4.0, 6.5)
        torso(cv, cx, 15.5, 22.5, 3.5, 4.0)
    limb(cv, [(cx - 0.5, 17.0), (cx - 3.5, 20.5), (cx - 6.0, 21.0)])
    head_profile(cv, cx - 0.5, 9.0,
                 tail=[(cx + 4.5, 5.5), (cx + 9.0, 4.5), (cx + 13.5, 6.5), (cx + 16.5, 4.5)])


def standing_body(cv, cx, sw):
    """Legs, shoes and body of the angler standing in profile, in the swimsuit
    or in her skirt."""
    if sw:
        limb(cv, [(cx + 1.2, 23.0), (cx + 1.8, 30.0)])
        limb(cv, [(cx - 1.2, 23.0), (cx - 2.2, 30.0)])
        shoe(cv, cx + 1.6, 30.7, -1, 'y')
        shoe(cv, cx - 2.6, 30.7, -1, 'y')
        torso(cv, cx, 15.5, 24.5, 3.4, 3.6, True)
    else:
        limb(cv, [(cx + 1.3, 26.0), (cx + 1.8, 29.8)])
        limb(cv, [(cx - 1.3, 26.0), (cx - 2.0, 29.8)])
        shoe(cv, cx + 1.4, 30.6, -1)
        shoe(cv, cx - 2.6, 30.6, -1)
        skirt(cv, cx, 21.5, 27.0, 4.0, 6.0)
        torso(cv, cx, 15.5, 22.5, 3.5, 4.0)


def angler_reeling(cv, sw=False, tip=(1.0, 3.0), line_end=(0.6, 15.0), line_col='k', line_r=None):
    """Profile facing left, rod raised high, reeling in (the title drawing)."""
    cx = 19.0
    standing_body(cv, cx, sw)
    hand = (cx - 7.0, 19.5)
    cv.line([tip, line_end], line_col, r=line_r)
    rod(cv, hand, tip, butt=(cx - 2.0, 22.5))
    limb(cv, [(cx - 0.5, 17.0), (cx - 3.5, 20.0), (cx - 6.5, 19.8)])
    head_profile(cv, cx - 0.5, 9.0, tail=[(cx + 4.5, 5.5), (cx + 8.0, 8.0), (cx + 9.0, 13.0), (cx + 9.5, 17.5)])


# Where the battle splash's rod meets the angler picture, in the picture's own
# design units (the splash stretches both 32 and 36 px pictures to 43 px, so
# one design position serves both): the rod's butt end, and the direction in
# which the rod rises to its tip, up and to the left.
SPLASH_ROD_BUTT = (5.2, 20.8)
SPLASH_ROD_DIR = (-0.868, -0.496)


def angler_rod(cv, sw=False):
    """Profile facing left, holding the rod out over the water.

    Her front hand grips the rod where the splash's own rod line ends, and the
    rod in the picture runs on along that line, so that the two read as one
    rod: the picture shows its grip and lowest part, the splash the rest.
    """
    cx = 13.8
    hx, hy = SPLASH_ROD_BUTT
    dx, dy = SPLASH_ROD_DIR
    grip = (hx - 3.2 * dx, hy - 3.2 * dy)          # the rear hand, on the butt
    far = (hx + 10.0 * dx, hy + 10.0 * dy)         # off the left edge
    # far arm, to the rear hand
    limb(cv, [(cx + 0.5, 17.0), (cx + 0.8, 20.5), (grip[0] + 0.6, grip[1] + 0.4)], r=1.4)
    standing_body(cv, cx, sw)
    # the rod: a wooden grip, then the black rod going off towards the tip
    butt = (hx - 4.6 * dx, hy - 4.6 * dy)
    cv.fill(capsule(butt, (hx, hy), 0.8), 'b', outline=None)
    cv.fill(path([(hx, hy), far], 0.8), 'k', outline=None)
    # near arm, reaching forward to the front hand
    limb(cv, [(cx - 0.5, 17.0), (cx - 3.5, 19.8), (hx + 1.4, hy + 0.2)], r=1.5)
    head_profile(cv, cx - 0.5, 9.0, tail=[(cx + 4.5, 5.5), (cx + 8.0, 8.0), (cx + 9.0, 13.0), (cx + 9.5, 17.5)])


def angler_pull(cv, sw=False):
    """Leaning back, arms forward, pulling a bent rod."""
    cx = 19.0
    if sw:
        # seated on the ground, knees up, leaning back
        limb(cv, [(cx + 1.0, 25.5), (cx - 3.5, 21.5), (cx - 7.5, 28.5)])
        limb(cv, [(cx + 1.5, 27.0), (cx - 5.0, 25.0), (cx - 9.0, 29.5)])
        shoe(cv, cx - 8.6, 29.8, -1, 'y')
        shoe(cv, cx - 10.0, 30.3, -1, 'y')
        cv.tilt(24, (cx + 1, 26))
        torso(cv, cx, 17.5, 27.0, 3.4, 3.6, True)
    else:
        limb(cv, [(cx + 1.0, 25.5), (cx - 1.0, 28.0), (cx - 2.5, 30.0)])
        limb(cv, [(cx - 1.0, 25.5), (cx - 4.5, 27.5), (cx - 7.5, 30.0)])
        shoe(cv, cx - 2.8, 30.6, -1)
        shoe(cv, cx - 8.0, 30.6, -1)
        cv.tilt(22, (cx, 26))
        skirt(cv, cx, 21.5, 27.0, 4.0, 6.0)
        torso(cv, cx, 15.5, 22.5, 3.5, 4.0)
    cv.tilt(0)
    base = 0 if not sw else 2.0
    hand = (cx - 8.5, 19.0 + base)
    bend = bezier(hand, (5.0, 12.0 + base), (1.0, 18.0 + base), 10)
    cv.line(bend, 'k')
    cv.line([bend[-1], (0.0, 22.0 + base)], 'k')
    cv.fill(capsule((cx - 4.5, 20.5 + base), hand, 1.0), 'b')
    cv.tilt(24 if sw else 22, (cx + (1 if sw else 0), 26))
    s0 = (cx - 1.0, 17.5 + base)
    cv.tilt(0)
    # shoulders in the leaning frame, hands in the upright frame
    import math
    a = math.radians(24 if sw else 22)
    px, py = (cx + (1 if sw else 0), 26)
    sx = px + (s0[0] - px) * math.cos(a) - (s0[1] - py) * math.sin(a)
    sy = py + (s0[0] - px) * math.sin(a) + (s0[1] - py) * math.cos(a)
    limb(cv, [(sx, sy), hand])
    cv.tilt(24 if sw else 22, (px, py))
    head_profile(cv, cx - 0.5, 9.0 + base, eye='shut', mouth='open',
                 tail=[(cx + 4.5, 5.5 + base), (cx + 8.5, 7.0 + base), (cx + 10.0, 12.0 + base)])
    cv.tilt(0)
    limb(cv, [(sx - 0.4, sy + 0.6), (hand[0] + 0.6, hand[1] + 0.9)])


def turned(p, ang, pivot):
    """Point p turned by ang degrees about pivot (as Canvas.tilt turns shapes)."""
    c, s_ = math.cos(math.radians(ang)), math.sin(math.radians(ang))
    dx, dy = p[0] - pivot[0], p[1] - pivot[1]
    return (pivot[0] + dx * c - dy * s_, pivot[1] + dx * s_ + dy * c)


def swimsuit_pull(cv):
    """Sitting on the bank, legs braced out in front, leaning back and pulling
    the rod in to her lap with both arms stretched forward.

    The rod lies on the line of the splash's rod, as in angler_rod, only held
    lower and closer, at her lap.
    """
    hip = (19.0, 28.0)
    lean = 18.0
    hx, hy = SPLASH_ROD_BUTT
    dx, dy = SPLASH_ROD_DIR
    hand = (hx - 6.4 * dx, hy - 6.4 * dy)           # front hand, over her knees
    butt = (hx - 10.6 * dx, hy - 10.6 * dy)
    far = (hx + 8.0 * dx, hy + 8.0 * dy)
    shoulder = turned((hip[0] - 0.8, 18.4), lean, hip)
    # the near leg out in front along the bank, knee a little up, heel dug
    # in and toes up; the far leg is hidden behind it
    limb(cv, [(hip[0] - 0.4, 28.6), (11.6, 26.6), (5.8, 29.6)], r=1.7)
    cv.fill(ellipse(4.4, 28.9, 1.1, 2.0, 25), 'y')
    cv.tilt(lean, hip)
    torso(cv, hip[0], 17.4, 28.4, 3.4, 3.8, True)
    cv.tilt(0)
    cv.fill(capsule(butt, hand, 0.8), 'b', outline=None)
    cv.fill(path([hand, far], 0.8), 'k', outline=None)
    # both arms stretched forward to the rod, the near one in front
    limb(cv, [shoulder, (hand[0] + 0.8, hand[1] - 0.2)], r=1.5)
    # the head tipped back a little less than the body, so the face has room;
    # eyes squeezed shut with the effort
    head = turned((hip[0] - 0.4, 11.4), lean, hip)
    cv.tilt(lean * 0.4, head)
    head_profile(cv, head[0], head[1], r=5.6, eye='shut',
                 tail=[(head[0] + 4.0, head[1] - 3.0), (head[0] + 8.0, head[1] - 1.5), (head[0] + 9.5, head[1] + 2.5)])
    cv.tilt(0)


# Startled eyes for the 32 px angler: whites all round a small pupil.
WIDE_EYE = ['www',
            'wkw',
            'wkw',
            'www']


def angler_fall(cv, sw=False):
    """Startled and toppling backwards, one leg kicked up."""
    cx = 15.0
    piv = (cx + 1.0, 24.0)
    limb(cv, [(cx + 2.0, 24.0), (cx + 5.0, 26.5), (cx + 8.0, 29.5)])
    shoe(cv, cx + 8.6, 30.0, 1)
    limb(cv, [(cx + 1.0, 23.0), (cx + 7.0, 18.0), (cx + 12.0, 14.0)])
    cv.fill(ellipse(cx + 12.8, 13.2, 2.0, 1.2, -40), 'b')
    cv.tilt(-35, piv)
    skirt(cv, cx, 21.5, 27.0, 4.5, 6.5)
    torso(cv, cx, 15.5, 22.5, 4.0, 4.6)
    limb(cv, [(cx - 3.8, 17.0), (cx - 6.5, 13.5), (cx - 7.5, 10.0)])
    limb(cv, [(cx + 3.8, 17.0), (cx + 7.0, 15.0), (cx + 9.0, 11.5)])
    tail = [(cx - 5.0, 5.0), (cx - 8.5, 7.5), (cx - 10.0, 12.0)]
    if cv.scale != 1.0:
        head_front(cv, cx, 9.0, eyes='wide', mouth='o', tail=tail)
        cv.tilt(0)
        return
    # At sprite size the head stays nearly upright, so that the face has room,
    # and the wide eyes are set pixel by pixel: outlined circles this small
    # fill up black.
    cv.tilt(0)
    neck = turned((cx, 15.0), -35.0, piv)
    head = turned((neck[0], neck[1] - 6.0), -14.0, neck)
    tail = [(head[0] + x - cx, head[1] + y - 9.0) for x, y in tail]
    cv.tilt(-14.0, head)
    head_front(cv, head[0], head[1], eyes=None, mouth=None, tail=tail)
    eyes = [cv._pixel(head[0] + sx * 2.5, head[1] + 1.2) for sx in (-1, 1)]
    mouth = cv._pixel(head[0] + 0.2, head[1] + 3.6)
    cv.tilt(0)
    for (i, j) in eyes:
        stamp(cv, WIDE_EYE, i - 1, j - 1.5)
    stamp(cv, ['kk', 'kk'], mouth[0], mouth[1])


def angler_cheer(cv, sw=False):
    cx = 16.0
    limb(cv, [(cx - 2.3, 26.0), (cx - 3.0, 29.8)])
    limb(cv, [(cx + 2.3, 26.0), (cx + 3.0, 29.8)])
    shoe(cv, cx - 3.5, 30.5, -1)
    shoe(cv, cx + 3.5, 30.5, 1)
    skirt(cv, cx, 21.5, 27.3, 5.0, 7.5)
    torso(cv, cx, 15.5, 22.5, 4.4, 5.0)
    limb(cv, [(cx - 4.0, 17.0), (cx - 8.0, 14.5), (cx - 11.0, 10.5)])
    limb(cv, [(cx + 4.0, 17.0), (cx + 8.0, 14.5), (cx + 11.0, 10.5)])
    cv.fill(circle(cx - 11.5, 9.6, 1.9), 'y')
    cv.fill(circle(cx + 11.5, 9.6, 1.9), 'y')
    head_front(cv, cx, 8.5, eyes='happy', mouth='open',
               tail=[(cx + 5, 4.5), (cx + 9.0, 6.0), (cx + 11.0, 3.0)])


def angler_wave(cv, sw=False):
    cx = 15.0
    limb(cv, [(cx - 2.3, 26.0), (cx - 2.3, 29.8)])
    limb(cv, [(cx + 2.3, 26.0), (cx + 2.3, 29.8)])
    shoe(cv, cx - 2.8, 30.5, -1)
    shoe(cv, cx + 2.8, 30.5, 1)
    skirt(cv, cx, 21.5, 27.3, 5.0, 7.5)
    torso(cv, cx, 15.5, 22.5, 4.4, 5.0)
    limb(cv, [(cx - 4.0, 17.0), (cx - 6.0, 20.5), (cx - 6.2, 24.0)])
    limb(cv, [(cx + 4.0, 17.0), (cx + 9.0, 15.5), (cx + 11.5, 8.0)])
    cv.fill(union(ellipse(cx + 12.0, 5.8, 1.9, 2.5, 15), capsule((cx + 10.0, 6.5), (cx + 9.3, 4.5), 0.9)), 'y')
    head_front(cv, cx, 9.0, mouth='open',
               tail=[(cx - 5, 5), (cx - 8.5, 8), (cx - 9.5, 14), (cx - 9.0, 19)])


def swimsuit_lie(cv):
    """Lying on her side, seen from the front: the standing figure laid down
    head to the left, so her face is on its side too. Her lower arm is bent up
    under her head for a pillow, the upper one lies across her waist, her hip
    rises above the waist and her legs lie together.

    Only a whole figure laid down reads as lying on her side when the splash
    shows her at 43 px: an upright head over a lying body reads as lying on
    her front."""
    cx = 16.0
    cv.tilt(-90, (19.1, 20.9))
    limb(cv, [(cx - 1.7, 23.5), (cx - 1.8, 30.4)])
    cv.fill(ellipse(cx - 2.3, 31.0, 1.5, 1.1), 'y')
    limb(cv, [(cx + 1.7, 23.5), (cx + 2.0, 30.4)])
    cv.fill(ellipse(cx + 2.5, 31.0, 1.5, 1.1), 'y')
    cv.fill(poly([(cx - 4.2, 15.5), (cx + 4.2, 15.5), (cx + 3.4, 19.8), (cx + 4.8, 23.4),
                  (cx + 1.3, 25.8), (cx - 1.3, 25.8), (cx - 4.5, 23.4), (cx - 3.6, 19.8)]), 'c')
    limb(cv, [(cx - 4.0, 16.6), (cx - 6.0, 11.0), (cx - 5.0, 4.6)], r=1.5)
    limb(cv, [(cx + 3.6, 16.4), (cx + 1.0, 19.8), (cx - 1.2, 22.2)], r=1.4)
    head_front(cv, cx, 8.6, r=5.6, tail=[(cx + 5, 5), (cx + 8.0, 7.5), (cx + 8.6, 11.5)])
    cv.tilt(0)


# --- fish, lure, rock, waves ------------------------------------------------

# Eyes for the 32 px fish, pixel by pixel (facing right; 'k' black, 'w' white,
# '.' leaves the fish as drawn).  Shapes this small do not survive being drawn
# as outlined circles: they turn into black blobs.
FISH_EYE = ['.kk.',
            'kwwk',
            'kwkk',
            '.kk.']
# The angry eye: a thick brow slanting down towards the snout, cutting the eye
# to a glaring wedge with the pupil pressed into its front corner.
FISH_EYE_ANGRY = ['kk.....',
                  'kkkk...',
                  '.kwkkkk',
                  '.kwwwkk',
                  '.kwwkk.',
                  '..kkk..']


def stamp(cv, pattern, x, y):
    """Copy a pixel pattern with its top-left corner at the pixel that holds
    design point (x, y), mirrored when the canvas is."""
    i0, j0 = cv._pixel(x, y)
    for dj, row in enumerate(pattern):
        for di, ch in enumerate(row):
            if ch != '.':
                cv.set(i0 - di if cv.mirror else i0 + di, j0 + dj, ch)


def fish(cv, angry=False, open_mouth=False):
    """A grey fish facing RIGHT in the 32 box (mirror it for left)."""
    cv.fill(poly([(8.0, 16.0), (0.6, 7.5), (2.5, 16.0), (0.6, 24.5)]), 'g')       # tail
    cv.fill(poly([(12.0, 10.0), (16.0, 3.8), (21.0, 8.8)]), 'G')                    # dorsal fin
    cv.fill(poly([(14.0, 21.0), (16.0, 27.0), (19.5, 21.5)]), 'G')                  # belly fin
    body = ellipse(17.0, 16.0, 13.8, 7.6)
    cv.fill(body, 'g')
    # the light belly stays inside the body's black outline
    inner = ellipse(17.0, 16.0, 13.8 - 1.0 / cv.scale, 7.6 - 1.0 / cv.scale)
    cv.fill(inter(ellipse(18.0, 19.8, 10.5, 3.6), inner), 'l', outline=None)        # light belly
    gill_top = (22.8, 12.6) if angry and cv.scale == 1.0 else (22.5, 11.0)         # clear of the brow
    cv.line([gill_top, (24.0, 14.5), (22.5, 19.5)], 'k')                            # gill
    if cv.scale == 1.0 and not cv.rot:
        if angry:
            stamp(cv, FISH_EYE_ANGRY, 24.0, 11.0)
        else:
            stamp(cv, FISH_EYE, 25.0, 12.0)
    else:
        cv.fill(ellipse(26.5, 13.4, 1.6, 1.6), 'w', outline='k', width=1)
        cv.fill(ellipse(27.0, 13.6, 0.6, 0.6), 'k', outline=None)
        if angry:
            cv.line([(24.5, 10.4), (28.8, 12.2)], 'k')
            cv.line([(24.5, 11.0), (28.6, 12.7)], 'k')
    if open_mouth:
        cv.fill(poly([(31.9, 15.0), (28.2, 17.0), (31.9, 19.2)]), 'k', outline=None)
    else:
        cv.line([(30.5, 17.2), (28.5, 17.2)], 'k')


# The leaping fish's eye: the calm eye turned to look up.
FISH_EYE_UP = ['.kk.',
               'kkwk',
               'kwwk',
               '.kk.']


def fish_leap(cv):
    """Fish leaping upright, head up, back to the left and belly to the right.

    Drawn upright rather than as the swimming fish turned on end: turned, its
    small fins and tail break up into stray pixels.
    """
    tilt = 10.0                                   # leaning a little forward
    cv.tilt(tilt, (16.0, 16.0))
    # forked tail, spread wide below the body
    cv.fill(poly([(16.0, 23.0), (8.2, 31.6), (11.6, 31.9), (16.0, 28.2), (20.4, 31.9), (23.8, 31.6)]), 'g')
    cv.fill(poly([(10.6, 7.5), (4.4, 11.2), (10.4, 15.5)]), 'G')                    # dorsal fin
    cv.fill(poly([(20.8, 16.0), (25.6, 21.2), (19.4, 21.6)]), 'G')                  # belly fin
    body = union(ellipse(16.0, 12.5, 5.9, 10.8),
                 poly([(12.0, 17.0), (20.0, 17.0), (17.4, 26.0), (14.6, 26.0)]))
    cv.fill(body, 'g')
    inner = ellipse(16.0, 12.5, 4.9, 9.8)
    cv.fill(inter(ellipse(19.4, 13.5, 3.0, 9.0), inner), 'l', outline=None)        # light belly
    cv.line([(11.2, 8.0), (15.0, 9.6), (20.4, 8.0)], 'k')                          # gill
    cv.fill(poly([(16.6, 1.6), (17.6, 4.2), (19.4, 2.4)]), 'k', outline=None)      # open mouth
    eye = cv._pixel(13.4, 4.4)
    cv.tilt(0)
    stamp(cv, FISH_EYE_UP, eye[0] - 1, eye[1] - 1)


def lure(cv, flex=0.0):
    """Small yellow plug facing right; flex turns its rear segment and tail fin
    up on the joint (degrees).

    The rear segment is round and the fin a broad fan, so that both keep
    their yellow inside when turned: a thin fin flicked up turns into a black
    spike, and the two frames then differ by a handful of pixels at the 22 px
    the lure screen shows them at."""
    # treble hooks under the belly
    for hx in (18.0,):
        cv.line([(hx, 21.0), (hx, 26.0)], 'k')
        cv.line([(hx - 2.0, 24.6), (hx - 1.4, 26.6), (hx + 1.4, 26.6), (hx + 2.0, 24.6)], 'k')
    # lip plate
    cv.fill(poly([(27.0, 17.5), (31.8, 22.0), (30.0, 24.0), (25.5, 19.5)]), 'l')
    cv.tilt(flex, (12.0, 16.0))
    cv.fill(poly([(6.4, 13.6), (0.8, 8.8), (2.6, 16.0), (0.8, 23.2), (6.4, 18.4)]), 'y')
    cv.fill(ellipse(9.6, 16.0, 4.4, 5.0), 'y')
    cv.tilt(0)
    cv.fill(minus(ellipse(18.5, 16.0, 11.5, 6.6), lambda x, y: x < 12.0), 'y')
    cv.line([(12.0, 9.8), (12.0, 22.2)], 'k')
    cv.fill(inter(ellipse(18.5, 16.0, 11.5, 6.6), lambda x, y: 17.8 < y < 19.6 and 13.5 < x < 23.0), 'O', outline=None)
    cv.line([(23.0, 11.0), (24.0, 16.0), (23.0, 20.5)], 'k')
    cv.fill(ellipse(26.3, 14.4, 2.1, 2.1), 'w', outline='k', width=1)
    cv.fill(ellipse(26.8, 14.6, 0.7, 0.7), 'k', outline=None)


def rock(cv):
    cv.fill(poly([(1.0, 29.5), (2.5, 18.0), (7.0, 10.0), (14.0, 5.0), (21.0, 6.0),
                  (27.5, 12.0), (30.8, 21.0), (31.0, 29.5)]), 'G')
    cv.fill(poly([(4.5, 20.0), (8.5, 12.5), (14.5, 8.0), (20.0, 9.0), (23.0, 14.0),
                  (19.5, 22.0), (11.0, 24.0)]), 'g', outline=None)
    cv.fill(poly([(8.5, 14.0), (13.5, 10.0), (17.0, 10.5), (14.0, 14.5)]), 'l', outline=None)
    cv.line([(19.5, 22.0), (23.0, 14.0), (27.5, 12.0)], 'k')
    cv.line([(11.0, 24.0), (19.5, 22.0), (22.0, 29.0)], 'k')
    cv.line([(4.5, 20.0), (11.0, 24.0)], 'k')


def wave(cv, crests, base=17.0):
    """Pale cyan water over dark teal; crests = list of (x, height, width)."""
    import math

    def top(x):
        y = base
        for cx_, h, w in crests:
            d = (x - cx_) / (w * (0.55 if x < cx_ else 1.35))
            y -= h * math.exp(-d * d * 1.6)
        return y

    water = lambda x, y: y >= top(x)
    cv.fill(water, 'p', outline=None)
    for cx_, h, w in crests:
        # foam curling over to the left at the crest
        ty = top(cx_)
        cv.fill(ellipse(cx_ - 1.8, ty + 1.8, 2.6, 2.2), 'p', outline=None)
    deep = lambda x, y: y >= top(x) + 5.0
    cv.fill(deep, 't', outline=None)
    for cx_, h, w in crests:
        ty = top(cx_)
        cv.fill(ellipse(cx_ - 2.2, ty + 2.6, 1.1, 1.1), 't', outline=None)
    cv.outline_figure('k', lr_inside=True, bottom_inside=True)
    # a line of foam inside the deep water
    for x in range(cv.w):
        y = int(top(x + 0.5) + 9.5 + 1.2 * math.sin(x * 0.6))
        if (x // 3) % 2 == 0 and cv.get(x, y) == 't':
            cv.set(x, y, 'p')


# --- output helpers ---------------------------------------------------------

def sprite(draw, size=32, sw=False, mirror=False):
    cv = Canvas(size, size)
    if size == 36:
        cv.place(0.0, 0.0, 36.0 / 32.0, mirror=mirror)
    else:
        cv.place(mirror=mirror)
    if sw is None:
        draw(cv)
    else:
        draw(cv, sw)
    return cv


def build_all():
    out = {}
    out['angler_front'] = sprite(angler_front)
    out['angler_stride'] = sprite(angler_stride)
    out['angler_rod'] = sprite(angler_rod)
    out['angler_pull'] = sprite(angler_pull)
    out['angler_fall'] = sprite(angler_fall)
    out['angler_cheer'] = sprite(angler_cheer)
    out['angler_wave'] = sprite(angler_wave)
    out['swimsuit_front'] = sprite(angler_front, 36, True)
    out['swimsuit_stride'] = sprite(angler_stride, 36, True)
    out['swimsuit_rod'] = sprite(angler_rod, 36, True)
    out['swimsuit_pull'] = sprite(swimsuit_pull, 36, None)
    out['swimsuit_lie'] = sprite(swimsuit_lie, 36, None)
    out['wave_crest'] = sprite(lambda cv: wave(cv, [(17.0, 14.0, 7.0)], 18.0), sw=None)
    out['wave_double'] = sprite(lambda cv: wave(cv, [(9.0, 7.0, 4.5), (25.0, 7.0, 4.5), (41.0, 7.0, 4.5), (-7.0, 7.0, 4.5)], 18.0), sw=None)
    out['fish_calm'] = sprite(lambda cv: fish(cv), sw=None)
    out['fish_struggle'] = sprite(lambda cv: fish(cv, angry=True, open_mouth=True), sw=None, mirror=True)
    out['fish_leap'] = sprite(fish_leap, sw=None)
    out['lure_straight'] = sprite(lambda cv: lure(cv, 0.0), sw=None)
    out['lure_flex'] = sprite(lambda cv: lure(cv, 28.0), sw=None)
    out['rock'] = sprite(rock, sw=None)
    return out


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    outdir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', '..', 'assets', 'pictures')
    os.makedirs(outdir, exist_ok=True)
    pics = build_all()
    import title
    pics['title_art'] = title.build()
    for name, cv in sorted(pics.items()):
        if name.startswith('swimsuit_'):
            write_xpm(os.path.join(outdir, name + '.xpm'), name, cv, PAL, keys=SWIM_KEYS)
        elif name == 'title_art':
            write_xpm(os.path.join(outdir, name + '.xpm'), name, cv, PAL, keys=title.KEYS)
        else:
            write_xpm(os.path.join(outdir, name + '.xpm'), name, cv, PAL)
    names = sorted(pics)
    with open(os.path.join(outdir, 'pictures.qrc'), 'w') as fh:
        fh.write('<!DOCTYPE RCC>\n<RCC version="1.0">\n<qresource prefix="/pictures">\n')
        for n in names:
            fh.write('    <file alias="%s.xpm">%s.xpm</file>\n' % (n, n))
        fh.write('</qresource>\n</RCC>\n')


if __name__ == '__main__':
    main()
