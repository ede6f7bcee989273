"""The two gamepads, drawn from the rectangles of the layout file.

A pad picture is a body around its direction pad and buttons; every control
is drawn inside its own rectangle, so the editor's hit tests and the test
page's overlays land on it. The editor and the applet draw the same pad at
different sizes from different tables; the styles below keep them alike.
"""

from PIL import Image, ImageChops, ImageDraw, ImageFilter

import paint
from paint import S, darken, lighten, mix

# The looks of the two models: the 10-button pad is graphite with coloured
# buttons, the 12-button pad silver with dark buttons.
STYLES = {
    "10": dict(body_top=(74, 82, 98), body_bottom=(38, 43, 54), rim=(12, 14, 20),
               highlight=(128, 138, 160), dpad=(30, 33, 40), disc=(52, 58, 70),
               small=(96, 102, 116), shoulder=(58, 64, 78), glyph=(236, 240, 248),
               lit=(255, 236, 120), glow=(255, 196, 40),
               faces=[(214, 56, 56), (236, 168, 40), (60, 170, 84), (48, 112, 220),
                      (142, 84, 210), (30, 170, 176)]),
    "12": dict(body_top=(222, 226, 234), body_bottom=(160, 167, 180), rim=(70, 76, 90),
               highlight=(250, 252, 255), dpad=(50, 54, 64), disc=(186, 192, 204),
               small=(120, 126, 140), shoulder=(110, 116, 130), glyph=(240, 244, 250),
               lit=(255, 236, 120), glow=(255, 150, 30),
               faces=[(56, 60, 72)] * 6),
}
FACE_GLYPHS = ["A", "B", "C", "X", "Y", "Z"]

# What kind of control each input is (index 4 + button bit).
KINDS = {
    "10": {10: "shoulder", 11: "shoulder", 12: "small", 13: "small"},
    "12": {10: "shoulder", 11: "shoulder", 12: "small", 13: "small", 14: "trigger",
           15: "trigger"},
}
GLYPHS = {10: "L", 11: "R", 14: "L2", 15: "R2"}


class Geometry:
    """Where the controls of one picture are: arms of the direction pad
    (up, down, left, right tip rectangles), the disc around it, optional
    diagonal indicator rectangles, and one rectangle per button input
    (index 4 and up)."""

    def __init__(self, model, arms, disc, buttons, diagonals=None):
        self.model = model
        self.arms = arms
        self.disc = disc
        self.buttons = buttons
        self.diagonals = diagonals or []


def editor_geometry(model, data):
    m = data["models"][model]
    ox, oy = data["view"]["rects"]["padPicture"][:2]

    def rel(r):
        return (r[0] - ox, r[1] - oy, r[2] - ox, r[3] - oy)

    buttons = {k: rel(m["picture"][k]) for k in range(4, m["inputs"])}
    return Geometry(model, [rel(r) for r in m["picture"][:4]], rel(m["dpadReleased"]), buttons)


def test_geometry(model, lay):
    ov = [tuple(r) for r in lay["overlays"]]
    buttons = {4 + k: ov[9 + k] for k in range(len(lay["buttons"]))}
    return Geometry(model, ov[1:5], ov[0], buttons, diagonals=ov[5:9])


def centre(r):
    return ((r[0] + r[2] + 1) / 2, (r[1] + r[3] + 1) / 2)


def _union(rects):
    return (min(r[0] for r in rects), min(r[1] for r in rects), max(r[2] for r in rects),
            max(r[3] for r in rects))


def _grow(r, d):
    return (r[0] - d, r[1] - d, r[2] + d, r[3] + d)


