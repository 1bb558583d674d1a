#!/usr/bin/env python3
"""Writes the storybook's button glyphs: one SVG per button, 36 x 18, the
normal picture on the left half and the disabled one (the same drawing in
soft greys) on the right half. Run it after editing; the build renders the
SVGs (manifest.txt here)."""
import os
import re

OUTLINE = "#59361d"

# Each glyph is drawn in an 18 x 18 box, in the game's style: dark-brown
# outlines, flat fills, one darker shade for depth.
GLYPHS = {
    # An open book with a golden sparkle: a new story.
    "newstory": f"""
  <path d="M1.5,5.5 Q5,4 9,6 L9,16 Q5,14 1.5,15.5 Z" fill="#fffaf0" stroke="{OUTLINE}" stroke-width="1" stroke-linejoin="round"/>
  <path d="M16.5,5.5 Q13,4 9,6 L9,16 Q13,14 16.5,15.5 Z" fill="#f8f0db" stroke="{OUTLINE}" stroke-width="1" stroke-linejoin="round"/>
  <path d="M3.2,8.5 Q5.5,7.6 7.5,8.8 M3.2,11 Q5.5,10.1 7.5,11.3 M10.5,8.8 Q12.5,7.6 14.8,8.5" stroke="#a08a62" stroke-width="0.9" fill="none" stroke-linecap="round"/>
  <path d="M14,0.6 L15,3 L17.4,4 L15,5 L14,7.4 L13,5 L10.6,4 L13,3 Z" fill="#ffd21f" stroke="#b47a00" stroke-width="0.7" stroke-linejoin="round"/>""",
    # A folder with a story page peeking out: a saved story.
    "readsave": f"""
  <path d="M4,2.5 L13.5,2.5 L13.5,12 L4,12 Z" fill="#fffaf0" stroke="{OUTLINE}" stroke-width="0.9"/>
  <path d="M5.6,5 L11.8,5 M5.6,7 L11.8,7 M5.6,9 L10,9" stroke="#a08a62" stroke-width="0.9" stroke-linecap="round"/>
  <path d="M1,6.5 L6,6.5 L7.3,8 L17,8 L17,16.5 L1,16.5 Z" fill="#e0a042" stroke="{OUTLINE}" stroke-width="1" stroke-linejoin="round"/>
  <path d="M1,9.5 L17,9.5" stroke="#b8782a" stroke-width="1"/>""",
    # A printer with a sheet coming out.
    "print": f"""
  <path d="M4.5,1 L13.5,1 L13.5,7 L4.5,7 Z" fill="#fffaf0" stroke="{OUTLINE}" stroke-width="0.9"/>
  <path d="M1.5,6.5 L16.5,6.5 L16.5,13.5 L1.5,13.5 Z" fill="#8fa3b8" stroke="{OUTLINE}" stroke-width="1" stroke-linejoin="round"/>
  <path d="M2.5,11 L15.5,11" stroke="#61738a" stroke-width="1"/>
  <circle cx="14" cy="8.7" r="1" fill="#3cc36a"/>
  <path d="M4.5,11.5 L13.5,11.5 L13.5,17 L4.5,17 Z" fill="#fffaf0" stroke="{OUTLINE}" stroke-width="0.9"/>
  <path d="M6,13.5 L12,13.5 M6,15.3 L10.5,15.3" stroke="#a08a62" stroke-width="0.9" stroke-linecap="round"/>""",
    # A green arrow down into a wooden chest: keep the story.
    "save": f"""
  <path d="M1.5,10 L16.5,10 L16.5,17 L1.5,17 Z" fill="#b7773d" stroke="{OUTLINE}" stroke-width="1" stroke-linejoin="round"/>
  <path d="M1.5,12.5 L16.5,12.5" stroke="#8a5226" stroke-width="1"/>
  <path d="M7.8,12 L10.2,12 L10.2,14.5 L7.8,14.5 Z" fill="#ffd21f" stroke="{OUTLINE}" stroke-width="0.7"/>
  <path d="M7,1 L11,1 L11,5.5 L14,5.5 L9,10.5 L4,5.5 L7,5.5 Z" fill="#3cc36a" stroke="#1d6b3a" stroke-width="0.9" stroke-linejoin="round"/>""",
    # Two sheets, one over the other: a copy.
    "copy": f"""
  <path d="M1.5,1.5 L10.5,1.5 L10.5,12.5 L1.5,12.5 Z" fill="#f8f0db" stroke="{OUTLINE}" stroke-width="0.9"/>
  <path d="M3,4 L9,4 M3,6 L9,6 M3,8 L7,8" stroke="#a08a62" stroke-width="0.9" stroke-linecap="round"/>
  <path d="M7.5,5.5 L16.5,5.5 L16.5,16.5 L7.5,16.5 Z" fill="#fffaf0" stroke="{OUTLINE}" stroke-width="0.9"/>
  <path d="M9,8 L15,8 M9,10 L15,10 M9,12 L15,12 M9,14 L13,14" stroke="#4a8fd0" stroke-width="0.9" stroke-linecap="round"/>""",
    # A picture book to keep: a red cover with a framed picture on it.
    "picbook": f"""
  <path d="M3,1.5 L16,1.5 L16,16.5 L3,16.5 Z" fill="#c8463a" stroke="{OUTLINE}" stroke-width="1" stroke-linejoin="round"/>
  <path d="M3,1.5 L5.5,1.5 L5.5,16.5 L3,16.5 Z" fill="#8f2a22" stroke="{OUTLINE}" stroke-width="0.8"/>
  <path d="M7.5,4 L14,4 L14,11 L7.5,11 Z" fill="#bfe3f5" stroke="#fffaf0" stroke-width="0.9"/>
  <path d="M7.9,10.6 Q10.2,7.6 13.6,9.2 L13.6,10.6 Z" fill="#3cc36a"/>
  <circle cx="12" cy="6.2" r="1.1" fill="#ffd21f"/>
  <path d="M8,13.6 L13.5,13.6" stroke="#ffd21f" stroke-width="0.9" stroke-linecap="round"/>""",
    # A talking book: a green book with the waves of a voice coming from it.
    "talkbook": f"""
  <path d="M1.5,2.5 L11,2.5 L11,15.5 L1.5,15.5 Z" fill="#3c9c5a" stroke="{OUTLINE}" stroke-width="1" stroke-linejoin="round"/>
  <path d="M1.5,2.5 L3.8,2.5 L3.8,15.5 L1.5,15.5 Z" fill="#26703d" stroke="{OUTLINE}" stroke-width="0.8"/>
  <path d="M5.5,6 L9.5,6 M5.5,8.5 L9.5,8.5 M5.5,11 L8.5,11" stroke="#fffaf0" stroke-width="0.9" stroke-linecap="round"/>
  <path d="M12.8,6.8 Q14,9 12.8,11.2" fill="none" stroke="#d9a443" stroke-width="1.2" stroke-linecap="round"/>
  <path d="M14.6,5 Q16.6,9 14.6,13" fill="none" stroke="#d9a443" stroke-width="1.2" stroke-linecap="round"/>""",
}


def grey(match):
    """A colour as a soft grey of about its lightness, lifted towards white."""
    h = match.group(1)
    r, g, b = int(h[0:2], 16), int(h[2:4], 16), int(h[4:6], 16)
    lum = 0.299 * r + 0.587 * g + 0.114 * b
    v = int(150 + lum / 255 * 95)
    return "#%02x%02x%02x" % (v, v, v)


def write(name, body):
    disabled = re.sub(r"#([0-9a-fA-F]{6})", grey, body)
    svg = f"""<?xml version="1.0" encoding="UTF-8"?>
<!-- Written by make_glyphs.py: edit that, not this. The "{name}" button
     glyph, 36 x 18: the normal picture (left) and the disabled one (right). -->
<svg xmlns="http://www.w3.org/2000/svg" version="1.1" width="36" height="18" viewBox="0 0 36 18">
 <g>{body}
 </g>
 <g transform="translate(18,0)">{disabled}
 </g>
</svg>
"""
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), name + ".svg"), "w") as f:
        f.write(svg)


for n, b in GLYPHS.items():
    write(n, b)
