#!/usr/bin/env python3
"""Draws the program's icons and writes them as .ico files (32-bit with alpha).

Only the standard library is used, and the output is byte-for-byte reproducible, so the
generated files are committed and the build never needs Python:

    python3 src/res/tools/make_icons.py src/res/icons

Every picture is described once in a 32 x 32 design space and rendered at each size with
4 x 4 supersampling, so that the small images stay smooth instead of being scaled bitmaps.
"""

import math
import os
import struct
import sys

SUPERSAMPLE = 4


# --- shapes: each answers "how much of the point (x, y) is covered", 0..1 -----------------

def _coverage(distance, pixel):
    """Edge antialiasing: signed distance (negative inside) to coverage over one pixel."""
    return max(0.0, min(1.0, 0.5 - distance / pixel))


class Shape:
    def __init__(self, colour):
        self.colour = colour  # (r, g, b, a) with a in 0..255

    def distance(self, x, y):
        raise NotImplementedError

    def colour_at(self, x, y):
        return self.colour


class RoundRect(Shape):
    def __init__(self, x0, y0, x1, y1, radius, colour, colour_bottom=None):
        super().__init__(colour)
        self.box = (x0, y0, x1, y1)
        self.radius = radius
        self.colour_bottom = colour_bottom

    def distance(self, x, y):
        x0, y0, x1, y1 = self.box
        r = self.radius
        cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
        hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r
        dx, dy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(dx, 0.0), max(dy, 0.0))
        inside = min(max(dx, dy), 0.0)
        return outside + inside - r

    def colour_at(self, x, y):
        if self.colour_bottom is None:
            return self.colour
        y0, y1 = self.box[1], self.box[3]
        t = max(0.0, min(1.0, (y - y0) / max(y1 - y0, 1e-6)))
        return tuple(a + (b - a) * t for a, b in zip(self.colour, self.colour_bottom))


class Circle(Shape):
    def __init__(self, cx, cy, radius, colour):
        super().__init__(colour)
        self.centre = (cx, cy)
        self.radius = radius

    def distance(self, x, y):
        return math.hypot(x - self.centre[0], y - self.centre[1]) - self.radius


class Ring(Circle):
    def __init__(self, cx, cy, radius, width, colour):
        super().__init__(cx, cy, radius, colour)
        self.width = width

    def distance(self, x, y):
        return abs(super().distance(x, y)) - self.width / 2


class Polyline(Shape):
    """A stroke with round caps and joins through the given points."""

    def __init__(self, points, width, colour):
        super().__init__(colour)
        self.points = points
        self.width = width

    def distance(self, x, y):
        best = float("inf")
        for (ax, ay), (bx, by) in zip(self.points, self.points[1:]):
            vx, vy = bx - ax, by - ay
            length2 = vx * vx + vy * vy
            t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - ax) * vx + (y - ay) * vy) / length2))
            best = min(best, math.hypot(x - ax - t * vx, y - ay - t * vy))
        return best - self.width / 2


def wave(x0, x1, cy, amplitude, periods, steps=48):
    points = []
    for i in range(steps + 1):
        t = i / steps
        points.append((x0 + (x1 - x0) * t, cy - amplitude * math.sin(t * periods * 2 * math.pi)))
    return points


# --- the pictures, in a 32 x 32 design space ------------------------------------------------

WHITE = (255, 255, 255, 255)
SHADOW = (0, 0, 0, 70)
BLUE_TOP = (58, 132, 214, 255)
BLUE_BOTTOM = (22, 66, 140, 255)
ORANGE = (245, 150, 40, 255)
GREY_TOP = (120, 128, 140, 255)
GREY_BOTTOM = (62, 68, 80, 255)
DARK = (36, 40, 48, 255)
GREEN = (70, 200, 90, 255)
YELLOW = (240, 205, 60, 255)
RED = (225, 70, 60, 255)


def application_icon(size):
    """A blue tile with a sound wave running into a six-pin style port."""
    # At 16 pixels a design unit is half a pixel: fewer, bolder strokes stay readable.
    small = size <= 16
    stroke = 3.6 if small else 2.6
    return [
        RoundRect(2, 3, 31, 31, 6, SHADOW),
        RoundRect(1, 1, 30, 29, 6, BLUE_TOP, BLUE_BOTTOM),
        Polyline(wave(5, 19, 12, 5, 1.0 if small else 1.5), stroke, WHITE),
        Polyline([(19, 12), (23, 12), (23, 18)], stroke - 0.4, WHITE),
        RoundRect(16, 18, 29, 28, 2.5, ORANGE),
        RoundRect(19, 21, 26, 25, 1.2, DARK),
    ]


def devices_icon(size):
    """An audio interface: a rack box with two knobs and level lights."""
    return [
        RoundRect(2, 10, 31, 26, 3, SHADOW),
        RoundRect(1, 8, 30, 24, 3, GREY_TOP, GREY_BOTTOM),
        Circle(8, 16, 4, DARK),
        Ring(8, 16, 4, 1.2, WHITE),
        Polyline([(8, 16), (8, 12.8)], 1.4, WHITE),
        Circle(17, 16, 3, DARK),
        Ring(17, 16, 3, 1.0, WHITE),
        Circle(23.5, 13, 1.6, GREEN),
        Circle(23.5, 19, 1.6, ORANGE),
        Circle(27.5, 13, 1.6, GREEN),
        Circle(27.5, 19, 1.6, DARK),
    ]


