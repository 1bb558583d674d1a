#!/usr/bin/env python3
"""Writes assets/art/book/book.svg, the 500 x 300 sheet of book pieces.

The storybook window tiles the pieces in runs of 100 pixels and clips the
last one anywhere, so every piece is built from profiles: the layers of the
cover, page stack and paper depend only on the distance from the window edge
they run along, the paper is one flat colour and the gutter varies only
across. Corners are the same layers turning round; the spine pieces bend the
page layers down into the gutter and join both edges and the gutter exactly.
All layer edges fall on whole pixels, so pieces meet without a seam.

    python3 genbook.py > ../../assets/art/book/book.svg
"""

import math

BOARD = "#861519"
BOARD_DARK = "#660f13"
GOLD = "#d9a443"
PAPER = "#f8f0db"
LINE = "#beaa82"
OUTLINE = "#59361d"
STACK1 = "#dcc9a1"
STACK2 = "#ede0bf"
INK = "#281810"

# (distance from the window edge where the layer starts, colour, corner
# radius, bends into the gutter)
LAYERS = [
    (-40, BOARD, 0, False),
    (7, GOLD, 11, False),
    (9, BOARD, 9, False),
    (27, BOARD_DARK, 0, True),
    (30, OUTLINE, 0, True),
    (31, STACK1, 0, True),
    (33, LINE, 0, True),
    (34, STACK2, 0, True),
    (36, LINE, 0, True),
    (37, OUTLINE, 0, True),
    (38, PAPER, 0, True),
]

# Gutter shading: (half width about the fold, colour), widest first.
GUTTER = [
    (28, "#f5ebd2"),
    (20, "#ede0bf"),
    (13, "#e2d2ab"),
    (7, "#d2bf97"),
    (3, "#beaa82"),
    (1, "#948e85"),
]

DIP = 6.0  # how far the page edges bend down at the fold, pixels

out = []


def fmt(v):
    s = ("%.3f" % v).rstrip("0").rstrip(".")
    return "0" if s == "-0" else s


class Frame:
    """Maps piece-local coordinates to the sheet, with optional mirroring."""

    def __init__(self, x, y, w, h, flip_x=False, flip_y=False):
        self.x, self.y, self.w, self.h = x, y, w, h
        self.fx, self.fy = flip_x, flip_y

    def pt(self, u, v):
        px = self.x + (self.w - u if self.fx else u)
        py = self.y + (self.h - v if self.fy else v)
        return px, py

    def rect(self, u0, v0, u1, v1, fill):
        u0, u1 = max(0, u0), min(self.w, u1)
        v0, v1 = max(0, v0), min(self.h, v1)
        if u0 >= u1 or v0 >= v1:
            return
        ax, ay = self.pt(u0, v0)
        bx, by = self.pt(u1, v1)
        out.append('<rect x="%s" y="%s" width="%s" height="%s" fill="%s"/>' % (
            fmt(min(ax, bx)), fmt(min(ay, by)), fmt(abs(bx - ax)), fmt(abs(by - ay)), fill))

    def poly(self, pts, fill):
        d = "M" + " L".join("%s,%s" % tuple(map(fmt, self.pt(u, v))) for u, v in pts) + " Z"
        out.append('<path d="%s" fill="%s"/>' % (d, fill))


def corner_layers(f):
    """Top-left corner piece in its own coordinates: window = local - 20."""
    for e, colour, r, _ in LAYERS:
        a = e + 20  # local coordinate of the layer edge on both axes
        if a <= 0:
            f.rect(0, 0, 100, 100, colour)
            continue
        if r == 0:
            f.rect(a, a, 100, 100, colour)
            continue
        # Quarter circle as a polyline from (a, a + r) to (a + r, a).
        pts = [(100, 100), (a, 100)]
        for i in range(0, 13):
            t = math.pi / 2 * i / 12
            pts.append((a + r - r * math.cos(t), a + r - r * math.sin(t)))
        pts.append((100, a))
        f.poly(pts, colour)


def edge_layers(f):
    """Top edge piece: window y = local v - 20, uniform along x."""
    for e, colour, _, _ in LAYERS:
        f.rect(0, e + 20, 100, 100, colour)


