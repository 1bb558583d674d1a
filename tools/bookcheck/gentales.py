#!/usr/bin/env python3
"""Writes the ten tale pictures into assets/art/tales/: 150 x 450 each, the
cover picture for no twist, half twist and full twist one above the other.
Every state keeps the composition of the plain tale and grows sillier.
What each picture shows is told in words in assets/art/tales/pictures.txt:
a picture changed here is described anew there.

    python3 gentales.py ../../assets/art/tales
"""

import os
import sys

from talekit import *  # noqa: F401,F403  (the drawing kit)


def cinders(t):
    o = background(NIGHT_LT, "#7c6ba8", 104)
    # moon and stars
    o += circle(122, 24, 11, YELLOW_LT) + circle(126, 21, 9, NIGHT_LT, None)
    for x, y in ((18, 14), (40, 30), (70, 12), (98, 36), (140, 48)):
        o += star(x, y, 2.6)
    # castle on the hill
    o += path("M-5,104 C30,84 60,86 100,96 L155,104 Z", "#4f3f7f", None)
    castle = (rect(-22, -30, 44, 30, STONE_LT) + rect(-30, -42, 12, 42, STONE_LT)
              + rect(18, -42, 12, 42, STONE_LT)
              + path("M-32,-42 L-24,-56 L-16,-42 Z M16,-42 L24,-56 L32,-42 Z", "#8956a8")
              + path("M-6,0 L-6,-10 C-6,-16 6,-16 6,-10 L6,0 Z", WOOD_DK)
              + rect(-26, -34, 4, 6, YELLOW, None) + rect(22, -34, 4, 6, YELLOW, None))
    if t == 2:
        # the towers are ice-cream cones
        castle = (rect(-22, -30, 44, 30, STONE_LT)
                  + path("M-30,-36 L-24,-8 L-18,-36 Z M18,-36 L24,-8 L30,-36 Z", WOOD_PALE)
                  + circle(-24, -40, 7, PINK_LT) + circle(24, -40, 7, "#b3d665")
                  + circle(-24, -47, 3, RED) + circle(24, -47, 3, RED)
                  + path("M-6,0 L-6,-10 C-6,-16 6,-16 6,-10 L6,0 Z", WOOD_DK))
    o += g(46, 92, 0.8, castle)
    # the coach
    coach_body = ellipse(0, -20, 22, 18, ORANGE)
    coach_body += path("M-8,-36 C-10,-26 -10,-14 -8,-4 M8,-36 C10,-26 10,-14 8,-4", "none", ORANGE_DK, 1.2)
    coach_body += path("M0,-38 C-2,-43 2,-46 4,-44", "none", LEAF, 2.4)
    coach_body += rect(-6, -27, 12, 12, YELLOW_LT, rx=5)
    if t >= 1:
        # a watermelon coach
        coach_body = ellipse(0, -20, 22, 18, "#32752c")
        coach_body += path("M-12,-35 C-16,-25 -16,-14 -12,-5 M0,-38 L0,-2 M12,-35 C16,-25 16,-14 12,-5",
                           "none", "#b3d665", 2)
        coach_body += rect(-7, -28, 14, 13, RED_LT, rx=6) + polka(((-3, -22), (3, -20), (0, -25)), INK, 0.8)
    if t == 2:
        # ... with a teapot spout and lid
        coach_body += path("M20,-24 C30,-26 32,-34 36,-38 L38,-35 C34,-30 32,-20 21,-15 Z", "#32752c")
        coach_body += ellipse(0, -38, 8, 3, "#b3d665") + circle(0, -42, 2.4, RED)
    coach = coach_body + circle(-13, -3, 6.5, GOLD) + circle(13, -3, 6.5, GOLD)
    coach += circle(-13, -3, 2, WOOD) + circle(13, -3, 2, WOOD)
    if t == 2:
        coach = coach.replace(GOLD, PINK_LT)
    o += g(110, 124, 1.0, coach)
    # Cinderella in her gown
    gown = BLUE_LT if t < 2 else PINK
    extra = crown(-46) if t == 0 else ""
    hat = ""
    if t == 1:
        hat = party_hat(-46)
    if t == 2:
        hat = ('<path d="M-11,-44 C-6,-58 6,-58 11,-44 Z" fill="%s" stroke="%s"/>' % (YELLOW, INK)
               + circle(0, -56, 2.4, RED))
    # a wide ball gown over the dress
    skirt = path("M-6,-17 C-12,-12 -19,-7 -19,-1 C-8,1.5 8,1.5 19,-1 C19,-7 12,-12 6,-17 Z", gown)
    skirt += path("M-19,-1 C-8,1.5 8,1.5 19,-1 C18,-4 -18,-4 -19,-1 Z", WHITE)
    skirt += path("M-8,-14 C-10,-9 -11,-5 -12,-1 M8,-14 C10,-9 11,-5 12,-1", "none", INK, 0.9)
    if t == 2:
        skirt += polka(((-9, -8), (0, -12), (9, -8), (-4, -4), (5, -4)), YELLOW, 1.4)
    cind = person(0, 0, 1, hair="bun", hair_col=BLOND, top=gown, bottom=WHITE,
                  pose="wave" if t < 2 else "up", hat=hat + extra, under=skirt, shades=(t == 2),
                  face_kind="smile" if t < 2 else "grin")
    o += g(54, 136, 1.15, cind.replace('<g transform="translate(0,0) scale(1,1)" stroke-width="1.3">', "<g>"))
    # the slipper on the step
    if t == 0:
        o += g(22, 138, 1.5, path("M-8,0 C-8,-3 -5,-4 -2,-3 L4,-6 C7,-7 8,-5 8,-3 L8,3 L6.5,3 "
                                  "L6,-1 L-6,1 C-7,1 -8,0.5 -8,0 Z", SKY_LT)
               + path("M-5,-2 L-1,-2.5", "none", WHITE, 1))
        o += star(34, 128, 3, WHITE) + star(12, 126, 2.2, WHITE)
    elif t == 1:
        o += duck(26, 140, 1.0)
    else:
        o += duck(26, 140, 1.0)
        o += g(26, 140, 1.0, path("M-8,-16 L-2,-20 L0,-15 Z", RED))
        o += balloon(130, 60, YELLOW, 14) + balloon(86, 58, PINK, 20)
        o += circle(120, 24, 3, INK, None) + circle(126, 26, 3, INK, None)
    if t >= 1:
        o += sunglasses(118, 22, 14) if t == 2 else ""
    return o


