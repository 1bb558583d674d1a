"""Drawing kit for the tale pictures: shared figures and props in one style
(dark outlines, flat colours, a shadow tone per colour). Each function
returns SVG text in the coordinates of one 150 x 150 picture."""

INK = "#281810"
SKIN, SKIN_SH, CHEEK = "#f7d0ad", "#e5b38b", "#e796b5"
BLOND, BLOND_SH = "#f0cc6c", "#d9a443"
BROWN_HAIR, DARK_HAIR, GINGER_HAIR = "#824c21", "#512f19", "#d87235"
GRASS, GRASS_SH, LEAF, LEAF_LT = "#7eb43f", "#5c9c33", "#32752c", "#b3d665"
SKY, SKY_LT, NIGHT, NIGHT_LT = "#97c0ea", "#d6eafa", "#1c3471", "#294d92"
WOOD, WOOD_LT, WOOD_DK, WOOD_PALE = "#80502a", "#af7944", "#4d2e19", "#d4aa70"
STONE, STONE_LT, STONE_DK, STONE_PALE = "#a59f93", "#c2bcaf", "#847e77", "#ded8ca"
RED, RED_DK, RED_LT = "#d63b31", "#b62221", "#eb6151"
PINK, PINK_LT = "#d66e96", "#f0aac4"
PURPLE, PURPLE_LT = "#8956a8", "#bc95d5"
BLUE, BLUE_LT, BLUE_DK = "#4574ba", "#709fd9", "#294d92"
GOLD, YELLOW, YELLOW_LT = "#f1cd30", "#fde456", "#fff298"
ORANGE, ORANGE_DK = "#ee9831", "#cf6f1a"
WHITE, CREAM = "#ffffff", "#fffcf2"
GINGER, GINGER_DK = "#c1884b", "#9d6430"
TEAL = "#3c96a0"
GREY, GREY_LT, GREY_DK = "#919191", "#bebebd", "#636365"


def f(v):
    s = ("%.2f" % v).rstrip("0").rstrip(".")
    return "0" if s in ("-0", "") else s


def g(x, y, s, body, flip=False):
    """Group placed at (x, y), scaled by s, mirrored when flip; strokes keep
    their width whatever the scale."""
    sx = -s if flip else s
    return ('<g transform="translate(%s,%s) scale(%s,%s)" stroke-width="%s">%s</g>'
            % (f(x), f(y), f(sx), f(s), f(1.3 / s), body))


def shape(tag, fill, stroke=INK, **attrs):
    a = " ".join('%s="%s"' % (k.replace("_", "-"), v) for k, v in attrs.items())
    st = ' stroke="%s"' % stroke if stroke else ' stroke="none"'
    return '<%s %s fill="%s"%s stroke-linejoin="round" stroke-linecap="round"/>' % (
        tag, a, fill, st)


def path(d, fill="none", stroke=INK, width=None):
    w = ' stroke-width="%s"' % f(width) if width is not None else ""
    st = stroke if stroke else "none"
    return ('<path d="%s" fill="%s" stroke="%s"%s stroke-linejoin="round" '
            'stroke-linecap="round"/>' % (d, fill, st, w))


def circle(cx, cy, r, fill, stroke=INK):
    return shape("circle", fill, stroke, cx=f(cx), cy=f(cy), r=f(r))


def ellipse(cx, cy, rx, ry, fill, stroke=INK):
    return shape("ellipse", fill, stroke, cx=f(cx), cy=f(cy), rx=f(rx), ry=f(ry))


def rect(x, y, w, h, fill, stroke=INK, rx=0):
    return shape("rect", fill, stroke, x=f(x), y=f(y), width=f(w), height=f(h), rx=f(rx))


def background(sky, ground, horizon=100, hill=None):
    out = rect(0, 0, 150, 150, sky, None)
    if hill:
        out += path("M-5,%s C30,%s 60,%s 90,%s C115,%s 140,%s 155,%s L155,150 L-5,150 Z" % (
            horizon, horizon - 22, horizon - 18, horizon - 6, horizon - 14, horizon - 20,
            horizon - 10), hill, None)
    out += rect(0, horizon, 150, 150 - horizon, ground, None)
    return out