def channels_icon(size):
    """Three channel strips: level meters of different heights."""
    shapes = [RoundRect(2, 3, 31, 31, 4, SHADOW), RoundRect(1, 1, 30, 29, 4, DARK)]
    for column, level in ((6.5, 16), (15.5, 22), (24.5, 11)):
        shapes.append(RoundRect(column - 2.5, 5, column + 2.5, 26, 1, (70, 76, 88, 255)))
        top = 26 - level
        shapes.append(RoundRect(column - 2.5, top, column + 2.5, 26, 1, GREEN))
        if top < 12:
            shapes.append(RoundRect(column - 2.5, top, column + 2.5, 12, 1, YELLOW))
        if top < 8:
            shapes.append(RoundRect(column - 2.5, top, column + 2.5, 8, 1, RED))
    return shapes


def settings_icon(size):
    """Three horizontal sliders with their knobs at different places."""
    shapes = [RoundRect(2, 3, 31, 31, 4, SHADOW), RoundRect(1, 1, 30, 29, 4, BLUE_TOP, BLUE_BOTTOM)]
    for row, knob in ((8, 20), (15, 10), (22, 16)):
        shapes.append(Polyline([(6, row), (25, row)], 2.2, WHITE))
        shapes.append(RoundRect(knob - 2.5, row - 4, knob + 2.5, row + 4, 1.5, ORANGE))
    return shapes


def synchronisation_icon(size):
    """A clock face with a sync arrow round it."""
    return [
        Circle(16.5, 16.5, 14, SHADOW),
        Circle(15.5, 15.5, 14, BLUE_BOTTOM),
        Circle(15.5, 15.5, 11, WHITE),
        Polyline([(15.5, 15.5), (15.5, 8)], 2.2, DARK),
        Polyline([(15.5, 15.5), (20.5, 18.5)], 2.0, DARK),
        Circle(15.5, 15.5, 1.8, ORANGE),
        Polyline([(15.5, 5.5), (15.5, 6.5)], 1.4, DARK),
        Polyline([(25.5, 15.5), (24.5, 15.5)], 1.4, DARK),
        Polyline([(15.5, 25.5), (15.5, 24.5)], 1.4, DARK),
        Polyline([(5.5, 15.5), (6.5, 15.5)], 1.4, DARK),
    ]


def generic_icon(size):
    """A neutral tile; the image list keeps a place for it."""
    return [
        RoundRect(3, 4, 30, 30, 5, SHADOW),
        RoundRect(2, 2, 29, 28, 5, GREY_TOP, GREY_BOTTOM),
        Circle(15.5, 15, 4, WHITE),
    ]


def stream_icon(size):
    """An isochronous stream: packets flowing to the right."""
    shapes = [RoundRect(2, 3, 31, 31, 4, SHADOW), RoundRect(1, 1, 30, 29, 4, GREY_TOP, GREY_BOTTOM)]
    for x in (5, 11, 17):
        shapes.append(RoundRect(x, 11, x + 4, 19, 1, WHITE))
    shapes.append(Polyline([(23, 9), (27, 15), (23, 21)], 2.4, ORANGE))
    return shapes


ICONS = [
    ("app.ico", application_icon, (16, 32, 48)),
    ("tree_generic.ico", generic_icon, (16, 32)),
    ("devices.ico", devices_icon, (16, 32)),
    ("settings.ico", settings_icon, (16, 32)),
    ("channels.ico", channels_icon, (16, 32)),
    ("streams.ico", stream_icon, (16, 32)),
    ("synchronisation.ico", synchronisation_icon, (16, 32)),
]


# --- rendering and the .ico format ----------------------------------------------------------

def render(shapes, size):
    """Rows of (r, g, b, a) bytes, top row first, straight (not premultiplied) alpha."""
    scale = 32.0 / size
    pixel = scale / SUPERSAMPLE
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    x = (px + (sx + 0.5) / SUPERSAMPLE) * scale
                    y = (py + (sy + 0.5) / SUPERSAMPLE) * scale
                    r = g = b = a = 0.0
                    for shape in shapes:
                        cover = _coverage(shape.distance(x, y), pixel)
                        if cover <= 0.0:
                            continue
                        cr, cg, cb, ca = shape.colour_at(x, y)
                        sa = ca / 255.0 * cover
                        r = cr * sa + r * (1 - sa)
                        g = cg * sa + g * (1 - sa)
                        b = cb * sa + b * (1 - sa)
                        a = sa + a * (1 - sa)
                    acc[0] += r
                    acc[1] += g
                    acc[2] += b
                    acc[3] += a
            n = SUPERSAMPLE * SUPERSAMPLE
            alpha = acc[3] / n
            if alpha <= 0.0:
                row.append((0, 0, 0, 0))
                continue
            row.append(tuple(int(round(min(255.0, c / n / alpha))) for c in acc[:3])
                       + (int(round(alpha * 255)),))
        rows.append(row)
    return rows


def dib(rows):
    """One icon image: BITMAPINFOHEADER, BGRA rows bottom-up, then the 1-bit AND mask."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            colour += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + bytes(colour) + bytes(mask)


def ico(images):
    """The .ico container for images given as (size, dib bytes)."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return out


def main(argv):
    target = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "icons")
    os.makedirs(target, exist_ok=True)
    for name, picture, sizes in ICONS:
        images = [(size, dib(render(picture(size), size))) for size in sizes]
        with open(os.path.join(target, name), "wb") as f:
            f.write(ico(images))
        print(name, " ".join("%dx%d" % (s, s) for s in sizes))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