def side_layers(f):
    """Left edge piece: window x = local u - 20, uniform along y."""
    for e, colour, _, _ in LAYERS:
        f.rect(e + 20, 0, 100, 100, colour)


def gutter_columns(f, top_of):
    """The gutter shading of columns 0..100 of frame f, each band from the
    paper's top edge (top_of(u)) down to the bottom of the piece."""
    for half, colour in GUTTER:
        u0, u1 = 50 - half, 50 + half
        if top_of is None:
            f.rect(u0, 0, u1, 100, colour)
        else:
            pts = [(u0, 100)]
            steps = 2 * half
            for i in range(steps + 1):
                u = u0 + (u1 - u0) * i / steps
                pts.append((u, top_of(u)))
            pts.append((u1, 100))
            f.poly(pts, colour)


def dip(u):
    """Extra depth of a bending layer at spine column u (0..200)."""
    t = (u - 100) / 100.0
    return DIP * (1 - t * t) ** 2 if abs(t) < 1 else 0.0


def spine_top(f):
    """Spine at the head: window x = mid - 100 + u, y = v - 20. Painted from
    the inside out: paper and gutter first, then the region above each layer
    edge in the colour of the layer outside it."""
    f.rect(0, 0, 200, 100, PAPER)
    # Gutter bands in spine coordinates (columns 50..150).
    for half, colour in GUTTER:
        u0, u1 = 100 - half, 100 + half
        pts = [(u0, 100)]
        steps = 4 * half
        for i in range(steps + 1):
            u = u0 + (u1 - u0) * i / steps
            pts.append((u, 38 + 20 + dip(u) - 1))
        pts.append((u1, 100))
        f.poly(pts, colour)
    for i in range(len(LAYERS) - 1, 0, -1):
        e, _, _, bends = LAYERS[i]
        colour = LAYERS[i - 1][1]
        a = e + 20
        if not bends:
            f.rect(0, 0, 200, a, colour)
            continue
        pts = [(0, 0)]
        for k in range(0, 201, 4):
            pts.append((k, a + dip(k)))
        pts.append((200, 0))
        f.poly(pts, colour)
    # Headband: the coloured cloth at the top of the spine.
    hx, hy = 100, 20 + 22
    x0, y0 = f.pt(hx - 15, hy)
    x1, y1 = f.pt(hx + 15, hy + 10)
    xa, ya = min(x0, x1), min(y0, y1)
    for i in range(5):
        out.append('<rect x="%s" y="%s" width="6" height="10" fill="%s"/>' % (
            fmt(xa + i * 6), fmt(ya), "#f2e6c9" if i % 2 else "#287887"))
    out.append('<rect x="%s" y="%s" width="30" height="10" rx="3" fill="none" stroke="%s" '
               'stroke-width="1"/>' % (fmt(xa), fmt(ya), INK))


def paper(f):
    f.rect(0, 0, 100, 100, PAPER)


def arrow(f, forward, enabled):
    """A page-turn arrow on plain paper, 40 x 25."""
    f.rect(0, 0, 40, 25, PAPER)
    # Arrow pointing left, in 40 x 25 coordinates; mirrored for forward.
    pts = [(4, 12.5), (16, 2.5), (16, 8), (35, 8), (35, 17), (16, 17), (16, 22.5)]
    if forward:
        pts = [(40 - u, v) for u, v in pts]
    d = "M" + " L".join("%s,%s" % (fmt(f.x + u), fmt(f.y + v)) for u, v in pts) + " Z"
    if enabled:
        out.append('<path d="%s" fill="#d63b31" stroke="%s" stroke-width="1.6" '
                   'stroke-linejoin="round"/>' % (d, INK))
        # Highlight along the top of the shaft.
        hx0, hx1 = (17, 33) if not forward else (7, 23)
        out.append('<rect x="%s" y="%s" width="%s" height="2" fill="#f17160"/>' % (
            fmt(f.x + hx0), fmt(f.y + 9.5), fmt(hx1 - hx0)))
    else:
        out.append('<path d="%s" fill="#f2e6c9" stroke="#d2bf97" stroke-width="1.4" '
                   'stroke-linejoin="round"/>' % d)


