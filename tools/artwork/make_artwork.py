#!/usr/bin/python3
"""Draws every picture of the Bolvo Quest launcher: the background scene, the menu
buttons, the page titles, the icon and the demo episodes' row images.

Run with Debian's Python and Pillow (python3-pil):  /usr/bin/python3 tools/artwork/make_artwork.py
The output is committed, so a build never needs this script. Drawing is deterministic:
shapes come from fixed numbers, and the few scattered details from a seeded generator.

The scene is drawn once, four times larger than the window, and shrunk; every button and
title is a crop of that finished background with lettering on it, so a button's two looks
and the page beneath it line up pixel for pixel.
"""
import argparse
import math
import os
import random
import struct
import sys

from PIL import Image, ImageDraw, ImageFont

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import layout  # noqa: E402

SS = 4  # supersampling factor of everything drawn with shapes

# Palette of the game.
INK = (42, 18, 64)              # outlines
SKY_TOP = (40, 16, 78)
SKY_LOW = (168, 96, 178)
STAR = (255, 246, 214)
MOON = (255, 240, 190)
BRANCH = (36, 20, 52)
LEAF = (58, 40, 84)
HILL_FAR = (104, 70, 150)
HILL_NEAR = (76, 52, 118)
GRASS = (88, 176, 72)
GRASS_DARK = (52, 128, 56)
GRASS_LIGHT = (140, 210, 96)
ROCK = (138, 88, 58)
ROCK_DARK = (96, 58, 40)
BOLVO = (255, 196, 48)
BOLVO_SHADE = (236, 142, 30)
CHEEK = (255, 128, 120)
WHITE = (255, 255, 255)
HOVER_FILL = (255, 158, 36)      # orange lettering: pointer over the button
NORMAL_FILL = (176, 222, 255)    # pale blue lettering
TITLE_FILL = (255, 238, 160)
PANEL_BORDER = (54, 30, 84)

# Fonts, each from a Debian package with a free licence.
FONTS = {
    "logo": ("lobster.otf", "fonts-lobster"),
    "bold": ("ComicNeue-Bold.otf", "fonts-comic-neue"),
    "regular": ("ComicNeue-Regular.otf", "fonts-comic-neue"),
}
_font_paths = {}


def font(kind, size):
    """The font `kind` of FONTS at `size` pixels, found under /usr/share/fonts."""
    if kind not in _font_paths:
        name, package = FONTS[kind]
        found = None
        for folder, _dirs, files in sorted(os.walk("/usr/share/fonts")):
            if name in files:
                found = os.path.join(folder, name)
                break
        if found is None:
            sys.exit("make_artwork: font %s not found under /usr/share/fonts; "
                     "install it with: apt-get install %s" % (name, package))
        _font_paths[kind] = found
    # the basic layout engine draws the same everywhere, with or without libraqm
    return ImageFont.truetype(_font_paths[kind], size, layout_engine=ImageFont.Layout.BASIC)


# ----------------------------------------------------------------------------------------
# Drawing helpers on a supersampled canvas, addressed in window pixels.

class Pen:
    """ImageDraw on an image SS times larger than the picture; takes picture pixels."""

    def __init__(self, image, scale=SS):
        self.image = image
        self.k = scale
        self.d = ImageDraw.Draw(image)

    def _pts(self, pts):
        return [(x * self.k, y * self.k) for x, y in pts]

    def ellipse(self, cx, cy, rx, ry, fill=None, outline=None, width=0):
        box = [(cx - rx) * self.k, (cy - ry) * self.k, (cx + rx) * self.k, (cy + ry) * self.k]
        self.d.ellipse(box, fill=fill, outline=outline, width=int(round(width * self.k)))

    def circle(self, cx, cy, r, fill=None, outline=None, width=0):
        self.ellipse(cx, cy, r, r, fill, outline, width)

    def polygon(self, pts, fill=None, outline=None, width=0):
        self.d.polygon(self._pts(pts), fill=fill)
        if outline is not None and width:
            self.line(list(pts) + [pts[0]], outline, width)

    def line(self, pts, fill, width):
        w = max(1, int(round(width * self.k)))
        self.d.line(self._pts(pts), fill=fill, width=w, joint="curve")
        for x, y in (pts[0], pts[-1]):
            self.circle(x, y, width / 2.0, fill=fill)

    def rounded(self, box, radius, fill=None, outline=None, width=0):
        """Rounded rectangle whose outer edges lie on the picture-pixel lines of `box`."""
        x0, y0, x1, y1 = box
        self.d.rounded_rectangle([x0 * self.k, y0 * self.k, x1 * self.k - 1, y1 * self.k - 1],
                                 radius=radius * self.k, fill=fill, outline=outline,
                                 width=int(round(width * self.k)))

    def arc(self, cx, cy, r, start, end, fill, width):
        box = [(cx - r) * self.k, (cy - r) * self.k, (cx + r) * self.k, (cy + r) * self.k]
        self.d.arc(box, start, end, fill=fill, width=int(round(width * self.k)))

    def text(self, xy, text, fnt_kind, size, fill, anchor="la", stroke=0, stroke_fill=None):
        x, y = xy
        self.d.text((x * self.k, y * self.k), text, font=font(fnt_kind, int(size * self.k)),
                    fill=fill, anchor=anchor, stroke_width=int(round(stroke * self.k)),
                    stroke_fill=stroke_fill)


