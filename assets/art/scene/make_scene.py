#!/usr/bin/env python3
"""Writes scene.svg and balloons.svg, the main window's picture and its speech
balloons. Every flat colour is snapped to the game palette (../palette.txt) so
flat areas render without dithering. Run: python3 make_scene.py [OUTDIR]
(default: beside this script)."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
PAL = [tuple(map(int, l.split())) for l in open(os.path.join(HERE, '..', 'palette.txt'))]


def snap(rgb):
    r, g, b = rgb
    best = min((i for i in range(256) if i != 254),
               key=lambda i: 3 * (PAL[i][0] - r) ** 2 + 4 * (PAL[i][1] - g) ** 2 + 2 * (PAL[i][2] - b) ** 2)
    return '#%02x%02x%02x' % PAL[best]


def c(hexrgb):
    h = hexrgb.lstrip('#')
    return snap((int(h[0:2], 16), int(h[2:4], 16), int(h[4:6], 16)))


# The picture-book colours (snapped to the palette).
INK = c('#2a1810')       # outlines
WHITE = '#ffffff'
SKIN, SKIN_SH, CHEEK = c('#f7d0ad'), c('#e5b38b'), c('#f2a0a0')
BLOND, BLOND_SH = c('#fae082'), c('#d9a443')
BROWNHAIR = c('#81502a')
GINGER = c('#d87235')
GREYHAIR = c('#dcdcdb')
RED, RED_SH, RED_LT = c('#c3292a'), c('#962019'), c('#e65243')
BLUE, BLUE_SH, BLUE_LT = c('#4f7ec2'), c('#2e4f8e'), c('#a4c9ee')
GREEN, GREEN_SH, GREEN_LT = c('#4e8a30'), c('#2c5a28'), c('#8fbf45')
LEAF, LEAF_SH = c('#5fa03a'), c('#2f6a2a')
GRASS_LT, GRASS, GRASS_SH = c('#a6cf62'), c('#86b94a'), c('#5e9a3c')
BROWN, BROWN_SH, BROWN_LT = c('#8a5a30'), c('#5c361c'), c('#b88452')
WOOD, WOOD_SH, WOOD_LT = c('#a8703a'), c('#784422'), c('#ce9656')
STONE, STONE_SH, STONE_LT = c('#a8a294'), c('#7c7468'), c('#d2cab8')
PAPER, PAPER_SH = c('#faf4e2'), c('#e4d4ae')
PINK, PINK_SH, PINK_LT = c('#e28aa8'), c('#c05a86'), c('#f8cadb')
PURPLE, PURPLE_SH = c('#8a56a8'), c('#5a3078')
YELLOW, GOLD, GOLD_SH = c('#fde456'), c('#f1cd30'), c('#c49a18')
ORANGE = c('#f0962e')
GINGERBREAD, GINGERBREAD_SH = c('#c07232'), c('#8e4a18')
ICING = WHITE
PATH, PATH_SH = c('#e8d6aa'), c('#cdb88a')
SKY_TOP, SKY_LOW = '#78aadc', '#e4f2fc'   # gradient ends (dithered)
BEAR, BEAR_SH, BEAR_LT = c('#8e5a2e'), c('#5e3618'), c('#c89866')
HARE, HARE_SH = c('#b89a78'), c('#8a6e52')
SHELL, SHELL_SH = c('#9a7e3e'), c('#5e4422')

SW = 1.1  # outline width


def attrs(fill=None, stroke=INK, sw=SW, extra=''):
    s = ''
    s += ' fill="%s"' % (fill if fill else 'none')
    if stroke:
        s += ' stroke="%s" stroke-width="%s" stroke-linejoin="round" stroke-linecap="round"' % (stroke, sw)
    return s + extra


def path(d, fill=None, stroke=INK, sw=SW):
    return '<path d="%s"%s/>' % (d, attrs(fill, stroke, sw))


def circle(x, y, r, fill=None, stroke=INK, sw=SW):
    return '<circle cx="%s" cy="%s" r="%s"%s/>' % (x, y, r, attrs(fill, stroke, sw))


def ellipse(x, y, rx, ry, fill=None, stroke=INK, sw=SW):
    return '<ellipse cx="%s" cy="%s" rx="%s" ry="%s"%s/>' % (x, y, rx, ry, attrs(fill, stroke, sw))


def rect(x, y, w, h, fill=None, stroke=INK, sw=SW, r=0):
    rr = ' rx="%s"' % r if r else ''
    return '<rect x="%s" y="%s" width="%s" height="%s"%s%s/>' % (x, y, w, h, rr, attrs(fill, stroke, sw))


def line(x1, y1, x2, y2, stroke=INK, sw=SW):
    return '<path d="M%s %sL%s %s" fill="none" stroke="%s" stroke-width="%s" stroke-linecap="round"/>' % (
        x1, y1, x2, y2, stroke, sw)


def text(x, y, s, size=10, fill=INK, anchor='middle', weight='bold', family='DejaVu Sans'):
    s = s.replace('&', '&amp;').replace('<', '&lt;')
    return ('<text x="%s" y="%s" font-family="%s" font-size="%s" font-weight="%s" '
            'text-anchor="%s" fill="%s">%s</text>' % (x, y, family, size, weight, anchor, fill, s))


def group(gid, parts, hidden=False):
    return '<g id="%s"%s>\n%s\n</g>' % (gid, ' display="none"' if hidden else '', '\n'.join(parts))


def eyes(x1, x2, y, r=0.8, closed=False):
    if closed:
        return line(x1 - 1, y, x1 + 1, y, sw=0.8) + line(x2 - 1, y, x2 + 1, y, sw=0.8)
    return circle(x1, y, r, INK, None) + circle(x2, y, r, INK, None)


def smile(x, y, w=2.0, sw=0.7):
    return path('M%s %s Q%s %s %s %s' % (x - w, y, x, y + w * 0.8, x + w, y), None, INK, sw)


def star(x, y, r, fill=YELLOW, stroke=GOLD_SH, sw=0.5):
    import math
    pts = []
    for i in range(10):
        a = -math.pi / 2 + i * math.pi / 5
        rr = r if i % 2 == 0 else r * 0.45
        pts.append('%.2f %.2f' % (x + rr * math.cos(a), y + rr * math.sin(a)))
    return path('M' + ' L'.join(pts) + 'Z', fill, stroke, sw)


def sparkle(x, y, r, col=WHITE):
    return path('M%s %s L%s %s L%s %s L%s %s Z M%s %s L%s %s L%s %s L%s %s Z' % (
        x, y - r, x + r * 0.25, y, x, y + r, x - r * 0.25, y,
        x - r, y, x, y - r * 0.25, x + r, y, x, y + r * 0.25), col, GOLD_SH, 0.4)


# ---------------------------------------------------------------- background

def defs():
    return '''<defs>
<linearGradient id="sky" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>
<linearGradient id="farhill" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#78b496"/><stop offset="1" stop-color="#5c9c82"/></linearGradient>
<linearGradient id="hill1" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#a8d064"/><stop offset="1" stop-color="#7fb447"/></linearGradient>
<linearGradient id="hill2" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#98c658"/><stop offset="1" stop-color="#6aa43e"/></linearGradient>
<linearGradient id="meadow" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#8fc050"/><stop offset="1" stop-color="#5e9a3a"/></linearGradient>
<radialGradient id="sun" cx="0.5" cy="0.5" r="0.5"><stop offset="0" stop-color="#fff6b0"/><stop offset="0.6" stop-color="#fde88a"/><stop offset="1" stop-color="#fde88a" stop-opacity="0"/></radialGradient>
<radialGradient id="glow" cx="0.5" cy="0.5" r="0.5"><stop offset="0" stop-color="#fff8c0"/><stop offset="1" stop-color="#fff8c0" stop-opacity="0"/></radialGradient>
</defs>''' % (SKY_TOP, SKY_LOW)


def cloud(x, y, s=1.0):
    d = ('M{a} {b} q{c} {d} {e} {f} q{g} {h} {i} {j} q{k} {l} {m} {n} q{o} {p} {q} {r} Z').format(
        a=x, b=y, c=-2 * s, d=-9 * s, e=10 * s, f=-8 * s, g=4 * s, h=-9 * s, i=16 * s, j=-4 * s,
        k=10 * s, l=-4 * s, m=14 * s, n=6 * s, o=6 * s, p=6 * s, q=-40 * s, r=6 * s)
    return path(d, WHITE, c('#b0cce8'), 1.0)


def tree(x, y, r, col=LEAF, sh=LEAF_SH):
    """A round storybook tree with its trunk foot at x, y."""
    return '\n'.join([
        path('M%s %s L%s %s L%s %s L%s %s Z' % (x - r * 0.18, y, x - r * 0.12, y - r * 1.1,
                                               x + r * 0.12, y - r * 1.1, x + r * 0.18, y), BROWN),
        circle(x, y - r * 1.55, r, col),
        path('M%s %s A%s %s 0 0 0 %s %s A%s %s 0 0 1 %s %s Z' % (
            x - r * 0.95, y - r * 1.35, r, r, x + r * 0.6, y - r * 0.78, r * 1.2, r * 1.2,
            x - r * 0.95, y - r * 1.35), sh, None),
        circle(x - r * 0.35, y - r * 1.9, r * 0.22, c('#8cc858'), None),
    ])


def pine(x, y, h, col=c('#2f6a34'), sh=c('#1d4a26')):
    w = h * 0.42
    return '\n'.join([
        rect(x - 1.5, y - 4, 3, 4, BROWN_SH, INK, 0.8),
        path('M%s %s L%s %s L%s %s L%s %s L%s %s L%s %s L%s %s Z' % (
            x, y - h, x + w * 0.6, y - h * 0.55, x + w * 0.35, y - h * 0.55, x + w, y - 4,
            x - w, y - 4, x - w * 0.35, y - h * 0.55, x - w * 0.6, y - h * 0.55), col),
        path('M%s %s L%s %s L%s %s Z' % (x, y - h + 2, x + w * 0.9, y - 5, x + 1, y - 5), sh, None),
    ])


def flower(x, y, col):
    return circle(x - 1.3, y, 1.1, col, None) + circle(x + 1.3, y, 1.1, col, None) + \
        circle(x, y - 1.3, 1.1, col, None) + circle(x, y + 1.3, 1.1, col, None) + circle(x, y, 0.8, YELLOW, None)


def background():
    p = []
    p.append('<rect x="0" y="0" width="550" height="370" fill="url(#sky)"/>')
    import math
    for k in range(12):
        a = k * math.pi / 6
        p.append(line(400 + 15 * math.cos(a), 40 + 15 * math.sin(a), 400 + 20 * math.cos(a), 40 + 20 * math.sin(a),
                      c('#f6c840'), 1.6))
    p.append(circle(400, 40, 12, c('#fde456'), c('#e8a030'), 1.0))
    p.append(path('M393 38 q1.4 -1.6 2.8 0 M404.2 38 q1.4 -1.6 2.8 0', None, c('#c07020'), 0.8))
    p.append(path('M395 43.4 q5 4.6 10 0', None, c('#c07020'), 0.8))
    p.append(cloud(120, 60, 0.9))
    p.append(cloud(300, 30, 0.75))
    p.append(cloud(410, 92, 0.7))
    # far blue-green hills
    p.append(path('M0 118 C40 92 80 96 120 108 C170 84 230 86 270 104 C320 80 380 84 430 100 '
                  'C470 86 520 88 550 96 L550 200 L0 200 Z', 'url(#farhill)', c('#5c8c6c'), 1.0))
    # the forest hill where the gingerbread house stands
    p.append(path('M404 124 C424 84 452 58 484 57 C514 56 536 60 550 66 L550 150 L404 150 Z',
                  'url(#hill2)', c('#3e7a2c'), 1.0))
    for (x, y, h) in [(446, 76, 30), (500, 64, 28), (524, 70, 34), (544, 74, 30)]:
        p.append(pine(x, y, h))
    # middle hills
    p.append(path('M0 150 C60 120 120 128 170 140 C210 110 300 104 350 130 C400 112 470 110 550 126 '
                  'L550 250 L0 250 Z', 'url(#hill1)', c('#4e8a30'), 1.0))
    # meadow in front
    p.append(path('M0 200 C80 180 160 176 240 190 C320 170 420 172 550 186 L550 370 L0 370 Z',
                  'url(#meadow)', c('#3e7a2c'), 1.0))
    # the winding path from the front up to the castle hill
    p.append(path('M262 370 C250 340 300 322 286 300 C272 276 236 280 246 254 C256 228 300 226 296 200 '
                  'C292 176 262 168 258 146 C255 128 262 112 256 100 '
                  'L252 100 C256 114 248 130 250 148 C254 172 282 182 284 202 C286 222 240 226 232 254 '
                  'C224 282 262 282 270 302 C280 324 230 338 240 370 Z', PATH, PATH_SH, 1.0))
    # pebbles on the path
    for (x, y) in [(256, 356), (272, 312), (242, 262), (288, 208), (262, 160)]:
        p.append(ellipse(x, y, 2.2, 1.2, PATH_SH, None))
    # far forest on the right behind Hansel's house
    for (x, y, h) in [(430, 104, 34), (446, 100, 40), (506, 98, 40), (520, 106, 36), (538, 102, 42),
                      (454, 112, 30), (498, 112, 32)]:
        p.append(pine(x, y, h))
    # trees dotted on the hills
    for (x, y, r) in [(368, 150, 9), (392, 160, 11), (170, 150, 8), (96, 118, 7), (420, 140, 7)]:
        p.append(tree(x, y, r))
    # forest edge at the right, around Rumpelstiltskin's fire
    for (x, y, h) in [(540, 196, 46), (476, 168, 36), (532, 236, 40)]:
        p.append(pine(x, y, h))
    # bushes and flowers in the meadow
    for (x, y) in [(378, 214), (420, 238), (392, 268), (236, 300), (136, 290), (196, 344), (412, 330),
                   (360, 350), (130, 340), (60, 344), (440, 300), (170, 310)]:
        p.append(flower(x, y, [RED, PINK, WHITE, YELLOW, PURPLE][(x + y) % 5]))
    for (x, y) in [(232, 196), (150, 352), (404, 352), (436, 270)]:
        p.append(path('M%s %s q6 -10 12 0 q6 -8 12 0 Z' % (x - 12, y), GREEN_LT, GREEN_SH, 0.9))
    # a duck pond between the well and the word book
    p.append(ellipse(410, 304, 36, 13, c('#5c96d0'), c('#2e5a8e'), 1.1))
    p.append(ellipse(404, 301, 26, 8, c('#8cbce6'), None))
    p.append(path('M392 300 q6 -2 12 0 M414 306 q6 -2 12 0', None, WHITE, 0.9))
    for (x, y) in [(376, 300), (380, 296), (444, 298), (441, 294)]:
        p.append(line(x, y + 8, x, y - 4, c('#4e7a2c'), 1.2) + ellipse(x, y - 5, 1.2, 2.6, BROWN, None))
    for (x, y, k) in [(402, 302, 1), (424, 307, -1)]:
        p.append(ellipse(x, y, 6, 3.4, YELLOW if k > 0 else WHITE, INK, 0.8))
        p.append(circle(x + 4.6 * k, y - 3.4, 2.6, YELLOW if k > 0 else WHITE, INK, 0.8))
        p.append(path('M%s %s l%s 0.8 l%s 0.8 Z' % (x + 6.8 * k, y - 3.8, 2.6 * k, -2.6 * k), ORANGE, INK, 0.5))
        p.append(circle(x + 5.2 * k, y - 4.2, 0.55, INK, None))
    # toadstools and a log in the front meadow
    for (x, y, r) in [(150, 318, 4.4), (160, 322, 3.2), (206, 356, 3.8)]:
        p.append(rect(x - r * 0.35, y - r * 0.2, r * 0.7, r * 1.2, WHITE, INK, 0.7))
        p.append(path('M%s %s Q%s %s %s %s Z' % (x - r, y, x, y - r * 1.7, x + r, y), RED, INK, 0.8))
        p.append(circle(x - r * 0.4, y - r * 0.5, r * 0.2, WHITE, None) + circle(x + r * 0.35, y - r * 0.75, r * 0.18, WHITE, None))
    p.append(rect(372, 346, 30, 8, BROWN, INK, 0.9, 3) + ellipse(401, 350, 3, 4, BROWN_LT, INK, 0.8))
    p.append(path('M380 348 l6 0 M386 351 l8 0', None, BROWN_SH, 0.6))
    # butterflies
    for (x, y, col) in [(300, 150, PINK), (180, 282, YELLOW), (440, 224, c('#a8d0f0'))]:
        p.append(ellipse(x - 2, y, 2.2, 1.6, col, INK, 0.5) + ellipse(x + 2, y, 2.2, 1.6, col, INK, 0.5))
        p.append(line(x, y - 1.6, x, y + 1.6, INK, 0.7))
    return p


# ---------------------------------------------------------------- 1 Cinderella

def cinderella():
    base, rest1, act1, rest2, act2 = [], [], [], [], []
    # the palace behind her: a tower with a clock near midnight and a grand stair
    base.append(rect(0, 8, 20, 62, c('#f4ecf4'), INK))
    base.append(path('M-2 9 L10 -6 L22 9 Z', BLUE, INK))
    base.append(circle(10, 22, 5.5, WHITE, INK, 1.0))
    base.append(line(10, 22, 10, 18, INK, 0.9) + line(10, 22, 11.6, 19.2, INK, 0.9))
    base.append(rect(4, 36, 5, 8, BLUE_LT, INK, 0.8, 2) + rect(11, 36, 5, 8, BLUE_LT, INK, 0.8, 2))
    base.append(rect(2, 52, 16, 18, c('#e8dce8'), INK, 0.9))
    for i, y in enumerate([50, 55, 60, 65]):
        base.append(rect(14 - i * 2, y, 50 + i * 4, 5, c('#ece6ee') if i % 2 == 0 else c('#dcd2e0'), INK, 0.8))
    # the gown (static part)
    base.append(path('M36 22 C32 30 28 40 25 50 Q40 53 55 50 C52 40 48 30 44 22 Z', BLUE_LT, INK))
    base.append(path('M40 24 C38 32 36 42 35 51 L31 51 C32 42 35 31 38 23 Z', BLUE, None))
    base.append(path('M36 22 C32 30 28 40 25 50 Q40 53 55 50 C52 40 48 30 44 22 Z', None, INK))
    base.append(path('M36 15 Q40 13 44 15 L45 23 Q40 25 35 23 Z', BLUE, INK))
    # head, hair and tiara
    base.append(circle(40, 6.5, 3.2, BLOND, INK, 0.9))
    base.append(circle(40, 10, 4.6, SKIN, INK))
    base.append(path('M35.4 10 Q35 4.6 40 5 Q45 4.6 44.6 10 Q43 7 40 7.4 Q37 7 35.4 10 Z', BLOND, INK, 0.8))
    base.append(path('M37.5 3.4 L38.5 1.4 L40 3 L41.5 1.4 L42.5 3.4 Z', GOLD, GOLD_SH, 0.5))
    base.append(eyes(38.4, 41.6, 10.4, 0.6) + smile(40, 12.2, 1.2, 0.6))
    base.append(circle(37.3, 12, 0.8, CHEEK, None) + circle(42.7, 12, 0.8, CHEEK, None))
    # rest: both hands hold the gown
    rest1.append(path('M36.5 16 Q33 20 33 26', None, INK, 2.6) + path('M36.5 16 Q33 20 33 26', None, SKIN, 1.4))
    rest1.append(path('M43.5 16 Q47 20 47 26', None, INK, 2.6) + path('M43.5 16 Q47 20 47 26', None, SKIN, 1.4))
    # active: she waves, and a shower of magic stars
    act1.append(path('M36.5 16 Q33 20 33 26', None, INK, 2.6) + path('M36.5 16 Q33 20 33 26', None, SKIN, 1.4))
    act1.append(path('M43.5 16 Q49 12 51 6', None, INK, 2.6) + path('M43.5 16 Q49 12 51 6', None, SKIN, 1.4))
    act1.append(circle(51.2, 5.4, 1.5, SKIN, INK, 0.7))
    act1.append(star(47.6, 4.4, 2.1) + star(52.6, 11, 1.7) + sparkle(46.5, 7, 1.6) + sparkle(52.5, 16, 1.4))
    # rest 2: the hem; active 2: a glass slipper peeps out and sparkles
    rest2.append(path('M36 46 Q40 48 44 46', None, BLUE_SH, 0.7))
    act2.append(path('M34.6 46 Q37 44 40 47 Q44 44 48 46', None, BLUE_SH, 0.7))
    act2.append(path('M37 52 Q38 48.6 42 50 L46 50.4 Q46.6 52 45 52.5 Z', c('#d6eefa'), c('#4f7ec2'), 0.8))
    act2.append(sparkle(48.5, 48.5, 2.4) + sparkle(35, 49.5, 1.5))
    return base, [('a1', rest1, act1), ('a2', rest2, act2)]


# ---------------------------------------------------------------- 6 Rapunzel

def rapunzel():
    base, rest, act = [], [], []
    # the castle: two turrets joined by a wall, standing on the hill
    wall = STONE_LT
    base.append(rect(214, 30, 60, 70, wall, INK))
    for x in range(216, 272, 9):
        base.append(rect(x, 25, 5, 6, wall, INK, 0.9))
    for (x, y) in [(222, 44), (236, 58), (250, 40), (262, 70), (226, 80), (246, 88)]:
        base.append(rect(x, y, 8, 4, STONE, None))
    base.append(path('M236 100 L236 84 Q244 74 252 84 L252 100 Z', WOOD_SH, INK))
    # left turret with Rapunzel's window
    base.append(rect(198, 26, 18, 78, STONE, INK))
    base.append(path('M196 27.6 L207 13.6 L218 27.6 Z', c('#8a56a8'), INK))
    base.append(path('M207 13.6 L218 27.6 L211 27.6 Z', PURPLE_SH, None))
    base.append(circle(207, 13.4, 1.3, GOLD, INK, 0.6))
    base.append(path('M200 48 L200 36 Q207 28 214 36 L214 48 Z', c('#3a2a40'), INK))
    base.append(rect(198, 47, 18, 3, STONE_LT, INK, 0.8))
    # right turret: the golden braid hangs from its window
    base.append(rect(274, 24, 19, 82, STONE, INK))
    base.append(path('M272.4 25.6 L283.5 12.4 L294.6 25.6 Z', c('#8a56a8'), INK))
    base.append(path('M283.5 12.4 L294.6 25.6 L288 25.6 Z', PURPLE_SH, None))
    base.append(path('M283.5 12.4 L283.5 5 L289 7 L283.5 9', RED, INK, 0.6))
    base.append(path('M278 42 L278 33 Q283.5 27 289 33 L289 42 Z', c('#3a2a40'), INK))
    for (x, y) in [(276, 60), (286, 74), (277, 96), (203, 62), (207, 86)]:
        base.append(rect(x, y, 7, 3, STONE_SH, None))
    # the braid: from her head along the wall and down the right turret
    braid = 'M214 33 C230 22 256 22 272 30 C282 35 284 38 283.5 42 L283.5 86'
    base.append(path(braid, None, INK, 5.2) + path(braid, None, BLOND, 3.4))
    for y in range(46, 86, 5):
        base.append(path('M281.8 %s q1.7 2.5 3.4 0' % y, None, BLOND_SH, 0.7))
    base.append(path('M280.5 86 L283.5 84 L286.5 86 L285.5 90 L281.5 90 Z', BLOND, INK, 0.8))
    base.append(path('M280 84 l3.5 2 l3.5 -2 l-1 3 l-5 0 Z', PINK, INK, 0.6))

    def girl(wave):
        g = []
        g.append(path('M201 48 Q202 38 207 37 Q212 38 213 48 Z', PINK, INK))
        g.append(circle(207, 33, 4.6, SKIN, INK))
        g.append(path('M202.2 33 Q202 27.5 207 27.8 Q212.5 27.8 214 33 Q211 30.6 207 30.6 Q204 30.6 202.2 33 Z', BLOND, INK, 0.8))
        g.append(eyes(205.4, 208.8, 33.4, 0.6) + smile(207, 35.3, 1.2, 0.6))
        g.append(circle(204.4, 35, 0.7, CHEEK, None) + circle(209.8, 35, 0.7, CHEEK, None))
        if wave:
            g.append(path('M203 41 Q198 36 197 29', None, INK, 2.6) + path('M203 41 Q198 36 197 29', None, SKIN, 1.4))
            g.append(circle(197, 28.5, 1.5, SKIN, INK, 0.7))
            g.append(path('M199.6 27.6 q-0.6 -1.4 0.8 -2 M201.4 30 q0.4 -1.6 1.8 -2', None, INK, 0.6))
            g.append(circle(201, 46.5, 1.4, PINK_LT, INK, 0.6))
        else:
            g.append(path('M203 44 Q206 41 209 42', None, INK, 2.6) + path('M203 44 Q206 41 209 42', None, SKIN, 1.4))
            g.append(circle(200, 45, 1.6, PINK_LT, INK, 0.6))
        return g
    rest += girl(False)
    act += girl(True)
    return base, [('a10', rest, act)]


# ---------------------------------------------------------------- 3 Hansel and Gretel

def hansel():
    base, rest5, act5, rest6, act6 = [], [], [], [], []
    # the gingerbread house
    base.append(rect(468, 40, 22, 18, GINGERBREAD, INK))
    base.append(path('M465 42 L479 25 L493 42 Z', c('#8e4a18'), INK))
    base.append(path('M466 41 q2.3 3 4.6 0 q2.3 3 4.6 0 q2.3 3 4.6 0 q2.3 3 4.6 0 q2.3 3 4.6 0 q2.3 3 4.6 0',
                     ICING, INK, 0.7))
    for (x, y, col) in [(479, 31, RED), (474, 37, PINK), (484, 37, c('#4f9e3e')), (479, 37, YELLOW)]:
        base.append(circle(x, y, 1.3, col, INK, 0.5))
    base.append(rect(484, 26, 4, 8, PINK, INK, 0.7))
    base.append(rect(470, 45, 6, 5, c('#fde88a'), INK, 0.8))
    base.append(line(473, 45, 473, 50, RED, 0.8) + line(470, 47.5, 476, 47.5, RED, 0.8))
    for x in range(469, 490, 4):
        base.append(line(x, 57, x + 2, 57, ICING, 1.0))
    # candy-cane posts and breadcrumbs
    base.append(line(466, 58, 466, 48, RED, 1.6) + line(492, 58, 492, 48, RED, 1.6))
    for (x, y) in [(458, 86), (452, 90), (446, 95), (440, 99)]:
        base.append(circle(x, y, 0.9, c('#d8b070'), None))
    # door: shut / open with the witch peeping out
    rest5.append(path('M479 58 L479 50 Q482 46 485 50 L485 58 Z', c('#f0a8c0'), INK, 0.8))
    rest5.append(circle(483.6, 54, 0.6, GOLD, None))
    act5.append(path('M479 58 L479 50 Q482 46 485 50 L485 58 Z', c('#2a1a20'), INK, 0.8))
    act5.append(circle(482, 52, 2.6, c('#b8d088'), INK, 0.7))
    act5.append(path('M478 50.6 L486 50.6 L482 40 Z', c('#3a2a40'), INK, 0.7))
    act5.append(path('M477.4 50.2 L486.8 50.2', None, INK, 1.4))
    act5.append(circle(481.2, 51.6, 0.5, INK, None) + circle(483, 51.6, 0.5, INK, None))
    act5.append(path('M482 52.4 q1.6 1 0.6 2.3', None, INK, 0.6))
    act5.append(path('M485 55 q3 -1 4 -4', None, c('#b8d088'), 1.4) + circle(489.2, 50.8, 0.9, c('#b8d088'), INK, 0.5))

    def kids(cheer):
        g = []
        # Hansel (left)
        g.append(path('M464 80.4 L465 75 L471 75 L472 80.4 Z', c('#6e4422'), INK, 0.8))
        g.append(path('M464 76 L464.6 69 L471.4 69 L472 76 Z', BLUE, INK, 0.8))
        g.append(circle(468, 66, 3.4, SKIN, INK, 0.8))
        g.append(path('M464.6 66 Q464.4 62 468 62.2 Q471.8 62 471.4 66 Q469 64 464.6 66 Z', BROWNHAIR, INK, 0.6))
        g.append(circle(466.8, 66.4, 0.45, INK, None) + circle(469.2, 66.4, 0.45, INK, None))
        # Gretel (right)
        g.append(path('M472.5 80.4 L474 70 L478 70 L479.5 80.4 Z', RED, INK, 0.8))
        g.append(path('M473 77 L479 77', None, WHITE, 0.9))
        g.append(circle(476, 66.5, 3.3, SKIN, INK, 0.8))
        g.append(path('M472.6 66.5 Q472.4 62.6 476 62.8 Q479.6 62.6 479.4 66.5 Q477 64.6 472.6 66.5 Z', BLOND, INK, 0.6))
        g.append(path('M472.8 66 q-1.4 3 -0.6 5 M479.2 66 q1.4 3 0.6 5', None, BLOND_SH, 1.0))
        g.append(circle(474.9, 66.9, 0.45, INK, None) + circle(477.2, 66.9, 0.45, INK, None))
        if cheer:
            g.append(path('M465 71 L463.6 64.6 M478.6 71 L479.4 64.6', None, INK, 2.0))
            g.append(path('M465 71 L463.6 64.6 M478.6 71 L479.4 64.6', None, SKIN, 1.0))
            g.append(path('M467.2 68 q0.8 1 1.6 0 M475 68.4 q0.8 1 1.6 0', None, INK, 0.6))
            g.append(path('M467 68 a1 1 0 0 0 2 0 Z M474.8 68.5 a1 1 0 0 0 2 0 Z', RED_SH, None))
        else:
            g.append(path('M471.5 72 L474 72.5', None, INK, 2.0) + path('M471.5 72 L474 72.5', None, SKIN, 1.0))
            g.append(smile(468, 67.8, 0.9, 0.5) + smile(476, 68.3, 0.9, 0.5))
        g.append(rect(464.5, 80.2, 3, 1.2, INK, None) + rect(468.5, 80.2, 3, 1.2, INK, None))
        g.append(rect(473, 80.2, 2.6, 1.2, INK, None) + rect(476.8, 80.2, 2.6, 1.2, INK, None))
        return g
    rest6 += kids(False)
    act6 += kids(True)
    return base, [('a5', rest5, act5), ('a6', rest6, act6)]


# ---------------------------------------------------------------- 14 the sound switch

def sound():
    base, on, off, hover = [], [], [], []
    base.append(path('M550 21 C536 21 526 23 516 27', None, INK, 3.4) + path('M550 21 C536 21 526 23 516 27', None, BROWN, 2.0))
    base.append(path('M532 21 q-3 -4 -8 -3 q3 4 8 3 Z', LEAF, INK, 0.6))

    def bird(mouth_open, eyes_closed, spread):
        g = []
        g.append(path('M534 19 L542 15 L541 20 Z', BLUE_SH, INK, 0.7))
        g.append(ellipse(529, 15, 7, 5.6, BLUE, INK, 0.9))
        g.append(ellipse(528, 17.2, 4.2, 3, c('#fde0c0'), None))
        if spread:
            g.append(path('M531 13 Q537 3 541 6 Q538 10 533 16 Z', BLUE_LT, INK, 0.8))
            g.append(path('M526 13 Q520 4 516 7 Q519 11 525 16 Z', BLUE_LT, INK, 0.8))
        else:
            g.append(path('M530 13 Q536 13 535 18 Q531 18 529 15 Z', BLUE_SH, INK, 0.6))
        g.append(circle(524, 10.6, 4.2, BLUE, INK, 0.9))
        if eyes_closed:
            g.append(path('M521.4 10 q1.2 1 2.4 0', None, INK, 0.7))
        else:
            g.append(circle(522.6, 9.8, 1.2, WHITE, None) + circle(522.4, 9.9, 0.7, INK, None))
        if mouth_open:
            g.append(path('M520.2 10.6 L515.5 9 L519.8 12.2 Z M519.8 12.2 L516 13.6 L520.4 13 Z', ORANGE, INK, 0.6))
        else:
            g.append(path('M520.2 11 L516.4 11.8 L520.4 13 Z', ORANGE, INK, 0.6))
        g.append(path('M526 20 l-1 5 M530 20 l0 5', None, ORANGE, 0.8))
        return g

    def note(x, y, s, col):
        return ellipse(x, y, 1.8 * s, 1.3 * s, col, INK, 0.5) + path(
            'M%s %s l0 %s l%s %s' % (x + 1.6 * s, y, -7 * s, 2.4 * s, 1.6 * s), None, INK, 0.8)

    on += bird(True, False, False)
    on += [note(512, 10, 1.0, PINK), note(511, 21, 0.8, YELLOW)]
    off += bird(False, True, False)
    off.append(text(514, 12, 'z', 7, BLUE_SH) + text(510, 7.4, 'z', 5, BLUE_SH))
    hover += bird(True, False, True)
    hover += [note(512, 12.6, 1.15, PINK), note(512, 24, 1.0, YELLOW), star(546, 6, 2.2), note(544.5, 14.6, 0.8, c('#fde456'))]
    return base, [('snd', on, off, hover)]


# ---------------------------------------------------------------- 4 Jack and the beanstalk

def jack():
    base, rest7, act7, rest8, act8 = [], [], [], [], []
    # a cloud at the top of the beanstalk
    base.append(path('M14 158 q-6 -8 4 -12 q2 -10 14 -8 q8 -9 20 -2 q12 -4 16 6 q12 2 8 14 Z',
                     WHITE, c('#a8c4e0'), 1.0))
    stalk = 'M44 274 C32 258 60 246 44 222 C30 200 58 186 46 166 C40 156 46 150 47 146'
    base.append(path(stalk, None, INK, 7.6) + path(stalk, None, c('#4f9e3e'), 5.6))
    base.append(path('M44 274 C32 258 60 246 44 222 C30 200 58 186 46 166', None, c('#7fc050'), 1.4))
    base.append(path('M33 276 Q44 266 55 276 Z', c('#6e4a2a'), INK, 0.9))
    for (x, y, d) in [(50, 264, 1), (38, 250, -1), (52, 232, 1), (36, 212, -1), (54, 196, 1), (40, 180, -1), (52, 165, 1)]:
        base.append(path('M%s %s q%s -8 %s -2 q%s 6 %s 2 Z' % (x, y, 6 * d, 13 * d, -5 * d, -13 * d), LEAF, INK, 0.8))
        base.append(path('M%s %s l%s -1.5' % (x, y, 9 * d), None, LEAF_SH, 0.6))
    # the tendril curl in the sky
    base.append(path('M47 146 q4 -6 0 -8 q-3 -1 -2 2', None, c('#4f9e3e'), 1.2))

    def hen(egg):
        g = []
        g.append(ellipse(47, 142, 8, 6, c('#fff4e8'), INK, 0.9))
        g.append(path('M53 140 q5 -7 3 -10 q-3 2 -4 6 Z', c('#fff4e8'), INK, 0.7))
        g.append(circle(41, 134.6, 3.8, c('#fff4e8'), INK, 0.9))
        g.append(path('M39.4 131.2 q0.6 -2.6 1.8 -0.6 q1 -2.4 2 0.2 Z', RED, INK, 0.5))
        g.append(path('M37.6 135 L35 136 L37.6 136.8 Z', ORANGE, INK, 0.5))
        g.append(circle(40.4, 134, 0.6, INK, None))
        g.append(path('M37.9 137 q0.6 1.6 1.4 0', RED, None))
        if egg:
            g.append(path('M44 140 q4 -6 9 -4 q-2 4 -8 5 Z', c('#e8dcc8'), INK, 0.7))
            g.append(ellipse(50.4, 147, 2.4, 2.8, GOLD, GOLD_SH, 0.7) + sparkle(55, 144, 1.8) + sparkle(42.6, 147.6, 1.3))
        else:
            g.append(path('M44 141 q4 -2 7 1 q-3 2 -7 0 Z', c('#e8dcc8'), INK, 0.6))
        g.append(path('M45 148 l0 2 M49 148 l0 2', None, ORANGE, 0.8))
        return g
    rest8 += hen(False)
    act8 += hen(True)

    def boy(reach):
        g = []
        # legs round the stalk
        g.append(path('M34 262 L28 270 L24 269.4', None, INK, 3.4) + path('M34 262 L28 270 L24 269.4', None, c('#6e4a2a'), 2.0))
        if reach:
            g.append(path('M38 262 L48 266 L52 272', None, INK, 3.4) + path('M38 262 L48 266 L52 272', None, c('#6e4a2a'), 2.0))
        else:
            g.append(path('M38 262 L45 268 L45 273', None, INK, 3.4) + path('M38 262 L45 268 L45 273', None, c('#6e4a2a'), 2.0))
        g.append(path('M30 246 Q36 242 42 247 L40 263 Q35 266 31 262 Z', c('#4f8a30'), INK, 0.9))
        g.append(path('M31 257 L41 257', None, BROWN, 1.4))
        # arms
        if reach:
            g.append(path('M40 248 Q46 238 48 228', None, INK, 3.0) + path('M40 248 Q46 238 48 228', None, SKIN, 1.6))
            g.append(path('M32 249 Q36 244 42 243', None, INK, 3.0) + path('M32 249 Q36 244 42 243', None, SKIN, 1.6))
            g.append(circle(48, 227, 1.8, SKIN, INK, 0.7) + circle(43, 243, 1.7, SKIN, INK, 0.7))
        else:
            g.append(path('M40 248 Q45 244 46 238', None, INK, 3.0) + path('M40 248 Q45 244 46 238', None, SKIN, 1.6))
            g.append(path('M32 249 Q38 248 42 251', None, INK, 3.0) + path('M32 249 Q38 248 42 251', None, SKIN, 1.6))
            g.append(circle(46, 237, 1.8, SKIN, INK, 0.7) + circle(43, 251, 1.7, SKIN, INK, 0.7))
        # head: looking up with a grin
        g.append(circle(33, 238, 5.4, SKIN, INK, 0.9))
        g.append(path('M27.8 237 Q27 231 33.4 231.6 Q39 232 38.6 236 Q35 233.6 27.8 237 Z', GINGER, INK, 0.7))
        g.append(path('M29 232 l-2 -3 M32 231.6 l0 -3', None, GINGER, 1.0))
        g.append(circle(35.2, 237.6, 0.7, INK, None) + circle(31.4, 238, 0.7, INK, None))
        g.append(circle(36.6, 240, 0.9, CHEEK, None))
        if reach:
            g.append(path('M31.4 240.6 q2.4 2.6 4.8 0 Z', RED_SH, INK, 0.5))
        else:
            g.append(smile(33.6, 240.6, 1.4, 0.6))
        return g
    rest7 += boy(False)
    act7 += boy(True)
    return base, [('a7', rest7, act7), ('a8', rest8, act8)]


# ---------------------------------------------------------------- 2 Goldilocks and the three bears

def bear(x, foot, top, w, col, sh):
    """A standing bear's body: x centre, from top down to the ground line foot."""
    g = []
    s = w / 11.0
    cy, ry = (foot - 2 + top) / 2.0, (foot - 2 - top) / 2.0
    g.append(ellipse(x - 5 * s, foot - 2 * s, 4.4 * s, 2.6 * s, sh, INK, 0.8))
    g.append(ellipse(x + 5 * s, foot - 2 * s, 4.4 * s, 2.6 * s, sh, INK, 0.8))
    g.append(ellipse(x, cy, w, ry, col, INK, 0.9))
    g.append(ellipse(x, cy + ry * 0.2, w * 0.6, ry * 0.6, BEAR_LT, None))
    for d in (-1, 1):
        arm = 'M%s %s q%s %s %s %s' % (x + d * w * 0.75, top + ry * 0.45, d * 3.5 * s, 7 * s, d * 1.6 * s, 14 * s)
        g.append(path(arm, None, INK, 5.0 * s) + path(arm, None, col, 3.2 * s))
    return g