def goldilox(t):
    o = rect(0, 0, 150, 150, "#e9cf95", None)
    # log wall and floor
    for y in range(8, 100, 14):
        o += path("M0,%d L150,%d" % (y, y), "none", "#c9a66b", 1.4)
    o += rect(0, 100, 150, 50, WOOD_LT, None)
    o += path("M0,100 L150,100", "none", INK, 1.4)
    # window
    o += rect(58, 16, 34, 26, SKY, rx=2) + path("M75,16 L75,42 M58,29 L92,29", "none", WOOD, 2)
    if t == 2:
        o += circle(66, 24, 3.5, WHITE) + path("M66,24 L70,14", "none", INK, 0.8)
        o += g(84, 36, 0.5, cow(0, 0, 1))
    # the three bears at the door on the right
    hats = ("", "", "")
    extras = ("", "", "")
    if t == 1:
        hats = ("", party_hat(-50), "")
        extras = ("", "", bowtie(-26, BLUE))
    if t == 2:
        hats = (crown(-50), party_hat(-50), party_hat(-50, BLUE_LT))
        extras = (sunglasses(0, -42, 13) + bowtie(-27, RED),
                  sunglasses(0, -42, 13), bowtie(-26, YELLOW))
    o += rect(100, 30, 48, 72, WOOD_DK)
    o += bear(118, 104, 1.25, WOOD, hat=hats[0], extra=extras[0],
              face_kind="surprise" if t == 0 else "smile")
    o += bear(138, 104, 0.9, WOOD_LT, hat=hats[1], extra=extras[1])
    o += bear(100, 108, 0.62, "#d4aa70", hat=hats[2], extra=extras[2])
    # the table with three bowls
    o += rect(8, 100, 80, 7, WOOD, rx=2) + rect(14, 107, 5, 28, WOOD) + rect(77, 107, 5, 28, WOOD)
    bowl_fill = (CREAM, CREAM, CREAM)
    for (cx, r), fill in zip(((22, 11), (45, 8.5), (66, 6.5)), bowl_fill):
        o += path("M%s,100 C%s,%s %s,%s %s,100 Z" % (f(cx - r), f(cx - r), f(100 + r), f(cx + r),
                                                        f(100 + r), f(cx + r)), BLUE_LT)
        o += ellipse(cx, 100, r, r / 3.2, "#f4e3b0")
    if t >= 1:
        # a fish has dived into the big bowl
        o += path("M20,97 C21,90 24,88 26,86 L24,84 C28,83 31,84 32,88 C29,87 28,88 27,89 "
                  "C26,92 25,95 25,97 Z", ORANGE)
    if t == 2:
        o += rect(58, 90, 16, 11, CREAM, None)
        o += g(66, 101, 0.62, cake(0, 0, 1, 3))
    # Goldilocks with her spoon
    spoon = path("M6,-15 L14,-26", "none", STONE_DK, 1.6) + ellipse(14.5, -27, 2, 3, STONE_LT)
    if t >= 1:
        spoon = path("M6,-15 L16,-32", "none", STONE_DK, 2) + ellipse(17, -35, 4.5, 6, STONE_LT)
    extra = spoon
    if t == 2:
        extra += skates()
    o += person(40, 138, 1.05, hair="curly", hair_col=BLOND, top=RED_LT, bottom=WHITE,
                pose="hold", extra=extra, face_kind="grin" if t else "smile",
                glasses=(t == 1))
    return o


