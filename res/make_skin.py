#!/usr/bin/env python3
"""Draws the skin bitmaps of the main window and its pages.

Each picture is a small 24-bit BMP made of a few flat shapes (tiles, rings,
strokes) in the skin's colours, smoothed by 4 x 4 supersampling. Writes the
bitmaps and skin.rc, which names them with the ids of resource_ids.h.
"""
import math
import struct
import sys

ORANGE = (255, 150, 59)
ORANGE_DARK = (226, 112, 24)
KHAKI = (197, 186, 141)
CREAM = (246, 241, 226)
BROWN = (90, 58, 30)
WHITE = (255, 255, 255)
SKY = (126, 170, 205)


# Shapes answer whether a point (0..1 square) lies inside them.
def rrect(x0, y0, x1, y1, r):
    def inside(x, y):
        cx, cy = min(max(x, x0 + r), x1 - r), min(max(y, y0 + r), y1 - r)
        return x0 <= x <= x1 and y0 <= y <= y1 and (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def frame(x0, y0, x1, y1, r, t):
    outer, inner = rrect(x0, y0, x1, y1, r), rrect(x0 + t, y0 + t, x1 - t, y1 - t, max(r - t, 0))
    return lambda x, y: outer(x, y) and not inner(x, y)


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r, t, gap=0.0):
    """A ring; gap (radians) leaves an opening centred at the top."""
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if not (r - t <= d <= r):
            return False
        return gap == 0 or abs(math.atan2(x - cx, cy - y)) > gap / 2
    return inside


def stroke(x0, y0, x1, y1, t):
    def inside(x, y):
        dx, dy = x1 - x0, y1 - y0
        k = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
        return (x - x0 - k * dx) ** 2 + (y - y0 - k * dy) ** 2 <= (t / 2) ** 2
    return inside


def triangle(a, b, c):
    def side(p, q, x, y):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])
    def inside(x, y):
        s = (side(a, b, x, y), side(b, c, x, y), side(c, a, x, y))
        return all(v >= 0 for v in s) or all(v <= 0 for v in s)
    return inside


def render(size, back, layers):
    """layers: (shape, colour) painted in order over the back colour."""
    w, h = size
    ss = 4
    rows = []
    for py in range(h):
        row = []
        for px in range(w):
            acc = [0, 0, 0]
            for sy in range(ss):
                for sx in range(ss):
                    x, y = (px + (sx + 0.5) / ss) / w, (py + (sy + 0.5) / ss) / h
                    col = back
                    for shape, colour in layers:
                        if shape(x, y):
                            col = colour
                    for i in range(3):
                        acc[i] += col[i]
            row.append(tuple(round(v / (ss * ss)) for v in acc))
        rows.append(row)
    return rows


def write_bmp(path, rows):
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    data = b""
    for row in reversed(rows):
        line = b"".join(bytes((b, g, r)) for r, g, b in row)
        data += line + b"\0" * (stride - len(line))
    head = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(head + info + data)


def camera(fg, hole):
    return [(rrect(0.36, 0.27, 0.58, 0.38, 0.03), fg), (rrect(0.18, 0.33, 0.82, 0.75, 0.07), fg),
            (disc(0.5, 0.54, 0.15), hole), (disc(0.5, 0.54, 0.09), fg), (disc(0.72, 0.41, 0.025), hole)]


def page_glyph(i, fg, bg):
    if i == 0:
        return camera(fg, bg)
    if i == 1:
        out = []
        for y, k in ((0.32, 0.64), (0.5, 0.36), (0.68, 0.7)):
            out += [(stroke(0.2, y, 0.8, y, 0.05), fg), (disc(k, y, 0.085), fg), (disc(k, y, 0.04), bg)]
        return out
    if i == 2:
        return [(rrect(0.18, 0.28, 0.46, 0.4, 0.04), fg), (rrect(0.18, 0.35, 0.82, 0.74, 0.06), fg),
                (stroke(0.24, 0.44, 0.76, 0.44, 0.03), bg)]
    return [(ring(0.5, 0.5, 0.32, 0.06), fg), (disc(0.5, 0.35, 0.05), fg), (stroke(0.5, 0.47, 0.5, 0.66, 0.08), fg)]