def bear_head(x, y, s, col, sh, closed=False):
    g = []
    g.append(circle(x - 6.5 * s, y - 6 * s, 3.2 * s, col, INK, 0.8))
    g.append(circle(x + 6.5 * s, y - 6 * s, 3.2 * s, col, INK, 0.8))
    g.append(circle(x - 6.5 * s, y - 6 * s, 1.5 * s, BEAR_LT, None) + circle(x + 6.5 * s, y - 6 * s, 1.5 * s, BEAR_LT, None))
    g.append(circle(x, y, 8 * s, col, INK, 0.9))
    g.append(ellipse(x, y + 3 * s, 4.4 * s, 3.4 * s, BEAR_LT, INK, 0.6))
    g.append(ellipse(x, y + 1.6 * s, 1.6 * s, 1.1 * s, INK, None))
    if closed:
        g.append(path('M%s %s q%s %s %s 0 M%s %s q%s %s %s 0' % (
            x - 4.6 * s, y - 2 * s, 1.4 * s, 1.2 * s, 2.8 * s, x + 1.8 * s, y - 2 * s, 1.4 * s, 1.2 * s, 2.8 * s), None, INK, 0.7))
    else:
        g.append(circle(x - 3.2 * s, y - 2 * s, 1.0 * s, INK, None) + circle(x + 3.2 * s, y - 2 * s, 1.0 * s, INK, None))
        g.append(circle(x - 2.9 * s, y - 2.4 * s, 0.35 * s, WHITE, None) + circle(x + 3.5 * s, y - 2.4 * s, 0.35 * s, WHITE, None))
    g.append(path('M%s %s q%s %s %s 0' % (x - 1.6 * s, y + 4.2 * s, 1.6 * s, 1.4 * s, 3.2 * s), None, INK, 0.6))
    return g


