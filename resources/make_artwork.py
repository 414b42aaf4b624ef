#!/usr/bin/env python3
"""Writes the instrument artwork SVGs into the given folder.

The SVG files are kept in the repository and compiled into the program; this script
keeps the twenty pictures consistent with each other (colours, key shape, lamp
spots). Edit it and run `python3 resources/make_artwork.py resources/artwork`.
Only the SVG Tiny 1.2 subset that QtSvg renders is used: no filters, no CSS.
"""
import os, sys

OUT = sys.argv[1]
# The letters' font is shipped with the program (see ui/artwork_pixmap.cpp), so they look the
# same on every system; it has Arial's metrics.
FONT = 'font-family="Liberation Sans"'

STRIP = "#1b1e22"
STRIP_LINE = "#4d545b"
KINDS = {
    "43": dict(body_top="#40464c", body_bottom="#2f3338", key_top="#5f666e", key_bottom="#4a5057",
               key_side="#25292d", key_pressed_top="#3c4147", key_pressed_bottom="#4b5158",
               badge="#2f6f9f", badge_text="#ffffff", badge_label="4.3"),
    "80": dict(body_top="#3b4652", body_bottom="#2b333c", key_top="#5a6774", key_bottom="#46515c",
               key_side="#222930", key_pressed_top="#38424c", key_pressed_bottom="#47525d",
               badge="#d08c1f", badge_text="#1b1e22", badge_label="8.0"),
}
CAPTION = "#bcc2c8"
LEGEND = "#f3f5f7"
KEYS = [("t", "T"), ("0", "0"), ("f1", "F1"), ("f2", "F2")]
KEY_CELLS = [23, 82, 140, 198]
KEY_TOP = 148
LAMP_X = [43, 101, 159, 217]
LAMP_Y = 103
LAMP_CAPTIONS = ["ТАРА", "→0←", "СТАБ", "ВЫХОД"]


def svg(w, h, body, comment):
    return (f'<?xml version="1.0" encoding="UTF-8"?>\n'
            f'<!-- {comment} -->\n'
            f'<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" '
            f'width="{w}" height="{h}" viewBox="0 0 {w} {h}">\n{body}</svg>\n')


def write(name, text):
    with open(os.path.join(OUT, name + ".svg"), "w", encoding="utf-8") as f:
        f.write(text)


def key_shape(dx, dy, k, legend, pressed):
    """One key drawn in a 58 x 58 cell whose origin is (dx, dy)."""
    face_y = dy + (4 if pressed else 2)
    top, bottom = (k["key_pressed_top"], k["key_pressed_bottom"]) if pressed else (k["key_top"], k["key_bottom"])
    gid = f'face{"P" if pressed else ""}{dx}'
    out = (f'  <defs>\n'
           f'    <linearGradient id="{gid}" gradientUnits="userSpaceOnUse" x1="0" y1="{face_y}" x2="0" y2="{face_y + 52}">\n'
           f'      <stop offset="0" stop-color="{top}"/>\n'
           f'      <stop offset="1" stop-color="{bottom}"/>\n'
           f'    </linearGradient>\n'
           f'  </defs>\n')
    # The side of the key, visible below the face: 3 px when up, 1 px when pressed.
    out += f'  <rect x="{dx + 2}" y="{dy + 5}" width="54" height="52" rx="6" ry="6" fill="{k["key_side"]}"/>\n'
    out += f'  <rect x="{dx + 2}" y="{face_y}" width="54" height="52" rx="6" ry="6" fill="url(#{gid})"/>\n'
    if pressed:
        out += f'  <rect x="{dx + 8}" y="{face_y + 0.5}" width="42" height="1.5" fill="#000000" fill-opacity="0.35"/>\n'
    else:
        out += f'  <rect x="{dx + 7}" y="{face_y + 0.5}" width="44" height="1" fill="#ffffff" fill-opacity="0.22"/>\n'
    colour = "#d9dde1" if pressed else LEGEND
    out += (f'  <text x="{dx + 29}" y="{face_y + 32.5}" {FONT} font-size="19" font-weight="bold" '
            f'text-anchor="middle" fill="{colour}">{legend}</text>\n')
    return out