def mode_glyph(i, fg, accent, tile):
    if i == 0:
        return [(rrect(0.2, 0.24, 0.8, 0.66, 0.04), fg), (rrect(0.25, 0.29, 0.75, 0.61, 0.01), accent),
                (stroke(0.5, 0.66, 0.5, 0.76, 0.07), fg), (stroke(0.36, 0.78, 0.64, 0.78, 0.05), fg)]
    if i == 1:
        return [(frame(0.3, 0.2, 0.82, 0.6, 0.03, 0.035), fg),
                (rrect(0.18, 0.36, 0.7, 0.8, 0.03), fg), (rrect(0.215, 0.45, 0.665, 0.765, 0.01), accent),
                (disc(0.63, 0.405, 0.02), tile)]
    if i == 2:
        out = [(rrect(0.24, 0.28, 0.76, 0.72, 0.0), accent)]
        for k in range(5):
            a, b = 0.22 + k * 0.12, 0.22 + k * 0.12 + 0.07
            out += [(stroke(a, 0.26, min(b, 0.78), 0.26, 0.035), fg), (stroke(a, 0.74, min(b, 0.78), 0.74, 0.035), fg)]
        for k in range(4):
            a, b = 0.26 + k * 0.13, 0.26 + k * 0.13 + 0.07
            out += [(stroke(0.22, a, 0.22, min(b, 0.74), 0.035), fg), (stroke(0.78, a, 0.78, min(b, 0.74), 0.035), fg)]
        for x, y in ((0.22, 0.26), (0.78, 0.26), (0.22, 0.74), (0.78, 0.74)):
            out.append((rrect(x - 0.045, y - 0.045, x + 0.045, y + 0.045, 0.01), fg))
        return out
    return [(frame(0.16, 0.2, 0.74, 0.66, 0.03, 0.035), fg), (rrect(0.16, 0.2, 0.74, 0.3, 0.03), fg),
            (rrect(0.195, 0.3, 0.705, 0.625, 0.0), accent),
            (triangle((0.52, 0.44), (0.52, 0.86), (0.84, 0.72)), tile),
            (triangle((0.56, 0.52), (0.56, 0.8), (0.78, 0.7)), fg)]


def action_glyph(i, fg, bg):
    if i == 0:
        return camera(fg, bg)
    if i == 1:
        return [(stroke(0.5, 0.2, 0.5, 0.55, 0.09), fg), (triangle((0.3, 0.5), (0.7, 0.5), (0.5, 0.7)), fg),
                (stroke(0.24, 0.78, 0.76, 0.78, 0.08), fg)]
    return [(ring(0.5, 0.54, 0.27, 0.08, gap=1.3), fg), (stroke(0.5, 0.2, 0.5, 0.5, 0.09), fg)]


def pictures():
    for i in range(4):  # page buttons on the orange strip, 60 x 60
        for hover in (False, True):
            back = ORANGE
            layers = [(rrect(0.02, 0.02, 0.98, 0.98, 0.2), ORANGE_DARK)] if hover else []
            tile = ORANGE_DARK if hover else ORANGE
            yield 200 + i * 2 + hover, (60, 60), back, layers + page_glyph(i, WHITE, tile)
    for i in range(4):  # capture modes on the page, 72 x 72
        for hover in (False, True):
            tile = WHITE if hover else CREAM
            edge = ORANGE if hover else (170, 158, 112)
            layers = [(rrect(0.03, 0.03, 0.97, 0.97, 0.18), edge), (rrect(0.06, 0.06, 0.94, 0.94, 0.16), tile)]
            accent = (255, 205, 150) if hover else SKY
            yield 220 + i * 2 + hover, (72, 72), KHAKI, layers + mode_glyph(i, BROWN, accent, tile)
    for i in range(3):  # capture, hide, exit, 48 x 48
        for hover in (False, True):
            circle = (ORANGE_DARK if hover else ORANGE) if i == 0 else (WHITE if hover else CREAM)
            fg = WHITE if i == 0 else (ORANGE_DARK if hover else BROWN)
            layers = [(disc(0.5, 0.5, 0.48), circle)]
            yield 240 + i * 2 + hover, (48, 48), KHAKI, layers + action_glyph(i, fg, circle)
    # The about page's picture, 234 x 177: the camera drawn in a centred square.
    k = 234 / 177
    def fit(shape):
        return lambda x, y: shape(0.5 + (x - 0.5) * k, y)
    tile = [(rrect(0.0, 0.0, 1.0, 1.0, 0.08), ORANGE)]
    yield 260, (234, 177), KHAKI, tile + [(fit(shape), c) for shape, c in camera(WHITE, ORANGE)]


def main():
    outdir = sys.argv[1]
    lines = ["// Skin bitmaps drawn by make_skin.py."]
    for ident, size, back, layers in pictures():
        name = f"skin{ident}.bmp"
        write_bmp(f"{outdir}/{name}", render(size, back, layers))
        lines.append(f'{ident} BITMAP "{name}"')
    with open(f"{outdir}/skin.rc", "w", encoding="ascii") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