def goldilocks():
    base, rest3, act3, rest4, act4 = [], [], [], [], []
    # Father Bear (tall, with a blue neckerchief), Mother Bear, Baby Bear
    base += bear(132, 277, 213, 9, BEAR, BEAR_SH)
    base.append(path('M125 216 L138 216 L131.5 223 Z', BLUE, INK, 0.8))
    base += bear(146, 277, 234, 8.4, c('#a86c3a'), BEAR_SH)
    base += bear_head(146, 230, 0.8, c('#a86c3a'), BEAR_SH)
    base.append(path('M140 236.5 q6 3 12 0', None, PINK, 1.6))
    base += bear(153, 278, 254, 5.6, c('#c08a50'), BEAR_SH)
    base += bear_head(153, 251, 0.6, c('#c08a50'), BEAR_SH)
    rest3 += bear_head(129, 209.5, 0.62, BEAR, BEAR_SH)
    act3 += bear_head(129, 209.5, 0.62, BEAR, BEAR_SH, closed=True)
    # the table with three bowls of porridge
    base.append(path('M166 258 L200 258 L198 262 L168 262 Z', WOOD_LT, INK, 0.9))
    base.append(path('M170 262 L170 274 M196 262 L196 274', None, WOOD_SH, 2.2))
    for (x, w) in [(171, 4.6), (183, 3.4), (194, 2.6)]:
        base.append(path('M%s 257.5 q%s %s %s 0 Z' % (x - w, w, w * 1.2, 2 * w), c('#e8f0fa'), INK, 0.7))
        base.append(path('M%s 257.6 L%s 257.6' % (x - w + 0.6, x + w - 0.6), None, c('#f4ead2'), 0.9))

    def girl(startled):
        g = []
        g.append(path('M176 256 L178 274 L186 274 L188 256 Z', c('#f08ab0'), INK, 0.9))
        g.append(path('M177 266 L187 266', None, WHITE, 1.0))
        g.append(path('M178 274 l0 1.6 M186 274 l0 1.6', None, INK, 2.4))
        g.append(path('M178 244 L186 244 L188 257 L176 257 Z', c('#f8b6ce'), INK, 0.9))
        if startled:
            g.append(path('M178 246 L172 236 M186 246 L192 236', None, INK, 2.6) + path('M178 246 L172 236 M186 246 L192 236', None, SKIN, 1.4))
            g.append(circle(172, 235.4, 1.5, SKIN, INK, 0.6) + circle(192, 235.4, 1.5, SKIN, INK, 0.6))
            g.append(line(199, 226, 204, 216, c('#d0d0d0'), 1.2) + ellipse(205, 215, 2, 1.2, c('#d0d0d0'), INK, 0.5))
            # hair on end
            g.append(path('M173 236 Q170 224 182 222.4 Q194 224 191 236 Q192 226 182 226 Q172 226 173 236 Z', BLOND, INK, 0.8))
            for dx in (-6, -2, 2, 6):
                g.append(path('M%s 224 l%s -5' % (182 + dx, dx * 0.4), None, BLOND_SH, 1.0))
        else:
            g.append(path('M186 248 Q192 252 190 257', None, INK, 2.6) + path('M186 248 Q192 252 190 257', None, SKIN, 1.4))
            g.append(path('M178 248 Q174 252 176 256', None, INK, 2.6) + path('M178 248 Q174 252 176 256', None, SKIN, 1.4))
            g.append(line(190, 257, 195, 250, c('#d0d0d0'), 1.2))
        g.append(circle(182, 237, 6, SKIN, INK, 0.9))
        # golden curls
        for (x, y) in [(176, 234), (175.6, 239), (177, 243), (188, 234), (188.4, 239), (187, 243)]:
            g.append(circle(x, y, 2.4, BLOND, INK, 0.6))
        g.append(path('M176 234 Q176 228.6 182 228.6 Q188 228.6 188 234 Q185 231.6 182 232 Q179 231.6 176 234 Z', BLOND, INK, 0.7))
        g.append(path('M187 229 l3 -2 l0.4 3 Z', RED, INK, 0.5))
        if startled:
            g.append(circle(179.6, 237, 1.2, WHITE, INK, 0.5) + circle(184.4, 237, 1.2, WHITE, INK, 0.5))
            g.append(circle(179.6, 237, 0.5, INK, None) + circle(184.4, 237, 0.5, INK, None))
            g.append(ellipse(182, 240.6, 1.2, 1.5, RED_SH, INK, 0.5))
            g.append(text(198, 244, '!', 11, RED))
        else:
            g.append(eyes(179.8, 184.2, 237, 0.7) + smile(182, 239.6, 1.6, 0.6))
            g.append(circle(178.4, 239.6, 0.9, CHEEK, None) + circle(185.6, 239.6, 0.9, CHEEK, None))
        return g
    rest4 += girl(False)
    act4 += girl(True)
    return base, [('a3', rest3, act3), ('a4', rest4, act4)]