def shrink(big, size):
    """Supersampled RGB or RGBA image down to `size`: each pixel the plain average of the
    pixels it covers (no ringing past an edge; alpha is handled premultiplied)."""
    return big.resize(size, Image.BOX)


def curve(p0, p1, p2, steps=24):
    """Points of the quadratic Bezier curve p0 -> p2 pulled towards p1."""
    pts = []
    for i in range(steps + 1):
        t = i / float(steps)
        a, b, c = (1 - t) ** 2, 2 * (1 - t) * t, t * t
        pts.append((a * p0[0] + b * p1[0] + c * p2[0], a * p0[1] + b * p1[1] + c * p2[1]))
    return pts


def inside(x, y, box, margin=0):
    x0, y0, x1, y1 = box
    return x0 - margin <= x <= x1 + margin and y0 - margin <= y <= y1 + margin


def place_box(place):
    x, y, w, h = place
    return (x, y, x + w - 1, y + h - 1)


# Places where lettering goes; the scene keeps them plain (no stars, no twigs).
CALM = [place_box(layout.TITLE_MAIN.place), (40, 165, 462, 225),
        (112, 232, 398, 382), (26, 439, 119, 483)]


# ----------------------------------------------------------------------------------------
# The characters.

def draw_bolvo(pen, cx, cy, r, waving=True, eyes=1.0):
    """Bolvo, the hero: a round, sunny ball with big eyes, a leaf sprout and little feet.
    `eyes` enlarges the eyes, for the tiny icon."""
    ink = max(1.6, r * 0.07)
    # feet
    for side in (-1, 1):
        pen.ellipse(cx + side * r * 0.42, cy + r * 0.93, r * 0.30, r * 0.16,
                    fill=BOLVO_SHADE, outline=INK, width=ink)
    # sprout
    pen.line(curve((cx, cy - r * 0.95), (cx - r * 0.05, cy - r * 1.25), (cx + r * 0.12, cy - r * 1.38)),
             INK, ink * 1.9)
    pen.line(curve((cx, cy - r * 0.95), (cx - r * 0.05, cy - r * 1.25), (cx + r * 0.12, cy - r * 1.38)),
             (70, 160, 60), ink * 0.8)
    leaf = [(cx + r * 0.10, cy - r * 1.36), (cx + r * 0.35, cy - r * 1.62),
            (cx + r * 0.62, cy - r * 1.48), (cx + r * 0.38, cy - r * 1.30)]
    pen.polygon(leaf, fill=(104, 196, 80), outline=INK, width=ink * 0.9)
    # arm waving
    if waving:
        arm = curve((cx + r * 0.80, cy + r * 0.05), (cx + r * 1.25, cy - r * 0.05),
                    (cx + r * 1.28, cy - r * 0.55))
        pen.line(arm, INK, ink * 3.6)
        pen.line(arm, BOLVO_SHADE, ink * 1.8)
        pen.circle(cx + r * 1.28, cy - r * 0.62, r * 0.17, fill=BOLVO, outline=INK, width=ink)
    # body
    pen.circle(cx, cy, r, fill=BOLVO, outline=INK, width=ink)
    pen.ellipse(cx + r * 0.18, cy + r * 0.30, r * 0.70, r * 0.55, fill=(255, 210, 90))
    pen.ellipse(cx - r * 0.42, cy - r * 0.52, r * 0.22, r * 0.13, fill=(255, 240, 180))
    # eyes
    for side in (-1, 1):
        e = r * eyes
        ex, ey = cx + side * (r * 0.33 + (e - r) * 0.12), cy - r * 0.18
        pen.ellipse(ex, ey, e * 0.20, e * 0.27, fill=WHITE, outline=INK, width=ink * 0.8)
        pen.ellipse(ex + e * 0.04, ey + e * 0.04, e * 0.10, e * 0.15, fill=INK)
        pen.circle(ex + e * 0.08, ey - e * 0.04, e * 0.045, fill=WHITE)
        pen.ellipse(cx + side * r * 0.58, cy + r * 0.22, r * 0.14, r * 0.08, fill=CHEEK)
    # smile
    pen.arc(cx, cy + r * 0.05, r * 0.36, 25, 155, INK, ink)
    pen.d.chord([(cx - r * 0.22) * pen.k, (cy + r * 0.18) * pen.k,
                 (cx + r * 0.22) * pen.k, (cy + r * 0.52) * pen.k], 0, 180, fill=(200, 60, 70))