def hansel(t):
    o = background(SKY, "#7eb43f", 108, hill="#5c9c33")
    o += cloud(120, 20, 0.8)
    o += tree(14, 108, 1.1) if t < 2 else lollipop_tree(14, 108, 1.1, PINK)
    o += flowers(((8, 128), (20, 144), (80, 140), (118, 132), (140, 142), (104, 146)))
    # the witch peeping round the corner of her house
    witch_extra = witch_hat(-44) + pointy_nose()
    if t == 2:
        witch_extra += sunglasses(0, -37, 12)
    o += person(135, 120, 0.8, hair="long", hair_col=GREY_LT, top="#3a2d5c", pose="reach",
                flip=True, skin="#e6efc0", extra=witch_extra, face_kind="grin")
    # the gingerbread house
    h = rect(-26, -34, 52, 34, GINGER)
    h += path("M-34,-30 L0,-58 L34,-30 Z", "#f5eadb")
    h += path("M-34,-30 C-30,-26 -26,-26 -23,-30 C-19,-26 -15,-26 -12,-30 C-8,-26 -4,-26 0,-30 "
              "C4,-26 8,-26 12,-30 C15,-26 19,-26 23,-30 C26,-26 30,-26 34,-30 Z", WHITE)
    for cx, cy, c in ((-14, -38, RED), (0, -46, BLUE_LT), (14, -38, YELLOW), (-4, -36, "#b3d665"),
                      (8, -44, PINK)):
        h += circle(cx, cy, 2.6, c)
    h += path("M-7,0 L-7,-16 C-7,-22 7,-22 7,-16 L7,0 Z", "#f0aac4")
    h += path("M-5,-4 L5,-4 M-5,-9 L5,-9", "none", WHITE, 1.4)
    h += rect(-22, -26, 11, 11, "#3a2d5c") + rect(11, -26, 11, 11, YELLOW_LT)
    h += path("M-20,-8 L-12,-8 M12,-8 L20,-8", "none", WHITE, 2)
    if t == 2:
        h += rect(14, -72, 7, 18, BLUE_LT) + path("M17.5,-72 C14,-76 16,-80 17.5,-82 C19,-80 21,-76 17.5,-72 Z", ORANGE)
        h += g(0, -55, 0.7, cake(0, 0, 1, 3))
    else:
        h += rect(14, -62, 7, 14, WOOD)
    o += g(92, 118, 1.15, h)
    # Hansel and Gretel
    hhat = party_hat(-46, BLUE_LT) if t == 2 else ""
    o += person(28, 140, 1.0, hair="short", hair_col=BROWN_HAIR, top=LEAF, bottom=WOOD,
                dress=False, pose="reach" if t == 0 else "wave", hat=hhat)
    gex = skates() if t == 2 else ""
    if t >= 1:
        # a very large lollipop
        o += g(56, 138, 1.0, path("M10,-16 L18,-40", "none", INK, 2.8)
               + path("M10,-16 L18,-40", "none", WHITE, 1.4) + circle(19, -46, 8, PINK)
               + path("M19,-46 C22,-46 22,-50 19,-50 C15,-50 14,-44 19,-42 C24,-41 27,-48 23,-52",
                      "none", WHITE, 1.6))
    o += person(56, 138, 0.95, hair="pigtails", hair_col=BLOND, top=RED, bottom=WHITE,
                pose="hold", extra=gex)
    if t == 2:
        o += balloon(20, 40, RED, 16) + balloon(140, 44, YELLOW, 14)
    return o