def body_mask(c, g):
    """The body: a rounded bridge between two grips, one around the direction
    pad and one around the face buttons."""
    mask = c.mask()
    d = ImageDraw.Draw(mask)

    def ell(r):
        d.ellipse(c.box(r), fill=255)

    def rr(r, rad):
        b = c.box(r)
        d.rounded_rectangle(b, min(rad * S, (b[2] - b[0]) / 2, (b[3] - b[1]) / 2), fill=255)

    faces = [g.buttons[k] for k in range(4, 10)]
    others = [g.buttons[k] for k in g.buttons if KINDS[g.model].get(k) in ("small", "trigger")]
    dpad = g.disc
    fx = _union(faces)
    dw = dpad[2] - dpad[0] + 1
    fw = max(fx[2] - fx[0], fx[3] - fx[1]) + 1
    r1 = dw * 0.86
    r2 = fw * 0.6
    cx1, cy1 = centre(dpad)
    cx2, cy2 = centre(fx)
    ell((cx1 - r1, cy1 - r1 * 0.92, cx1 + r1, cy1 + r1 * 0.92))
    ell((cx2 - r2, cy2 - r2 * 0.92, cx2 + r2, cy2 + r2 * 0.92))
    # Grips hang below and outwards.
    gr1 = r1 * 0.62
    gr2 = r2 * 0.6
    ell((cx1 - r1 * 0.55 - gr1, cy1 + r1 * 0.35 - gr1, cx1 - r1 * 0.55 + gr1, cy1 + r1 * 0.35 + gr1 * 1.5))
    ell((cx2 + r2 * 0.5 - gr2, cy2 + r2 * 0.35 - gr2, cx2 + r2 * 0.5 + gr2, cy2 + r2 * 0.35 + gr2 * 1.5))
    top = min(cy1 - r1 * 0.8, cy2 - r2 * 0.8)
    for o in others:
        top = min(top, o[1] - 3)
    bottom = max(cy1, cy2) + min(r1, r2) * 0.62
    rr((cx1, top, cx2, bottom), 10)
    for o in others:
        rr(_grow(o, 4), 6)
    return mask