def draw_blobble(pen, cx, cy, r):
    """A green slime with one big eye and two little horns."""
    ink = max(1.4, r * 0.08)
    for side in (-1, 1):
        pen.polygon([(cx + side * r * 0.30, cy - r * 0.70), (cx + side * r * 0.55, cy - r * 1.20),
                     (cx + side * r * 0.65, cy - r * 0.55)], fill=(240, 220, 170), outline=INK, width=ink)
    body = [(cx - r * 1.1, cy + r * 0.55)]
    body += curve((cx - r * 1.1, cy + r * 0.55), (cx - r * 1.05, cy - r * 1.05), (cx, cy - r * 0.95))
    body += curve((cx, cy - r * 0.95), (cx + r * 1.05, cy - r * 1.05), (cx + r * 1.1, cy + r * 0.55))
    body += [(cx + r * 0.6, cy + r * 0.7), (cx + r * 0.3, cy + r * 0.55), (cx, cy + r * 0.72),
             (cx - r * 0.4, cy + r * 0.58), (cx - r * 0.7, cy + r * 0.72)]
    pen.polygon(body, fill=(96, 200, 110), outline=INK, width=ink)
    pen.ellipse(cx - r * 0.45, cy - r * 0.45, r * 0.2, r * 0.12, fill=(170, 240, 170))
    pen.circle(cx, cy - r * 0.25, r * 0.36, fill=WHITE, outline=INK, width=ink * 0.8)
    pen.circle(cx - r * 0.06, cy - r * 0.20, r * 0.17, fill=(60, 30, 90))
    pen.circle(cx - r * 0.01, cy - r * 0.27, r * 0.06, fill=WHITE)
    pen.arc(cx, cy + r * 0.05, r * 0.30, 30, 150, INK, ink * 0.8)


def draw_puff(pen, cx, cy, r):
    """A purple flying puffball with bat wings and a cheeky grin."""
    ink = max(1.4, r * 0.09)
    for side in (-1, 1):
        wing = [(cx + side * r * 0.7, cy - r * 0.2), (cx + side * r * 1.9, cy - r * 0.9),
                (cx + side * r * 1.75, cy - r * 0.1), (cx + side * r * 2.05, cy + r * 0.25),
                (cx + side * r * 1.45, cy + r * 0.25), (cx + side * r * 1.35, cy + r * 0.6),
                (cx + side * r * 0.75, cy + r * 0.25)]
        pen.polygon(wing, fill=(120, 60, 160), outline=INK, width=ink)
    for side in (-1, 1):
        pen.polygon([(cx + side * r * 0.25, cy - r * 0.85), (cx + side * r * 0.45, cy - r * 1.35),
                     (cx + side * r * 0.65, cy - r * 0.70)], fill=(200, 120, 220), outline=INK, width=ink)
    pen.circle(cx, cy, r, fill=(200, 120, 220), outline=INK, width=ink)
    for side in (-1, 1):
        pen.circle(cx + side * r * 0.35, cy - r * 0.15, r * 0.22, fill=WHITE, outline=INK, width=ink * 0.7)
        pen.circle(cx + side * r * 0.32, cy - r * 0.10, r * 0.10, fill=INK)
    pen.arc(cx, cy + r * 0.15, r * 0.40, 20, 160, INK, ink)
    pen.polygon([(cx - r * 0.15, cy + r * 0.52), (cx - r * 0.05, cy + r * 0.72), (cx + r * 0.02, cy + r * 0.53)],
                fill=WHITE)


def draw_mushy(pen, cx, cy, r):
    """A shy little mushroom with a red spotted cap."""
    ink = max(1.3, r * 0.09)
    pen.rounded((cx - r * 0.5, cy - r * 0.2, cx + r * 0.5, cy + r * 0.9), r * 0.3,
                fill=(250, 236, 210), outline=INK, width=ink)
    cap = [(cx - r * 1.1, cy)] + curve((cx - r * 1.1, cy), (cx - r * 1.0, cy - r * 1.3), (cx, cy - r * 1.25)) \
        + curve((cx, cy - r * 1.25), (cx + r * 1.0, cy - r * 1.3), (cx + r * 1.1, cy))
    pen.polygon(cap, fill=(226, 60, 64), outline=INK, width=ink)
    for dx, dy, rr in ((-0.55, -0.45, 0.16), (0.1, -0.85, 0.14), (0.6, -0.40, 0.18)):
        pen.circle(cx + dx * r, cy + dy * r, rr * r, fill=WHITE)
    for side in (-1, 1):
        pen.circle(cx + side * r * 0.2, cy + r * 0.3, r * 0.08, fill=INK)
    pen.arc(cx, cy + r * 0.42, r * 0.14, 20, 160, INK, ink * 0.7)


# ----------------------------------------------------------------------------------------
# The scene.