# ---------------------------------------------------------------- 9 the Gingerbread Man

def gingerbread():
    base, rest, act = [], [], []
    # the baker woman running after him with her rolling pin
    x = 238
    base.append(path('M224 258 L228 232 L250 232 L254 258 Z', c('#7a5aa0'), INK))
    base.append(path('M230 234 L248 234 L250 256 L228 256 Z', WHITE, INK, 0.8))
    base.append(path('M226 258 l-3 3 l6 0 M250 258 l2 3 l6 0', None, INK, 2.0))
    base.append(path('M228 206 Q238 202 248 206 L251 234 L227 234 Z', c('#7a5aa0'), INK))
    base.append(path('M231 208 Q238 206 245 208 L246 224 L232 224 Z', WHITE, INK, 0.8))
    # arms: one forward, one swinging the rolling pin overhead
    base.append(path('M230 211 Q221 214 214 212', None, INK, 3.2) + path('M230 211 Q221 214 214 212', None, c('#7a5aa0'), 2.0))
    base.append(circle(213, 212, 2.0, SKIN, INK, 0.7))
    base.append(path('M246 210 Q254 200 256 190', None, INK, 3.2) + path('M246 210 Q254 200 256 190', None, c('#7a5aa0'), 2.0))
    base.append(circle(256, 189, 2.0, SKIN, INK, 0.7))
    base.append(path('M248 183 L264 193', None, INK, 4.6) + path('M248 183 L264 193', None, WOOD_LT, 3.0))
    base.append(path('M246.6 182 l-1.6 -1 M265.4 194 l1.6 1', None, WOOD_SH, 2.2))
    base.append(circle(x, 195, 8, SKIN, INK))
    base.append(path('M229.6 194 Q229 184 238 184 Q247 184 246.4 194 Q245 188 238 188 Q231 188 229.6 194 Z', GREYHAIR, INK, 0.8))
    base.append(path('M229 188 Q238 176 247 188 Q238 184 229 188 Z', WHITE, INK, 0.8))
    base.append(circle(234.6, 195, 0.9, INK, None) + circle(241.4, 195, 0.9, INK, None))
    base.append(path('M233 191.4 l3 -0.8 M243 191.4 l-3 -0.8', None, INK, 0.6))
    base.append(ellipse(238, 199.6, 2, 1.4, RED_SH, INK, 0.5))
    base.append(circle(232.6, 198, 1.2, CHEEK, None) + circle(243.4, 198, 1.2, CHEEK, None))
    # speed lines
    base.append(path('M257 214 l8 0 M258 222 l7 0 M256 244 l8 0', None, WHITE, 1.0))

    def man(jump):
        g = []
        dy = -1 if jump else 0
        ox = 192
        if jump:
            limbs = [('M%s %s L%s %s' % (ox - 3, 176 + dy, ox - 12, 168 + dy)), ('M%s %s L%s %s' % (ox + 3, 176 + dy, ox + 12, 168 + dy)),
                     ('M%s %s L%s %s' % (ox - 3, 186 + dy, ox - 11, 194 + dy)), ('M%s %s L%s %s' % (ox + 3, 186 + dy, ox + 12, 192 + dy))]
        else:
            limbs = [('M%s %s L%s %s' % (ox - 3, 177, ox - 12, 182)), ('M%s %s L%s %s' % (ox + 3, 177, ox + 11, 171)),
                     ('M%s %s L%s %s' % (ox - 2, 186, ox - 12, 190)), ('M%s %s L%s %s' % (ox + 3, 186, ox + 8, 193.4))]
        for lm in limbs:
            g.append(path(lm, None, INK, 6.6) + path(lm, None, GINGERBREAD, 4.8))
        for lm in limbs:
            end = lm.split('L')[1].split()
            g.append(path('M%s %s l-1.2 -1.2 M%s %s l1.2 -1.2' % (float(end[0]) - 0.6, float(end[1]) + 0.6,
                                                                  float(end[0]) + 0.6, float(end[1]) + 0.6), None, ICING, 0.6))
        g.append(ellipse(ox, 181 + dy, 5.4, 7, GINGERBREAD, INK, 0.9))
        g.append(circle(ox, 169 + dy, 5.6, GINGERBREAD, INK, 0.9))
        g.append(circle(ox - 2, 168 + dy, 0.9, WHITE, None) + circle(ox + 2, 168 + dy, 0.9, WHITE, None))
        g.append(circle(ox - 2, 168.2 + dy, 0.5, INK, None) + circle(ox + 2, 168.2 + dy, 0.5, INK, None))
        if jump:
            g.append(path('M%s %s q2.4 2.6 4.8 0 Z' % (ox - 2.4, 171 + dy), RED_SH, ICING, 0.5))
        else:
            g.append(path('M%s %s q2 1.8 4 0' % (ox - 2, 171), None, ICING, 0.7))
        for k in range(3):
            g.append(circle(ox, 178 + dy + k * 3.6, 1.0, [RED, c('#4f9e3e'), RED][k], None))
        g.append(path('M%s %s q1.4 -1 2.8 0 q1.4 1 2.8 0' % (ox - 3, 189.4 + dy), None, ICING, 0.6))
        if not jump:
            g.append(path('M205 176 l5 0 M206 182 l4 0', None, WHITE, 0.9))
        else:
            g.append(text(180, 170, '!', 9, RED))
        return g
    rest += man(False)
    act += man(True)
    return base, [('a13', rest, act)]


