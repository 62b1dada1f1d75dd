#!/usr/bin/env python3
"""Draws the toolkit's own pictures: the drawing control's three toolbar
strips (16 x 15 pixels a button, in button order), its icon, the tools'
cursors and the font tool's program icon, as PNG files with an alpha channel.

The committed PNG files are what the programs load; run this script (Python 3,
standard library only) from anywhere to draw them again after changing it:
    python3 pictures/draw_pictures.py
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# The classic sixteen colours, by letter; '.' is transparent.
PALETTE = {
    'k': (0, 0, 0), 'g': (128, 128, 128), 'l': (192, 192, 192), 'w': (255, 255, 255),
    'r': (128, 0, 0), 'R': (255, 0, 0), 'G': (0, 128, 0), 'L': (0, 255, 0),
    'b': (0, 0, 128), 'B': (0, 0, 255), 'y': (128, 128, 0), 'Y': (255, 255, 0),
    'c': (0, 128, 128), 'C': (0, 255, 255), 'm': (128, 0, 128), 'M': (255, 0, 255),
}


class Canvas:
    def __init__(self, w=16, h=15):
        self.w, self.h = w, h
        self.px = [['.'] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.set(x0, y0, c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def poly(self, pts, c, closed=False):
        for a, b in zip(pts, pts[1:] + (pts[:1] if closed else [])):
            self.line(a[0], a[1], b[0], b[1], c)

    def rect(self, x0, y0, x1, y1, c):
        self.poly([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], c, True)

    def fill(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def mark(self, x, y, c='R'):
        """A clicked point: a 2 x 2 square with its top-left at (x, y)."""
        self.fill(x, y, x + 1, y + 1, c)

    def ellipse(self, cx, cy, rx, ry, c, a0=0.0, a1=360.0, fill=None):
        """An ellipse (or its arc from a0 to a1 degrees, counter-clockwise
        as seen) centred on (cx, cy), half-pixel centres allowed."""
        import math
        if fill:
            for y in range(self.h):
                for x in range(self.w):
                    if ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0:
                        self.set(x, y, fill)
        steps = 720
        last = None
        for i in range(steps + 1):
            a = math.radians(a0 + (a1 - a0) * i / steps)
            p = (int(round(cx + rx * math.cos(a))), int(round(cy - ry * math.sin(a))))
            if p != last:
                self.set(p[0], p[1], c)
                last = p

    def sprite(self, rows, x=0, y=0):
        for j, row in enumerate(rows):
            for i, ch in enumerate(row):
                if ch != '.':
                    self.set(x + i, y + j, ch)

    def mirrored(self):
        m = Canvas(self.w, self.h)
        m.px = [list(reversed(r)) for r in self.px]
        return m


def art(rows, w=16, h=15):
    """A picture given as rows of letters (exactly w x h)."""
    assert len(rows) == h, (len(rows), rows)
    for r in rows:
        assert len(r) == w, (len(r), r)
    c = Canvas(w, h)
    c.sprite(rows)
    return c


# ---- Letters for the pictures that carry a word (3 x 5 each) ----
FONT = {
    'A': ['.k.', 'k.k', 'kkk', 'k.k', 'k.k'], 'B': ['kk.', 'k.k', 'kk.', 'k.k', 'kk.'],
    'C': ['.kk', 'k..', 'k..', 'k..', '.kk'], 'D': ['kk.', 'k.k', 'k.k', 'k.k', 'kk.'],
    'L': ['k..', 'k..', 'k..', 'k..', 'kkk'], 'R': ['kk.', 'k.k', 'kk.', 'k.k', 'k.k'],
    'U': ['k.k', 'k.k', 'k.k', 'k.k', 'kkk'], 'W': ['k.k', 'k.k', 'kkk', 'kkk', 'k.k'],
    'H': ['k.k', 'k.k', 'kkk', 'k.k', 'k.k'], 'T': ['kkk', '.k.', '.k.', '.k.', '.k.'],
    'P': ['kk.', 'k.k', 'kk.', 'k..', 'k..'], 'i': ['.k.', '...', '.k.', '.k.', '.k.'],
    '3': ['kk.', '..k', '.k.', '..k', 'kk.'],
}


def word(c, text, x, y, colour='k'):
    for ch in text:
        for j, row in enumerate(FONT[ch]):
            for i, v in enumerate(row):
                if v != '.':
                    c.set(x + i, y + j, colour)
        x += 4


# ---- Shared parts ----
MAGNIFIER = [
    '..kkkk....',
    '.k.ww.k...',
    'k.w....k..',
    'kw.....k..',
    'k......k..',
    'k......k..',
    '.k....k...',
    '..kkkkgk..',
    '.......kk.',
    '........kk',
]


def magnifier(c, x=0, y=0):
    c.fill(x + 2, y + 2, x + 6, y + 5, 'C')
    c.fill(x + 3, y + 1, x + 4, y + 6, 'C')
    c.sprite(MAGNIFIER, x, y)
    c.set(x + 9, y + 10, 'k')
    c.line(x + 8, y + 9, x + 10, y + 11, 'k')


def sheet(c, x0=2, y0=0, x1=12, y1=14):
    """A page with a folded corner."""
    c.fill(x0, y0, x1, y1, 'w')
    c.poly([(x0, y0), (x1 - 3, y0), (x1, y0 + 3), (x1, y1), (x0, y1)], 'k', True)
    c.poly([(x1 - 3, y0), (x1 - 3, y0 + 3), (x1, y0 + 3)], 'k')
    for y in range(y0 + 1, y0 + 3):
        for x in range(x1 - 2, x1 + 1):
            if x - (x1 - 3) > y - y0:
                c.set(x, y, '.')


def folder(c):
    c.sprite([
        '................',
        '.........kkk....',
        '........k...k.k.',
        '.............kk.',
        '.kkk........kkk.',
        'kYwYkkkkkkk.....',
        'kwYwYwYwYwk.....',
        'kYwYwYwkkkkkkkkk',
        'kwYwYwkyyyyyyyyk',
        'kYwYwkyyyyyyyyk.',
        'kwYwkyyyyyyyyk..',
        'kYwkyyyyyyyyk...',
        'kwkyyyyyyyyk....',
        'kkkkkkkkkkk.....',
        '................',
    ])


def block(c, x, y, fill='C'):
    """A block: a small box drawn in outline with a filled body."""
    c.fill(x + 1, y + 1, x + 6, y + 5, fill)
    c.rect(x, y, x + 7, y + 6, 'b')
    c.line(x, y + 3, x + 7, y + 3, 'b')


def arrow_head(c, x, y, direction, colour='k', size=4):
    """A filled arrow head whose tip is (x, y)."""
    for d in range(size):
        for s in range(-d, d + 1):
            if direction == 'right':
                c.set(x - d, y + s, colour)
            elif direction == 'left':
                c.set(x + d, y + s, colour)
            elif direction == 'up':
                c.set(x + s, y + d, colour)
            else:
                c.set(x + s, y - d, colour)


# ---- The buttons ----
def undo():
    return art([
        '................',
        '................',
        '................',
        '....b...........',
        '...bb...........',
        '..bbbbbbbbb.....',
        '.bbbbbbbbbbb....',
        '..bbbbbbbbbbb...',
        '...bb......bbb..',
        '....b.......bb..',
        '............bb..',
        '...........bbb..',
        '..........bbb...',
        '.........bb.....',
        '................',
    ])


def redo():
    return undo().mirrored()


def point():
    c = Canvas()
    c.line(7, 2, 7, 12, 'k')
    c.line(2, 7, 12, 7, 'k')
    c.fill(6, 6, 8, 8, 'R')
    return c


def line():
    c = Canvas()
    c.line(3, 11, 12, 2, 'k')
    c.mark(1, 12)
    c.mark(13, 1)
    return c


def polyline():
    c = Canvas()
    pts = [(2, 12), (5, 3), (10, 11), (13, 2)]
    c.poly(pts, 'k')
    for x, y in pts:
        c.mark(x - 1 if x > 7 else x, y - 1 if y > 7 else y)
    return c


def region():
    c = Canvas()
    c.fill(2, 2, 13, 12, 'w')
    for k in range(-12, 16, 3):
        for x in range(2, 14):
            y = x + k
            if 2 <= y <= 12:
                c.set(x, y, 'b')
    c.poly([(2, 4), (7, 2), (13, 5), (12, 12), (4, 12)], 'k', True)
    for y in range(15):
        inside = False
        row = c.px[y]
        xs = [x for x in range(16) if row[x] == 'k']
        for x in range(16):
            if xs and xs[0] <= x <= xs[-1]:
                continue
            if row[x] in 'wb':
                row[x] = '.'
    # keep the hatch inside the outline only
    outline = [(2, 4), (7, 2), (13, 5), (12, 12), (4, 12)]
    for y in range(15):
        for x in range(16):
            if c.px[y][x] in 'wb' and not inside_polygon(x + 0.5, y + 0.5, outline):
                c.px[y][x] = '.'
    return c


def inside_polygon(x, y, pts):
    inside = False
    for (x0, y0), (x1, y1) in zip(pts, pts[1:] + pts[:1]):
        if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
            inside = not inside
    return inside


def circle():
    c = Canvas()
    c.ellipse(7.5, 7, 6, 6, 'k')
    c.line(7, 7, 12, 4, 'g')
    c.mark(7, 6)
    return c


def circle3():
    c = Canvas()
    c.ellipse(7.5, 7, 6, 6, 'k')
    c.mark(1, 6)
    c.mark(11, 2)
    c.mark(10, 11)
    return c


def arc_centre_start_end():
    c = Canvas()
    c.ellipse(4, 11, 9, 9, 'k', 0, 90)
    c.line(4, 11, 13, 11, 'g')
    c.line(4, 11, 4, 2, 'g')
    c.mark(3, 10, 'B')
    c.mark(12, 10)
    c.mark(3, 1)
    return c


def arc_start_middle_end():
    c = Canvas()
    c.ellipse(7.5, 12, 6, 9, 'k', 0, 180)
    c.mark(1, 11)
    c.mark(7, 2, 'B')
    c.mark(13, 11)
    return c


def arc_start_end_middle():
    c = Canvas()
    c.ellipse(7.5, 12, 6, 9, 'k', 0, 180)
    c.mark(1, 11)
    c.mark(13, 11)
    c.mark(7, 2, 'B')
    c.line(3, 12, 12, 12, 'g')
    return c


def spline():
    c = Canvas()
    import math
    last = None
    for i in range(200):
        t = i / 199
        x = 1 + 13 * t
        y = 7.5 - 5 * math.sin(t * 2 * math.pi)
        p = (int(round(x)), int(round(y)))
        if p != last:
            c.set(p[0], p[1], 'k')
            last = p
    for x, y in [(1, 7), (4, 2), (11, 11), (13, 7)]:
        c.mark(x, y, 'R')
    return c


def ellipse():
    c = Canvas()
    c.ellipse(7.5, 7, 7, 4.5, 'k')
    c.line(7, 7, 14, 7, 'g')
    c.line(7, 7, 7, 3, 'g')
    return c


def rectangle():
    c = Canvas()
    c.rect(2, 3, 13, 11, 'k')
    c.mark(1, 2)
    c.mark(13, 11)
    return c


def dimension_base(c):
    c.line(1, 3, 1, 13, 'k')
    c.line(14, 3, 14, 13, 'k')
    c.line(2, 8, 13, 8, 'B')
    arrow_head(c, 2, 8, 'left', 'B')
    arrow_head(c, 13, 8, 'right', 'B')


def dimension():
    c = Canvas()
    dimension_base(c)
    c.fill(6, 3, 9, 6, 'w')
    word(c, 'D', 6, 2, 'k')
    return c


def length():
    c = Canvas()
    c.line(1, 12, 14, 12, 'k')
    c.line(1, 4, 1, 11, 'g')
    c.line(14, 4, 14, 11, 'g')
    c.line(2, 6, 13, 6, 'B')
    arrow_head(c, 2, 6, 'left', 'B')
    arrow_head(c, 13, 6, 'right', 'B')
    word(c, 'L', 6, 0, 'r')
    return c


def radius():
    c = Canvas()
    c.ellipse(7.5, 7.5, 6, 6, 'k')
    c.line(8, 8, 12, 4, 'B')
    arrow_head(c, 12, 4, 'up', 'B')
    c.set(13, 3, 'B')
    c.fill(7, 7, 8, 8, 'k')
    word(c, 'R', 3, 8, 'r')
    return c


def diameter():
    c = Canvas()
    c.ellipse(7.5, 7, 6, 6, 'k')
    c.line(3, 11, 12, 2, 'B')
    arrow_head(c, 2, 12, 'down', 'B')
    arrow_head(c, 13, 1, 'up', 'B')
    c.ellipse(5, 4, 1.6, 1.6, 'r')
    c.line(3, 6, 7, 2, 'r')
    return c


def angle():
    c = Canvas()
    c.line(1, 13, 14, 13, 'k')
    c.line(1, 13, 11, 1, 'k')
    c.ellipse(1, 13, 8, 8, 'B', 5, 45)
    arrow_head(c, 9, 11, 'down', 'B')
    return c


def leader():
    c = Canvas()
    c.line(2, 12, 8, 5, 'k')
    c.line(8, 5, 14, 5, 'k')
    arrow_head(c, 2, 12, 'down', 'k')
    c.set(1, 13, 'k')
    word(c, 'A', 9, 0, 'b')
    return c


def text():
    return art([
        '................',
        '.kkkkkkkkkkkk...',
        '.kk...kk...kk...',
        '.k....kk....k...',
        '......kk........',
        '......kk........',
        '......kk........',
        '......kk........',
        '......kk........',
        '......kk........',
        '......kk........',
        '.....kkkk.......',
        '................',
        '..........RR....',
        '..........RR....',
    ])


def image():
    c = Canvas()
    c.fill(1, 2, 14, 12, 'C')
    c.fill(1, 9, 14, 12, 'G')
    c.sprite(['..YY.', '.YYYY', '.YYYY', '..YY.'], 9, 3)
    c.poly([(2, 11), (6, 5), (10, 11)], 'y')
    c.fill(5, 7, 7, 8, 'y')
    c.fill(4, 9, 8, 10, 'y')
    c.rect(0, 1, 15, 13, 'k')
    return c


def new_file():
    c = Canvas()
    sheet(c)
    return c


def open_file():
    c = Canvas()
    folder(c)
    return c


def open_url():
    c = Canvas()
    c.ellipse(7.5, 7, 6.5, 6.5, 'b', fill='C')
    c.ellipse(7.5, 7, 3, 6.5, 'b')
    c.line(1, 7, 14, 7, 'b')
    c.line(2, 4, 13, 4, 'b')
    c.line(2, 10, 13, 10, 'b')
    c.fill(3, 3, 5, 6, 'G')
    c.fill(9, 8, 11, 11, 'G')
    return c


def save():
    return art([
        '................',
        '.kkkkkkkkkkkkkk.',
        '.kbkwwwwwwwwkbk.',
        '.kbkwwwwwwwwkbk.',
        '.kbkwkkkkkkwkbk.',
        '.kbkwwwwwwwwkbk.',
        '.kbkwkkkkkkwkbk.',
        '.kbbkkkkkkkkbbk.',
        '.kbbbbbbbbbbbbk.',
        '.kbbkkkkkkkkbbk.',
        '.kbbklkkkkklbbk.',
        '.kbbklkkkkklbbk.',
        '.kbbklkkkkklbbk.',
        '..kkkkkkkkkkkkk.',
        '................',
    ])


def print_file():
    return art([
        '................',
        '....kkkkkkkk....',
        '....kwwwwwwk....',
        '....kwkkkkwk....',
        '....kwwwwwwk....',
        '..kkkkkkkkkkkk..',
        '.kllllllllllllk.',
        '.klllllllllLLlk.',
        '.kllllllllllllk.',
        '.kkkkkkkkkkkkkk.',
        '.kgggggggggggg k'.replace(' ', 'g'),
        '.kkwwwwwwwwwwkk.',
        '...kwwwwwwwwk...',
        '...kkkkkkkkkk...',
        '................',
    ])


HAND = [
    '......kk........',
    '...kk.kwkkk.....',
    '..kwwkkwkwwk....',
    '..kwwkkwkwwk.k..',
    '...kwwkwkwwkkwk.',
    '...kwwkwkwwkwwk.',
    '.kk.kwwwwwwkwwk.',
    'kwwkkwwwwwwwwwk.',
    'kwwwkwwwwwwwwwk.',
    '.kwwwwwwwwwwwk..',
    '..kwwwwwwwwwwk..',
    '..kwwwwwwwwwk...',
    '...kwwwwwwwwk...',
    '....kwwwwwwk....',
    '....kwwwwwwk....',
]


def pan():
    return art(HAND)


def zoom_all():
    c = Canvas()
    # The drawing's extents, by their corners, filling the view.
    for x, y, dx, dy in [(0, 0, 1, 1), (15, 0, -1, 1), (0, 14, 1, -1), (15, 14, -1, -1)]:
        c.line(x, y, x + 3 * dx, y, 'R')
        c.line(x, y, x, y + 3 * dy, 'R')
    magnifier(c, 3, 2)
    return c


def zoom_window():
    c = Canvas()
    for x in range(0, 16, 2):
        c.set(x, 0, 'k')
        c.set(x, 9, 'k')
    for y in range(0, 10, 2):
        c.set(0, y, 'k')
        c.set(14, y, 'k')
    magnifier(c, 4, 4)
    return c


def free_zoom():
    c = Canvas()
    magnifier(c, 0, 0)
    c.line(13, 1, 13, 12, 'k')
    arrow_head(c, 13, 1, 'up', size=3)
    arrow_head(c, 13, 12, 'down', size=3)
    return c


def zoom_3d():
    c = Canvas()
    magnifier(c, 0, 3)
    word(c, '3', 9, 0, 'r')
    word(c, 'D', 12, 0, 'r')
    return c


def zoom_out():
    c = Canvas()
    magnifier(c, 1, 1)
    c.line(3, 5, 7, 5, 'k')
    return c


def zoom_in():
    c = Canvas()
    magnifier(c, 1, 1)
    c.line(3, 5, 7, 5, 'k')
    c.line(5, 3, 5, 7, 'k')
    return c


def layer():
    c = Canvas()
    for i, colour in enumerate(['Y', 'L', 'C']):
        y = 9 - i * 3
        pts = [(1, y + 2), (7, y - 1), (14, y + 2), (8, y + 5)]
        for yy in range(15):
            for xx in range(16):
                if inside_polygon(xx + 0.5, yy + 0.5, pts):
                    c.set(xx, yy, colour)
        c.poly(pts, 'k', True)
    return c


def refresh():
    c = Canvas()
    c.ellipse(7.5, 7, 5, 5, 'G', 30, 170)
    c.ellipse(7.5, 7, 5, 5, 'G', 210, 350)
    c.ellipse(7.5, 7, 4, 4, 'G', 30, 170)
    c.ellipse(7.5, 7, 4, 4, 'G', 210, 350)
    arrow_head(c, 13, 6, 'down', 'G')
    arrow_head(c, 2, 8, 'up', 'G')
    return c


def search_text():
    c = Canvas()
    word(c, 'A', 0, 0, 'k')
    word(c, 'B', 4, 0, 'k')
    magnifier(c, 5, 4)
    return c


def properties():
    c = Canvas()
    c.fill(1, 1, 14, 13, 'w')
    c.rect(1, 1, 14, 13, 'k')
    c.fill(2, 2, 13, 3, 'b')
    for y in (6, 9, 12):
        c.line(3, y - 1, 6, y - 1, 'k')
        c.line(8, y - 1, 12, y - 1, 'g')
        c.line(7, 4, 7, 12, 'l')
    return c


def software_info():
    c = Canvas()
    c.ellipse(7.5, 7, 6.5, 6.5, 'b', fill='B')
    c.fill(7, 3, 8, 4, 'w')
    c.fill(7, 6, 8, 11, 'w')
    c.set(6, 6, 'w')
    c.line(6, 11, 9, 11, 'w')
    return c


ARROW = [
    'k...........',
    'kk..........',
    'kwk.........',
    'kwwk........',
    'kwwwk.......',
    'kwwwwk......',
    'kwwwwwk.....',
    'kwwwwwwk....',
    'kwwwwwwwk...',
    'kwwwwkkkkk..',
    'kwwkwwk.....',
    'kwk.kwwk....',
    'kk..kwwk....',
    'k....kwwk...',
    '.....kkk....',
]


def select():
    c = Canvas()
    c.sprite(ARROW, 4, 0)
    return c


def redline():
    c = Canvas()
    import math
    last = None
    for i in range(120):
        t = i / 119
        p = (int(round(1 + 9 * t)), int(round(11 + 2.5 * math.sin(t * 9))))
        if p != last:
            c.set(p[0], p[1], 'R')
            last = p
    c.sprite([
        '.........kk.',
        '........kYYk',
        '.......kYYk.',
        '......kYYk..',
        '.....kYYk...',
        '....kYYk....',
        '...kwYk.....',
        '...kwk......',
        '...kk.......',
    ], 3, 0)
    return c


def measure_dist():
    c = Canvas()
    c.fill(0, 5, 15, 10, 'Y')
    c.rect(0, 5, 15, 10, 'k')
    for x in range(2, 15, 2):
        c.line(x, 6, x, 7 if x % 4 else 8, 'k')
    c.mark(1, 1)
    c.mark(13, 1)
    c.line(3, 2, 12, 2, 'B')
    return c


def measure_area():
    c = Canvas()
    pts = [(1, 12), (4, 2), (13, 4), (12, 11)]
    for yy in range(15):
        for xx in range(16):
            if inside_polygon(xx + 0.5, yy + 0.5, pts):
                c.set(xx, yy, 'Y')
    c.poly(pts, 'k', True)
    word(c, 'A', 6, 5, 'r')
    return c


def delete():
    return art([
        '................',
        '.RR.........RR..',
        '.RRR.......RRR..',
        '..RRR.....RRR...',
        '...RRR...RRR....',
        '....RRR.RRR.....',
        '.....RRRRR......',
        '......RRR.......',
        '.....RRRRR......',
        '....RRR.RRR.....',
        '...RRR...RRR....',
        '..RRR.....RRR...',
        '.RRR.......RRR..',
        '.RR.........RR..',
        '................',
    ])


def copy():
    c = Canvas()
    c.rect(1, 1, 8, 7, 'g')
    c.fill(6, 6, 13, 12, 'C')
    c.rect(6, 6, 13, 12, 'b')
    arrow_head(c, 12, 3, 'right', 'B')
    c.line(8, 3, 11, 3, 'B')
    return c


def mirror():
    c = Canvas()
    for y in range(0, 15, 2):
        c.set(7, y, 'R')
        c.set(8, y, 'R')
    left = [(5, 2), (5, 12), (1, 12)]
    right = [(10, 2), (10, 12), (14, 12)]
    c.poly(left, 'g', True)
    c.poly(right, 'b', True)
    for yy in range(15):
        for xx in range(16):
            if inside_polygon(xx + 0.5, yy + 0.5, right) and c.px[yy][xx] == '.':
                c.set(xx, yy, 'C')
    return c


def offset():
    c = Canvas()
    c.poly([(1, 13), (1, 5), (6, 1), (14, 1)], 'g')
    c.poly([(5, 13), (5, 7), (8, 5), (14, 5)], 'b')
    c.line(2, 9, 4, 9, 'R')
    arrow_head(c, 4, 9, 'right', 'R')
    return c


def array():
    c = Canvas()
    for j in range(3):
        for i in range(3):
            x, y = 1 + i * 5, 1 + j * 5
            c.fill(x, y, x + 3, y + 2, 'C' if i or j else 'B')
            c.rect(x, y, x + 3, y + 2, 'b')
    return c


def move():
    c = Canvas()
    c.line(7, 1, 7, 13, 'k')
    c.line(1, 7, 13, 7, 'k')
    arrow_head(c, 7, 0, 'up')
    arrow_head(c, 7, 14, 'down')
    arrow_head(c, 0, 7, 'left')
    arrow_head(c, 14, 7, 'right')
    c.fill(6, 6, 8, 8, 'R')
    return c


def rotate():
    c = Canvas()
    c.rect(6, 6, 13, 12, 'g')
    c.poly([(3, 7), (8, 2), (13, 7), (8, 12)], 'b', True)
    c.ellipse(7.5, 7, 6.5, 6.5, 'R', 100, 250)
    arrow_head(c, 6, 14, 'right', 'R')
    c.mark(7, 6)
    return c


def scale():
    c = Canvas()
    c.rect(1, 7, 6, 13, 'g')
    c.rect(1, 1, 13, 13, 'b')
    c.line(4, 10, 11, 3, 'R')
    arrow_head(c, 11, 3, 'up', 'R')
    c.set(12, 2, 'R')
    return c


def insert_block():
    c = Canvas()
    block(c, 7, 7)
    c.line(1, 1, 6, 6, 'R')
    arrow_head(c, 6, 6, 'down', 'R')
    c.set(7, 7, 'R')
    return c


def create_block():
    c = Canvas()
    c.line(1, 9, 5, 13, 'k')
    c.ellipse(4, 10, 2.5, 2.5, 'k')
    c.rect(8, 10, 13, 13, 'k')
    c.line(1, 8, 13, 8, 'g')
    block(c, 4, 0)
    arrow_head(c, 7, 7, 'down', 'R')
    return c


# Each toolbar's pictures, in the order of its buttons (separators take none).
TOOLBARS = {
    133: [undo, redo, point, line, polyline, region, circle, circle3, arc_centre_start_end, arc_start_middle_end,
          arc_start_end_middle, spline, ellipse, rectangle, dimension, length, radius, diameter, angle, leader, text,
          image],
    202: [new_file, open_file, open_url, save, print_file, pan, zoom_all, zoom_window, free_zoom, zoom_3d, zoom_out,
          zoom_in, layer, refresh, search_text, properties, software_info, select, redline, measure_dist,
          measure_area],
    231: [delete, copy, mirror, offset, array, move, rotate, scale, insert_block, create_block],
}


# ---- Icons (32 x 32) ----
def control_icon():
    c = Canvas(32, 32)
    # A drawing sheet with a part drawn on it and a pen.
    c.fill(2, 3, 27, 28, 'w')
    c.rect(2, 3, 27, 28, 'k')
    c.line(3, 29, 28, 29, 'g')
    c.line(28, 4, 28, 29, 'g')
    c.fill(3, 4, 26, 6, 'b')
    c.rect(6, 10, 21, 24, 'k')
    c.ellipse(13.5, 17, 4, 4, 'R')
    c.line(4, 17, 24, 17, 'c')
    c.line(13, 8, 13, 26, 'c')
    c.sprite([
        '.......kk',
        '......kYYk',
        '.....kYYk.',
        '....kYYk..',
        '...kYYk...',
        '..kYYk....',
        '.kwYk.....',
        '.kwk......',
        'kkk.......',
    ], 20, 15)
    return c


def fontlathe_icon():
    c = Canvas(32, 32)
    c.fill(1, 1, 30, 30, 'b')
    c.rect(1, 1, 30, 30, 'k')
    # A letter A as shape-font strokes with their vector points.
    pts = [(7, 26), (16, 5), (25, 26)]
    c.poly(pts, 'Y')
    c.poly([(8, 26), (16, 6), (24, 26)], 'Y')
    c.line(11, 18, 21, 18, 'Y')
    c.line(11, 19, 21, 19, 'Y')
    for x, y in [(7, 26), (16, 5), (25, 26), (11, 18), (21, 18)]:
        c.fill(x - 1, y - 1, x + 1, y + 1, 'R')
    return c


# ---- Cursors (32 x 32; black, white and clear only) ----
def cursor_cross():
    """Measuring: a cross-hair with a pick box at its middle (15, 15)."""
    c = Canvas(32, 32)
    c.line(15, 2, 15, 12, 'k')
    c.line(15, 18, 15, 28, 'k')
    c.line(2, 15, 12, 15, 'k')
    c.line(18, 15, 28, 15, 'k')
    c.rect(12, 12, 18, 18, 'k')
    for x, y in [(14, 15), (16, 15), (15, 14), (15, 16)]:
        c.set(x, y, '.')
    return c


def cursor_hand(closed):
    c = Canvas(32, 32)
    rows = [r.replace('R', 'w') for r in HAND]
    if closed:
        rows = ['................'] * 3 + [
            '....kk.kk.kk....',
            '...kwwkwwkwwkk..',
            '..kkwwwwwwwwwwk.',
            '.kwkwwwwwwwwwwk.',
            '.kwwwwwwwwwwwwk.',
            '..kwwwwwwwwwwwk.',
            '..kwwwwwwwwwwk..',
            '...kwwwwwwwwwk..',
            '...kwwwwwwwwk...',
            '....kwwwwwwwk...',
            '....kwwwwwwk....',
            '....kkkkkkkk....',
        ]
    c.sprite(rows, 8, 8)
    return c


def cursor_zoom():
    c = Canvas(32, 32)
    c.ellipse(10, 10, 7, 7, 'k')
    c.ellipse(10, 10, 6, 6, 'w')
    c.ellipse(10, 10, 8, 8, 'w')
    c.line(6, 10, 14, 10, 'k')
    c.line(10, 6, 10, 14, 'k')
    for d in range(-1, 2):
        c.line(15 + d, 16 - d, 23 + d, 24 - d, 'k')
    c.line(14, 17, 22, 25, 'w')
    c.line(17, 14, 25, 22, 'w')
    return c


def cursor_pen():
    c = Canvas(32, 32)
    c.sprite([
        '...........kk.',
        '..........kwwk',
        '.........kwwk.',
        '........kwwk..',
        '.......kwwk...',
        '......kwwk....',
        '.....kwwk.....',
        '....kwwk......',
        '...kwwk.......',
        '..kkwk........',
        '..kkk.........',
        '.kk...........',
        'k.............',
    ], 0, 0)
    return c


# The hot spots are given where the program registers the cursors.
CURSORS = {
    'cursor_measure_dist': cursor_cross,
    'cursor_pan_view0': lambda: cursor_hand(False),
    'cursor_pan_view1': lambda: cursor_hand(True),
    'cursor_zoom_window': cursor_zoom,
    'cursor_redline': cursor_pen,
}


# ---- PNG ----
def write_png(path, canvases):
    """The canvases side by side, as 8-bit RGBA."""
    h = canvases[0].h
    w = sum(c.w for c in canvases)
    raw = bytearray()
    for y in range(h):
        raw.append(0)
        for c in canvases:
            for ch in c.px[y]:
                if ch == '.':
                    raw += bytes((192, 192, 192, 0))
                else:
                    raw += bytes(PALETTE[ch] + (255,))

    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xFFFFFFFF)

    png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b'')
    with open(path, 'wb') as f:
        f.write(png)


def main():
    for resource, pictures in TOOLBARS.items():
        write_png(os.path.join(HERE, 'toolbar%d.png' % resource), [p() for p in pictures])
    write_png(os.path.join(HERE, 'icon_control.png'), [control_icon()])
    write_png(os.path.join(HERE, 'icon_fontlathe.png'), [fontlathe_icon()])
    for name, draw in CURSORS.items():
        write_png(os.path.join(HERE, name + '.png'), [draw()])


if __name__ == '__main__':
    main()