def draw_sky(pen, rng):
    w, h = layout.WINDOW_SIZE
    column = Image.new("RGB", (1, h))
    for y in range(h):
        t = min(1.0, max(0.0, (y - layout.FRAME[1]) / 380.0)) ** 1.3
        column.putpixel((0, y), tuple(int(a + (b - a) * t) for a, b in zip(SKY_TOP, SKY_LOW)))
    pen.image.paste(column.resize(pen.image.size, Image.BILINEAR))
    # stars, kept out of the places where lettering goes
    for _ in range(90):
        x, y = rng.uniform(26, 475), rng.uniform(38, 330)
        if any(inside(x, y, box, 8) for box in CALM):
            continue
        size = rng.choice((0.7, 0.8, 1.0, 1.2, 1.8))
        if size > 1.5:
            pen.polygon([(x, y - 3.2), (x + 0.8, y - 0.8), (x + 3.2, y), (x + 0.8, y + 0.8),
                         (x, y + 3.2), (x - 0.8, y + 0.8), (x - 3.2, y), (x - 0.8, y - 0.8)], fill=STAR)
        else:
            pen.circle(x, y, size, fill=STAR)
    # the moon
    pen.circle(196, 96, 36, fill=(120, 70, 160))
    pen.circle(196, 96, 31, fill=MOON)
    for dx, dy, rr in ((-10, -8, 6), (9, 6, 8), (-6, 14, 4)):
        pen.circle(196 + dx, 96 + dy, rr, fill=(240, 218, 160))


def hill_line(x, base, amp, phase):
    edge = (x - 250) / 230.0
    return base - amp * math.sin(x / 47.0 + phase) - 40 * edge * edge


def draw_hills(pen):
    """Soft clouds low in the sky, two rows of far hills and a castle on the far right hill."""
    for cx, cy, n in ((58, 300, 4), (452, 262, 3)):
        for i in range(n):
            pen.circle(cx + (i - n / 2.0) * 13, cy - 5 * math.sin(i * 1.7 + 0.5), 11,
                       fill=(124, 74, 166))
        pen.ellipse(cx - 6, cy + 6, n * 9, 6, fill=(124, 74, 166))
    far = (372, 26, 0.3)
    pen.polygon([(20, 490)] + [(x, hill_line(x, *far)) for x in range(20, 481, 10)] + [(482, 490)],
                fill=HILL_FAR)
    draw_far_castle(pen, 446, hill_line(446, *far) + 4)
    near = (398, 18, 2.1)
    pen.polygon([(20, 490)] + [(x, hill_line(x, *near)) for x in range(20, 481, 10)] + [(482, 490)],
                fill=HILL_NEAR)
    for x, y in ((62, 392), (98, 376), (416, 398), (458, 384), (200, 404)):
        pen.circle(x, y, 2.4, fill=(214, 190, 130))
        pen.circle(x, y, 1.3, fill=(255, 250, 200))


def draw_far_castle(pen, cx, base):
    """A small castle far away, darker than the hill it sits on, with two lit windows."""
    body = (70, 44, 112)
    pen.d.rectangle([(cx - 14) * pen.k, (base - 22) * pen.k, (cx + 14) * pen.k, (base + 4) * pen.k], fill=body)
    for dx, top in ((-14, 36), (0, 44), (14, 34)):
        pen.d.rectangle([(cx + dx - 4) * pen.k, (base - top + 8) * pen.k, (cx + dx + 4) * pen.k,
                         (base - 10) * pen.k], fill=body)
        pen.polygon([(cx + dx - 6, base - top + 9), (cx + dx, base - top - 2), (cx + dx + 6, base - top + 9)],
                    fill=body)
    pen.line([(cx, base - 46), (cx, base - 52)], body, 1)
    pen.polygon([(cx, base - 52), (cx + 6, base - 50), (cx, base - 48)], fill=(230, 110, 130))
    for dx, dy in ((-14, -24), (0, -30)):
        pen.d.rectangle([(cx + dx - 1.2) * pen.k, (base + dy) * pen.k, (cx + dx + 1.2) * pen.k,
                         (base + dy + 4) * pen.k], fill=(255, 214, 110))


def grass_top(x):
    """Height of the meadow's upper edge at column x."""
    return 424 + 5 * math.sin(x / 31.0) + 3 * math.sin(x / 13.0)