# ---------------------------------------------------------------- 11 the wishing well and its frog

def well():
    base, rest16, act16, rest17, act17 = [], [], [], [], []
    # stone well
    base.append(path('M324 276 L324 310 Q347 318 370 310 L370 276 Z', STONE, INK))
    for (x, y) in [(326, 284), (340, 282), (354, 284), (332, 294), (348, 296), (362, 292), (328, 304), (356, 306)]:
        base.append(rect(x, y, 10, 6, STONE_LT, INK, 0.6, 1.5))
    base.append(ellipse(347, 276, 23, 6, STONE_LT, INK))
    base.append(ellipse(347, 276.6, 18, 4, c('#2a3a5a'), INK, 0.8))
    # posts and crank
    base.append(rect(326, 240, 4, 36, WOOD, INK, 0.9) + rect(364, 240, 4, 36, WOOD, INK, 0.9))
    base.append(line(330, 250, 364, 250, WOOD_SH, 2.0))
    base.append(path('M368 250 l4 0 l0 6', None, INK, 1.4))
    # the roof
    base.append(path('M322 242 L347 229.6 L371 242 Z', RED, INK))
    base.append(path('M347 229.6 L371 242 L360 242 Z', RED_SH, None))
    base.append(path('M322 242 L347 229.6 L371 242', None, INK, 1.2))
    for x in range(328, 368, 6):
        base.append(line(x, 241, x + 2, 237 if x < 347 else 239, RED_SH, 0.6))
    # a signpost-star on the roof so it reads as "magic"
    base.append(star(347, 233, 2.4))
    # rest: the bucket hangs low; active: up it comes, full of stars
    rest16.append(line(347, 250, 347, 262, BROWN_SH, 0.8))
    rest16.append(path('M342.6 262 L351.4 262 L350.4 269 L343.6 269 Z', WOOD_LT, INK, 0.8))
    rest16.append(path('M343 262 Q347 258 351 262', None, INK, 0.6))
    act16.append(line(347, 250, 347, 253, BROWN_SH, 0.8))
    act16.append(path('M342.6 253 L351.4 253 L350.4 260 L343.6 260 Z', WOOD_LT, INK, 0.8))
    act16.append('<circle cx="347" cy="257" r="12.5" fill="url(#glow)"/>')
    act16.append(star(347, 251, 2.6) + star(337, 258, 2.0) + star(358, 257, 2.2) + star(352, 265, 1.6) + star(340, 266, 1.4))
    act16.append(sparkle(331, 262, 2.2) + sparkle(362, 265, 2.0) + sparkle(345, 246, 1.6))
    act16.append(text(339, 248, '?', 8, PURPLE) + text(357, 248, '?', 7, BLUE))

    def frog(hop):
        g = []
        dy = -4 if hop else 0
        g.append(ellipse(318, 305, 13, 3.4, STONE, INK, 0.8))
        if hop:
            g.append(path('M310 298 L305 304 L309 305 M326 298 L331 304 L327 305', None, INK, 3.0))
            g.append(path('M310 298 L305 304 L309 305 M326 298 L331 304 L327 305', None, c('#5faa3e'), 1.8))
        else:
            g.append(ellipse(310, 301, 4, 2.6, c('#5faa3e'), INK, 0.7) + ellipse(326, 301, 4, 2.6, c('#5faa3e'), INK, 0.7))
        g.append(ellipse(318, 296 + dy, 8, 6.4, c('#5faa3e'), INK, 0.9))
        g.append(ellipse(318, 298 + dy, 5, 3.6, c('#c4e08a'), None))
        g.append(circle(314, 289.6 + dy, 2.8, c('#5faa3e'), INK, 0.8) + circle(322, 289.6 + dy, 2.8, c('#5faa3e'), INK, 0.8))
        g.append(circle(314, 289.6 + dy, 1.5, WHITE, None) + circle(322, 289.6 + dy, 1.5, WHITE, None))
        g.append(circle(314.3, 289.8 + dy, 0.8, INK, None) + circle(322.3, 289.8 + dy, 0.8, INK, None))
        g.append(path('M315 285.6 L315.8 282.6 L317 284.6 L318 282.4 L319 284.6 L320.2 282.6 L321 285.6 Z' .replace(
            '285.6', str(285.6 + dy)).replace('282.6', str(282.6 + dy)).replace('284.6', str(284.6 + dy)).replace('282.4', str(282.4 + dy)),
            GOLD, GOLD_SH, 0.5))
        if hop:
            g.append(ellipse(318, 295 + dy, 3, 1.6, RED_SH, INK, 0.5))
            g.append(sparkle(306, 284, 1.8) + sparkle(331, 286, 1.6))
        else:
            g.append(path('M314 294 Q318 296.6 322 294', None, INK, 0.7))
        return g
    rest17 += frog(False)
    act17 += frog(True)
    return base, [('a16', rest16, act16), ('a17', rest17, act17)]