def frame():
    return ('<rect x="1" y="1" width="148" height="148" fill="none" stroke="%s" '
            'stroke-width="2"/>' % INK)


# ---- faces and people ------------------------------------------------------

def face(kind="smile", glasses=False, shades=False):
    """Eyes and mouth of a head of radius 10 centred at (0, -36)."""
    out = ""
    if kind == "sleep":
        out += path("M-5.5,-36 C-4.5,-34.8 -2.5,-34.8 -1.5,-36 M1.5,-36 C2.5,-34.8 4.5,-34.8 5.5,-36")
    else:
        out += circle(-3.6, -36.5, 1.3, INK, None) + circle(3.6, -36.5, 1.3, INK, None)
    out += circle(-6, -32.5, 1.9, CHEEK, None) + circle(6, -32.5, 1.9, CHEEK, None)
    if kind == "surprise":
        out += ellipse(0, -31.5, 1.6, 2, RED_DK)
    elif kind == "grin":
        out += path("M-3.5,-32.5 C-2,-29 2,-29 3.5,-32.5 Z", WHITE)
    elif kind != "sleep":
        out += path("M-2.6,-32.2 C-1.2,-30.6 1.2,-30.6 2.6,-32.2")
    else:
        out += path("M-1.5,-31.5 L1.5,-31.5")
    if glasses:
        out += circle(-3.6, -36.5, 2.8, "none") + circle(3.6, -36.5, 2.8, "none")
        out += path("M-0.8,-36.5 L0.8,-36.5")
    if shades:
        out += path("M-7,-38.5 L7,-38.5 L6,-35 C5,-33.5 2.5,-33.5 1.2,-35 L0,-36.5 "
                    "L-1.2,-35 C-2.5,-33.5 -5,-33.5 -6,-35 Z", INK)
        out += path("M-5,-37.5 L-3.5,-37.5 M2,-37.5 L3.5,-37.5", "none", WHITE, 0.8)
    return out


def hair_back(style, colour):
    if style == "hood":
        return path("M0,-49 C-14,-49 -16,-36 -13,-28 C-16,-18 -17,-10 -15,-6 L15,-6 "
                    "C17,-10 16,-18 13,-28 C16,-36 14,-49 0,-49 Z", colour)
    if style == "long":
        return path("M-10,-40 C-13,-28 -12,-18 -8,-14 L8,-14 C12,-18 13,-28 10,-40 Z", colour)
    if style == "curly":
        out = ""
        for cx, cy in ((-10, -30), (10, -30), (-11, -22), (11, -22), (-8, -16), (8, -16)):
            out += circle(cx, cy, 4.4, colour)
        return out
    if style == "pigtails":
        return (path("M-9,-38 C-16,-34 -17,-26 -14,-22 C-12,-26 -10,-30 -8,-32 Z", colour)
                + path("M9,-38 C16,-34 17,-26 14,-22 C12,-26 10,-30 8,-32 Z", colour))
    return ""