def draw_cliff(pen, rng):
    """The grassy cliff top the heroes stand on; on the right it breaks off in a rock face
    over the valley."""
    # the valley far below, beyond the edge
    pen.polygon([(380, 450), (430, 455), (482, 446), (482, 492), (380, 492)], fill=(92, 62, 130))
    pen.polygon([(400, 472), (440, 466), (482, 470), (482, 492), (400, 492)], fill=(70, 48, 108))
    # the rock face under the lip
    rock = [(404, 436), (430, 436), (442, 452), (447, 470), (458, 492), (378, 492)]
    pen.polygon(rock, fill=ROCK, outline=INK, width=1.6)
    pen.polygon([(428, 440), (440, 455), (444, 472), (452, 492), (440, 492), (434, 466), (424, 446)],
                fill=ROCK_DARK)
    for pts in (((410, 452), (420, 458), (430, 456)), ((398, 472), (412, 476), (424, 474)),
                ((414, 486), (428, 482))):
        pen.line(list(pts), ROCK_DARK, 1.6)
    # the meadow, with a lip of grass hanging over the rock
    top = [(x, grass_top(x)) for x in range(18, 411, 8)]
    lip = curve((410, grass_top(410)), (428, 424), (432, 434), 6) + \
        curve((432, 434), (424, 442), (412, 440), 6) + [(404, 450), (396, 470), (392, 492)]
    pen.polygon(top + lip + [(18, 492)], fill=GRASS, outline=INK, width=1.6)
    pen.polygon([(x, y + 3) for x, y in top] + [(418, 432), (404, 438), (18, 444)], fill=GRASS_LIGHT)
    pen.polygon([(x, y + 8) for x, y in top] + [(410, 446), (400, 470), (18, 470)], fill=GRASS)
    for x in range(24, 426, 9):
        y = grass_top(min(x, 410)) + (0 if x <= 410 else (x - 410) * 0.2)
        h = rng.uniform(4, 8)
        pen.polygon([(x - 3, y + 2), (x + rng.uniform(-1.5, 1.5), y - h), (x + 3, y + 2)], fill=GRASS)
    # darker blades and a few flowers, away from the Exit and Back buttons
    for _ in range(28):
        x, y = rng.uniform(130, 385), rng.uniform(440, 484)
        pen.line([(x, y), (x + 1, y - 5)], GRASS_DARK, 1.2)
    for x, y, c in ((150, 470, (255, 240, 120)), (262, 478, (255, 180, 220)), (366, 462, WHITE)):
        for a in range(5):
            ang = a * math.pi * 2 / 5
            pen.circle(x + 2.6 * math.cos(ang), y + 2.6 * math.sin(ang), 1.8, fill=c)
        pen.circle(x, y, 1.4, fill=(255, 170, 40))


def draw_branch(pen, pts, width, leaves, rng):
    """A dark branch along `pts`, tapering, with leaves at some of its points."""
    n = len(pts) - 1
    for i in range(n):
        w = width * (1.0 - 0.7 * i / n)
        pen.line([pts[i], pts[i + 1]], BRANCH, w)
    for i in leaves:
        x, y = pts[i]
        for _ in range(3):
            ang = rng.uniform(0, math.pi * 2)
            lx, ly = x + 9 * math.cos(ang), y + 9 * math.sin(ang)
            nx, ny = math.cos(ang + 1.57) * 4, math.sin(ang + 1.57) * 4
            pen.polygon([(x, y), (lx + nx, ly + ny), (x + 16 * math.cos(ang), y + 16 * math.sin(ang)),
                         (lx - nx, ly - ny)], fill=LEAF)


def draw_branches(pen, rng):
    # from the top-left corner, over Bolvo's perch
    main = curve((10, 52), (90, 40), (160, 68), 12)
    draw_branch(pen, main, 9, [4, 8, 11, 12], rng)
    draw_branch(pen, curve((70, 45), (92, 22), (120, 38), 6), 4, [6], rng)
    draw_branch(pen, curve((112, 55), (120, 90), (104, 112), 6), 3.5, [6], rng)
    # Bolvo's perch, from the left edge
    draw_branch(pen, curve((10, 162), (80, 156), (132, 146), 10), 9, [10], rng)
    draw_branch(pen, curve((96, 152), (108, 130), (128, 124), 5), 3, [5], rng)
    # from the right edge, under the logo
    draw_branch(pen, curve((490, 196), (440, 184), (408, 196), 10), 8, [7, 10], rng)
    draw_branch(pen, curve((452, 188), (440, 160), (466, 150), 5), 3, [5], rng)


def draw_frame(pen):
    x0, y0, x1, y1 = layout.FRAME
    pen.d.rectangle([x0 * pen.k, y0 * pen.k, (x1 + 1) * pen.k - 1, (y1 + 1) * pen.k - 1],
                    outline=INK, width=3 * pen.k)
    pen.d.rectangle([(x0 + 3) * pen.k, (y0 + 3) * pen.k, (x1 - 2) * pen.k - 1, (y1 - 2) * pen.k - 1],
                    outline=(196, 150, 230), width=pen.k)


def draw_logo(pen):
    """'Bolvo Quest' rising at the top right, over the frame's edge: yellow letters, a thin
    dark line, a cream rim and a dark outer edge, tilted a little upwards."""
    layer = Image.new("RGBA", pen.image.size, (0, 0, 0, 0))
    lp = Pen(layer)
    x, y, size, text = 508, 40, 50, "Bolvo Quest"
    lp.text((x + 3, y + 4), text, "logo", size, INK, anchor="rm", stroke=8, stroke_fill=INK)
    lp.text((x, y), text, "logo", size, INK, anchor="rm", stroke=8, stroke_fill=INK)
    lp.text((x, y), text, "logo", size, (255, 244, 214), anchor="rm", stroke=6, stroke_fill=(255, 244, 214))
    lp.text((x, y), text, "logo", size, INK, anchor="rm", stroke=3, stroke_fill=INK)
    lp.text((x, y), text, "logo", size, (255, 200, 50), anchor="rm")
    # a lighter upper half of the letters
    shine = Image.new("RGBA", layer.size, (0, 0, 0, 0))
    Pen(shine).text((x, y), text, "logo", size, (255, 236, 120), anchor="rm")
    cut = Image.new("L", layer.size, 0)
    ImageDraw.Draw(cut).rectangle([0, 0, layer.width, (y - 3) * SS], fill=255)
    shine.putalpha(Image.composite(shine.getchannel("A"), cut, cut))
    layer.alpha_composite(shine)
    # a sparkle by the last letter
    lp.polygon([(517, 6), (520, 14), (528, 17), (520, 20), (517, 28), (514, 20), (506, 17), (514, 14)],
               fill=WHITE, outline=INK, width=1.4)
    pen.image.alpha_composite(layer.rotate(4, resample=Image.BICUBIC, center=(400 * SS, 40 * SS)))