def close_tab(f):
    """The close tab, 40 x 80 at window (W - 32, 30): its background repeats
    the right-hand cover and page stack that lie beneath it, so it is drawn
    opaque without a seam."""
    for e, colour, _, _ in LAYERS:
        # Window distance from the right edge of tab column u is 32 - u; from
        # the top edge of tab row v it is 30 + v.
        f.rect(0, max(0, e - 30), 32 - e, 80, colour)
    x, y = f.x, f.y
    # A leather tab hanging from the top of the cover, with a notched end.
    # Outlined on the sides and the notch only: its top runs under the pages.
    shape = [(8, 0), (8, 76), (19, 69), (30, 76), (30, 0)]
    d = "M" + " L".join("%s,%s" % (fmt(x + u), fmt(y + v)) for u, v in shape)
    out.append('<path d="%s Z" fill="#287887"/>' % d)
    out.append('<path d="%s" fill="none" stroke="%s" stroke-width="1.5" '
               'stroke-linejoin="round"/>' % (d.replace(",0 L", ",0.75 L", 1)
                                                .replace(",0", ",0.75"), INK))
    out.append('<rect x="%s" y="%s" width="3" height="68" fill="#69b4b9"/>' % (
        fmt(x + 11), fmt(y)))
    out.append('<path d="M%s,%s L%s,%s" stroke="#145a6e" stroke-width="1" '
               'stroke-dasharray="3,2"/>' % (fmt(x + 26.5), fmt(y + 2), fmt(x + 26.5), fmt(y + 66)))
    # A cream button with a cross: close.
    cx, cy = x + 19, y + 36
    out.append('<circle cx="%s" cy="%s" r="8" fill="#faf5e3" stroke="%s" stroke-width="1.5"/>'
               % (fmt(cx), fmt(cy), INK))
    out.append('<path d="M%s,%s L%s,%s M%s,%s L%s,%s" stroke="#c32925" stroke-width="2.6" '
               'stroke-linecap="round"/>' % (
                   fmt(cx - 3.5), fmt(cy - 3.5), fmt(cx + 3.5), fmt(cy + 3.5),
                   fmt(cx + 3.5), fmt(cy - 3.5), fmt(cx - 3.5), fmt(cy + 3.5)))


def main():
    corner_layers(Frame(0, 0, 100, 100))
    corner_layers(Frame(400, 0, 100, 100, flip_x=True))
    corner_layers(Frame(0, 200, 100, 100, flip_y=True))
    corner_layers(Frame(400, 200, 100, 100, flip_x=True, flip_y=True))
    edge_layers(Frame(100, 0, 100, 100))
    edge_layers(Frame(100, 200, 100, 100, flip_y=True))
    side_layers(Frame(0, 100, 100, 100))
    side_layers(Frame(400, 100, 100, 100, flip_x=True))
    spine_top(Frame(200, 0, 200, 100))
    spine_top(Frame(200, 200, 200, 100, flip_y=True))
    paper(Frame(100, 100, 100, 100))
    # Unused spots of the middle row stay paper.
    Frame(240, 100, 10, 100).rect(0, 0, 10, 100, PAPER)
    Frame(350, 180, 50, 20).rect(0, 0, 50, 20, PAPER)
    Frame(390, 100, 10, 80).rect(0, 0, 10, 80, PAPER)
    gf = Frame(250, 100, 100, 100)
    gf.rect(0, 0, 100, 100, PAPER)
    gutter_columns(gf, None)
    arrow(Frame(200, 100, 40, 25), False, False)
    arrow(Frame(200, 125, 40, 25), False, True)
    arrow(Frame(200, 150, 40, 25), True, False)
    arrow(Frame(200, 175, 40, 25), True, True)
    close_tab(Frame(350, 100, 40, 80))
    print('<?xml version="1.0" encoding="UTF-8"?>')
    print('<!-- The pieces of the open storybook. Generated by tools/bookcheck/genbook.py. -->')
    print('<svg xmlns="http://www.w3.org/2000/svg" version="1.1" width="500" height="300" '
          'viewBox="0 0 500 300" shape-rendering="crispEdges">')
    print('<g shape-rendering="auto">')
    for line in out:
        print(line)
    print('</g>')
    print('</svg>')


main()