def jack(t):
    o = background(SKY, GRASS, 118)
    o += cloud(26, 24, 0.9) + cloud(118, 38, 1.3)
    o += flowers(((76, 132), (92, 144), (140, 130), (100, 126), (130, 146)))
    # the castle on the big cloud
    if t < 2:
        c = (rect(-14, -22, 28, 22, STONE_LT) + rect(-20, -30, 9, 30, STONE_LT) + rect(11, -30, 9, 30, STONE_LT)
             + path("M-20,-30 L-20,-34 L-17,-34 L-17,-31 L-14,-31 L-14,-34 L-11,-34 L-11,-30 Z M11,-30 "
                    "L11,-34 L14,-34 L14,-31 L17,-31 L17,-34 L20,-34 L20,-30 Z", STONE_LT)
             + path("M-4,0 L-4,-8 C-4,-12 4,-12 4,-8 L4,0 Z", WOOD_DK))
    else:
        c = g(0, 0, 1.3, cake(0, 0, 1, 4))
    o += g(118, 34, 0.9, c)
    if t >= 1:
        o += balloon(92, 20, RED, 8) if t == 2 else ""
    # Jack's cottage
    o += rect(108, 96, 30, 22, CREAM) + path("M104,97 L123,82 L142,97 Z", WOOD_LT)
    o += rect(118, 104, 8, 14, WOOD)
    # the beanstalk
    stalk = "M52,150 C40,120 70,100 56,76 C44,56 70,40 60,20 C56,10 60,2 64,0"
    o += path(stalk, "none", INK, 9) + path(stalk, "none", "#5c9c33", 6)
    leaves = ((46, 124, -1), (66, 100, 1), (48, 70, -1), (68, 48, 1), (56, 26, -1))
    for i, (lx, ly, d) in enumerate(leaves):
        if t == 2 and i in (1, 3):
            o += g(lx + 6 * d, ly, 0.55, lollipop_tree(0, 0, 1, PINK if i == 1 else BLUE_LT))
            continue
        o += path("M%s,%s C%s,%s %s,%s %s,%s C%s,%s %s,%s %s,%s Z" % (
            f(lx), f(ly), f(lx + 6 * d), f(ly - 10), f(lx + 16 * d), f(ly - 8), f(lx + 20 * d),
            f(ly - 4), f(lx + 14 * d), f(ly + 2), f(lx + 6 * d), f(ly + 2), f(lx), f(ly)), LEAF_LT)
    if t >= 1:
        o += duck(72, 48, 0.8)
    # Jack climbing
    jex = party_hat(-46, YELLOW) if t == 2 else ""
    o += person(58, 94, 0.85, hair="short", hair_col=GINGER_HAIR, top=BLUE, bottom=WOOD,
                dress=False, pose="up", hat=jex, shades=(t >= 1))
    # the cow
    cex = ""
    if t >= 1:
        cex = sunglasses(-18, -24, 10) if t == 1 else party_hat(-30, PINK).replace(
            "M-6", "M-24").replace("L0,", "L-18,").replace("L6,", "L-12,")
    if t == 2:
        o += balloon(22, 88, PINK, 18) + balloon(36, 84, BLUE_LT, 22)
        o += cow(32, 118, 0.85, extra=cex)
        o += path("M20,123 C24,127 30,127 34,123", "none", INK, 0.8)
    else:
        o += cow(30, 140, 0.85, extra=cex)
    return o


def rrhood(t):
    o = background(SKY, GRASS, 104, hill="#9ccb6a")
    # grandmother's cottage far away
    o += rect(64, 84, 22, 16, CREAM) + path("M61,85 L75,74 L89,85 Z", RED_DK) + rect(72, 91, 6, 9, WOOD)
    # the path
    o += path("M30,150 C40,130 70,116 72,100 L80,100 C82,118 64,134 62,150 Z", "#e9cf95", None)
    o += flowers(((10, 122), (24, 140), (88, 116), (96, 136), (140, 146), (82, 146)))
    # trees
    for x, sc in ((16, 1.3), (128, 1.45)):
        if t == 2:
            o += lollipop_tree(x, 112, sc, YELLOW if x < 50 else PINK)
        else:
            o += tree(x, 112, sc)
    # the wolf peeking round the big tree
    wex = ""
    if t >= 1:
        wex = nightcap(-46, WHITE) + face("smile", glasses=True).replace("-36.5", "-40").replace(
            '<circle cx="-6"', '<circle cx="-60"') if False else nightcap(-47, WHITE)
        wex += circle(-2.5, -40, 2.6, "none") + path("M-5.1,-40 L-14,-38", "none", INK, 0.8)
    if t == 2:
        wex += path("M-10,-10 C-14,-14 14,-14 10,-10 C16,-6 -16,-6 -10,-10 Z", PINK_LT)  # tutu
        wex += skates(0).replace("-3.6", "-4.5")
    o += wolf(112, 136, 1.0, hat="", extra=wex)
    # Red Riding Hood with her basket
    basket = (path("M8,-17 C8,-24 18,-24 18,-17", "none", WOOD, 1.6) + path("M6,-17 L20,-17 L18,-9 L8,-9 Z", "#d9a443")
              + path("M9,-17 C10,-20 13,-20 14,-17 C15,-20 18,-20 18,-17 Z", CREAM))
    if t >= 1:
        basket += ellipse(13, -24, 4, 5.5, YELLOW) + path("M13,-29 L10,-34 M13,-29 L13,-35 M13,-29 L16,-34",
                                                            "none", LEAF, 1.6)
    hx = sunglasses(0, -36.5, 13) if t == 2 else ""
    o += person(50, 140, 1.15, hair="hood", hair_col=RED, top=RED, bottom=WHITE, pose="hold",
                extra=basket + hx, legs=CREAM)
    if t == 2:
        o += balloon(70, 36, RED, 16) + balloon(84, 30, YELLOW, 20)
        o += star(40, 22, 4) + star(110, 16, 3)
    return o