def scene_layer(rng):
    """The framed scene (opaque inside the frame) with the logo and Bolvo's head over it."""
    w, h = layout.WINDOW_SIZE
    big = Image.new("RGBA", (w * SS, h * SS), (0, 0, 0, 0))
    pen = Pen(big)
    draw_sky(pen, rng)
    draw_hills(pen)
    draw_cliff(pen, rng)
    draw_branches(pen, rng)
    draw_puff(pen, 428, 122, 15)
    draw_blobble(pen, 302, 452, 20)
    draw_mushy(pen, 168, 452, 13)
    draw_frame(pen)
    # cut everything outside the frame away; the logo and Bolvo go on top afterwards
    x0, y0, x1, y1 = layout.FRAME
    mask = Image.new("L", big.size, 0)
    ImageDraw.Draw(mask).rectangle([x0 * SS, y0 * SS, (x1 + 1) * SS - 1, (y1 + 1) * SS - 1], fill=255)
    big.putalpha(mask)
    draw_bolvo(pen, 50, 110, 40)
    draw_logo(pen)
    return big


def flatten_on_surround(layer):
    """Layer -> the background: a pixel belongs to the picture when it is at least half
    covered; such pixels are laid over the outline ink (never over the grey), all others are
    exactly the surround grey. Then no pixel of the picture is near the key colour."""
    w, h = layer.size
    ink = Image.new("RGBA", layer.size, INK + (255,))
    solid = Image.alpha_composite(ink, layer).convert("RGB")
    covered = layer.getchannel("A").point(lambda a: 255 if a >= 128 else 0)
    x0, y0, x1, y1 = layout.FRAME
    ImageDraw.Draw(covered).rectangle([x0, y0, x1, y1], fill=255)
    out = Image.new("RGB", layer.size, layout.SURROUND)
    out.paste(solid, (0, 0), covered)
    # A 16-bit 5-6-5 display shows the grey as the key colour; nudge any picture pixel that
    # would land on it there, so only the surround is cut away.
    px = out.load()
    cov = covered.load()
    for y in range(h):
        for x in range(w):
            if cov[x, y]:
                if layout.on_16bit_display(px[x, y]) == layout.KEY_COLOUR:
                    r, g, b = px[x, y]
                    px[x, y] = (r - 10, g, b + 10)
    return out


def make_background():
    rng = random.Random(159)
    layer = shrink(scene_layer(rng), layout.WINDOW_SIZE)
    bg = flatten_on_surround(layer)
    notice = Image.new("RGBA", (bg.width * SS, bg.height * SS), (0, 0, 0, 0))
    Pen(notice).text((468, 481), "\u00a9 2026 Bolvo Quest team", "bold", 11, WHITE, anchor="rs",
                     stroke=1.6, stroke_fill=INK)
    bg.paste(shrink(notice, bg.size), (0, 0), shrink(notice, bg.size))
    return bg


# ----------------------------------------------------------------------------------------
# Lettering on crops of the background.

def crop(bg, place):
    x, y, w, h = place
    return bg.crop((x, y, x + w, y + h))


def fitted_font(kind, text, max_w, max_h, start, stroke, shadow):
    """The largest size <= start at which `text` with its outline and shadow fits."""
    size = start
    while size > 8:
        f = font(kind, size)
        l, t, r, b = f.getbbox(text, stroke_width=stroke)
        if r - l + shadow <= max_w and b - t + shadow <= max_h:
            return f
        size -= 1
    return font(kind, size)


def letter(image, text, box, fill, size, kind="bold", stroke=2, shadow=2):
    """Draws `text` centred in `box` (inclusive, picture coordinates) with a dark outline
    and a drop shadow, all of it inside the box. Returns the first and last column of the
    lettering."""
    x0, y0, x1, y1 = box
    f = fitted_font(kind, text, x1 - x0 + 1, y1 - y0 + 1, size, stroke, shadow)
    l, t, r, b = f.getbbox(text, stroke_width=stroke)
    tx = x0 + (x1 - x0 + 1 - (r - l + shadow)) // 2 - l
    ty = y0 + (y1 - y0 + 1 - (b - t + shadow)) // 2 - t
    d = ImageDraw.Draw(image)
    d.text((tx + shadow, ty + shadow), text, font=f, fill=INK, stroke_width=stroke, stroke_fill=INK)
    d.text((tx, ty), text, font=f, fill=fill, stroke_width=stroke, stroke_fill=INK)
    return tx + l, tx + r - 1