def _bevelled_fill(c, mask, top, bottom, rim, highlight, box):
    grown = mask.filter(ImageFilter.MaxFilter(2 * S + 1))
    c.image.paste(rim, (0, 0), grown)
    c.image.paste(bottom, (0, 0), mask)
    c.vgradient(box, top, bottom, mask)
    shifted = ImageChops.offset(mask, 0, int(1.5 * S))
    edge = ImageChops.subtract(mask, shifted)
    c.image.paste(highlight, (0, 0), edge.point(lambda v: v * 3 // 5))
    shifted = ImageChops.offset(mask, 0, -int(1.5 * S))
    edge = ImageChops.subtract(mask, shifted)
    c.image.paste(darken(bottom, 0.35), (0, 0), edge.point(lambda v: v * 3 // 5))


def draw_body(c, g, style, shadow=True):
    mask = body_mask(c, g)
    c.body_mask = mask
    box = (0, 0, c.width - 1, c.height - 1)
    if shadow:
        sh = ImageChops.offset(mask, int(2 * S), int(4 * S)).filter(ImageFilter.BoxBlur(3 * S))
        c.image.paste((0, 0, 0), (0, 0), sh.point(lambda v: v * 2 // 5))
    # Shoulder buttons sit on the top edge, behind the body.
    for k, r in g.buttons.items():
        if KINDS[g.model].get(k) == "shoulder":
            draw_shoulder(c, r, style, False, behind=True)
    ys = [r[1] for r in g.buttons.values()] + [g.disc[1]]
    ye = [r[3] for r in g.buttons.values()] + [g.disc[3]]
    span = (box[0], max(0, min(ys) - 12), box[2], min(box[3], max(ye) + 36))
    _bevelled_fill(c, mask, style["body_top"], style["body_bottom"], style["rim"],
                   style["highlight"], span)
    # A recessed ring around the direction pad.
    dpad = g.disc
    c.ellipse(_grow(dpad, 1), fill=darken(style["body_bottom"], 0.3))
    c.ellipse(dpad, fill=style["disc"])
    c.ellipse(dpad, outline=lighten(style["disc"], 0.25), width=0.6, inset=0.8)


def _arm_rects(g):
    up, down, left, right = g.arms
    vertical = (up[0], up[1], up[2], down[3])
    horizontal = (left[0], left[1], right[2], left[3])
    return vertical, horizontal


def draw_dpad(c, g, style, lit=None):
    """The cross; `lit` is 0..3 for a lit arm, 4..7 for a lit diagonal."""
    vertical, horizontal = _arm_rects(g)
    base = style["dpad"]
    rad = (vertical[2] - vertical[0]) * 0.22
    for r in (vertical, horizontal):
        c.rounded(_grow(r, 0.6), rad, fill=darken(base, 0.5))
    for r in (vertical, horizontal):
        c.rounded(r, rad, fill=base)
    # Soft top light on each arm.
    c.rounded((vertical[0] + 1, vertical[1] + 1, vertical[2] - 1, vertical[1] + 2), 1,
              fill=lighten(base, 0.3))
    c.rounded((horizontal[0] + 1, horizontal[1] + 1, horizontal[2] - 1, horizontal[1] + 1.5), 1,
              fill=lighten(base, 0.2))
    cx, cy = centre((vertical[0], horizontal[1], vertical[2], horizontal[3]))
    hub = (vertical[2] - vertical[0] + 1) * 0.28
    c.ellipse((cx - hub, cy - hub, cx + hub - 1, cy + hub - 1), fill=darken(base, 0.35))
    for i, arm in enumerate(g.arms):
        on = lit == i
        if on:
            c.rounded(arm, rad, fill=style["glow"])
            c.rounded(arm, rad, fill=style["lit"], inset=1.2)
        _arrow(c, arm, i, (40, 30, 10) if on else lighten(base, 0.45))
    for i, r in enumerate(g.diagonals):
        on = lit == 4 + i
        cx2, cy2 = centre(r)
        rad2 = min(r[2] - r[0], r[3] - r[1]) * (0.42 if on else 0.22)
        c.ellipse((cx2 - rad2, cy2 - rad2, cx2 + rad2 - 1, cy2 + rad2 - 1),
                  fill=style["lit"] if on else darken(style["disc"], 0.25))
        if on:
            c.ellipse((cx2 - rad2, cy2 - rad2, cx2 + rad2 - 1, cy2 + rad2 - 1),
                      outline=style["glow"], width=1)


def _arrow(c, r, direction, colour):
    cx, cy = centre(r)
    w = min(r[2] - r[0] + 1, r[3] - r[1] + 1)
    s = max(1.6, w * 0.28)
    pts = {0: [(cx, cy - s), (cx - s, cy + s * 0.6), (cx + s, cy + s * 0.6)],
           1: [(cx, cy + s), (cx - s, cy - s * 0.6), (cx + s, cy - s * 0.6)],
           2: [(cx - s, cy), (cx + s * 0.6, cy - s), (cx + s * 0.6, cy + s)],
           3: [(cx + s, cy), (cx - s * 0.6, cy - s), (cx - s * 0.6, cy + s)]}[direction]
    c.draw.polygon([c.p(x, y) for x, y in pts], fill=colour)


def _glyph(c, r, text, colour, scale=0.55):
    h = min(r[2] - r[0] + 1, r[3] - r[1] + 1)
    size = max(5, h * scale)
    face = paint.font("bold", size)
    cx, cy = centre(r)
    c.text((cx, cy), text, colour, face, anchor="mm")


def draw_round(c, r, colour, glyph, style, lit):
    c.ellipse(r, fill=darken(colour, 0.55), inset=0.2)
    if lit:
        c.ellipse(r, fill=style["glow"], inset=0.2)
        c.ellipse(r, fill=lighten(style["lit"], 0.35), inset=1.4)
        c.ellipse(r, fill=lighten(colour, 0.72), inset=2.6)
        _glyph(c, r, glyph, darken(colour, 0.45))
    else:
        base = darken(colour, 0.12)
        c.ellipse(r, fill=base, inset=1.0)
        c.ellipse((r[0], r[1], r[2], r[1] + (r[3] - r[1]) * 0.55), fill=lighten(base, 0.14),
                  inset=2.0)
        _glyph(c, r, glyph, lighten(base, 0.6))


def draw_shoulder(c, r, style, lit, behind=False, glyph=""):
    base = style["shoulder"]
    rad = min(r[2] - r[0], r[3] - r[1]) * 0.45
    if behind:
        c.rounded(r, rad, fill=darken(base, 0.5))
        c.rounded(r, rad, fill=base, inset=1.0)
        c.rounded((r[0], r[1], r[2], r[1] + (r[3] - r[1]) * 0.4), rad, fill=lighten(base, 0.2),
                  inset=2.0)
        return
    if lit:
        c.rounded(r, rad, fill=style["glow"], inset=0.3)
        c.rounded(r, rad, fill=style["lit"], inset=2.0)


def draw_small(c, r, style, lit):
    base = style["small"]
    w, h = r[2] - r[0] + 1, r[3] - r[1] + 1
    cx, cy = centre(r)
    hw, hh = w * 0.42, min(h * 0.30, w * 0.25)
    pill = (cx - hw, cy - hh, cx + hw - 1, cy + hh - 1)
    c.rounded(_grow(pill, 0.8), hh, fill=darken(base, 0.6))
    c.rounded(pill, hh, fill=style["lit"] if lit else base)
    if lit:
        c.rounded(_grow(pill, 0.8), hh + 0.8, outline=style["glow"], width=1)


def draw_trigger(c, r, style, lit, glyph):
    base = style["shoulder"]
    rad = min(r[2] - r[0], r[3] - r[1]) * 0.35
    c.rounded(r, rad, fill=darken(base, 0.5), inset=0.5)
    c.rounded(r, rad, fill=style["glow"] if lit else base, inset=1.5)
    if lit:
        c.rounded(r, rad, fill=style["lit"], inset=3)
    _glyph(c, r, glyph, (30, 20, 0) if lit else lighten(base, 0.7), 0.38)


def draw_button(c, g, style, k, lit):
    r = g.buttons[k]
    kind = KINDS[g.model].get(k, "face")
    if kind == "face":
        draw_round(c, r, style["faces"][k - 4], FACE_GLYPHS[k - 4], style, lit)
    elif kind == "shoulder":
        draw_shoulder(c, r, style, lit)
        _glyph(c, r, GLYPHS[k], (30, 20, 0) if lit else lighten(style["shoulder"], 0.7), 0.42)
    elif kind == "small":
        draw_small(c, r, style, lit)
    else:
        draw_trigger(c, r, style, lit, GLYPHS[k])


class PadPicture:
    """One pad picture with its released state and single lit controls.

    `background(canvas)` paints what lies behind the pad (and may add label
    boxes); lit(...) gives the picture with one control lit."""

    def __init__(self, width, height, g, background, extra=None):
        self.g = g
        self.style = STYLES[g.model]
        c = paint.Canvas(width, height)
        background(c)
        draw_body(c, g, self.style)
        self.body_mask = c.body_mask
        draw_dpad(c, g, self.style)
        for k in sorted(g.buttons):
            draw_button(c, g, self.style, k, False)
        if extra:
            extra(c)
        self.hi = c.image
        self.released = c.result()
        self.width, self.height = width, height

    def lit(self, which, rect):
        """The picture cut to `rect` with control `which` lit: ("arm", i),
        ("diagonal", i) or ("button", input)."""
        margin = 3
        l = max(0, rect[0] - margin)
        t = max(0, rect[1] - margin)
        r = min(self.width - 1, rect[2] + margin)
        b = min(self.height - 1, rect[3] + margin)
        hi = self.hi.crop((l * S, t * S, (r + 1) * S, (b + 1) * S))
        c = paint.Canvas(r - l + 1, b - t + 1, image=hi, origin=(l, t))
        kind, i = which
        if kind == "arm":
            draw_dpad(c, self.g, self.style, lit=i)
        elif kind == "diagonal":
            draw_dpad(c, self.g, self.style, lit=4 + i)
        else:
            draw_button(c, self.g, self.style, i, True)
            if KINDS[self.g.model].get(i) == "shoulder":
                # The body hides the lower part of a shoulder button.
                box = (l * S, t * S, (r + 1) * S, (b + 1) * S)
                c.image.paste(self.hi.crop(box), (0, 0), self.body_mask.crop(box))
        lo = c.result()
        return lo.crop((rect[0] - l, rect[1] - t, rect[2] - l + 1, rect[3] - t + 1))

    def cut(self, rect):
        return self.released.crop((rect[0], rect[1], rect[2] + 1, rect[3] + 1))


def lit_released_dpad(pic, rect):
    return pic.cut(rect)


def fit_geometry(g, scale, dx, dy):
    def t(r):
        return (r[0] * scale + dx, r[1] * scale + dy, (r[2] + 1) * scale + dx - 1,
                (r[3] + 1) * scale + dy - 1)

    return Geometry(g.model, [t(r) for r in g.arms], t(g.disc),
                    {k: t(r) for k, r in g.buttons.items()}, [t(r) for r in g.diagonals])


def mix_colour(a, b, t):
    return mix(a, b, t)
