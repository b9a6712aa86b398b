#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the pictures of the demo machines in examples/.

Every picture is a Windows 95 logo picture: a 320x400 bitmap with a
256-colour palette, stored bottom-up, exactly 129078 bytes long
(14 + 40 + 1024 + 128000). Windows 95 shows it on the whole screen, and a
monitor of the period is 4:3, as korsetup's image display and korlogo
preview show it: the logo fills 640x480 square pixels, each of its pixels
two screen pixels wide and 1.2 tall. The drawing happens in those screen
units (640 wide, 480 high) and every pixel samples the middle of its screen
area, so a circle drawn here is round on a 4:3 screen (an emulator showing
the screen unscaled at 640x400 makes it 1.2 times as wide as tall).
Captions keep to whole pixels: a font dot is 2 or 4 units across and a
multiple of 1.2 units down.

Only the Python 3 standard library is used. The output is deterministic, and
the pictures it writes are committed, so the demo does not need this script.

    python3 scripts/make-demo-pictures.py               # writes examples/
    python3 scripts/make-demo-pictures.py --preview DIR  # also 640x480 PNGs
    python3 scripts/make-demo-pictures.py --sheet docs/demo-pictures.png
    python3 scripts/make-demo-pictures.py --photo docs/convert-before.png
"""

import argparse
import math
import os
import random
import struct
import sys
import zlib

WIDTH, HEIGHT = 320, 400  # pixels of the bitmap
SCREEN_W, SCREEN_H = 640, 480  # screen units; a logo's pixel is 2 across and 1.2 down
LOGO_LENGTH = 14 + 40 + 256 * 4 + WIDTH * HEIGHT


# ---------------------------------------------------------------------------
# Canvas: a picture in floating-point RGB, drawn in screen units.


def clamp(value, low=0.0, high=1.0):
    return low if value < low else high if value > high else value


def mix(a, b, t):
    return (a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t)


def hexcolour(text):
    text = text.lstrip("#")
    return (int(text[0:2], 16), int(text[2:4], 16), int(text[4:6], 16))


def ramp(stops, t):
    """Colour at t (0..1) of a gradient given as [(position, colour), ...]."""
    t = clamp(t)
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            return mix(c0, c1, 0.0 if p1 == p0 else (t - p0) / (p1 - p0))
    return stops[-1][1]


class Canvas:
    # The pixels a picture is drawn into, and the screen units they cover: a
    # logo's by default. --photo draws the dawn scene in a camera's 16:10
    # frame of square pixels, at a finer scale.
    pixels = (WIDTH, HEIGHT)
    screen = (SCREEN_W, SCREEN_H)

    def __init__(self):
        self.width, self.height = Canvas.pixels
        self.screen_w, self.screen_h = Canvas.screen
        self.sx = self.screen_w / self.width  # screen units per pixel
        self.sy = self.screen_h / self.height
        self.r = [0.0] * (self.width * self.height)
        self.g = [0.0] * (self.width * self.height)
        self.b = [0.0] * (self.width * self.height)

    def screen_x(self, px):
        return (px + 0.5) * self.sx

    def screen_y(self, py):
        return (py + 0.5) * self.sy

    def background(self, colour_at):
        """colour_at(x, y) in screen units gives every pixel's colour."""
        for py in range(self.height):
            y = self.screen_y(py)
            row = py * self.width
            for px in range(self.width):
                c = colour_at(self.screen_x(px), y)
                i = row + px
                self.r[i], self.g[i], self.b[i] = c

    def blend(self, i, colour, alpha):
        if alpha <= 0.0:
            return
        if alpha >= 1.0:
            self.r[i], self.g[i], self.b[i] = colour
            return
        self.r[i] += (colour[0] - self.r[i]) * alpha
        self.g[i] += (colour[1] - self.g[i]) * alpha
        self.b[i] += (colour[2] - self.b[i]) * alpha

    def shape(self, distance, colour, box, softness=1.5, opacity=1.0):
        """Fills the points where distance(x, y) < 0, with smooth edges.

        distance is a signed distance in screen units; colour is a colour or a
        function of (x, y); box = (x0, y0, x1, y1) bounds the shape on screen.
        """
        x0, y0, x1, y1 = box
        px0 = max(0, int((x0 - 2) // self.sx))
        px1 = min(self.width - 1, int((x1 + 2) // self.sx))
        py0 = max(0, int((y0 - 2) // self.sy))
        py1 = min(self.height - 1, int((y1 + 2) // self.sy))
        colour_at = colour if callable(colour) else None
        for py in range(py0, py1 + 1):
            y = self.screen_y(py)
            row = py * self.width
            for px in range(px0, px1 + 1):
                x = self.screen_x(px)
                d = distance(x, y)
                if d >= softness:
                    continue
                alpha = clamp(0.5 - d / (2 * softness)) * opacity
                self.blend(row + px, colour_at(x, y) if colour_at else colour, alpha)

    def glow(self, cx, cy, radius, colour, strength=1.0):
        """A soft round light fading out to the radius."""
        px0 = max(0, int((cx - radius) // self.sx))
        px1 = min(self.width - 1, int((cx + radius) // self.sx))
        py0 = max(0, int((cy - radius) // self.sy))
        py1 = min(self.height - 1, int((cy + radius) // self.sy))
        for py in range(py0, py1 + 1):
            y = self.screen_y(py)
            for px in range(px0, px1 + 1):
                x = self.screen_x(px)
                t = 1.0 - math.hypot(x - cx, y - cy) / radius
                if t > 0:
                    self.blend(py * self.width + px, colour, strength * t * t)


# ---------------------------------------------------------------------------
# Signed distances (negative inside), in screen units.


def circle(cx, cy, radius):
    return lambda x, y: math.hypot(x - cx, y - cy) - radius


def ellipse(cx, cy, rx, ry, angle=0.0):
    ca, sa = math.cos(angle), math.sin(angle)

    def distance(x, y):
        dx, dy = x - cx, y - cy
        u, v = dx * ca + dy * sa, -dx * sa + dy * ca
        return (math.hypot(u / rx, v / ry) - 1.0) * min(rx, ry)

    return distance


def box(x0, y0, x1, y1):
    cx, cy, hx, hy = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2, (y1 - y0) / 2

    def distance(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0)

    return distance


def capsule(ax, ay, bx, by, radius):
    def distance(x, y):
        px, py, vx, vy = x - ax, y - ay, bx - ax, by - ay
        h = clamp((px * vx + py * vy) / (vx * vx + vy * vy))
        return math.hypot(px - vx * h, py - vy * h) - radius

    return distance


def polygon(points):
    n = len(points)

    def distance(x, y):
        best = float("inf")
        inside = False
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[i - 1]
            ex, ey, wx, wy = bx - ax, by - ay, x - ax, y - ay
            length = ex * ex + ey * ey
            h = clamp((wx * ex + wy * ey) / length) if length else 0.0
            dx, dy = wx - ex * h, wy - ey * h
            dd = dx * dx + dy * dy
            if dd < best:
                best = dd
            if (ay > y) != (by > y) and x < (bx - ax) * (y - ay) / (by - ay) + ax:
                inside = not inside
        d = math.sqrt(best)
        return -d if inside else d

    return distance


def bounds(points, margin=0.0):
    xs, ys = [p[0] for p in points], [p[1] for p in points]
    return (min(xs) - margin, min(ys) - margin, max(xs) + margin, max(ys) + margin)


# ---------------------------------------------------------------------------
# A small 5x7 font for the captions, in the style of the period.

FONT = {
    'A': (' ### ', '#   #', '#   #', '#####', '#   #', '#   #', '#   #'),
    'B': ('#### ', '#   #', '#   #', '#### ', '#   #', '#   #', '#### '),
    'C': (' ### ', '#   #', '#    ', '#    ', '#    ', '#   #', ' ### '),
    'D': ('#### ', '#   #', '#   #', '#   #', '#   #', '#   #', '#### '),
    'E': ('#####', '#    ', '#    ', '#### ', '#    ', '#    ', '#####'),
    'F': ('#####', '#    ', '#    ', '#### ', '#    ', '#    ', '#    '),
    'G': (' ### ', '#   #', '#    ', '# ###', '#   #', '#   #', ' ####'),
    'H': ('#   #', '#   #', '#   #', '#####', '#   #', '#   #', '#   #'),
    'I': (' ### ', '  #  ', '  #  ', '  #  ', '  #  ', '  #  ', ' ### '),
    'J': ('  ###', '   # ', '   # ', '   # ', '   # ', '#  # ', ' ##  '),
    'K': ('#   #', '#  # ', '# #  ', '##   ', '# #  ', '#  # ', '#   #'),
    'L': ('#    ', '#    ', '#    ', '#    ', '#    ', '#    ', '#####'),
    'M': ('#   #', '## ##', '# # #', '# # #', '#   #', '#   #', '#   #'),
    'N': ('#   #', '#   #', '##  #', '# # #', '#  ##', '#   #', '#   #'),
    'O': (' ### ', '#   #', '#   #', '#   #', '#   #', '#   #', ' ### '),
    'P': ('#### ', '#   #', '#   #', '#### ', '#    ', '#    ', '#    '),
    'Q': (' ### ', '#   #', '#   #', '#   #', '# # #', '#  # ', ' ## #'),
    'R': ('#### ', '#   #', '#   #', '#### ', '# #  ', '#  # ', '#   #'),
    'S': (' ####', '#    ', '#    ', ' ### ', '    #', '    #', '#### '),
    'T': ('#####', '  #  ', '  #  ', '  #  ', '  #  ', '  #  ', '  #  '),
    'U': ('#   #', '#   #', '#   #', '#   #', '#   #', '#   #', ' ### '),
    'V': ('#   #', '#   #', '#   #', '#   #', '#   #', ' # # ', '  #  '),
    'W': ('#   #', '#   #', '#   #', '# # #', '# # #', '# # #', ' # # '),
    'X': ('#   #', '#   #', ' # # ', '  #  ', ' # # ', '#   #', '#   #'),
    'Y': ('#   #', '#   #', ' # # ', '  #  ', '  #  ', '  #  ', '  #  '),
    'Z': ('#####', '    #', '   # ', '  #  ', ' #   ', '#    ', '#####'),
    '0': (' ### ', '#   #', '#  ##', '# # #', '##  #', '#   #', ' ### '),
    '1': ('  #  ', ' ##  ', '  #  ', '  #  ', '  #  ', '  #  ', ' ### '),
    '2': (' ### ', '#   #', '    #', '   # ', '  #  ', ' #   ', '#####'),
    '3': ('#####', '   # ', '  #  ', '   # ', '    #', '#   #', ' ### '),
    '4': ('   # ', '  ## ', ' # # ', '#  # ', '#####', '   # ', '   # '),
    '5': ('#####', '#    ', '#### ', '    #', '    #', '#   #', ' ### '),
    '6': ('  ## ', ' #   ', '#    ', '#### ', '#   #', '#   #', ' ### '),
    '7': ('#####', '    #', '   # ', '  #  ', ' #   ', ' #   ', ' #   '),
    '8': (' ### ', '#   #', '#   #', ' ### ', '#   #', '#   #', ' ### '),
    '9': (' ### ', '#   #', '#   #', ' ####', '    #', '   # ', ' ##  '),
    '.': ('     ', '     ', '     ', '     ', '     ', ' ##  ', ' ##  '),
    ',': ('     ', '     ', '     ', '     ', ' ##  ', '  #  ', ' #   '),
    "'": ('  #  ', '  #  ', ' #   ', '     ', '     ', '     ', '     '),
    '!': ('  #  ', '  #  ', '  #  ', '  #  ', '  #  ', '     ', '  #  '),
    '-': ('     ', '     ', '     ', ' ### ', '     ', '     ', '     '),
    ':': ('     ', ' ##  ', ' ##  ', '     ', ' ##  ', ' ##  ', '     '),
    ' ': ('     ', '     ', '     ', '     ', '     ', '     ', '     '),
}


def text_width(text, scale_x):
    return len(text) * 6 * scale_x - scale_x


def draw_text(canvas, text, cx, top, colour, scale_x=4, scale_y=3.6, shadow=None):
    """Writes text centred on cx; one font dot is scale_x by scale_y screen
    units, and covers the pixels whose edges lie nearest to its own (on a
    logo, scale_x a multiple of 2 and scale_y of 1.2 make every dot alike).
    The shadow falls half a dot right and two thirds of a dot down."""
    left = cx - text_width(text, scale_x) / 2
    left = round(left / 2) * 2
    layers = [(scale_x / 2, scale_y * 2 / 3, shadow)] if shadow else []
    layers.append((0, 0, colour))
    for ox, oy, c in layers:
        for n, ch in enumerate(text.upper()):
            rows = FONT[ch]
            for j in range(7):
                for i in range(5):
                    if rows[j][i] != "#":
                        continue
                    x0 = left + (n * 6 + i) * scale_x + ox
                    y0 = top + j * scale_y + oy
                    for py in range(round(y0 / canvas.sy), round((y0 + scale_y) / canvas.sy)):
                        for px in range(round(x0 / canvas.sx), round((x0 + scale_x) / canvas.sx)):
                            if 0 <= px < canvas.width and 0 <= py < canvas.height:
                                canvas.blend(py * canvas.width + px, c, 1.0)


# ---------------------------------------------------------------------------
# Elements used by several pictures.


def vertical(stops):
    return lambda x, y: ramp(stops, y / SCREEN_H)


def fuji(canvas, cx, base_y, peak_y, half_base, body, snow, light=None):
    """Mt. Fuji: concave flanks, a flat top and a snow cap with ragged hem."""
    height = base_y - peak_y
    top_half = half_base * 0.09
    left, right = [], []
    steps = 24
    for k in range(steps + 1):
        t = k / steps  # 0 at the top, 1 at the base
        w = top_half + (half_base - top_half) * (t ** 1.7)
        y = peak_y + height * t
        left.append((cx - w, y))
        right.append((cx + w, y))
    mountain = right + [(cx + half_base * 1.4, base_y + 2), (cx - half_base * 1.4, base_y + 2)]
    mountain += list(reversed(left))
    shade = light or body
    canvas.shape(polygon(mountain),
                 lambda x, y: mix(body, shade, clamp((x - cx) / half_base * 0.8 + 0.4)),
                 bounds(mountain))
    # The snow follows the flanks down to a hem of alternating tongues.
    snow_t = 0.36
    hem = []
    tongues = 9
    for k in range(tongues * 2 + 1):
        s = k / (tongues * 2)
        tongue = 0.13 if k % 2 else 0.0
        t = snow_t * (0.8 + 0.2 * math.sin(s * 7.1)) + tongue
        w = top_half + (half_base - top_half) * (t ** 1.7)
        hem.append((cx + w * (2 * s - 1) * 0.98, peak_y + height * t))
    cap = [p for p in right if p[1] <= hem[-1][1]]
    cap_left = [p for p in left if p[1] <= hem[0][1]]
    shape = [(cx - top_half, peak_y)] + [(cx + top_half, peak_y)] + cap[1:] + list(reversed(hem))
    shape += list(reversed(cap_left[1:]))
    canvas.shape(polygon(shape),
                 lambda x, y: mix(snow, mix(snow, body, 0.35), clamp((x - cx) / half_base + 0.3)),
                 bounds(shape))


def sakura_flower(canvas, cx, cy, size, petal, centre, angle=0.0, opacity=1.0):
    for k in range(5):
        a = angle + k * 2 * math.pi / 5
        px, py = cx + math.cos(a) * size * 0.55, cy + math.sin(a) * size * 0.55
        canvas.shape(ellipse(px, py, size * 0.55, size * 0.38, a), petal,
                     (px - size, py - size, px + size, py + size), opacity=opacity)
    canvas.shape(circle(cx, cy, size * 0.2), centre,
                 (cx - size, cy - size, cx + size, cy + size), opacity=opacity)


def branch(canvas, points, width, colour):
    for (ax, ay), (bx, by) in zip(points, points[1:]):
        r = width
        canvas.shape(capsule(ax, ay, bx, by, r), colour,
                     (min(ax, bx) - r, min(ay, by) - r, max(ax, bx) + r, max(ay, by) + r))
        width *= 0.8


def stars(canvas, rng, count, bottom, colour):
    for _ in range(count):
        x, y = rng.uniform(0, SCREEN_W), rng.uniform(0, bottom)
        r = rng.choice((0.9, 1.1, 1.4, 2.0))
        canvas.shape(circle(x, y, r), colour, (x - 4, y - 4, x + 4, y + 4),
                     opacity=rng.uniform(0.5, 1.0))


def cloud(canvas, cx, cy, scale, colour, shade):
    puffs = [(-60, 8, 26), (-30, -8, 34), (5, -18, 40), (42, -4, 32), (70, 10, 22), (0, 12, 30),
             (-45, 16, 20), (40, 16, 22)]
    circles = [(cx + dx * scale, cy + dy * scale, r * scale) for dx, dy, r in puffs]

    def distance(x, y):
        return min(math.hypot(x - a, y - b) - r for a, b, r in circles)

    canvas.shape(distance, lambda x, y: mix(colour, shade, clamp((y - cy) / (40 * scale) + 0.3)),
                 (cx - 100 * scale, cy - 60 * scale, cx + 100 * scale, cy + 40 * scale),
                 softness=3.0)


def reflection_lines(canvas, cx, top, bottom, colour, width, row=1.2):
    """Lines of light on water; row is a logo row's height in screen units."""
    rng = random.Random(int(cx * 7 + top))
    y = top
    while y < bottom:
        t = (y - top) / (bottom - top)
        w = width * (1 - t * 0.6) * rng.uniform(0.6, 1.0)
        h = (1.0 + t * 2) * row
        canvas.shape(box(cx - w, y, cx + w, y + h), colour, (cx - w, y, cx + w, y + h),
                     opacity=0.8 - 0.5 * t)
        y += h + 2 * row + t * 6 * row


def window_frame(canvas, x0, y0, x1, y1, title):
    """A dialog window drawn like the 3-D controls of the period."""
    white, light, grey, dark, black = (255,) * 3, (223,) * 3, (192,) * 3, (128,) * 3, (0,) * 3
    canvas.shape(box(x0, y0, x1, y1), black, (x0, y0, x1, y1), softness=0.01)
    canvas.shape(box(x0, y0, x1 - 2, y1 - 1), white, (x0, y0, x1, y1), softness=0.01)
    canvas.shape(box(x0 + 2, y0 + 1, x1 - 2, y1 - 1), dark, (x0, y0, x1, y1), softness=0.01)
    canvas.shape(box(x0 + 2, y0 + 1, x1 - 4, y1 - 2), light, (x0, y0, x1, y1), softness=0.01)
    canvas.shape(box(x0 + 4, y0 + 2, x1 - 4, y1 - 2), grey, (x0, y0, x1, y1), softness=0.01)
    canvas.shape(box(x0 + 6, y0 + 5, x1 - 6, y0 + 26), hexcolour("000080"),
                 (x0, y0, x1, y0 + 29), softness=0.01)
    draw_text(canvas, title, x0 + 8 + text_width(title, 2) / 2, y0 + 7, white, scale_x=2,
              scale_y=2.4)
    # the close button
    bx = x1 - 26
    canvas.shape(box(bx, y0 + 7, bx + 18, y0 + 24), grey, (bx, y0, bx + 20, y0 + 26),
                 softness=0.01)
    draw_text(canvas, "X", bx + 9, y0 + 7, black, scale_x=2, scale_y=2.4)


# ---------------------------------------------------------------------------
# The pictures.


def picture_clouds():
    c = Canvas()
    c.background(vertical([(0, hexcolour("1d4fb8")), (0.55, hexcolour("5f9de8")),
                           (1, hexcolour("c9e4ff"))]))
    c.glow(520, 84, 140, hexcolour("fff6d0"), 0.9)
    c.shape(circle(520, 84, 26), hexcolour("fffbe8"), (490, 54, 550, 114), softness=2.5)
    for cx, cy, s in [(120, 144, 1.0), (470, 228, 1.25), (250, 336, 0.8), (560, 396, 0.9),
                      (60, 420, 1.1), (330, 72, 0.6)]:
        cloud(c, cx, cy, s, hexcolour("ffffff"), hexcolour("b8cbe6"))
    draw_text(c, "GOOD MORNING", 320, 446, hexcolour("ffffff"), shadow=hexcolour("1d3f80"))
    return c


def picture_fuji_dawn():
    """The dawn scene in any frame 640 wide: its heights are laid out on 400
    rows and stretched to the frame's height k times, so that the logo and
    --photo's 16:10 camera frame show the same scene."""
    c = Canvas()
    k = c.screen_h / 400
    sky = [(0, hexcolour("2b1e5a")), (0.3, hexcolour("8a3f7a")), (0.52, hexcolour("f07a4a")),
           (0.62, hexcolour("ffc070"))]
    water = [(0, hexcolour("d08a6a")), (1, hexcolour("301c48"))]
    c.background(lambda x, y: ramp(sky, y / (400 * k)) if y < 250 * k else
                 ramp(water, (y - 250 * k) / (150 * k)))
    c.glow(320, 215 * k, 180, hexcolour("ffd890"), 0.7)
    c.shape(circle(320, 200 * k, 46), lambda x, y: mix(hexcolour("ff5a2a"), hexcolour("ffb060"),
                                                        clamp((200 * k - y) / (80 * k) + 0.2)),
            (270, 200 * k - 50, 370, 200 * k + 50), softness=2.0)
    fuji(c, 320, 250 * k, 95 * k, 270, hexcolour("3b2a5c"), hexcolour("f4ecff"),
         hexcolour("5a3f7a"))
    c.shape(box(0, 249 * k, 640, 252 * k), hexcolour("2a1d44"), (0, 248 * k, 640, 253 * k),
            softness=0.5)
    reflection_lines(c, 320, 258 * k, 360 * k, hexcolour("ffb070"), 60, row=k)
    draw_text(c, "OHAYOU!", 320, 374 * k, hexcolour("ffe8c0"), scale_y=3 * k,
              shadow=hexcolour("201030"))
    return c


def picture_teal_desktop():
    c = Canvas()
    teal = hexcolour("008080")
    c.background(lambda x, y: teal)
    # desktop icons
    for n, label in enumerate(["MY PC", "BIN", "DISK"]):
        y = 36 + n * 84
        c.shape(box(30, y, 70, y + 36), hexcolour("c0c0c0"), (28, y - 2, 72, y + 38), 0.01)
        c.shape(box(34, y + 4, 66, y + 26), hexcolour("000080"), (28, y, 72, y + 36), 0.01)
        draw_text(c, label, 50, y + 46, hexcolour("ffffff"), scale_x=2, scale_y=2.4)
    window_frame(c, 150, 132, 560, 348, "WELCOME")
    draw_text(c, "STARTING UP", 355, 192, hexcolour("000000"), scale_x=4, scale_y=2.4)
    draw_text(c, "PLEASE WAIT", 355, 228, hexcolour("000000"), scale_x=2, scale_y=2.4)
    # a progress bar, sunken, with blue blocks
    c.shape(box(190, 276, 520, 307), hexcolour("808080"), (188, 274, 522, 310), 0.01)
    c.shape(box(192, 277, 520, 307), hexcolour("ffffff"), (188, 274, 522, 310), 0.01)
    c.shape(box(192, 277, 518, 306), hexcolour("c0c0c0"), (188, 274, 522, 310), 0.01)
    for k in range(11):
        x = 196 + k * 20
        c.shape(box(x, 281, x + 16, 302), hexcolour("000080"), (x, 278, x + 18, 305), 0.01)
    # the task bar
    c.shape(box(0, 446, 640, 480), hexcolour("c0c0c0"), (0, 444, 640, 480), 0.01)
    c.shape(box(0, 446, 640, 448), hexcolour("ffffff"), (0, 444, 640, 450), 0.01)
    c.shape(box(4, 451, 84, 476), hexcolour("000000"), (0, 449, 90, 480), 0.01)
    c.shape(box(4, 451, 82, 475), hexcolour("ffffff"), (0, 449, 90, 480), 0.01)
    c.shape(box(6, 452, 82, 475), hexcolour("808080"), (0, 449, 90, 480), 0.01)
    c.shape(box(6, 452, 80, 474), hexcolour("c0c0c0"), (0, 449, 90, 480), 0.01)
    draw_text(c, "START", 44, 456, hexcolour("000000"), scale_x=2, scale_y=2.4)
    c.shape(box(560, 451, 636, 476), hexcolour("808080"), (556, 449, 640, 480), 0.01)
    c.shape(box(562, 452, 636, 476), hexcolour("ffffff"), (556, 449, 640, 480), 0.01)
    c.shape(box(562, 452, 634, 475), hexcolour("c0c0c0"), (556, 449, 640, 480), 0.01)
    draw_text(c, "9:50", 598, 456, hexcolour("000000"), scale_x=2, scale_y=2.4)
    return c


def picture_seigaiha():
    """The blue wave pattern with a red sun and a caption."""
    c = Canvas()
    radius = 44.0
    step_x, step_y = radius * 2, radius / 2
    rings = [hexcolour("0b2a6b"), hexcolour("eaf2ff"), hexcolour("1f56a8"), hexcolour("eaf2ff"),
             hexcolour("3f86d0"), hexcolour("eaf2ff")]

    def wave(x, y):
        row = math.floor(y / step_y) + 2
        for j in range(row, row - 4, -1):  # later rows lie on top
            cy = j * step_y
            offset = (j % 2) * radius
            i = round((x - offset) / step_x)
            for k in (i, i - 1, i + 1):
                cx = k * step_x + offset
                d = math.hypot(x - cx, y - cy)
                if d < radius and y <= cy:
                    return rings[min(len(rings) - 1, int(d / radius * len(rings)))]
        return rings[0]

    c.background(wave)
    c.shape(circle(320, 204, 96), hexcolour("ffffff"), (220, 104, 420, 304), softness=2.0)
    c.shape(circle(320, 204, 86), hexcolour("d7261e"), (220, 104, 420, 304), softness=2.0)
    c.shape(box(150, 384, 490, 434), hexcolour("ffffff"), (148, 382, 492, 437), softness=1.0)
    c.shape(box(154, 386, 486, 432), hexcolour("0b2a6b"), (148, 382, 492, 437), softness=1.0)
    draw_text(c, "YOUKOSO", 320, 397, hexcolour("ffffff"))
    return c


def picture_moon():
    c = Canvas()
    c.background(vertical([(0, hexcolour("05061a")), (0.6, hexcolour("162a5c")),
                           (1, hexcolour("2f4f86"))]))
    stars(c, random.Random(7), 160, 360, hexcolour("ffffff"))
    c.glow(440, 156, 150, hexcolour("6078b8"), 0.6)
    moon = circle(440, 156, 56)
    bite = circle(470, 134, 50)
    c.shape(lambda x, y: max(moon(x, y), -bite(x, y)), hexcolour("fff4c8"), (380, 96, 500, 216),
            softness=2.0)
    # hills
    hills = [(x, 396 - 31 * math.sin(x / 110.0) - 12 * math.sin(x / 37.0))
                          for x in range(0, 641, 16)] + [(640, 482), (0, 482)]
    c.shape(polygon(hills), hexcolour("0a1230"), bounds(hills))
    draw_text(c, "PLEASE WAIT...", 320, 432, hexcolour("ffe08a"), shadow=hexcolour("000000"))
    return c


def picture_sunset():
    c = Canvas()
    sky = [(0, hexcolour("1a0b3a")), (0.35, hexcolour("7a1f6a")), (0.6, hexcolour("f0504a")),
           (0.72, hexcolour("ffb347"))]
    c.background(lambda x, y: ramp(sky, y / 480) if y < 312 else
                 mix(hexcolour("3a1650"), hexcolour("0e0624"), (y - 312) / 168))

    def sun_colour(x, y):
        return mix(hexcolour("ffe25a"), hexcolour("ff3a7a"), clamp((y - 156) / 156))

    sun = circle(320, 264, 110)

    def striped_sun(x, y):
        d = sun(x, y)
        if y > 216:  # bands that widen towards the horizon
            band = (y - 216) / 96.0
            phase = (y - 216) % (14.4 - band * 4.8)
            if phase < 2.4 + band * 6:
                return max(d, 1.5)
        return max(d, y - 311)

    c.shape(striped_sun, sun_colour, (200, 120, 440, 314), softness=1.2)
    # a grid on the sea, vanishing at the horizon
    for k in range(-12, 13):
        x_far, x_near = 320 + k * 8, 320 + k * 90
        c.shape(capsule(x_far, 314, x_near, 480, 0.7), hexcolour("ff5ac8"),
                (min(x_far, x_near) - 2, 312, max(x_far, x_near) + 2, 480), opacity=0.7)
    y = 314.0
    gap = 3.6
    while y < 480:
        c.shape(box(0, y, 640, y + 1), hexcolour("ff5ac8"), (0, y - 2, 640, y + 3), opacity=0.7)
        y += gap
        gap *= 1.35
    draw_text(c, "SHUTTING DOWN", 320, 48, hexcolour("ffffff"), shadow=hexcolour("5a1050"))
    return c


def picture_hourglass():
    c = Canvas()
    c.background(lambda x, y: mix(hexcolour("004f5f"), hexcolour("00808a"),
                                  clamp(1 - math.hypot(x - 320, y - 216) / 420)))
    frame = hexcolour("8a5a2a")
    glass = hexcolour("d8f0f0")
    sand = hexcolour("f0c060")
    cx, top, bottom, half = 320, 108, 348, 70
    c.shape(box(cx - half - 20, top - 17, cx + half + 20, top), frame, (0, 0, 640, 480), 1.0)
    c.shape(box(cx - half - 20, bottom, cx + half + 20, bottom + 17), frame, (0, 0, 640, 480), 1.0)
    for side in (-1, 1):
        x = cx + side * (half + 12)
        c.shape(box(x - 5, top, x + 5, bottom), frame, (x - 8, top, x + 8, bottom), 1.0)
    mid = (top + bottom) / 2
    bulb = [(cx - half, top + 2), (cx + half, top + 2), (cx + 8, mid), (cx + half, bottom - 2),
            (cx - half, bottom - 2), (cx - 8, mid)]
    c.shape(polygon(bulb), glass, bounds(bulb), opacity=0.85)
    upper = [(cx - half * 0.55, top + 58), (cx + half * 0.55, top + 58), (cx + 6, mid - 2),
             (cx - 6, mid - 2)]
    c.shape(polygon(upper), sand, bounds(upper))
    c.shape(box(cx - 1.5, mid - 2, cx + 1.5, bottom - 48), sand, (cx - 4, mid, cx + 4, bottom))
    heap = [(cx - half + 4, bottom - 4), (cx, bottom - 50), (cx + half - 4, bottom - 4)]
    c.shape(polygon(heap), sand, bounds(heap))
    draw_text(c, "PLEASE WAIT WHILE", 320, 386, hexcolour("ffffff"), scale_x=4, scale_y=2.4)
    draw_text(c, "YOUR COMPUTER SHUTS DOWN", 320, 413, hexcolour("ffffff"), scale_x=4,
              scale_y=2.4)
    return c


SAFE_TEXT = ("IT'S NOW SAFE TO TURN OFF", "YOUR COMPUTER.")


def safe_caption(c, top, colour, shadow=None):
    draw_text(c, SAFE_TEXT[0], 320, top, colour, shadow=shadow)
    draw_text(c, SAFE_TEXT[1], 320, top + 34, colour, shadow=shadow)


def blossoms(c, rng, count, area, size, petal, centre):
    x0, y0, x1, y1 = area
    for _ in range(count):
        sakura_flower(c, rng.uniform(x0, x1), rng.uniform(y0, y1), size * rng.uniform(0.75, 1.2),
                      petal, centre, rng.uniform(0, 6.28))


def picture_yozakura():
    c = Canvas()
    c.background(vertical([(0, hexcolour("0c0a24")), (0.7, hexcolour("2a1840")),
                           (1, hexcolour("3a1f48"))]))
    stars(c, random.Random(3), 90, 312, hexcolour("f0e8ff"))
    c.glow(120, 96, 120, hexcolour("fff0d0"), 0.35)
    c.shape(circle(120, 96, 30), hexcolour("fff8e8"), (80, 56, 160, 136), softness=2.0)
    rng = random.Random(11)
    branch(c, [(640, 48), (560, 84), (470, 108), (400, 168), (330, 180)], 9, hexcolour("1a0e14"))
    branch(c, [(560, 84), (520, 180), (470, 240)], 6, hexcolour("1a0e14"))
    branch(c, [(470, 108), (430, 60), (380, 36)], 5, hexcolour("1a0e14"))
    for x, y in [(330, 180), (470, 240), (380, 36), (600, 60), (430, 144), (520, 168),
                 (400, 84), (560, 120)]:
        blossoms(c, rng, 6, (x - 40, y - 36, x + 40, y + 36), 11, hexcolour("ffc0d8"),
                 hexcolour("d0406a"))
    # falling petals
    for _ in range(40):
        x, y = rng.uniform(0, 640), rng.uniform(180, 396)
        c.shape(ellipse(x, y, 4, 2.4, rng.uniform(0, 3)), hexcolour("ffb0cc"),
                (x - 6, y - 6, x + 6, y + 6), opacity=rng.uniform(0.5, 0.9))
    safe_caption(c, 408, hexcolour("ff9a3c"))
    return c


def picture_fuji_night():
    c = Canvas()
    c.background(vertical([(0, hexcolour("000010")), (0.55, hexcolour("0f1d48")),
                           (0.7, hexcolour("2a3a6a")), (1, hexcolour("0a0a20"))]))
    stars(c, random.Random(5), 140, 264, hexcolour("ffffff"))
    c.glow(500, 84, 90, hexcolour("8090c0"), 0.5)
    c.shape(circle(500, 84, 22), hexcolour("fffbe0"), (470, 54, 530, 114), softness=2.0)
    fuji(c, 300, 360, 144, 300, hexcolour("141a38"), hexcolour("c8d4f0"), hexcolour("24305a"))
    c.shape(box(0, 358, 640, 480), hexcolour("05060f"), (0, 355, 640, 480), softness=1.0)
    safe_caption(c, 403, hexcolour("ff9a3c"))
    return c


def picture_torii():
    c = Canvas()
    sky = [(0, hexcolour("3a1a4a")), (0.4, hexcolour("c2506a")), (0.7, hexcolour("ffb070"))]
    c.background(lambda x, y: ramp(sky, y / 336) if y < 336 else
                 mix(hexcolour("c07a6a"), hexcolour("2a1436"), (y - 336) / 144))
    c.glow(320, 324, 200, hexcolour("ffe0a0"), 0.6)
    c.shape(circle(320, 314, 40), hexcolour("fff0c0"), (270, 274, 370, 354), softness=2.0)
    c.shape(box(0, 335, 640, 480), lambda x, y: mix(hexcolour("c07a6a"), hexcolour("2a1436"),
                                                     (y - 336) / 144), (0, 335, 640, 480), 0.5)
    reflection_lines(c, 320, 341, 468, hexcolour("ffd8a0"), 50)
    red = hexcolour("c8281e")
    dark = hexcolour("2a0a10")
    # pillars, the tie beam and the curved top beam, standing in the water
    for x in (220, 420):
        c.shape(box(x - 10, 132, x + 10, 360), red, (x - 12, 130, x + 12, 362), 1.0)
        c.shape(box(x - 13, 353, x + 13, 365), dark, (x - 15, 348, x + 15, 367), 1.0)
    c.shape(box(186, 168, 454, 185), red, (180, 163, 460, 190), 1.0)
    c.shape(box(312, 134, 328, 168), red, (308, 132, 332, 170), 1.0)
    beam = []
    for k in range(21):
        t = k / 20
        x = 140 + 360 * t
        beam.append((x, 115 - 19 * (2 * t - 1) ** 2 + 19))
    for k in range(20, -1, -1):
        t = k / 20
        x = 140 + 360 * t
        beam.append((x, 115 - 19 * (2 * t - 1) ** 2))
    c.shape(polygon(beam), dark, bounds(beam))
    c.shape(box(170, 132, 470, 144), red, (166, 127, 474, 149), 1.0)
    draw_text(c, "OYASUMI NASAI", 320, 422, hexcolour("ffe8c8"), shadow=hexcolour("2a0a10"))
    return c


def picture_sakura_day():
    c = Canvas()
    c.background(lambda x, y: mix(hexcolour("fff4f0"), hexcolour("ffd0e0"),
                                  clamp(math.hypot(x - 200, y - 144) / 520)))
    rng = random.Random(21)
    bark = hexcolour("5a3a34")
    branch(c, [(-10, 36), (90, 72), (200, 84), (300, 144), (380, 156)], 10, bark)
    branch(c, [(200, 84), (260, 48), (330, 36)], 6, bark)
    branch(c, [(90, 72), (120, 156), (100, 228)], 6, bark)
    for x, y in [(380, 156), (330, 36), (100, 228), (260, 108), (160, 96), (300, 72), (60, 48),
                 (130, 168)]:
        blossoms(c, rng, 5, (x - 40, y - 34, x + 40, y + 34), 13, hexcolour("ff9ec0"),
                 hexcolour("c8305a"))
    for _ in range(30):
        x, y = rng.uniform(200, 640), rng.uniform(180, 384)
        c.shape(ellipse(x, y, 5, 3, rng.uniform(0, 3)), hexcolour("ff9ec0"),
                (x - 7, y - 7, x + 7, y + 7), opacity=rng.uniform(0.5, 0.9))
    safe_caption(c, 403, hexcolour("c8305a"), shadow=hexcolour("ffffff"))
    return c


def picture_original_start():
    c = Canvas()
    c.background(vertical([(0, hexcolour("4f86d8")), (1, hexcolour("a8ccf4"))]))
    for cx, cy, s in [(140, 132, 0.9), (500, 180, 1.1), (300, 300, 0.7)]:
        cloud(c, cx, cy, s, hexcolour("ffffff"), hexcolour("c0d4ee"))
    draw_text(c, "STARTING WINDOWS", 320, 434, hexcolour("ffffff"), shadow=hexcolour("204070"))
    return c


def picture_original_wait():
    c = Canvas()
    c.background(lambda x, y: (0.0, 0.0, 0.0))
    draw_text(c, "PLEASE WAIT WHILE YOUR", 320, 204, hexcolour("ff9a3c"))
    draw_text(c, "COMPUTER SHUTS DOWN.", 320, 240, hexcolour("ff9a3c"))
    return c


def picture_original_safe():
    c = Canvas()
    c.background(lambda x, y: (0.0, 0.0, 0.0))
    safe_caption(c, 204, hexcolour("ff9a3c"))
    return c


# ---------------------------------------------------------------------------
# 256-colour quantisation (median cut) and the bitmap file.


def quantise(canvas):
    """Returns (palette, indices) with at most 256 colours chosen by median
    cut over the picture's colours, weighted by how often they occur."""
    counts = {}
    pixels = []
    for i in range(WIDTH * HEIGHT):
        key = (int(clamp(canvas.r[i], 0, 255) + 0.5), int(clamp(canvas.g[i], 0, 255) + 0.5),
               int(clamp(canvas.b[i], 0, 255) + 0.5))
        pixels.append(key)
        counts[key] = counts.get(key, 0) + 1

    boxes = [list(counts)]
    while len(boxes) < 256:
        # split the box with the widest weighted range
        best, best_score, best_axis = None, 0, 0
        for n, colours in enumerate(boxes):
            if len(colours) < 2:
                continue
            for axis in range(3):
                values = [c[axis] for c in colours]
                spread = max(values) - min(values)
                weight = sum(counts[c] for c in colours)
                score = spread * math.sqrt(weight)
                if score > best_score:
                    best, best_score, best_axis = n, score, axis
        if best is None:
            break
        colours = sorted(boxes[best], key=lambda c: (c[best_axis], c))
        total = sum(counts[c] for c in colours)
        running, cut = 0, 1
        for k, colour in enumerate(colours):
            running += counts[colour]
            if running * 2 >= total:
                cut = max(1, min(len(colours) - 1, k + 1))
                break
        boxes[best:best + 1] = [colours[:cut], colours[cut:]]

    # Darker colours first, as palettes of the period were usually ordered.
    def average(colours):
        weight = sum(counts[c] for c in colours)
        return tuple(int(sum(c[a] * counts[c] for c in colours) / weight + 0.5) for a in range(3))

    boxes.sort(key=lambda colours: sum(average(colours)))
    palette, index_of = [], {}
    for n, colours in enumerate(boxes):
        palette.append(average(colours))
        for colour in colours:
            index_of[colour] = n
    while len(palette) < 256:
        palette.append((0, 0, 0))
    return palette, [index_of[p] for p in pixels]


def bitmap_bytes(canvas):
    palette, indices = quantise(canvas)
    pixel_bytes = WIDTH * HEIGHT
    header = b"BM" + struct.pack("<IHHI", LOGO_LENGTH, 0, 0, 14 + 40 + 1024)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, pixel_bytes, 0, 0, 256, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    rows = bytearray()
    for py in range(HEIGHT - 1, -1, -1):  # bottom-up
        rows += bytes(indices[py * WIDTH:(py + 1) * WIDTH])
    data = header + info + colours + bytes(rows)
    assert len(data) == LOGO_LENGTH, len(data)
    return data, palette, indices


def png_bytes(width, height, rgb_rows):
    """A PNG file of the given rows of RGB bytes."""
    raw = b"".join(b"\0" + bytes(row) for row in rgb_rows)

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def preview_png(palette, indices):
    """A 640x480 preview as a 4:3 monitor shows the screen: each pixel
    doubled across, and each row 1.2 rows tall (the row under a row's
    middle), as korlogo preview shows it."""
    rows = []
    for y in range(SCREEN_H):
        py = (2 * y + 1) * HEIGHT // (2 * SCREEN_H)
        row = bytearray()
        for px in range(WIDTH):
            colour = bytes(palette[indices[py * WIDTH + px]])
            row += colour + colour
        rows.append(row)
    return png_bytes(SCREEN_W, SCREEN_H, rows)


def contact_sheet_png(pictures, columns=4, gap=6):
    """Every picture at half the size a 4:3 monitor shows it (320x240), in a
    grid: each row of a cell averages the logo rows it covers."""
    cell_w, cell_h = WIDTH, SCREEN_H // 2
    rows_of_cells = (len(pictures) + columns - 1) // columns
    width = columns * cell_w + (columns + 1) * gap
    height = rows_of_cells * cell_h + (rows_of_cells + 1) * gap
    background = bytes((64, 64, 64))
    rows = [bytearray(background * width) for _ in range(height)]
    step = HEIGHT / cell_h
    for n, (palette, indices) in enumerate(pictures):
        left = gap + (n % columns) * (cell_w + gap)
        top = gap + (n // columns) * (cell_h + gap)
        for y in range(cell_h):
            start, end = y * step, (y + 1) * step
            covered = [(py, min(py + 1, end) - max(py, start))
                       for py in range(int(start), min(HEIGHT, math.ceil(end)))]
            row = rows[top + y]
            for x in range(cell_w):
                sums = [0.0, 0.0, 0.0]
                for py, weight in covered:
                    colour = palette[indices[py * WIDTH + x]]
                    for c in range(3):
                        sums[c] += colour[c] * weight
                at = (left + x) * 3
                row[at:at + 3] = bytes(int(total / step + 0.5) for total in sums)
    return png_bytes(width, height, rows)


# Host paths below examples/; the folder 壁紙 ("wallpaper") is written in UTF-8
# on the host and in CP932 inside KOR.INI.
BMP_MACHINE = "demo-machine"
ARCHIVE_MACHINE = "demo-machine-archives"
JAPANESE_FOLDER = "壁紙"

PICTURES = [
    # (file below the BMP machine's drive c, drawing)
    ("LOGOS/OPENING/CLOUDS.BMP", picture_clouds),
    ("LOGOS/OPENING/FUJI.BMP", picture_fuji_dawn),
    ("LOGOS/OPENING/TEAL.BMP", picture_teal_desktop),
    ("LOGOS/OPENING/SEIGAIHA.BMP", picture_seigaiha),
    ("LOGOS/WAIT/MOON.BMP", picture_moon),
    ("LOGOS/WAIT/SUNSET.BMP", picture_sunset),
    ("LOGOS/WAIT/HOURGLAS.BMP", picture_hourglass),
    (f"LOGOS/{JAPANESE_FOLDER}/YOZAKURA.BMP", picture_yozakura),
    (f"LOGOS/{JAPANESE_FOLDER}/FUJINITE.BMP", picture_fuji_night),
    (f"LOGOS/{JAPANESE_FOLDER}/TORII.BMP", picture_torii),
    (f"LOGOS/{JAPANESE_FOLDER}/SAKURA.BMP", picture_sakura_day),
]

ORIGINALS = [
    # (logo file below drive c of both machines, drawing)
    ("logo.sys", picture_original_start),
    ("WINDOWS/logow.sys", picture_original_wait),
    ("WINDOWS/logos.sys", picture_original_safe),
]


def ini_bytes(pairs):
    """KOR.INI as Windows writes it: CP932 bytes, CRLF line ends."""
    lines = ["[SaveDir]"] + [f"{key}={value}" for key, value in pairs]
    return "".join(line + "\r\n" for line in lines).encode("cp932")


BMP_INI = [
    ("ArcCheck", "on"),
    ("DirOnly", r"C:\LOGOS\OPENING"),
    ("MDirOnly", r"C:\LOGOS\WAIT"),
    ("EDirOnly", "C:\\LOGOS\\" + JAPANESE_FOLDER),
    ("pc98Check", "off"),
    ("sizecheck", "off"),
]

ARCHIVE_INI = [
    ("ArcCheck", "off"),
    ("Dir", r"C:\LOGOS"),
    ("FileName", "OPENING.LZH"),
    ("MDir", r"C:\LOGOS"),
    ("MFileName", "WAIT.LZH"),
    ("EDir", "C:\\LOGOS\\" + JAPANESE_FOLDER),
    ("EFileName", "和風.LZH"),
    ("pc98Check", "off"),
    ("sizecheck", "off"),
]


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--examples", default=os.path.join(here, "..", "examples"),
                        help="the examples folder to write into")
    parser.add_argument("--preview", metavar="DIR", help="also write 640x480 PNG previews here")
    parser.add_argument("--sheet", metavar="PNG", help="also write a contact sheet of them all")
    parser.add_argument("--only", metavar="NAME", help="draw only pictures whose path holds NAME")
    parser.add_argument("--photo", metavar="PNG",
                        help="write the dawn scene as a full-colour 1280x800 picture and stop")
    args = parser.parse_args()

    if args.photo:
        # A camera's 16:10 frame of square pixels: 640 by 400 screen units.
        Canvas.pixels = (2 * SCREEN_W, 800)
        Canvas.screen = (SCREEN_W, 400)
        c = picture_fuji_dawn()
        rows = [bytearray(int(clamp(channel[i], 0, 255) + 0.5)
                          for i in range(y * c.width, (y + 1) * c.width)
                          for channel in (c.r, c.g, c.b)) for y in range(c.height)]
        write(args.photo, png_bytes(c.width, c.height, rows))
        return 0

    bmp_c = os.path.join(args.examples, BMP_MACHINE, "c")
    archive_c = os.path.join(args.examples, ARCHIVE_MACHINE, "c")
    jobs = [(os.path.join(bmp_c, p), draw) for p, draw in PICTURES]
    for p, draw in ORIGINALS:
        jobs.append((os.path.join(bmp_c, p), draw))
    drawn = []
    for path, draw in jobs:
        if args.only and args.only not in path:
            continue
        data, palette, indices = bitmap_bytes(draw())
        drawn.append((palette, indices))
        write(path, data)
        print(os.path.relpath(path, args.examples))
        if path.startswith(bmp_c) and any(path.endswith(o) for o, _ in ORIGINALS):
            write(os.path.join(archive_c, os.path.relpath(path, bmp_c)), data)
        if args.preview:
            name = os.path.relpath(path, args.examples).replace(os.sep, "_") + ".png"
            write(os.path.join(args.preview, name), preview_png(palette, indices))
    if args.sheet:
        write(args.sheet, contact_sheet_png(drawn))

    write(os.path.join(bmp_c, "WINDOWS", "KOR.INI"), ini_bytes(BMP_INI))
    write(os.path.join(archive_c, "WINDOWS", "KOR.INI"), ini_bytes(ARCHIVE_INI))
    for machine in (bmp_c, archive_c):
        os.makedirs(os.path.join(machine, "WINDOWS", "SYSTEM"), exist_ok=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