def caption_box(button):
    """Where a caption may go: the hit rectangle within the image, less a margin."""
    x, y, w, h = button.place
    l, t, r, b = button.hit
    return (max(l, x) - x + 2, max(t, y) - y + 1, min(r, x + w - 1) - x - 2, min(b, y + h - 1) - y - 1)


def make_button(bg, button, fill):
    image = crop(bg, button.place)
    letter(image, button.caption, caption_box(button), fill, 30)
    return image


def dashed_underline(image, y, x0, x1, fill):
    d = ImageDraw.Draw(image)
    x = x0
    while x + 10 <= x1:
        d.rounded_rectangle([x, y, x + 10, y + 5], radius=2, fill=fill, outline=INK, width=1)
        x += 16


PANEL_TOP = 52       # first row of the panel's border within a title picture
TITLE_BOX_HEIGHT = 38


def make_title(bg, title):
    """A page title with a dashed underline on its strip of the scene; the panel titles add
    the white panel below."""
    image = crop(bg, title.place)
    w = image.width
    box = (0, 1, w - 1, TITLE_BOX_HEIGHT)
    left, right = letter(image, title.text, box, TITLE_FILL, 34)
    dashed_underline(image, TITLE_BOX_HEIGHT + 3, left + 2, right + 1, TITLE_FILL)
    if title.panel:
        draw_panel(image)
    return image


def draw_panel(image):
    """The white panel with a dark rounded border under a title, inset 2 pixels from the
    picture's sides and bottom so the scenery frames it."""
    w, h = image.size
    big = Image.new("RGBA", (w * SS, h * SS), (0, 0, 0, 0))
    Pen(big).rounded((2, PANEL_TOP, w - 2, h - 1), 10, fill=layout.PANEL_WHITE,
                     outline=PANEL_BORDER, width=3)
    small = shrink(big, image.size)
    image.paste(small, (0, 0), small)


# ----------------------------------------------------------------------------------------
# The icon.

def emblem(size):
    """Bolvo's face as an RGBA image `size` pixels square."""
    k = 256 // size * SS
    big = Image.new("RGBA", (size * k, size * k), (0, 0, 0, 0))
    pen = Pen(big, k)
    s = size / 32.0
    draw_bolvo(pen, 16 * s, 19.2 * s, 11.0 * s, waving=False, eyes=1.35)
    return shrink(big, (size, size))


def dib_entry(rgb_rows, bit_count, palette, mask_rows):
    """One icon image as a classic DIB: header (double height), palette, XOR and AND bitmaps,
    rows bottom-up."""
    w = len(mask_rows[0])
    h = len(mask_rows)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette) if palette else b""
    xor = b""
    for row in reversed(rgb_rows):
        if bit_count == 24:
            line = b"".join(struct.pack("<BBB", b, g, r) for r, g, b in row)
        else:
            line = bytes(row)
        xor += line + b"\0" * ((-len(line)) % 4)
    and_mask = b""
    for row in reversed(mask_rows):
        bits = 0
        line = b""
        for i, transparent in enumerate(row):
            bits = (bits << 1) | (1 if transparent else 0)
            if i % 8 == 7:
                line += bytes([bits])
                bits = 0
        and_mask += line + b"\0" * ((-len(line)) % 4)
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, bit_count, 0, len(xor) + len(and_mask),
                         0, 0, len(palette) if palette else 0, 0)
    return header + pal + xor + and_mask