def hair_front(style, colour):
    if style == "hood":
        return (path("M-10.3,-35 C-10,-42 -5,-44 0,-44 C5,-44 10,-42 10.3,-35 C6,-40 -6,-40 "
                     "-10.3,-35 Z", BROWN_HAIR)
                + path("M-12,-30 C-14,-44 -6,-48 0,-48 C6,-48 14,-44 12,-30 C11,-40 6,-44.5 0,-44.5 "
                       "C-6,-44.5 -11,-40 -12,-30 Z", colour))
    if style in ("long", "pigtails"):
        return path("M-10.3,-35 C-11,-44 -5,-47.5 0,-47.5 C5,-47.5 11,-44 10.3,-35 "
                    "C7,-40 3,-41 0,-40 C-3,-41 -7,-40 -10.3,-35 Z", colour)
    if style == "curly":
        out = ""
        for cx, cy in ((-7, -43), (0, -46), (7, -43), (-9.5, -37), (9.5, -37)):
            out += circle(cx, cy, 4.6, colour)
        return out
    if style == "short":
        return path("M-10.3,-35 C-11,-45 -4,-47.5 0,-47.5 C6,-47.5 11,-44 10.3,-37 "
                    "C8,-41 4,-42.5 1,-41.5 C-2,-43 -6,-41 -10.3,-35 Z", colour)
    if style == "bun":
        return (circle(0, -49, 5, colour)
                + path("M-10.3,-35 C-11,-44 -5,-47.5 0,-47.5 C5,-47.5 11,-44 10.3,-35 "
                       "C6,-41 -6,-41 -10.3,-35 Z", colour))
    if style == "bald":
        return path("M-10.3,-34 C-11,-38 -10,-40 -9,-41 L-7,-36 Z M10.3,-34 C11,-38 10,-40 "
                    "9,-41 L7,-36 Z", colour)
    return ""


def arms(pose, sleeve, hand=SKIN):
    """Two arms from the shoulders at (+-6, -24)."""
    out = ""
    ends = {"down": ((-10, -13), (10, -13)), "up": ((-12, -36), (12, -36)),
            "out": ((-15, -20), (15, -20)), "wave": ((-10, -13), (13, -36)),
            "hold": ((-7, -15), (7, -15)), "run": ((-13, -28), (12, -16)),
            "reach": ((-10, -13), (16, -28))}[pose]
    for (sx, ex, ey) in ((-6, ends[0][0], ends[0][1]), (6, ends[1][0], ends[1][1])):
        out += path("M%s,-24 L%s,%s" % (f(sx), f(ex), f(ey)), "none", INK, 4.6)
        out += path("M%s,-24 L%s,%s" % (f(sx), f(ex), f(ey)), "none", sleeve, 2.6)
        out += circle(ex, ey, 2.2, hand)
    return out


def person(x, y, s=1.0, hair="short", hair_col=BROWN_HAIR, top=BLUE, bottom=None,
           dress=True, pose="down", face_kind="smile", legs=SKIN, shoes=WOOD_DK,
           flip=False, hat="", glasses=False, shades=False, skin=SKIN, extra="", under=""):
    """A child-like figure standing with its feet at (x, y); about 49 * s tall.
    `hat` and `extra` are SVG text in the figure's own coordinates, drawn on
    top of the head; `under` is drawn over the clothes but under the arms."""
    b = ellipse(0, -0.5, 11, 2.6, "#000000", None).replace("/>", ' fill-opacity="0.2"/>')
    b += hair_back(hair, hair_col)
    b += rect(-4.6, -12, 3, 11, legs) + rect(1.6, -12, 3, 11, legs)
    b += ellipse(-3.6, -1.2, 3.4, 1.9, shoes) + ellipse(3.6, -1.2, 3.4, 1.9, shoes)
    if dress:
        b += path("M-6,-27 L6,-27 L12,-9 C4,-7 -4,-7 -12,-9 Z", top)
        if bottom:
            b += path("M-10.8,-12.5 C-4,-10.5 4,-10.5 10.8,-12.5 L12,-9 C4,-7 -4,-7 -12,-9 Z",
                      bottom)
    else:
        b += rect(-6.5, -16, 13, 6, bottom or BLUE_DK, rx=1.5)
        b += rect(-6.5, -27, 13, 13, top, rx=2.5)
    b += under
    b += arms(pose, top)
    b += circle(0, -36, 10, skin)
    b += hair_front(hair, hair_col)
    b += face(face_kind, glasses, shades)
    b += hat + extra
    return g(x, y, s, b, flip)