def front(kind):
    k = KINDS[kind]
    b = (f'  <defs>\n'
         f'    <linearGradient id="body" gradientUnits="userSpaceOnUse" x1="0" y1="21" x2="0" y2="140">\n'
         f'      <stop offset="0" stop-color="{k["body_top"]}"/>\n'
         f'      <stop offset="1" stop-color="{k["body_bottom"]}"/>\n'
         f'    </linearGradient>\n'
         f'    <linearGradient id="glass" gradientUnits="userSpaceOnUse" x1="0" y1="35" x2="0" y2="95">\n'
         f'      <stop offset="0" stop-color="#0b0d0d"/>\n'
         f'      <stop offset="1" stop-color="#171b1a"/>\n'
         f'    </linearGradient>\n'
         f'    <radialGradient id="lampOff" cx="0.42" cy="0.38" r="0.6">\n'
         f'      <stop offset="0" stop-color="#3a423c"/>\n'
         f'      <stop offset="1" stop-color="#151917"/>\n'
         f'    </radialGradient>\n'
         f'  </defs>\n')
    b += '  <!-- body: the window outline runs from x 5 to 273 with 15 px corners -->\n'
    b += f'  <rect x="5" y="0" width="268" height="227" rx="15" ry="15" fill="url(#body)"/>\n'
    b += f'  <rect x="5.5" y="0.5" width="267" height="226" rx="14.5" ry="14.5" fill="none" stroke="#121417" stroke-width="1"/>\n'
    b += '  <!-- title strip; the minimize (184,0) and close (209,0) buttons are drawn over it -->\n'
    b += f'  <path d="M5,20 V15 A15,15 0 0 1 20,0 H258 A15,15 0 0 1 273,15 V20 Z" fill="{STRIP}"/>\n'
    b += f'  <rect x="5" y="20" width="268" height="1" fill="{STRIP_LINE}"/>\n'
    b += f'  <text x="20" y="14.5" {FONT} font-size="11" font-weight="bold" fill="#d9dde1">ZORVAN</text>\n'
    b += f'  <rect x="76" y="4" width="26" height="12" rx="2" ry="2" fill="{k["badge"]}"/>\n'
    b += (f'  <text x="89" y="13.5" {FONT} font-size="9.5" font-weight="bold" text-anchor="middle" '
          f'fill="{k["badge_text"]}">{k["badge_label"]}</text>\n')
    b += '  <!-- indicator window for the six characters -->\n'
    b += f'  <rect x="22" y="32" width="234" height="66" rx="4" ry="4" fill="#121417"/>\n'
    b += f'  <rect x="24" y="98" width="230" height="1" fill="#ffffff" fill-opacity="0.10"/>\n'
    b += f'  <rect x="26" y="35" width="224" height="60" rx="2" ry="2" fill="url(#glass)"/>\n'
    b += f'  <path d="M28,37 H248 V52 C180,47 100,47 28,55 Z" fill="#ffffff" fill-opacity="0.035"/>\n'
    if kind == "80":
        b += '  <!-- discrete-output switch: clicking inside 208..248 x 104..144 toggles the output -->\n'
        b += f'  <rect x="208.5" y="104.5" width="40" height="40" rx="4" ry="4" fill="#ffffff" fill-opacity="0.06" stroke="#8a949e" stroke-width="1"/>\n'
    b += '  <!-- lamps, unlit; the lit pictures are laid over these spots -->\n'
    for x, caption in zip(LAMP_X, LAMP_CAPTIONS):
        cx, cy = x + 10, LAMP_Y + 10
        b += f'  <circle cx="{cx}" cy="{cy}" r="6.5" fill="#0d0f0e"/>\n'
        b += f'  <circle cx="{cx}" cy="{cy}" r="5.5" fill="url(#lampOff)"/>\n'
        b += (f'  <text x="{cx}" y="138" {FONT} font-size="8" font-weight="bold" text-anchor="middle" '
              f'fill="{CAPTION}">{caption}</text>\n')
    b += '  <!-- keys T, 0, F1, F2 in their hit areas (row 148..205) -->\n'
    for cell, (_, legend) in zip(KEY_CELLS, KEYS):
        b += key_shape(cell, KEY_TOP, k, legend, False)
    comment = f"Front of a {k['badge_label']} kind instrument, 278 x 227"
    if kind == "43":
        comment += "; the keyboard-lock check box sits at (33,207) 225 x 17"
    write(f"front_{kind}", svg(278, 227, b, comment))