def make_icon():
    img = emblem(32)
    alpha = img.getchannel("A")
    solid = Image.alpha_composite(Image.new("RGBA", img.size, INK + (255,)), img).convert("RGB")
    transparent = [[alpha.getpixel((x, y)) < 128 for x in range(32)] for y in range(32)]
    rgb = [[(0, 0, 0) if transparent[y][x] else solid.getpixel((x, y)) for x in range(32)]
           for y in range(32)]
    # 256 colours: 255 chosen from the picture, index 255 black for the transparent pixels
    quant = solid.quantize(colors=255, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    pal_flat = quant.getpalette()[:255 * 3]
    pal_flat += [0] * (255 * 3 - len(pal_flat))
    palette = [tuple(pal_flat[i:i + 3]) for i in range(0, 255 * 3, 3)] + [(0, 0, 0)]
    idx = [[255 if transparent[y][x] else quant.getpixel((x, y)) for x in range(32)] for y in range(32)]
    images = [dib_entry(rgb, 24, None, transparent), dib_entry(idx, 8, palette, transparent)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for data, bits in zip(images, (24, 8)):
        out += struct.pack("<BBBBHHII", 32, 32, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


# ----------------------------------------------------------------------------------------
# The demo episodes' rows.

def episode_icon(pen, number, cx, cy, active):
    """A tiny picture of the episode's place."""
    dim = 1.0 if active else 0.85
    c = lambda rgb: tuple(int(255 - (255 - v) * dim) for v in rgb)  # noqa: E731
    if number == 1:   # a sleepy moon over the meadow
        pen.ellipse(cx, cy + 9, 16, 5, fill=c((120, 200, 90)))
        pen.circle(cx, cy - 2, 9, fill=c((255, 220, 100)), outline=INK, width=1.2)
        pen.circle(cx + 5, cy - 5, 8, fill=WHITE)
        pen.text((cx + 9, cy - 8), "z", "bold", 9, c((100, 80, 160)), anchor="mm")
    elif number == 2:  # a mushroom
        draw_mushy(pen, cx, cy + 2, 9)
    elif number == 3:  # wind over a cliff
        pen.polygon([(cx - 14, cy + 13), (cx - 14, cy + 2), (cx - 2, cy), (cx + 2, cy + 13)],
                    fill=c((150, 100, 70)), outline=INK, width=1)
        for dy in (-9, -3):
            pen.line(curve((cx - 10, cy + dy), (cx + 6, cy + dy - 4), (cx + 14, cy + dy + 2), 8),
                     c((90, 160, 220)), 2)
    elif number == 4:  # bubbles
        for dx, dy, r in ((-6, 4, 7), (6, -4, 5), (9, 8, 3)):
            pen.circle(cx + dx, cy + dy, r, fill=c((190, 240, 220)), outline=c((60, 150, 120)), width=1.3)
            pen.circle(cx + dx - r * 0.35, cy + dy - r * 0.35, r * 0.22, fill=WHITE)
    else:              # a castle on a cloud
        pen.ellipse(cx, cy + 10, 16, 5, fill=c((225, 232, 255)), outline=c((150, 160, 220)), width=1)
        pen.d.rectangle([(cx - 9) * pen.k, (cy - 4) * pen.k, (cx + 9) * pen.k, (cy + 8) * pen.k],
                        fill=c((200, 170, 230)), outline=INK, width=pen.k)
        for dx in (-9, 0, 9):
            pen.polygon([(cx + dx - 4, cy - 3), (cx + dx, cy - 12), (cx + dx + 4, cy - 3)],
                        fill=c((230, 90, 110)), outline=INK, width=1)


def make_episode_row(number, title, active):
    w, h = layout.EPISODE_ROW_SIZE
    big = Image.new("RGB", (w * SS, h * SS), layout.PANEL_WHITE)
    pen = Pen(big)
    if active:
        pen.rounded((1, 2, w - 2, h - 3), 17, fill=(255, 230, 196), outline=(246, 150, 40), width=2)
        badge, badge_ink, text_fill = (255, 150, 30), WHITE, (214, 92, 0)
    else:
        badge, badge_ink, text_fill = (176, 212, 250), INK, (70, 46, 110)
    pen.circle(21, 20, 13, fill=badge, outline=INK, width=1.6)
    pen.text((21, 21), str(number), "bold", 19, badge_ink, anchor="mm")
    pen.text((44, 21), title, "bold", 22, text_fill, anchor="lm")
    episode_icon(pen, number, 372, 20, active)
    if active:
        pen.polygon([(334, 13), (346, 20), (334, 27)], fill=(246, 150, 40), outline=INK, width=1)
    return shrink(big, (w, h))


# ----------------------------------------------------------------------------------------

def save_bmp(image, path):
    """24-bit uncompressed bottom-up BMP, what LoadBitmap reads."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    image.convert("RGB").save(path, format="BMP")


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--out", default=layout.ROOT,
                        help="folder that takes the place of the repository's top folder "
                             "(default: the repository itself)")
    out_root = parser.parse_args(argv).out

    def out(path):
        return os.path.join(out_root, os.path.relpath(path, layout.ROOT))

    bg = make_background()
    save_bmp(bg, out(os.path.join(layout.BITMAP_DIR, layout.BACKGROUND)))
    for button in layout.BUTTONS:
        save_bmp(make_button(bg, button, HOVER_FILL), out(os.path.join(layout.BITMAP_DIR, button.hover)))
        save_bmp(make_button(bg, button, NORMAL_FILL), out(os.path.join(layout.BITMAP_DIR, button.normal)))
    for title in layout.TITLES:
        save_bmp(make_title(bg, title), out(os.path.join(layout.BITMAP_DIR, title.bitmap)))
    os.makedirs(os.path.dirname(out(layout.ICON_PATH)), exist_ok=True)
    with open(out(layout.ICON_PATH), "wb") as f:
        f.write(make_icon())
    for number, title in layout.EPISODES:
        act, dis = layout.episode_row_files(number)
        save_bmp(make_episode_row(number, title, True), out(act))
        save_bmp(make_episode_row(number, title, False), out(dis))
    print("artwork written under %s: resources/bitmaps, resources/bolvo.ico, game/art" % out_root)


if __name__ == "__main__":
    main(sys.argv[1:])