def crown(y=-46, colour=GOLD):
    return path("M-6,%s L-6,%s L-3,%s L0,%s L3,%s L6,%s L6,%s Z" % (
        f(y), f(y - 7), f(y - 3.5), f(y - 8), f(y - 3.5), f(y - 7), f(y)), colour)


def party_hat(y=-45, colour=PINK, dots=YELLOW):
    return (path("M-6,%s L0,%s L6,%s Z" % (f(y), f(y - 13), f(y)), colour)
            + circle(0, y - 13, 1.8, dots) + circle(-1.5, y - 4, 1, dots, None)
            + circle(2, y - 7, 1, dots, None))


def shades_on_head():
    return face("smile", shades=True)


# ---- animals -----------------------------------------------------------------

def bear(x, y, s=1.0, fur=WOOD_LT, flip=False, hat="", extra="", face_kind="smile"):
    """A standing bear with its feet at (x, y); about 52 * s tall."""
    dk = WOOD if fur != WOOD else WOOD_DK
    b = ellipse(0, -0.5, 16, 3, "#000000", None).replace("/>", ' fill-opacity="0.2"/>')
    b += ellipse(-6, -3, 5, 3.5, fur) + ellipse(6, -3, 5, 3.5, fur)
    b += ellipse(0, -18, 13, 16, fur)
    b += ellipse(0, -15, 8, 10, WOOD_PALE, None)
    b += path("M-11,-26 C-16,-22 -17,-16 -14,-13", "none", INK, 5.8)
    b += path("M-11,-26 C-16,-22 -17,-16 -14,-13", "none", fur, 3.6)
    b += path("M11,-26 C16,-22 17,-16 14,-13", "none", INK, 5.8)
    b += path("M11,-26 C16,-22 17,-16 14,-13", "none", fur, 3.6)
    b += circle(-8, -49, 4.2, fur) + circle(8, -49, 4.2, fur)
    b += circle(-8, -49, 2, dk, None) + circle(8, -49, 2, dk, None)
    b += circle(0, -40, 11, fur)
    b += ellipse(0, -36, 5.5, 4.2, WOOD_PALE)
    b += ellipse(0, -38, 2, 1.4, INK, None)
    if face_kind == "surprise":
        b += ellipse(0, -34, 1.3, 1.5, RED_DK, None)
    else:
        b += path("M-2,-35 C-1,-33.6 1,-33.6 2,-35")
    b += circle(-4.2, -42.5, 1.3, INK, None) + circle(4.2, -42.5, 1.3, INK, None)
    b += hat + extra
    return g(x, y, s, b, flip)


def wolf(x, y, s=1.0, flip=False, hat="", extra=""):
    """A grey wolf on its hind legs, feet at (x, y), facing left; ~50 * s tall."""
    b = path("M8,-14 C18,-16 22,-24 20,-30 C17,-24 13,-22 8,-22 Z", GREY)
    b += rect(-6, -10, 4, 9, GREY) + rect(2, -10, 4, 9, GREY)
    b += ellipse(-4.5, -1.5, 4, 2, GREY_DK) + ellipse(4.5, -1.5, 4, 2, GREY_DK)
    b += ellipse(0, -20, 10, 13, GREY)
    b += ellipse(-1, -18, 5.5, 8, GREY_LT, None)
    b += path("M-7,-28 L-13,-16", "none", INK, 4.6) + path("M-7,-28 L-13,-16", "none", GREY, 2.6)
    b += path("M-2,-50 L-6,-43 L0,-42 Z", GREY) + path("M7,-50 L2,-43 L8,-42 Z", GREY)
    b += path("M-7,-40 C-8,-46 6,-47 8,-40 C9,-34 5,-31 0,-31 L-15,-33 C-17,-34 -17,-37 -15,-37 Z",
              GREY)
    b += path("M-15,-33 C-12,-32 -6,-32 -3,-33", "none", INK, 1)
    b += circle(-16, -35.5, 1.6, INK, None)
    b += circle(-2.5, -40, 1.3, INK, None)
    b += path("M-6,-43 L-1,-42", "none", INK, 1)
    b += hat + extra
    return g(x, y, s, b, flip)