def rapunzel(t):
    o = background(SKY, GRASS, 126)
    o += cloud(118, 24, 1.0) + cloud(30, 50, 0.7)
    o += flowers(((12, 140), (30, 146), (84, 134), (136, 140), (90, 146)))
    # the tower
    tw = rect(-18, -112, 36, 112, STONE_LT)
    for yy in range(-100, 0, 12):
        tw += path("M-18,%d L18,%d" % (yy, yy), "none", STONE, 1)
    tw += path("M-4,-112 L-4,-100 M8,-100 L8,-88 M-10,-88 L-10,-76 M2,-64 L2,-52 M-6,-40 L-6,-28",
               "none", STONE, 1)
    if t == 2:
        tw += path("M-26,-110 C-22,-140 22,-140 26,-110 Z", RED) + path("M-4,-136 L0,-144 L4,-136 Z", LEAF)
        tw += polka(((-12, -118), (0, -126), (12, -118), (-5, -114), (8, -115)), YELLOW_LT, 1.2)
    else:
        tw += path("M-24,-110 L0,-140 L24,-110 Z", PURPLE)
    tw += path("M-9,-78 L-9,-90 C-9,-98 9,-98 9,-90 L9,-78 Z", WOOD_DK)
    o += g(52, 134, 0.92, tw)
    # Rapunzel at the window, the sill hiding her feet
    rhat = party_hat(-46, YELLOW) if t == 2 else ""
    o += person(52, 72, 0.6, hair="long", hair_col=BLOND, top=PURPLE_LT, pose="wave", hat=rhat)
    o += rect(40, 62, 24, 10, STONE_LT)
    # the long braid
    braid = "M57,52 C70,66 66,92 70,130"
    o += path(braid, "none", INK, 6.6)
    o += path(braid, "none", BLOND if t < 2 else PINK, 4.4)
    if t == 2:
        o += path(braid, "none", YELLOW_LT, 1.4)
    for yy in range(62, 128, 8):
        o += path("M63,%d L69,%d" % (yy, yy + 3), "none", BLOND_SH if t < 2 else RED, 1)
    if t >= 1:
        o += path("M70,128 L62,132 L64,124 Z M70,128 L78,132 L76,124 Z", PINK) + circle(70, 128, 2.4, PINK)
    # the prince
    pex = crown(-46)
    if t >= 1:
        pex += sunglasses(0, -36.5, 13)
    if t == 2:
        pex += skates()
        o += balloon(120, 62, RED, 22) + balloon(132, 70, BLUE_LT, 18)
    o += person(104, 142, 1.1, hair="short", hair_col=DARK_HAIR, top=RED, bottom=BLUE_DK,
                dress=False, pose="wave", hat=pex, face_kind="grin" if t else "smile")
    if t == 1:
        o += duck(24, 132, 0.9)
    if t == 2:
        o += g(22, 132, 0.9, cow(0, 0, 1))
    return o