# ---------------------------------------------------------------- 5 Little Red Riding Hood

def redhood():
    base, rest, act = [], [], []
    # Red herself, walking with her basket
    base.append(path('M318 366 L320 342 Q326 332 332 342 L334 366 Z', RED, INK))
    base.append(path('M326 340 L326 366', None, RED_SH, 0.8))
    base.append(path('M320 366 l0 2 M331 366 l0 2', None, INK, 2.2))
    base.append(path('M321 344 Q326 342 331 344 L330 356 L322 356 Z', WHITE, INK, 0.7))
    base.append(path('M322 344 L322 356', None, c('#4f7ec2'), 0.0))
    base.append(circle(326, 333, 5.2, SKIN, INK, 0.9))
    base.append(path('M320 336 Q319 325 326 325 Q333 325 332 336 Q331 329 326 328.6 Q321 329 320 336 Z', RED, INK, 0.9))
    base.append(path('M320 336 Q318 344 319 348 L322 345 Z M332 336 Q334 344 333 348 L330 345 Z', RED, INK, 0.8))
    base.append(path('M321.6 330.6 Q326 328 330.4 330.6', None, BROWNHAIR, 1.2))
    base.append(eyes(324, 328, 333.4, 0.6) + smile(326, 335.4, 1.2, 0.6))
    base.append(circle(322.8, 335.2, 0.8, CHEEK, None) + circle(329.2, 335.2, 0.8, CHEEK, None))
    # basket on her arm
    base.append(path('M320 348 Q318 342 323 344', None, INK, 2.4) + path('M320 348 Q318 342 323 344', None, SKIN, 1.2))
    base.append(path('M320 350 L330 350 L328.6 356 L321.4 356 Z', WOOD_LT, INK, 0.8))
    base.append(path('M321 350 Q325 343 329 350', None, WOOD_SH, 0.9))
    base.append(path('M321 350 q2 -3 4 0 q2 -3 4 0', WHITE, INK, 0.5))
    # the bush where the wolf hides
    bush = 'M295.6 347.4 Q293.6 338 300 336 Q302 329.6 309 331.6 Q316 330.4 316.4 338 Q317.6 343 314 347.4 Z'
    rest.append(path(bush, c('#3f8236'), INK))
    rest.append(path('M298 344 q4 -4 8 0 M306 338 q3 -3 7 0', None, c('#2c5a28'), 0.8))
    rest.append(ellipse(303, 341, 1.4, 0.9, YELLOW, INK, 0.4) + ellipse(309, 341, 1.4, 0.9, YELLOW, INK, 0.4))
    # active: the wolf pops out, all teeth and grin
    act.append(path(bush, c('#3f8236'), INK))
    wolf = c('#7a7e8a')
    wolf_parts = []
    wolf_parts.append(path('M298 335 L297.4 328.8 L302 332 Z M309.6 332 L312.4 328.8 L313.6 334 Z', wolf, INK, 0.7))
    wolf_parts.append(path('M296.6 340 Q296.6 331 304.6 331 Q312.6 331 313.6 338 L316.4 341 Q314.6 345 306.6 345 Q298.6 345 296.6 340 Z', wolf, INK, 0.8))
    wolf_parts.append(path('M306.6 341 Q311.6 342 315.6 340.6 Q311.6 345 306.6 343 Z', WHITE, INK, 0.5))
    wolf_parts.append(path('M307.6 341.4 l1 1.4 l1 -1.2 l1 1.3 l1 -1.3 l1 1.1', None, INK, 0.4))
    wolf_parts.append(circle(316.2, 340.6, 1.0, INK, None))
    wolf_parts.append(circle(302.6, 335.6, 1.5, YELLOW, INK, 0.5) + circle(308.2, 335.2, 1.5, YELLOW, INK, 0.5))
    wolf_parts.append(circle(303, 335.8, 0.6, INK, None) + circle(308.6, 335.4, 0.6, INK, None))
    act.append('<g transform="translate(0,2)">' + ''.join(wolf_parts) + '</g>')
    act.append(path('M296 347 q4 -3 8 0 q4 -3 8 0', c('#3f8236'), INK, 0.7))
    return base, [('a9', rest, act)]


# ---------------------------------------------------------------- 10 the tortoise and the hare