def fox(x, y, s=1.0, flip=False, hat="", extra=""):
    """A sitting fox, base at (x, y), facing left; about 34 * s tall."""
    b = path("M6,-4 C20,-2 24,-14 18,-22 C18,-14 14,-10 6,-10 Z", ORANGE)
    b += path("M18,-22 C21,-19 21,-15 19.5,-12 C18,-15 17,-18 18,-22 Z", WHITE)
    b += ellipse(0, -11, 9, 11, ORANGE)
    b += ellipse(-2, -9, 4.5, 7, WHITE, None)
    b += path("M-7,-33 L-6,-25 L-1,-27 Z", ORANGE) + path("M3,-34 L1,-26 L6,-26 Z", ORANGE)
    b += path("M-6,-26 C-7,-33 5,-33 7,-26 C8,-21 4,-18 0,-18 L-12,-21 C-13,-22 -13,-24 "
              "-12,-24 Z", ORANGE)
    b += path("M-12,-21 C-9,-19 -5,-18 -1,-18 C-4,-19 -6,-21 -6,-22 Z", WHITE, None)
    b += circle(-12.5, -22.5, 1.3, INK, None) + circle(-1.5, -26, 1.2, INK, None)
    b += ellipse(-3, -1, 3, 1.5, ORANGE_DK) + ellipse(3, -1, 3, 1.5, ORANGE_DK)
    b += hat + extra
    return g(x, y, s, b, flip)


def hare(x, y, s=1.0, flip=False, sleeping=False, hat="", extra=""):
    """A hare. Standing (feet at x, y, ~44 * s tall) or lying asleep."""
    fur, lt = "#c2a27a", "#ecdcc0"
    if sleeping:
        b = ellipse(0, -8, 18, 8.5, fur)
        b += ellipse(2, -6, 10, 4.5, lt, None)
        b += ellipse(16, -9, 4, 4, WHITE)
        b += path("M-19,-14 C-30,-20 -34,-16 -32,-12 C-28,-12 -24,-12 -19,-10 Z", fur)
        b += path("M-17,-16 C-26,-26 -30,-22 -29,-18 C-26,-16 -22,-14 -17,-12 Z", fur)
        b += circle(-16, -10, 8, fur)
        b += path("M-20,-10 C-19,-8.8 -17,-8.8 -16,-10")
        b += ellipse(-23.5, -8, 1.5, 1.1, PINK, None)
        return g(x, y, s, b + hat + extra, flip)
    b = ellipse(4, -3, 8, 3, fur) + ellipse(0, -16, 9, 12, fur)
    b += ellipse(-1, -14, 5, 8, lt, None)
    b += path("M-4,-36 C-9,-52 -3,-56 -1,-40 Z", fur) + path("M2,-37 C4,-54 10,-52 5,-36 Z", fur)
    b += circle(0, -32, 8, fur)
    b += circle(-3, -33, 1.2, INK, None) + circle(3, -33, 1.2, INK, None)
    b += ellipse(0, -29.5, 1.5, 1.1, PINK, None)
    b += circle(9, -8, 3.5, WHITE)
    return g(x, y, s, b + hat + extra, flip)


def tortoise(x, y, s=1.0, flip=False, hat="", extra=""):
    """A tortoise walking left, feet at (x, y); about 22 * s tall."""
    sh, lt = "#5c9c33", "#b3d665"
    b = rect(-11, -6, 5, 6, "#a6b46a", rx=2) + rect(6, -6, 5, 6, "#a6b46a", rx=2)
    b += path("M14,-6 L20,-4 L14,-2 Z", "#a6b46a")
    b += path("M-15,-5 C-15,-20 15,-20 15,-5 Z", sh)
    b += path("M-7,-7 L-4,-15 L4,-15 L7,-7 Z M-13,-7 L-7,-7 M7,-7 L13,-7 M-4,-15 L-8,-17 "
              "M4,-15 L8,-17", lt)
    b += path("M-16,-5 L16,-5", "none", INK, 1.4)
    b += path("M-14,-9 C-18,-14 -26,-14 -27,-9 C-27,-5 -20,-4 -15,-5 Z", "#a6b46a")
    b += circle(-22, -10.5, 1.2, INK, None) + path("M-26,-7 C-24.5,-6 -23,-6 -22,-7")
    return g(x, y, s, b + hat + extra, flip)