def pressed_key(kind, name, legend):
    k = KINDS[kind]
    b = f'  <rect x="0" y="0" width="58" height="58" fill="{k["body_bottom"]}"/>\n'
    b += key_shape(0, 0, k, legend, True)
    write(f"key_{name}_{kind}", svg(58, 58, b, f"Key {legend} pressed, {k['badge_label']} kind, 58 x 58"))


def lamp(name, core, mid, edge, what):
    b = (f'  <defs>\n'
         f'    <radialGradient id="core" cx="0.42" cy="0.38" r="0.62">\n'
         f'      <stop offset="0" stop-color="{core}"/>\n'
         f'      <stop offset="0.55" stop-color="{mid}"/>\n'
         f'      <stop offset="1" stop-color="{edge}"/>\n'
         f'    </radialGradient>\n'
         f'  </defs>\n'
         f'  <circle cx="10" cy="10" r="10" fill="{mid}" fill-opacity="0.18"/>\n'
         f'  <circle cx="10" cy="10" r="8.5" fill="{mid}" fill-opacity="0.25"/>\n'
         f'  <circle cx="10" cy="10" r="6.5" fill="#0d0f0e"/>\n'
         f'  <circle cx="10" cy="10" r="5.5" fill="url(#core)"/>\n')
    write(f"lamp_{name}", svg(20, 20, b, f"{what} lamp lit, 20 x 20"))


def title_button(name, w, bg, glyph_colour, what):
    b = f'  <rect x="0" y="0" width="{w}" height="20" fill="{bg}"/>\n'
    if name.startswith("minimize"):
        b += f'  <rect x="9" y="12.5" width="10" height="1.5" fill="{glyph_colour}"/>\n'
    else:
        b += (f'  <path d="M18.5,5.5 L27.5,14.5 M27.5,5.5 L18.5,14.5" fill="none" stroke="{glyph_colour}" '
              f'stroke-width="1.5" stroke-linecap="round"/>\n')
    write(name, svg(w, 20, b, what))


os.makedirs(OUT, exist_ok=True)
for kind in KINDS:
    front(kind)
    for name, legend in KEYS:
        pressed_key(kind, name, legend)
GREEN = ("#eaffd0", "#8be04a", "#3f8f1f")
lamp("tare", *GREEN, "Tare")
lamp("zero", *GREEN, "Zero")
lamp("stab", *GREEN, "Stability")
lamp("output", "#fff0d0", "#ffa12e", "#b5560c", "Discrete output")
title_button("minimize_normal", 28, STRIP, "#c5cad0", "Minimize button, normal, 28 x 20")
title_button("minimize_hover", 28, "#3b4249", "#ffffff", "Minimize button, under the mouse, 28 x 20")
title_button("minimize_pressed", 28, "#0f1114", "#9aa1a8", "Minimize button, pressed, 28 x 20")
title_button("close_normal", 46, STRIP, "#c5cad0", "Close button, normal, 46 x 20")
title_button("close_hover", 46, "#c42b1c", "#ffffff", "Close button, under the mouse, 46 x 20")
title_button("close_pressed", 46, "#8e1d12", "#ecc9c4", "Close button, pressed, 46 x 20")