def race():
    base, rest14, act14, rest15, act15 = [], [], [], [], []
    # a little finish line ribbon on two sticks
    base.append(line(80, 344, 80, 330, WOOD_SH, 1.4) + line(112, 344, 112, 330, WOOD_SH, 1.4))
    base.append(path('M80 333 Q96 337 112 333', None, RED, 1.2))
    for x in (84, 92, 100, 108):
        base.append(path('M%s 334.6 l2 -0.4 l0 2 l-2 0.4 Z' % x, WHITE, None))

    def hare(asleep):
        g = []
        if asleep:
            g.append('<g transform="translate(2,0)">')
            # curled up for a nap under his own ears
            g.append(ellipse(97, 294, 10, 6.6, HARE, INK, 0.9))
            g.append(ellipse(97, 296, 6, 3.4, c('#f0e4d4'), None))
            g.append(circle(90, 290, 5.2, HARE, INK, 0.9))
            g.append(path('M92 286 Q100 280 106 284 Q100 286 93 289 Z', HARE, INK, 0.8))
            g.append(path('M91 285.6 Q97 276 104 278 Q98 282 92 288 Z', HARE, INK, 0.8))
            g.append(path('M87.4 290 q1.2 1 2.4 0 M91.4 290 q1.2 1 2.4 0', None, INK, 0.6))
            g.append(circle(88.4, 292.6, 0.8, PINK, None))
            g.append(circle(105.2, 293.6, 2.0, WHITE, INK, 0.6))
            g.append(text(97, 277, 'z', 8, BLUE_SH) + text(103, 270, 'Z', 9, BLUE_SH))
            g.append('</g>')
        else:
            # standing tall and cocky, arms folded
            g.append(path('M92 298.4 l-2 1.4 l5 0 M102 298.4 l2 1.4 l-5 0', None, INK, 2.0))
            g.append(ellipse(97, 291, 6.4, 9.6, HARE, INK, 0.9))
            g.append(ellipse(97, 293, 3.8, 6, c('#f0e4d4'), None))
            g.append(path('M91 288 Q97 292 103 288', None, HARE_SH, 2.2))
            g.append(path('M91 288 Q97 292 103 288', None, HARE, 1.2))
            g.append(circle(97, 276, 5.4, HARE, INK, 0.9))
            g.append(path('M94.4 272 Q91 262 93.4 261 Q96.4 262 96.4 271 Z', HARE, INK, 0.8))
            g.append(path('M99.6 271 Q100 261 103 261.6 Q105 263 101.6 272 Z', HARE, INK, 0.8))
            g.append(path('M94.2 270 Q92.6 264 93.6 263 M101.4 270 Q102.4 264 102.8 263.4', None, PINK, 1.0))
            g.append(circle(95, 275.6, 0.7, INK, None) + circle(99, 275.6, 0.7, INK, None))
            g.append(path('M94 274.4 l2 -0.6 M100 274.4 l-2 -0.6', None, INK, 0.5))
            g.append(circle(97, 277.8, 0.8, PINK, None))
            g.append(path('M95.6 279 q1.8 1.4 3.6 -0.4', None, INK, 0.6))
            g.append(path('M93 278 l-4 -1 M93 279 l-4 1 M101 278 l4 -1 M101 279 l4 1', None, INK, 0.3))
        return g

    def tortoise(going):
        g = []
        dx = 2 if going else 0
        skin = c('#a8c060')
        g.append(ellipse(90 + dx, 330, 2.6, 1.6, skin, INK, 0.6) + ellipse(101 + dx, 330, 2.6, 1.6, skin, INK, 0.6))
        g.append(path('M%s 329 Q%s 313 %s 313 Q%s 313 %s 329 Z' % (87 + dx, 87 + dx, 96 + dx, 105 + dx, 105 + dx), SHELL, INK, 0.9))
        g.append(path('M%s 329 L%s 329' % (87.2 + dx, 105 + dx), None, INK, 1.2))
        for (x, y) in [(91.6, 322), (96, 318.6), (100.4, 322), (96, 325.6)]:
            g.append(circle(x + dx, y, 2.2, SHELL_SH, c('#d4b070'), 0.6))
        if going:
            # head stretched out, striding for the finish
            g.append(path('M104 326 Q106 321 107 320', None, INK, 3.4) + path('M104 326 Q106 321 107 320', None, skin, 2.0))
            g.append(circle(107.2, 319.4, 2.8, skin, INK, 0.8))
            g.append(circle(108.2, 318.6, 0.7, INK, None) + path('M106.8 321 q1.4 0.8 2.6 -0.4', None, INK, 0.5))
            g.append(path('M89.8 321.6 l-1.6 0 M89.4 325 l-1.6 0', None, WHITE, 0.7))
        else:
            g.append(circle(106.4, 325.4, 2.8, skin, INK, 0.8))
            g.append(circle(107.4, 324.8, 0.65, INK, None) + path('M105.8 327 q1.2 0.6 2.2 -0.2', None, INK, 0.5))
        return g
    rest14 += hare(False)
    act14 += hare(True)
    rest15 += tortoise(False)
    act15 += tortoise(True)
    return base, [('a14', rest14, act14), ('a15', rest15, act15)]


# ---------------------------------------------------------------- 13 the way home (quit)

def home():
    base, rest, act = [], [], []
    base.append(rect(31, 318, 4, 17, WOOD, INK, 0.9))
    base.append(ellipse(33, 335, 8, 1.8, c('#4e8a30'), None))

    def sign(lit):
        g = []
        board = 'M18 308 L50 308 L50 326 L18 326 L12 317 Z'
        g.append(path(board, c('#f6d872') if lit else WOOD_LT, INK, 1.0))
        g.append(path('M16 310 L48 310' if not lit else 'M16 310 L48 310', None, WOOD if not lit else GOLD, 0.8))
        g.append(text(31, 321, 'Home', 9.5, INK if not lit else c('#7a3a10')))
        g.append(circle(47, 317, 0.9, WOOD_SH, None))
        if lit:
            g.append(sparkle(16, 309.6, 2.2) + sparkle(51.6, 327.4, 2.0) + sparkle(52, 309.6, 1.5))
        return g
    rest += sign(False)
    act += sign(True)
    return base, [('a19', rest, act)]


# ---------------------------------------------------------------- 7 Rumpelstiltskin

def rumpel():
    base, rest, act = [], [], []
    # the fire he dances round
    base.append(path('M494 208 L518 202 M494 202 L518 208', None, INK, 3.8) + path('M494 208 L518 202 M494 202 L518 208', None, WOOD, 2.4))
    base.append(path('M498 203 Q496 196 501 190 Q501 196 505 194 Q504 188 508 184 Q509 192 512 192 Q516 196 513 203 Z',
                     ORANGE, c('#b8501a'), 0.9))
    base.append(path('M501 203 Q501 198 504 196 Q505 199 507 198 Q509 200 509 203 Z', YELLOW, None))
    for (x, y) in [(500, 186), (514, 182)]:
        base.append(circle(x, y, 0.8, c('#fdb040'), None))

    def man(dance):
        g = []
        hat, coat, beard = c('#c3292a'), c('#6a8a38'), GREYHAIR
        if dance:
            # hopping on one leg, arms flung up, hat flying
            g.append(path('M503 174 L501 185 L498 185.6', None, INK, 2.6) + path('M503 174 L501 185 L498 185.6', None, c('#8a4a22'), 1.4))
            g.append(path('M508 174 L515 179 L517 176', None, INK, 2.6) + path('M508 174 L515 179 L517 176', None, c('#8a4a22'), 1.4))
            g.append(path('M500 164 Q505 160 511 164 L511 176 L500 176 Z', coat, INK, 0.9))
            g.append(path('M501 166 L493 156 M510 166 L519 156', None, INK, 2.6) + path('M501 166 L493 156 M510 166 L519 156', None, coat, 1.4))
            g.append(circle(492.4, 155, 1.6, SKIN, INK, 0.6) + circle(519.6, 155, 1.6, SKIN, INK, 0.6))
            g.append(circle(505.6, 157, 5, SKIN, INK, 0.9))
            g.append(path('M501.6 158 Q505.6 170 509.6 158 Q505.6 161 501.6 158 Z', beard, INK, 0.7))
            g.append(path('M502 153 L510 147 L518 144 L512 151 Z', hat, INK, 0.8))
            g.append(circle(503.6, 156, 0.7, INK, None) + circle(507.6, 156, 0.7, INK, None))
            g.append(path('M503.6 158.4 q2 1.6 4 0 Z', RED_SH, INK, 0.4))
            g.append(path('M496 146 l-2 -3 M515 162 l3 -1 M494 168 l-3 1', None, ORANGE, 0.8))
        else:
            # standing with his fists on his hips, hat on
            g.append(path('M502 176 L501 185 L498 185.6 M509 176 L510 185 L513 185.6', None, INK, 2.6))
            g.append(path('M502 176 L501 185 L498 185.6 M509 176 L510 185 L513 185.6', None, c('#8a4a22'), 1.4))
            g.append(path('M500 164 Q505.5 160 511 164 L512 177 L499 177 Z', coat, INK, 0.9))
            g.append(path('M500 166 L496 171 L500 174 M511 166 L515 171 L511 174', None, INK, 2.6))
            g.append(path('M500 166 L496 171 L500 174 M511 166 L515 171 L511 174', None, coat, 1.4))
            g.append(circle(505.5, 157, 5, SKIN, INK, 0.9))
            g.append(path('M501.5 158 Q505.5 172 509.5 158 Q505.5 161 501.5 158 Z', beard, INK, 0.7))
            g.append(path('M500 154 L505.5 143.4 L511 154 Z', hat, INK, 0.8))
            g.append(path('M500 154 L511 154', None, INK, 1.4))
            g.append(path('M503.4 156 l1.4 0.6 M507.6 156 l-1.4 0.6', None, INK, 0.7))
            g.append(path('M503.6 159.4 q2 -1 4 0', None, INK, 0.6))
        g.append(circle(502.6, 158, 0.8, CHEEK, None) + circle(508.4, 158, 0.8, CHEEK, None))
        g.append(path('M500.6 157 Q505.6 155.6 510.6 157', None, SKIN, 0.0))
        return g
    rest += man(False)
    act += man(True)
    return base, [('a11', rest, act)]


# ---------------------------------------------------------------- 8 Sleeping Beauty