def cow(x, y, s=1.0, flip=False, extra=""):
    """A cow facing left, feet at (x, y); about 30 * s tall."""
    b = rect(-14, -10, 4, 10, WHITE) + rect(8, -10, 4, 10, WHITE)
    b += ellipse(0, -16, 17, 9, WHITE)
    b += path("M-4,-24 C0,-20 6,-22 6,-16 C6,-11 1,-12 -2,-14 C-6,-16 -8,-21 -4,-24 Z", INK, None)
    b += path("M17,-18 C21,-14 21,-10 19,-8", "none", INK, 1.2)
    b += ellipse(2, -8, 4, 2.5, PINK_LT)
    b += path("M-22,-28 L-26,-33 M-14,-28 L-10,-33", "none", INK, 2)
    b += ellipse(-18, -22, 7, 7.5, WHITE)
    b += ellipse(-20, -17, 5.5, 3.6, PINK_LT)
    b += circle(-21.5, -17.5, 0.8, INK, None) + circle(-18, -17.5, 0.8, INK, None)
    b += circle(-20, -24, 1.2, INK, None) + circle(-15, -24, 1.2, INK, None)
    return g(x, y, s, b + extra, flip)


# ---- props -------------------------------------------------------------------

def tree(x, y, s=1.0, leaf=LEAF, leaf_lt=GRASS):
    b = path("M-3,0 L-2.5,-18 L2.5,-18 L3,0 Z", WOOD)
    b += circle(-8, -24, 9, leaf) + circle(8, -24, 9, leaf) + circle(0, -32, 11, leaf)
    b += circle(-3, -34, 4, leaf_lt, None) + circle(5, -27, 3, leaf_lt, None)
    return g(x, y, s, b)


def lollipop_tree(x, y, s=1.0, a=PINK, b_=WHITE):
    b = rect(-1.5, -22, 3, 22, CREAM)
    b += circle(0, -30, 11, a)
    b += path("M0,-30 C4,-30 5,-35 0,-36 C-6,-36 -7,-28 0,-25 C8,-23 11,-33 4,-39", "none", b_, 2.4)
    return g(x, y, s, b)


def cloud(x, y, s=1.0, fill=WHITE, stroke=INK):
    b = path("M-14,0 C-20,0 -20,-8 -13,-8 C-12,-15 -2,-16 0,-10 C3,-16 13,-14 12,-7 "
             "C19,-7 19,0 13,0 Z", fill, stroke)
    return g(x, y, s, b)


def star(x, y, r=3, fill=YELLOW, stroke=INK):
    import math
    pts = []
    for i in range(10):
        a = -math.pi / 2 + i * math.pi / 5
        rr = r if i % 2 == 0 else r * 0.45
        pts.append("%s,%s" % (f(x + rr * math.cos(a)), f(y + rr * math.sin(a))))
    return path("M" + " L".join(pts) + " Z", fill, stroke, 0.8)


def sunglasses(x, y, w=10):
    """Dark glasses centred at (x, y), w wide."""
    h = w / 10.0
    return path("M%s,%s L%s,%s L%s,%s C%s,%s %s,%s %s,%s L%s,%s C%s,%s %s,%s %s,%s Z" % (
        f(x - w / 2), f(y - 1.6 * h), f(x + w / 2), f(y - 1.6 * h),
        f(x + w / 2 - 0.6 * h), f(y + 1.2 * h),
        f(x + w / 2 - 1.6 * h), f(y + 2.4 * h), f(x + 1.2 * h), f(y + 2.2 * h), f(x + 0.6 * h),
        f(y), f(x - 0.6 * h), f(y),
        f(x - 1.2 * h), f(y + 2.2 * h), f(x - w / 2 + 1.6 * h), f(y + 2.4 * h),
        f(x - w / 2 + 0.6 * h), f(y + 1.2 * h)), INK, INK, 0.6)


