#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the pictures that korsetup carries in setup/resources/.

    background.png  440x387, 24-bit colour: the main window's inner area.
                    Mt. Fuji at dawn over a lake, a cherry branch in the
                    upper right, "KOR" in the lower right corner. The middle
                    of the picture, where the child windows open, stays calm.
    icon.png        32x32, 24-bit colour: the window icon and the picture of
                    the about window; the same mountain in a small tile.

and, in setup/icons/, the desktop's icons of korsetup: the same tile drawn
afresh at 32, 48, 64, 128 and 256 pixels (korsetup-SIZE.png, 8-bit colour
with alpha), its corners rounded off and transparent, as desktops show
application icons.

Only the Python 3 standard library is used. The output is deterministic and
committed, so the build does not need this script.

    python3 scripts/make-setup-artwork.py          # writes setup/resources/ and setup/icons/
    python3 scripts/make-setup-artwork.py OUT_DIR  # writes both into OUT_DIR
"""

import math
import os
import struct
import sys
import zlib

# ---------------------------------------------------------------------------
# Colours are (r, g, b) tuples of floats from 0 to 1.


def rgb(hex_text):
    return tuple(int(hex_text[i : i + 2], 16) / 255.0 for i in (0, 2, 4))


def mix(a, b, t):
    t = 0.0 if t < 0 else 1.0 if t > 1 else t
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def gradient(stops, t):
    """The colour at t along (position, colour) stops sorted by position."""
    if t <= stops[0][0]:
        return stops[0][1]
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            return mix(c0, c1, (t - p0) / (p1 - p0))
    return stops[-1][1]


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = 0.0 if t < 0 else 1.0 if t > 1 else t
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def write_png(path, width, height, pixel_rows):
    """Writes 8-bit rows of (r, g, b) or (r, g, b, a) byte tuples."""
    channels = len(pixel_rows[0][0])
    raw = bytearray()
    for row in pixel_rows:
        raw.append(0)  # no filter
        for pixel in row:
            raw += bytes(pixel)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    colour_type = 6 if channels == 4 else 2
    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", header))
        out.write(chunk(b"IDAT", zlib.compress(bytes(raw), 9)))
        out.write(chunk(b"IEND", b""))


def render(width, height, shade, samples, coverage=None):
    """Averages samples x samples points of shade(x, y) in every pixel.

    With coverage(x, y), a test of whether a point lies on the picture, each
    pixel also gets an alpha: the share of its points that do, and its
    colour is the average of those points alone."""
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            r = g = b = 0.0
            inside = 0
            for sy in range(samples):
                for sx in range(samples):
                    px, py = x + (sx + 0.5) / samples, y + (sy + 0.5) / samples
                    if coverage is not None and not coverage(px, py):
                        continue
                    c = shade(px, py)
                    r += c[0]
                    g += c[1]
                    b += c[2]
                    inside += 1
            if coverage is None:
                n = samples * samples
                row.append(tuple(int(round(255 * v / n)) for v in (r, g, b)))
            elif inside == 0:
                row.append((0, 0, 0, 0))
            else:
                colour = tuple(int(round(255 * v / inside)) for v in (r, g, b))
                row.append(colour + (int(round(255 * inside / (samples * samples))),))
        rows.append(row)
    return rows


# ---------------------------------------------------------------------------
# The mountain, shared by both pictures: a flat summit and concave slopes,
# steep near the top and flattening towards the foot, as Fuji's are.


class Mountain:
    def __init__(self, centre, summit_y, foot_y, summit_half, foot_half):
        self.centre = centre
        self.summit_y = summit_y
        self.foot_y = foot_y
        self.summit_half = summit_half
        self.foot_half = foot_half

    def ridge(self, x):
        """The height of the slope above x, or None beyond the foot."""
        d = abs(x - self.centre)
        if d > self.foot_half:
            return None
        if d <= self.summit_half:
            return self.summit_y
        t = (d - self.summit_half) / (self.foot_half - self.summit_half)
        return self.summit_y + (self.foot_y - self.summit_y) * (1 - (1 - t) ** 2.2)

    def contains(self, x, y):
        top = self.ridge(x)
        return top is not None and top <= y <= self.foot_y

    def snow_line(self, x, depth):
        wave = 0.18 * depth * math.sin(x * 0.31) + 0.12 * depth * math.sin(x * 0.13 + 1.0)
        return self.summit_y + depth + wave


# ---------------------------------------------------------------------------
# The background.

BG_W, BG_H = 440, 387
HORIZON = 268

SKY = [
    (0.00, rgb("0b1d5a")),  # the deep blue of a Windows 95 title bar
    (0.45, rgb("11607a")),
    (0.72, rgb("2f9c9c")),  # the teal of the Windows 95 desktop
    (0.90, rgb("c9c6a8")),
    (1.00, rgb("f6d2a8")),  # dawn at the horizon
]
LAKE = [(0.0, rgb("2a7f8c")), (0.35, rgb("125766")), (1.0, rgb("082a47"))]
SUN = (318.0, 214.0, 24.0)
FUJI = Mountain(centre=232.0, summit_y=112.0, foot_y=HORIZON, summit_half=17.0, foot_half=205.0)
ROCK_SHADE, ROCK_LIGHT = rgb("26386b"), rgb("3f5e8e")
SNOW_SHADE, SNOW_LIGHT = rgb("b9c9e2"), rgb("f4f7fc")
BRANCH = rgb("3b2630")
PETAL, PETAL_HEART = rgb("f4b3c6"), rgb("fde6ee")

# The cherry branch: a chain of segments from the upper right edge.
BRANCH_POINTS = [(446, 18), (405, 30), (372, 52), (352, 58), (330, 76)]
TWIG_POINTS = [(405, 30), (396, 12), (384, 4)]
BLOSSOMS = [
    (420, 26, 6.0), (398, 40, 5.5), (386, 46, 6.5), (366, 60, 5.0), (348, 66, 6.0),
    (332, 80, 5.5), (338, 60, 4.5), (394, 14, 5.0), (380, 8, 4.5), (428, 38, 5.0),
    (360, 44, 4.0), (410, 48, 4.0),
]
FALLING_PETALS = [(300, 96), (286, 132), (352, 118), (402, 96), (262, 70), (372, 150)]

# "KOR": letters built from bars, rings and strokes, in the lower right corner.
TEXT_X, TEXT_Y, TEXT_H, STROKE = 334.0, 334.0, 34.0, 6.5


def in_letters(x, y):
    h, w = TEXT_H, STROKE
    # K
    k = TEXT_X
    if k <= x <= k + w and TEXT_Y <= y <= TEXT_Y + h:
        return True
    if segment_distance(x, y, k + w, TEXT_Y + h * 0.58, k + h * 0.62, TEXT_Y + w * 0.4) <= w / 2:
        return True
    if segment_distance(x, y, k + w + 4, TEXT_Y + h * 0.45, k + h * 0.66, TEXT_Y + h - w * 0.4) <= w / 2:
        return True
    # O
    cx, cy, a, b = TEXT_X + 45.0, TEXT_Y + h / 2, 15.0, h / 2
    outer = ((x - cx) / a) ** 2 + ((y - cy) / b) ** 2
    inner = ((x - cx) / (a - w)) ** 2 + ((y - cy) / (b - w)) ** 2
    if outer <= 1 <= inner:
        return True
    # R
    r = TEXT_X + 68.0
    if r <= x <= r + w and TEXT_Y <= y <= TEXT_Y + h:
        return True
    bx, by, ba, bb = r + w, TEXT_Y + h * 0.28, 13.0, h * 0.28
    if x >= bx:
        outer = ((x - bx) / ba) ** 2 + ((y - by) / bb) ** 2
        inner = ((x - bx) / (ba - w)) ** 2 + ((y - by) / (bb - w)) ** 2
        if outer <= 1 <= inner:
            return True
    return segment_distance(x, y, r + w + 5, TEXT_Y + h * 0.5, r + 23, TEXT_Y + h - w * 0.4) <= w / 2


def sky_colour(x, y):
    colour = gradient(SKY, y / HORIZON)
    sx, sy, radius = SUN
    d = math.hypot(x - sx, y - sy)
    glow = math.exp(-max(0.0, d - radius) / 46.0) * 0.55
    colour = mix(colour, rgb("ffe6c4"), glow)
    if d <= radius:
        colour = mix(rgb("fff3de"), rgb("ffd9a8"), d / radius)
    return colour


def mountain_colour(x, y):
    top = FUJI.ridge(x)
    # Light comes from the sun on the right.
    side = 0.5 + 0.5 * max(-1.0, min(1.0, (x - FUJI.centre) / 60.0))
    height = (y - top) / (FUJI.foot_y - FUJI.summit_y)
    if y <= FUJI.snow_line(x, 44.0):
        return mix(SNOW_SHADE, SNOW_LIGHT, side)
    rock = mix(ROCK_SHADE, ROCK_LIGHT, side * 0.8)
    return mix(rock, rgb("5e7f9a"), height * 0.35)  # haze towards the foot


def in_branch(x, y):
    for points, width in ((BRANCH_POINTS, 4.0), (TWIG_POINTS, 2.2)):
        for (ax, ay), (bx, by) in zip(points, points[1:]):
            if segment_distance(x, y, ax, ay, bx, by) <= width / 2:
                return True
    return False


def blossom_colour(x, y):
    for bx, by, radius in BLOSSOMS:
        dx, dy = x - bx, y - by
        d = math.hypot(dx, dy)
        # Five petals: the outline dips between them.
        edge = radius * (0.78 + 0.22 * abs(math.cos(2.5 * math.atan2(dy, dx))))
        if d <= edge:
            return mix(PETAL_HEART, PETAL, d / edge)
    for px, py in FALLING_PETALS:
        if ((x - px) / 3.2) ** 2 + ((y - py) / 1.8) ** 2 <= 1:
            return PETAL
    return None


def scene_above_water(x, y):
    if FUJI.contains(x, y):
        colour = mountain_colour(x, y)
    else:
        colour = sky_colour(x, y)
    return colour


def background(x, y):
    if y < HORIZON:
        colour = scene_above_water(x, y)
        blossom = blossom_colour(x, y)
        if blossom is not None:
            colour = blossom
        elif in_branch(x, y):
            colour = BRANCH
    else:
        depth = (y - HORIZON) / (BG_H - HORIZON)
        # The mirror image, broken into ripples and darkened with depth.
        ripple = 2.2 * math.sin(y * 0.9) * (0.3 + depth)
        mirrored = scene_above_water(x + ripple, 2 * HORIZON - y)
        water = gradient(LAKE, depth)
        colour = mix(mirrored, water, 0.45 + 0.4 * depth)
        if int(y * 1.7) % 5 == 0:
            colour = mix(colour, rgb("d9f0f0"), 0.10 * (1 - depth))
    # The name with a soft shadow.
    if in_letters(x - 1.5, y - 1.5):
        colour = mix(colour, rgb("04162e"), 0.55)
    if in_letters(x, y):
        colour = mix(colour, rgb("fbfcff"), 0.92)
    return colour


# ---------------------------------------------------------------------------
# The icon: the same scene in a 32x32 tile.

ICON = 32
ICON_FUJI = Mountain(centre=16.0, summit_y=9.0, foot_y=25.0, summit_half=2.0, foot_half=15.5)


def icon(x, y):
    if y >= 25.0:
        return mix(rgb("1f6f80"), rgb("0b2a4a"), (y - 25.0) / 7.0)
    if ICON_FUJI.contains(x, y):
        side = 0.5 + 0.5 * max(-1.0, min(1.0, (x - 16.0) / 5.0))
        if y <= ICON_FUJI.snow_line(x, 4.5) - 0.18 * 4.5 * math.sin(x * 0.31):
            return mix(SNOW_SHADE, SNOW_LIGHT, side)
        return mix(ROCK_SHADE, ROCK_LIGHT, side * 0.8)
    colour = gradient(SKY, y / 25.0)
    d = math.hypot(x - 24.0, y - 8.0)
    if d <= 3.6:
        return rgb("ffe2b8")
    return mix(colour, rgb("ffe6c4"), math.exp(-max(0.0, d - 3.6) / 4.0) * 0.45)


# The desktop's icons: the tile at SIZE pixels is the 32-pixel one scaled,
# inside a square whose corners are rounded with a radius of a sixth of it.
DESKTOP_ICON_SIZES = (32, 48, 64, 128, 256)
CORNER = ICON / 6.0


def in_rounded_tile(x, y):
    dx = max(CORNER - x, 0.0, x - (ICON - CORNER))
    dy = max(CORNER - y, 0.0, y - (ICON - CORNER))
    return dx * dx + dy * dy <= CORNER * CORNER


def desktop_icon(size):
    scale = ICON / size

    def scaled(function):
        return lambda x, y: function(x * scale, y * scale)

    # Fewer samples at the larger sizes, whose pixels are smaller than the
    # tile's detail already.
    samples = 4 if size <= 64 else 2
    return render(size, size, scaled(icon), samples, coverage=scaled(in_rounded_tile))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    if len(sys.argv) > 1:
        resources = icons = sys.argv[1]
    else:
        resources = os.path.join(here, "..", "setup", "resources")
        icons = os.path.join(here, "..", "setup", "icons")
    os.makedirs(resources, exist_ok=True)
    os.makedirs(icons, exist_ok=True)
    write_png(os.path.join(resources, "background.png"), BG_W, BG_H, render(BG_W, BG_H, background, 3))
    write_png(os.path.join(resources, "icon.png"), ICON, ICON, render(ICON, ICON, icon, 4))
    for size in DESKTOP_ICON_SIZES:
        write_png(os.path.join(icons, f"korsetup-{size}.png"), size, size, desktop_icon(size))


if __name__ == "__main__":
    main()