def rumpel(t):
    o = rect(0, 0, 150, 150, "#5a5360", None)
    for y in range(10, 110, 16):
        off = 0 if (y // 16) % 2 else 12
        for x in range(-12 + off, 150, 24):
            o += rect(x, y, 23, 15, "#6d6572", "#4c4652", 2)
    o += rect(0, 110, 150, 40, WOOD, None) + path("M0,110 L150,110", "none", INK, 1.4)
    # window with the moon
    o += rect(106, 18, 28, 32, NIGHT, rx=12) + circle(114, 30, 5, YELLOW_LT)
    if t == 2:
        o += sunglasses(114, 29, 9)
    # the spinning wheel
    w = circle(0, -34, 20, "none", INK)
    w = circle(0, -34, 20, "none", WOOD_DK) + circle(0, -34, 18, "none", WOOD_LT)
    for i in range(8):
        import math
        a = i * math.pi / 4
        w += path("M0,-34 L%s,%s" % (f(18 * math.cos(a)), f(-34 + 18 * math.sin(a))), "none", WOOD, 1.4)
    w += circle(0, -34, 3, WOOD)
    w += path("M-6,0 L0,-30 L6,0 M20,0 L26,-22 L34,-22", "none", INK, 3.2)
    w += path("M-6,0 L0,-30 L6,0 M20,0 L26,-22 L34,-22", "none", WOOD_LT, 1.6)
    o += g(40, 120, 1.0, w)
    # what the wheel spins out
    if t == 0:
        o += path("M74,98 C82,100 86,108 92,118", "none", GOLD, 2.4)
    elif t == 1:
        o += path("M74,98 C80,102 84,96 88,104 C92,112 86,116 92,120", "none", YELLOW_LT, 2.4)
        o += circle(92, 121, 3.4, RED_DK)
    else:
        for i, c in enumerate((RED, ORANGE, YELLOW, "#7eb43f", BLUE_LT, PURPLE_LT)):
            o += path("M74,%d C90,%d 100,%d 118,%d" % (94 + 2 * i, 60 + 2 * i, 70 + 2 * i, 100 + 2 * i),
                      "none", c, 2.2)
    # straw and gold
    o += path("M0,141 C2,124 22,118 32,141 Z", "#f0dc8c")
    for x0, x1, y1 in ((4, -2, 124), (9, 6, 120), (14, 14, 118), (19, 22, 119), (24, 30, 124),
                       (28, 36, 130)):
        o += path("M%d,141 L%d,%d" % (x0, x1, y1), "none", "#d9b453", 1.1)
    o += path("M2,132 L-3,128 M30,133 L36,128 M16,124 L17,115", "none", "#d9b453", 1.1)
    coin = GOLD if t < 2 else "#c1884b"
    for cx, cy in ((62, 140), (70, 140), (78, 140), (66, 134), (74, 134), (70, 128)):
        o += ellipse(cx, cy, 4.6, 3.4, coin)
        if t == 2:
            o += ellipse(cx, cy, 1.4, 1, "#5a5360", None)
    # Rumpelstiltskin dancing
    beard = path("M-7,-30 C-6,-20 0,-14 0,-12 C1,-16 6,-20 7,-30 C3,-28 -3,-28 -7,-30 Z", WHITE)
    hat = path("M-10,-44 C-6,-60 6,-64 14,-70 C10,-62 9,-52 10,-44 Z", RED)
    if t >= 1:
        hat = party_hat(-45, YELLOW)
    ex = beard + hat
    if t == 2:
        ex += path("M-10,-12 C-14,-16 14,-16 10,-12 C16,-7 -16,-7 -10,-12 Z", PINK_LT)
        ex += sunglasses(0, -37, 12)
    o += person(112, 132, 1.05, hair="bald", hair_col=GREY_LT, top=LEAF, bottom=WOOD_DK, dress=False,
                pose="up", extra=ex, face_kind="grin")
    if t == 2:
        o += balloon(136, 64, YELLOW, 18)
    return o


def sleeping(t):
    o = rect(0, 0, 150, 150, "#e2d2ab", None)
    o += rect(0, 112, 150, 38, "#b9716b", None) + path("M0,112 L150,112", "none", INK, 1.4)
    # climbing roses
    for x in (8, 142):
        o += path("M%d,112 C%d,90 %d,70 %d,40 C%d,26 %d,16 %d,4" % (x, x - 6, x + 6, x, x - 5, x + 4, x),
                  "none", LEAF, 2)
        for yy in (92, 66, 40, 16):
            if t == 2:
                o += circle(x, yy, 5, PINK_LT) + path("M%d,%d C%d,%d %d,%d %d,%d" % (
                    x - 3, yy, x - 2, yy - 4, x + 3, yy - 3, x + 2, yy + 2), "none", WHITE, 1.3)
            else:
                o += circle(x, yy, 4.6, RED) + circle(x, yy, 2, RED_DK, None)
    # the bed
    if t == 2:
        for bx, c in ((36, RED), (56, YELLOW), (96, BLUE_LT), (116, PINK)):
            o += path("M%d,26 L%d,76" % (bx, bx + (75 - bx) // 4), "none", INK, 0.8)
            o += ellipse(bx, 20, 8, 10, c) + ellipse(bx - 2.5, 16, 2, 3, WHITE, None)
    bed = rect(-52, -20, 104, 20, WOOD_LT) + rect(-56, -44, 8, 50, WOOD) + rect(48, -32, 8, 38, WOOD)
    bed += circle(-52, -46, 4, WOOD) + circle(52, -34, 4, WOOD)
    bed += path("M-48,-26 L48,-26 L48,-14 L-48,-14 Z", WHITE)
    bed += ellipse(-34, -28, 12, 6, WHITE)
    bed += path("M-24,-30 C-10,-38 30,-36 48,-28 L48,-14 L-26,-14 Z", PINK)
    bed += path("M-14,-31 L-8,-16 M6,-33 L10,-16 M26,-33 L28,-16", "none", "#f0aac4", 1.4)
    by = 112 if t < 2 else 92
    o += g(75, by, 1.0, bed)
    # the princess asleep on her pillow
    sx, sy = 75 - 34, by - 28
    o += g(sx, sy, 1.0, circle(0, 0, 9, SKIN) + path("M-9,-1 C-10,-10 -4,-12 0,-12 C6,-12 10,-8 9,0 "
                                                     "C6,-6 -6,-6 -9,-1 Z", BLOND)
           + path("M-9,-1 C-14,4 -14,10 -8,12", "none", BLOND_SH, 3)
           + path("M-4.5,0 C-3.5,1.2 -1.5,1.2 -0.5,0 M1.5,0 C2.5,1.2 4.5,1.2 5.5,0")
           + circle(-5.5, 3.5, 1.6, CHEEK, None) + circle(6.5, 3.5, 1.6, CHEEK, None)
           + crown(-10) .replace("-10 L-6,-17", "-10 L-6,-17"))
    # z z z
    zc = INK if t < 2 else BLUE
    for i, (zx, zy, zs) in enumerate(((56, by - 50, 4), (64, by - 60, 5), (74, by - 72, 6))):
        o += path("M%s,%s L%s,%s L%s,%s L%s,%s" % (f(zx), f(zy), f(zx + zs), f(zy), f(zx), f(zy + zs),
                                                   f(zx + zs), f(zy + zs)), "none", zc, 1.4)
    if t >= 1:
        o += duck(sx + 16, sy + 2, 0.6)
        o += g(sx, sy, 1.0, path("M-7,-2 L7,-2 L6,2 L1,2 L0,0 L-1,2 L-6,2 Z", PURPLE))  # sleep mask
    # the spindle on its stool
    if t < 2:
        o += rect(114, 126, 20, 4, WOOD) + rect(116, 130, 3, 14, WOOD) + rect(129, 130, 3, 14, WOOD)
        o += path("M124,126 L124,108", "none", INK, 2.2) + ellipse(124, 114, 3, 5, "#f0dc8c")
    else:
        o += g(120, 142, 0.75, cow(0, 0, 1, extra=nightcap(-28, BLUE_LT).replace("M-11", "M-29")))
    return o


def ginger(t):
    o = background(SKY, GRASS, 96, hill="#9ccb6a")
    o += cloud(40, 22, 0.8) + circle(128, 20, 9, YELLOW)
    o += flowers(((8, 108), (48, 102), (92, 108), (10, 146), (56, 144), (90, 140)))
    if t == 2:
        o += sunglasses(128, 19, 12)
    # the river and the fox
    river = BLUE_LT if t < 2 else PINK_LT
    o += path("M104,150 C110,130 118,116 150,110 L150,150 Z", river)
    o += path("M112,144 C116,134 122,126 134,122", "none", WHITE, 1.4)
    if t == 2:
        o += path("M134,136 L146,100", "none", INK, 4.4) + path("M134,136 L146,100", "none", RED, 2.4)
    fex = ""
    if t >= 1:
        fex = path("M-6,-18 L6,-18 L4,-8 C1,-6 -1,-6 -4,-8 Z", WHITE)  # bib
        fex += path("M-12,-14 L-16,-30 M-18,-30 L-18,-26 M-16,-31 L-16,-27 M-14,-30 L-14,-26",
                    "none", STONE_DK, 1.2)
    if t == 2:
        fex += path("M-8,-31 C-10,-40 -4,-44 0,-40 C4,-44 10,-40 8,-31 Z", WHITE) + rect(-8, -33, 16, 3, WHITE)
    o += fox(128, 104, 1.0, extra=fex)
    # the path
    o += path("M0,126 C40,118 70,124 108,118 L110,128 C70,134 40,128 0,136 Z", "#e9cf95", None)
    # the old woman with her rolling pin
    pin = path("M12,-36 L20,-44", "none", INK, 4.6) + path("M12,-36 L20,-44", "none", WOOD_PALE, 2.8)
    wex = pin + path("M-10,-44 C-6,-50 6,-50 10,-44 C6,-46 -6,-46 -10,-44 Z", WHITE)
    if t >= 1:
        wex += skates()
    o += person(26, 134, 1.05, hair="bun", hair_col=GREY_LT, top=BLUE, bottom=WHITE, pose="wave",
                extra=wex, glasses=True, face_kind="surprise")
    if t == 2:
        o += balloon(12, 56, RED, 18)
    # the gingerbread man running
    gex = ""
    if t >= 1:
        gex = skates(0).replace("-3.6", "-5").replace("3.6", "5") if t == 1 else ""
    if t == 2:
        gex = (rect(-14, -1, 28, 3, RED, rx=1.5) + circle(-9, 3, 2, YELLOW) + circle(9, 3, 2, YELLOW)
               + sunglasses(0, -34, 11) + party_hat(-39, BLUE_LT))
    o += gingerbread_man(74, 124, 1.1, extra=gex)
    o += path("M50,104 L58,104 M46,110 L56,110 M50,116 L57,116", "none", WHITE, 1.6)
    return o


def tortoise_tale(t):
    o = background(SKY, GRASS, 92, hill="#9ccb6a")
    o += cloud(30, 24, 0.8) + cloud(100, 16, 0.7)
    o += flowers(((44, 100), (70, 112), (90, 98), (140, 120), (60, 148), (110, 148)))
    # the tree with the sleeping hare
    o += tree(118, 106, 1.6)
    if t == 2:
        o += path("M92,86 L144,86", "none", WOOD_DK, 1) if False else ""
    hx = ""
    if t >= 1:
        hx = nightcap(-22, BLUE_LT).replace("M-11", "M-25")
    o += hare(120, 118, 1.0, sleeping=True, extra=hx)
    if t >= 1:
        # a teddy in its arms
        o += g(106, 114, 0.5, circle(0, -8, 6, "#d4aa70") + circle(-4, -14, 2.4, "#d4aa70")
               + circle(4, -14, 2.4, "#d4aa70") + circle(0, -8, 1.2, INK, None))
    for i, (zx, zy) in enumerate(((104, 86), (112, 78))):
        zs = 4 + i
        o += path("M%s,%s L%s,%s L%s,%s L%s,%s" % (zx, zy, zx + zs, zy, zx, zy + zs, zx + zs, zy + zs),
                  "none", INK, 1.3)
    # the race track and the finish
    o += path("M0,126 L150,126 M0,142 L150,142", "none", WHITE, 1.6)
    if t < 2:
        o += flag(14, 142, RED) + flag(30, 142, RED)
        o += path("M14,112 L30,112", "none", INK, 1) + path("M14,110 L30,110 L30,114 L14,114 Z", WHITE)
    else:
        o += g(20, 142, 1.3, cake(0, 0, 1, 3))
        o += balloon(14, 70, RED, 28) + balloon(32, 66, YELLOW, 30)
    # the tortoise plodding along to the finish
    tex = ""
    if t >= 1:
        tex = path("M-27,-11 C-27,-18 -17,-18 -17,-11 Z", RED) + path("M-27,-11 L-14,-11", "none", INK, 1.2)
    if t == 2:
        tex += sunglasses(-22, -10, 7)
        o += rocket(86, 122, 1.1)
    o += tortoise(72, 136, 1.4, extra=tex)
    return o


TALES = {
    "Cinders": cinders,
    "Goldilox": goldilox,
    "Hansel": hansel,
    "Jack": jack,
    "RR-Hood": rrhood,
    "Rapunzel": rapunzel,
    "Rumpel": rumpel,
    "Sleeping": sleeping,
    "Ginger": ginger,
    "Tortoise": tortoise_tale,
}


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "."
    only = sys.argv[2:]
    for name, draw in TALES.items():
        if only and name not in only:
            continue
        with open(os.path.join(folder, name + ".svg"), "w") as fh:
            fh.write(picture([draw(0), draw(1), draw(2)]).replace(
                "<svg ", "<!-- Tale picture \"%s\": no twist, half twist, full twist. "
                "Generated by tools/bookcheck/gentales.py. -->\n<svg " % name, 1))


main()