def balloon(x, y, colour=RED, string_len=18):
    return (path("M%s,%s C%s,%s %s,%s %s,%s" % (f(x), f(y + 9), f(x - 3), f(y + 14), f(x + 3),
                                                  f(y + 17), f(x), f(y + 9 + string_len)),
                 "none", INK, 0.9)
            + ellipse(x, y, 6, 7.5, colour)
            + path("M%s,%s l-1.5,2 l3,0 Z" % (f(x), f(y + 7.5)), colour, INK, 0.8)
            + ellipse(x - 2, y - 3, 1.5, 2.4, WHITE, None))


def duck(x, y, s=1.0, flip=False):
    b = ellipse(0, -5, 8, 5.5, YELLOW) + circle(-5, -12, 4.6, YELLOW)
    b += path("M-9,-12 L-13.5,-11 L-9,-9.5 Z", ORANGE) + circle(-6, -13, 0.9, INK, None)
    b += path("M2,-6 C4,-4 6,-4 7,-6", "none", INK, 0.9)
    return g(x, y, s, b, flip)


def cake(x, y, s=1.0, candles=3):
    b = rect(-12, -12, 24, 12, PINK_LT, rx=2)
    b += path("M-12,-10 C-8,-6 -6,-10 -3,-7 C0,-4 3,-9 6,-6 C9,-4 11,-8 12,-7 L12,-10 "
              "C12,-12 10,-13 8,-13 L-8,-13 C-10,-13 -12,-12 -12,-10 Z", CREAM)
    b += circle(-6, -3.5, 1.2, RED, None) + circle(0, -4, 1.2, BLUE, None) + circle(6, -3.5, 1.2, YELLOW, None)
    for i in range(candles):
        cx = -7 + 14.0 * i / max(1, candles - 1) if candles > 1 else 0
        b += rect(cx - 1, -19, 2, 6, BLUE_LT) + path("M%s,-19 C%s,-21 %s,-22 %s,-23 C%s,-22 %s,-21 %s,-19 Z" % (
            f(cx), f(cx - 1.5), f(cx - 0.5), f(cx), f(cx + 0.5), f(cx + 1.5), f(cx)), ORANGE, INK, 0.6)
    return g(x, y, s, b)


def skates(dx=0):
    """Roller skates for a person()'s feet (figure coordinates)."""
    out = ""
    for cx in (-3.6, 3.6):
        out += rect(cx - 4 + dx, -3.2, 8, 3, RED, rx=1)
        out += circle(cx - 2.5 + dx, 0.8, 1.5, YELLOW) + circle(cx + 2.5 + dx, 0.8, 1.5, YELLOW)
    return out


def bowtie(y=-26.5, colour=RED):
    return path("M0,%s L-4,%s L-4,%s Z M0,%s L4,%s L4,%s Z" % (
        f(y), f(y - 2.4), f(y + 2.4), f(y), f(y - 2.4), f(y + 2.4)), colour, INK, 0.8)


def polka(points, colour=WHITE, r=1.1):
    return "".join(circle(x, y, r, colour, None) for x, y in points)


def picture(states):
    """The 150 x 450 sheet: the three states one above the other."""
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<svg xmlns="http://www.w3.org/2000/svg" version="1.1" width="150" height="450" '
           'viewBox="0 0 150 450">']
    for i, body in enumerate(states):
        out.append('<g transform="translate(0,%d)">%s</g>' % (150 * i, body))
    for i in range(3):
        out.append('<g transform="translate(0,%d)">%s</g>' % (150 * i, frame()))
    out.append("</svg>")
    return "\n".join(out) + "\n"