def sleeping():
    base, rest, act = [], [], []
    # a little rose-covered tower with the princess asleep at its window
    base.append(rect(453, 258, 24, 42, STONE_LT, INK))
    base.append(path('M450 259 L465 246 L480 259 Z', PINK_SH, INK))
    base.append(path('M465 246 L480 259 L472 259 Z', c('#963c6c'), None))
    for (x, y) in [(455, 288), (468, 292), (458, 272)]:
        base.append(rect(x, y, 6, 3, STONE, None))
    base.append(path('M457 284 L457 270 Q465 261 473 270 L473 284 Z', c('#3a2a48'), INK))
    base.append(rect(456, 283, 18, 3, STONE, INK, 0.7))
    # briar and roses
    briar = 'M452 299 C448 288 458 282 454 272 C450 262 458 258 462 262 M478 298 C482 290 474 282 478 272 C481 264 474 260 470 262'
    base.append(path(briar, None, c('#2c5a28'), 1.4))
    for (x, y, col) in [(452, 290, RED), (455, 276, PINK), (478, 286, RED), (476, 272, PINK), (461, 262, RED),
                        (470, 262, PINK), (466, 298, RED)]:
        base.append(circle(x, y, 2.2, col, INK, 0.6) + circle(x, y, 0.8, c('#7a1420'), None))
    for (x, y) in [(450, 284), (480, 280), (457, 266)]:
        base.append(path('M%s %s q2 -3 4 0 q-2 2 -4 0 Z' % (x, y), LEAF, INK, 0.5))

    def princess(snore):
        g = []
        g.append(ellipse(465, 281, 7, 2.4, WHITE, INK, 0.6))
        g.append(path('M458 283 Q465 277 472 283 Z', c('#8a9ad8'), INK, 0.6))
        g.append(circle(463, 277.4, 3.6, SKIN, INK, 0.8))
        g.append(path('M459.4 277 Q459 272.6 463 272.8 Q467 272.6 466.6 277 Q465.4 274.6 463 274.6 Q460.6 274.6 459.4 277 Z', BLOND, INK, 0.6))
        g.append(path('M458.6 277 q-2 4 2 6', None, BLOND, 1.6))
        g.append(path('M461 271.6 L461.6 270 L463 271.2 L464.4 270 L465 271.6 Z', GOLD, GOLD_SH, 0.4))
        g.append(path('M461 277.6 q0.8 0.8 1.6 0 M463.8 277.6 q0.8 0.8 1.6 0', None, INK, 0.5))
        g.append(circle(461, 279, 0.7, CHEEK, None) + circle(465.8, 279, 0.7, CHEEK, None))
        if snore:
            g.append(circle(466.6, 279.6, 1.6, c('#dcecf8'), c('#7aa8d0'), 0.5))
            g.append(text(473, 270, 'z', 7, BLUE_SH) + text(478, 263, 'z', 8, BLUE_SH) + text(482, 255, 'Z', 9, BLUE_SH))
        else:
            g.append(text(472, 268, 'z', 6, BLUE_SH))
        return g
    rest += princess(False)
    act += princess(True)
    return base, [('a12', rest, act)]


# ---------------------------------------------------------------- 12 the word book

def wordbook():
    base, rest, act = [], [], []
    # a wooden lectern
    base.append(path('M500 344 L514 344 L518 358 L496 358 Z', WOOD, INK))
    base.append(path('M503 346 L506 356', None, WOOD_LT, 0.8))

    def book(open_wide):
        g = []
        g.append(path('M472 344 Q507 352 544 344 L542 314 Q507 322 474 314 Z', c('#8e2a2a'), INK, 1.0))
        lift = 3 if open_wide else 0
        g.append(path('M476 341 Q492 337 508 344 L508 318 Q492 %s 476 %s Z' % (310 - lift, 314 - lift), PAPER, INK, 0.9))
        g.append(path('M508 344 Q524 337 540 341 L540 %s Q524 %s 508 318 Z' % (314 - lift, 310 - lift), PAPER, INK, 0.9))
        g.append(line(508, 318, 508, 344, PAPER_SH, 1.0))
        g.append(text(492, 330, 'ABC', 8, RED))
        g.append(text(524, 330, 'xyz', 8, BLUE))
        for k in range(2):
            g.append(path('M480 %s Q492 %s 504 %s' % (334 + k * 3, 332 + k * 3, 336 + k * 3), None, c('#8a8a8a'), 0.5))
            g.append(path('M512 %s Q524 %s 536 %s' % (336 + k * 3, 332 + k * 3, 334 + k * 3), None, c('#8a8a8a'), 0.5))
        if open_wide:
            g.append('<ellipse cx="508" cy="314" rx="30" ry="12" fill="url(#glow)"/>')
            for (x, y, ch, col, sz) in [(486, 312, 'a', RED, 9), (500, 310, 'B', c('#2e8a3e'), 9), (516, 311, 'c', PURPLE, 9),
                                        (530, 312, 'D', BLUE, 9), (494, 319, 'e', ORANGE, 7), (523, 319, 'f', PINK_SH, 7)]:
                g.append(text(x, y, ch, sz, col))
            g.append(sparkle(476, 306, 2.2) + sparkle(542, 306, 2.2) + sparkle(509, 309, 1.6))
        return g
    rest += book(False)
    act += book(True)
    return base, [('a18', rest, act)]


# ---------------------------------------------------------------- the balloons

BALLOON_FILL, BALLOON_EDGE = c('#fffcf0'), c('#3a2418')

# region, rectangle in the scene, the side its tail leaves by, where along that
# side (0..1), the tail tip, and the lines it says.
BALLOONS = [
    (1, (55, 11, 120, 42), 'left', 0.55, (56, 38), ['To the ball!', 'Click my story!']),
    (2, (211, 162, 174, 72), 'left', 0.62, (212, 226), ['This porridge is', 'just right! Click to', 'hear my story.']),
    (3, (337, 6, 124, 71), 'right', 0.7, (460, 64), ['A house made', 'of sweets!', 'Come and see!']),
    (4, (85, 78, 155, 72), 'left', 0.75, (86, 146), ['Up, up, up I go!', 'Click the beanstalk', 'and climb with me!']),
    (5, (154, 267, 138, 71), 'right', 0.72, (291, 334), ['Off to Grandma\'s!', 'Will you walk', 'with me?']),
    (6, (91, 5, 107, 41), 'right', 0.62, (197, 36), ['Climb up my', 'golden hair!']),
    (7, (325, 124, 166, 41), 'right', 0.6, (490, 162), ['Guess my name,', 'then click my tale!']),
    (8, (291, 205, 174, 41), 'right', 0.8, (464, 245), ['Zzz... wake me', 'with a click! Zzz...']),
    (9, (7, 125, 173, 71), 'right', 0.65, (179, 190), ['Run, run, as fast', 'as you can! Click', 'to catch my story!']),
    (10, (111, 224, 153, 72), 'left', 0.7, (112, 290), ['Slow and steady', 'wins the race!', 'Click for our tale.']),
    (11, (157, 193, 173, 71), 'right', 0.78, (329, 262), ['Make a wish!', 'I\'ll pick a surprise', 'tale just for you!']),
]


def balloon(region, r, side, at, tip, lines):
    x, y, w, h = r
    t = 9  # room for the tail on its side
    bx, by, bw, bh = x + 1, y + 1, w - 2, h - 2
    if side == 'left':
        bx, bw = bx + t, bw - t
    elif side == 'right':
        bw -= t
    elif side == 'bottom':
        bh -= t
    radius = min(12, bh / 2.2)
    parts = []
    body = rect(bx, by, bw, bh, BALLOON_FILL, BALLOON_EDGE, 1.4, radius)
    if side in ('left', 'right'):
        edge = bx if side == 'left' else bx + bw
        ay = by + bh * at
        ay = min(max(ay, by + radius + 3), by + bh - radius - 3)
        tail = 'M%s %s L%s %s L%s %s Z' % (edge, ay - 4, tip[0], tip[1], edge, ay + 4)
        cover = 'M%s %s L%s %s' % (edge, ay - 3.2, edge, ay + 3.2)
    else:
        edge = by + bh
        ax = bx + bw * at
        ax = min(max(ax, bx + radius + 3), bx + bw - radius - 3)
        tail = 'M%s %s L%s %s L%s %s Z' % (ax - 5, edge, tip[0], tip[1], ax + 3, edge)
        cover = 'M%s %s L%s %s' % (ax - 4.2, edge, ax + 2.2, edge)
    parts.append(path(tail, BALLOON_FILL, BALLOON_EDGE, 1.4))
    parts.append(body)
    parts.append(path(cover, None, BALLOON_FILL, 2.2))
    # the words, centred in the body
    n = len(lines)
    size = 11 if bw > 110 else 10.5
    lead = 13
    top = by + (bh - n * lead) / 2.0 + size - 1.5
    for i, ln in enumerate(lines):
        parts.append(text(bx + bw / 2.0, round(top + i * lead), ln, size, c('#3a2418'), 'middle', 'bold', 'DejaVu Sans'))
    return group('b%d' % region, parts, hidden=True)


# ---------------------------------------------------------------- writing

def main():
    import sys
    out = sys.argv[1] if len(sys.argv) > 1 else HERE
    scene = [defs()] + background()
    for part in [cinderella, rapunzel, hansel, sound, jack, rumpel, gingerbread, goldilocks,
                 sleeping, well, race, home, redhood, wordbook]:
        base, anims = part()
        scene += base
        for a in anims:
            if a[0] == 'snd':
                scene.append(group('snd-on', a[1]))
                scene.append(group('snd-off', a[2], hidden=True))
                scene.append(group('snd-hover', a[3], hidden=True))
            else:
                scene.append(group(a[0] + '-rest', a[1]))
                scene.append(group(a[0] + '-active', a[2], hidden=True))
    head = ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<!-- Generated by make_scene.py: edit that, then run it. -->\n'
            '<svg xmlns="http://www.w3.org/2000/svg" width="550" height="370" viewBox="0 0 550 370">\n')
    with open(os.path.join(out, 'scene.svg'), 'w') as f:
        f.write(head + '\n'.join(scene) + '\n</svg>\n')
    with open(os.path.join(out, 'balloons.svg'), 'w') as f:
        f.write(head + '\n'.join(balloon(*b) for b in BALLOONS) + '\n</svg>\n')


if __name__ == '__main__':
    main()