def witch_hat(y=-44, colour="#3a2d5c"):
    return (ellipse(0, y, 15, 3, colour)
            + path("M-8,%s C-6,%s -2,%s 6,%s C2,%s 4,%s 8,%s Z" % (
                f(y), f(y - 10), f(y - 18), f(y - 24), f(y - 16), f(y - 8), f(y)), colour)
            + rect(-7.5, y - 4.5, 15, 3, PURPLE_LT, rx=0))


def pointy_nose():
    return path("M0,-36 C-1,-32 -6,-30 -5,-28 C-3,-28 0,-30 1,-31 Z", SKIN)


def nightcap(y=-44, colour=BLUE_LT):
    return (path("M-11,%s C-10,%s 4,%s 12,%s C8,%s 6,%s 11,%s Z" % (
        f(y + 6), f(y - 8), f(y - 10), f(y + 4), f(y - 2), f(y - 4), f(y + 6)), colour)
            + circle(12.5, y + 5, 2.6, WHITE))


def gingerbread_man(x, y, s=1.0, flip=False, extra="", pose="run"):
    """A running gingerbread man, feet at (x, y), facing right; ~40 * s tall."""
    b = path("M-3,-14 L-10,-2 C-11,0 -7,2 -6,0 L0,-9 L5,-1 C6,1 10,0 9,-2 L3,-14 Z", GINGER)
    if pose == "run":
        arm = path("M-5,-22 L-14,-28 C-16,-29 -17,-25 -15,-24 L-6,-17 Z M5,-22 L14,-16 C16,-15 "
                   "17,-19 15,-20 L6,-26 Z", GINGER)
    else:
        arm = path("M-5,-24 L-15,-20 L-14,-16 L-5,-18 Z M5,-24 L15,-20 L14,-16 L5,-18 Z", GINGER)
    b += arm
    b += path("M-6,-26 C-7,-20 -6,-14 -4,-12 L4,-12 C6,-14 7,-20 6,-26 Z", GINGER)
    b += circle(0, -32, 8, GINGER)
    b += circle(0, -22, 1.3, RED, None) + circle(0, -17, 1.3, "#32752c", None)
    b += path("M-9,-5 L-6,-3 M6,-5 L9,-3 M-13,-27 L-12,-24 M12,-19 L13,-16", "none", WHITE, 1)
    b += circle(-3, -33.5, 1.3, INK, None) + circle(3, -33.5, 1.3, INK, None)
    b += path("M-3,-29.5 C-1.5,-27.5 1.5,-27.5 3,-29.5", "none", WHITE, 1.2)
    return g(x, y, s, b + extra, flip)


def rocket(x, y, s=1.0):
    b = path("M-10,-4 C-10,-8 6,-9 12,-4 C6,1 -10,0 -10,-4 Z", RED)
    b += path("M-10,-4 L-16,-9 L-14,-4 L-16,1 Z", RED_DK)
    b += circle(3, -4, 2, SKY_LT)
    b += path("M-16,-4 L-26,-7 L-22,-4 L-26,-1 Z", YELLOW, ORANGE, 1)
    return g(x, y, s, b)


def flag(x, y, colour=RED):
    return (path("M%s,%s L%s,%s" % (f(x), f(y), f(x), f(y - 36)), "none", INK, 1.6)
            + path("M%s,%s L%s,%s L%s,%s Z" % (f(x), f(y - 36), f(x + 16), f(y - 31), f(x),
                                                f(y - 26)), colour))


def flowers(points, colours=(RED_LT, YELLOW, PINK_LT, WHITE)):
    """Little meadow flowers: a ring of petals with a yellow eye at each point."""
    out = ""
    for i, (x, y) in enumerate(points):
        c = colours[i % len(colours)]
        out += circle(x, y, 1.9, c, None) + circle(x, y, 0.8, ORANGE if c == YELLOW else YELLOW, None)
    return out
