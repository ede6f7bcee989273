"""The editor's pictures (KLOOM_RS.DLL): the console-like skin and every part
of it that the view redraws in another state, the picture menus, the option
strip panels, label boxes, pad selector icons, the two pads with their lit
inputs, their print versions and the logo animation.

Most pictures are cut from whole-view renderings in the matching state, so a
part drawn over the skin always meets it seamlessly.
"""

import math

import paint
import pads
from paint import S, darken, lighten, mix

BG_TOP = (26, 33, 50)
BG_BOTTOM = (10, 13, 21)
PANEL = (30, 38, 57)
PANEL_HI = (66, 80, 110)
PANEL_LO = (7, 9, 15)
SCREEN = (4, 11, 19)
SCREEN_LINE = (14, 30, 44)
ACCENT = (0, 196, 226)
ACCENT_DARK = (0, 92, 128)
AMBER = (255, 176, 40)
TEXT = (206, 218, 236)
DIM = (108, 124, 152)
RED = (196, 46, 46)
SELECTOR_TOP = (226, 232, 242)
SELECTOR_BOTTOM = (190, 200, 216)

MODE_TITLES = ["KEYS", "MACRO", "CYCLE"]


def sub(rect, origin):
    return (rect[0] - origin[0], rect[1] - origin[1], rect[2] - origin[0], rect[3] - origin[1])


def crop(image, rect):
    return image.crop((rect[0], rect[1], rect[2] + 1, rect[3] + 1))


def centroid(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return (min(xs) + max(xs) + 1) / 2, (min(ys) + max(ys) + 1) / 2


def bevel_box(c, r, radius, fill, hi=PANEL_HI, lo=PANEL_LO, sunken=False):
    a, b = (lo, hi) if sunken else (hi, lo)
    c.rounded(r, radius, fill=b)
    c.rounded((r[0], r[1], r[2] - 1, r[3] - 1), radius, fill=a)
    c.rounded((r[0] + 1, r[1] + 1, r[2] - 1, r[3] - 1), max(0, radius - 1), fill=fill)


def screen(c, r, rows=None, step=15):
    bevel_box(c, (r[0] - 1, r[1] - 1, r[2] + 1, r[3] + 1), 3, SCREEN, sunken=True)
    c.vgradient((r[0] + 1, r[1] + 1, r[2] - 1, r[3] - 1), (8, 20, 32), SCREEN)
    if rows is not None:
        y = rows + step
        while y < r[3] - 2:
            c.line([(r[0] + 3, y), (r[2] - 3, y)], SCREEN_LINE, 0.7)
            y += step


def caption(c, xy, text, colour=ACCENT):
    c.text(xy, text, colour, paint.font("condensed", 7.5))


def polygon_button(c, points, pressed, title, accent=ACCENT):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    r = (min(xs), min(ys), max(xs), max(ys))
    mask = c.mask()
    paint.mask_draw(mask).polygon([c.p(x + 0.5, y + 0.5) for x, y in points], fill=255)
    c.polygon(points, outline=PANEL_LO, width=2.2)
    if pressed:
        c.vgradient(r, lighten(accent, 0.25), darken(accent, 0.45), mask)
    else:
        c.vgradient(r, PANEL_HI, darken(PANEL, 0.2), mask)
    c.polygon(points, outline=lighten(accent, 0.4) if pressed else (90, 106, 140), width=0.8)
    cx, cy = centroid(points)
    face = paint.font("bold", 8.5)
    if pressed:
        c.text((cx + 0.5, cy + 1.5), title, darken(accent, 0.7), face, anchor="mm")
    c.text((cx, cy + 1), title, (255, 255, 255) if pressed else TEXT, face, anchor="mm")


def arrow_button(c, r, up, pressed):
    c.rounded(r, 3, fill=PANEL_LO)
    c.rounded(r, 3, fill=ACCENT if pressed else PANEL_HI, inset=0.8)
    cx = (r[0] + r[2] + 1) / 2
    t, b = r[1] + 2.2, r[3] - 1.2
    pts = [(cx, t), (cx - 4, b), (cx + 4, b)] if up else [(cx, b), (cx - 4, t), (cx + 4, t)]
    c.draw.polygon([c.p(x, y) for x, y in pts], fill=(10, 20, 30) if pressed else TEXT)


def import_button(c, r, pressed):
    c.rounded(r, 2.5, fill=PANEL_LO)
    c.rounded(r, 2.5, fill=AMBER if pressed else PANEL_HI, inset=0.8)
    ink = (30, 20, 0) if pressed else (255, 214, 120)
    l, t = r[0], r[1]
    c.rect((l + 3, t + 4, l + 12, t + 9), ink)
    c.rect((l + 3, t + 3, l + 7, t + 4), ink)
    c.rect((l + 4, t + 5, l + 11, t + 8), AMBER if pressed else PANEL_HI)
    c.draw.polygon([c.p(x, y) for x, y in [(l + 8, t + 5.5), (l + 5.5, t + 8.5), (l + 10.5, t + 8.5)]],
                   fill=ink)


def window_box(c, r, glyph, pressed, accent):
    c.rounded(r, 3, fill=PANEL_LO)
    c.rounded(r, 3, fill=accent if pressed else PANEL_HI, inset=0.8)
    cx, cy = (r[0] + r[2] + 1) / 2, (r[1] + r[3] + 1) / 2
    ink = (255, 255, 255) if pressed else TEXT
    if glyph == "min":
        c.rect((cx - 4, cy + 2, cx + 3, cy + 3), ink)
    else:
        c.line([(cx - 4, cy - 4), (cx + 3, cy + 3)], ink, 1.6)
        c.line([(cx + 3, cy - 4), (cx - 4, cy + 3)], ink, 1.6)


def exit_button(c, r, pressed):
    c.ellipse((r[0] - 1, r[1] - 1, r[2] + 1, r[3] + 1), fill=PANEL_LO)
    mask = c.mask()
    paint.mask_draw(mask).ellipse(c.box(r, 1), fill=255)
    top, bottom = ((255, 110, 90), (200, 30, 30)) if pressed else ((150, 52, 56), (84, 20, 26))
    c.vgradient(r, top, bottom, mask)
    c.ellipse(r, outline=(255, 160, 150) if pressed else (190, 90, 90), width=0.8, inset=1)
    cx, cy = (r[0] + r[2] + 1) / 2, (r[1] + r[3] + 1) / 2
    c.text((cx, cy + 0.5), "EXIT", (255, 255, 255) if pressed else (240, 200, 200),
           paint.font("bold", 10), anchor="mm")


def selector(c, data, current_row=None):
    v = data["view"]
    r = v["rects"]["padSelector"]
    c.rounded((r[0] - 2, r[1] - 2, r[2] + 2, r[3] + 2), 4, fill=PANEL_LO)
    c.vgradient(r, SELECTOR_TOP, SELECTOR_BOTTOM)
    for row in v["padSelectorRows"][1:]:
        c.line([(row[0] + 3, row[1]), (row[2] - 3, row[1])], (160, 170, 190), 0.8)
    if current_row is not None:
        row = v["padSelectorRows"][current_row]
        c.vgradient((row[0], row[1], row[2], row[3] - 1), (255, 255, 255), (236, 242, 250))
        c.rect((row[0], row[1] + 2, row[0] + 2, row[3] - 3), ACCENT)


def draw_skin(data, state):
    v = data["view"]
    rects = v["rects"]
    regions = v["regions"]
    w, h = size = (rects["background"][2] + 1, rects["background"][3] + 1)
    c = paint.Canvas(w, h)
    c.vgradient((0, 0, w - 1, h - 1), BG_TOP, BG_BOTTOM)
    for y in range(0, h, 3):
        c.line([(0, y), (w - 1, y)], (255, 255, 255) if False else mix(BG_TOP, BG_BOTTOM, y / h * 0.6),
               0.4)
    c.rounded((0, 0, w - 1, h - 1), 6, outline=(70, 84, 116), width=1)
    # Title.
    c.text((17, 7), "KeyLoom", (0, 60, 80), paint.font("bold", 19))
    c.text((16, 6), "KeyLoom", (236, 246, 255), paint.font("bold", 19))
    c.rect((17, 30, 102, 30.6), ACCENT)
    c.text((122, 16), "gamepad key mapper", DIM, paint.font("sans", 8))
    # Tab rail and tabs.
    c.rounded((284, 8, 498, 45), 8, fill=PANEL_LO)
    c.rounded((285, 9, 497, 44), 8, fill=(16, 21, 33))
    for m, menu in enumerate(data["menus"]):
        polygon_button(c, regions[menu["region"]]["polygon"], ("tab", m) in state,
                       menu["chosenTitle"])
    window_box(c, rects["minimiseBox"], "min", "minimise" in state, ACCENT_DARK)
    window_box(c, rects["closeBox"], "close", "close" in state, RED)
    # Left column: games, profiles, status.
    bevel_box(c, (14, 46, 134, 342), 6, PANEL)
    caption(c, (22, 36), "GAMES")
    screen(c, rects["gameList"], rows=rects["gameList"][1])
    for name, up in (("gamePageUp", True), ("gamePageDown", False), ("profilePageUp", True),
                     ("profilePageDown", False)):
        arrow_button(c, rects[name], up, ("arrow", up) in state)
    c.text((21, 144), "import", DIM, paint.font("sans", 7))
    import_button(c, rects["importButton"], "import" in state)
    caption(c, (22, 154), "PROFILES")
    pl = rects["profileList"]
    screen(c, pl, rows=pl[1] + 2)
    c.line([(pl[0] + 14, pl[1] + 2), (pl[0] + 14, pl[3] - 2)], SCREEN_LINE, 0.8)
    caption(c, (22, 249), "STATUS")
    screen(c, rects["statusBox"])
    # Logo window.
    lg = rects["logo"]
    screen(c, lg)
    # The pad stage.
    pr = rects["padPicture"]
    bevel_box(c, (pr[0] - 4, pr[1] - 4, pr[2] + 4, pr[3] + 4), 8, (14, 19, 30), sunken=True)
    stage(c, pr)
    cx, cy = (pr[0] + pr[2] + 1) / 2, (pr[1] + pr[3] + 1) / 2
    c.text((cx, cy - 6), "No gamepad found", DIM, paint.font("bold", 12), anchor="mm")
    c.text((cx, cy + 10), "Connect a pad to edit its keys", darken(DIM, 0.2),
           paint.font("sans", 8.5), anchor="mm")
    # The option strip.
    pn = rects["panel"]
    bevel_box(c, (pn[0] - 4, pn[1] - 4, pn[2] + 4, pn[3] + 4), 6, PANEL)
    screen(c, pn)
    c.text(((pn[0] + pn[2]) / 2, (pn[1] + pn[3]) / 2 + 1), "Pick a button or direction on the pad",
           darken(DIM, 0.15), paint.font("sans", 8.5), anchor="mm")
    # Mode buttons on their plate.
    c.rounded((164, 340, 470, 396), 12, fill=PANEL_LO)
    c.rounded((165, 341, 469, 395), 12, fill=(18, 24, 37))
    for mode, name in enumerate("DEF"):
        polygon_button(c, regions[name]["polygon"], ("mode", mode) in state, MODE_TITLES[mode],
                       accent=[ACCENT, AMBER, (120, 220, 90)][mode])
    exit_button(c, regions["K"]["ellipse"], "exit" in state)
    # Pad selector.
    caption(c, (495, 124), "PADS")
    selector(c, data, 0 if "selector" in state else None)
    # Speaker grille under the selector.
    for row in range(6):
        for col in range(9):
            x = 503 + col * 9 + (4 if row % 2 else 0)
            y = 242 + row * 9
            if x < 582:
                c.ellipse((x, y, x + 3, y + 3), fill=PANEL_LO)
    c.text((538, 312), "VORNATEK", darken(DIM, 0.25), paint.font("condensed", 7), anchor="mm")
    return c


def stage(c, r):
    c.vgradient(r, (20, 27, 42), (10, 14, 22))
    cx, cy = (r[0] + r[2] + 1) / 2, (r[1] + r[3] + 1) / 2
    for i in range(6):
        rad = 40 + i * 22
        c.ellipse((cx - rad, cy - rad * 0.62, cx + rad, cy + rad * 0.62),
                  outline=mix((20, 27, 42), (34, 46, 70), 1 - i / 6), width=0.7)


def dropdown(data, m, highlight=None):
    menu = data["menus"][m]
    dr = menu["dropDown"]
    w, h = dr[2] - dr[0] + 1, dr[3] - dr[1] + 1
    c = paint.Canvas(w, h)
    c.vgradient((0, 0, w - 1, h - 1), (40, 50, 74), (26, 33, 50))
    c.rect((0, 0, w - 1, 1), ACCENT)
    c.rect((0, 0, 0, h - 1), (70, 86, 120))
    c.rect((w - 1, 0, w - 1, h - 1), PANEL_LO)
    c.rect((0, h - 1, w - 1, h - 1), PANEL_LO)
    items = [sub(r, dr[:2]) for r in menu["items"]]
    for d, r in enumerate(items):
        if d > 0 and r[1] - items[d - 1][3] >= 5:
            y = (r[1] + items[d - 1][3]) / 2
            c.line([(6, y), (w - 7, y)], (70, 86, 120), 0.8)
        on = d == highlight
        if on:
            c.vgradient((r[0] + 2, r[1], r[2] - 2, r[3]), lighten(ACCENT, 0.1), ACCENT_DARK)
        face = paint.font("sans", 9.5)
        c.text((r[0] + 10, (r[1] + r[3] + 1) / 2 + 0.5), menu["chosenItemTexts"][d],
               (255, 255, 255) if on else TEXT, face, anchor="lm")
    return c.result(), items


def panel(data, mode, pressed=(), ticked=False):
    rects = data["view"]["rects"]
    pn = rects["panel"]
    w, h = pn[2] - pn[0] + 1, pn[3] - pn[1] + 1
    c = paint.Canvas(w, h)
    accent = [ACCENT, AMBER, (120, 220, 90)][mode]
    c.vgradient((0, 0, w - 1, h - 1), (6, 16, 26), (2, 8, 14))
    c.rect((0, 0, w - 1, 0), darken(accent, 0.4))
    c.rect((0, h - 1, w - 1, h - 1), PANEL_LO)
    tag = ["KEY", "MACRO", "CYCLE"][mode]
    c.text((w - 5, 3), tag, darken(accent, 0.15), paint.font("condensed", 7), anchor="ra")

    def strip(name, label, glyph, lit_colour):
        r = sub(rects[name], pn[:2])
        on = (name, label) in pressed
        c.rounded(r, 3, fill=PANEL_LO)
        if on:
            c.vgradient((r[0] + 1, r[1] + 1, r[2] - 1, r[3] - 1), lighten(lit_colour, 0.3),
                        darken(lit_colour, 0.2))
        else:
            c.vgradient((r[0] + 1, r[1] + 1, r[2] - 1, r[3] - 1), PANEL_HI, PANEL)
        ink = (255, 255, 255) if on else TEXT
        x = r[0] + 5
        cy = (r[1] + r[3] + 1) / 2
        if glyph == "rec":
            c.ellipse((x - 1, cy - 2.5, x + 3, cy + 1.5), fill=(255, 80, 80) if not on else (255, 255, 255))
        elif glyph == "stop":
            c.rect((x - 1, cy - 2.5, x + 2.5, cy + 1), (255, 255, 255) if on else AMBER)
        c.text((x + 6 if glyph else (r[0] + r[2] + 1) / 2, cy + 0.3), label, ink,
               paint.font("condensed", 7), anchor="lm" if glyph else "mm")

    if mode == 0:
        strip("stripButton1", "CLEAR", None, ACCENT)
    else:
        strip("stripButton1", "REC", "rec", (230, 40, 40))
        strip("stripButton2", "STOP", "stop", AMBER)
        strip("stripButton3", "CLEAR", None, ACCENT)
    if mode in (0, 1):
        r = sub(rects["checkBox"], pn[:2])
        c.rect(r, (150, 170, 200))
        c.rect(r, (8, 14, 22), inset=1)
        if ticked:
            c.rect(r, accent, inset=1.6)
        c.text((r[2] + 4, (r[1] + r[3] + 1) / 2), "repeat", DIM, paint.font("sans", 7), anchor="lm")
    if mode in (1, 2):
        for name, left in (("scrollLeft", True), ("scrollRight", False)):
            r = sub(rects[name], pn[:2])
            on = (name,) in pressed
            c.rounded(r, 2, fill=accent if on else PANEL_HI)
            cy = (r[1] + r[3] + 1) / 2
            x0, x1 = r[0] + 3, r[2] - 2
            pts = [(x0, cy), (x1, cy - 2.5), (x1, cy + 2.5)] if left else [(x1, cy), (x0, cy - 2.5),
                                                                             (x0, cy + 2.5)]
            c.draw.polygon([c.p(x, y) for x, y in pts], fill=(10, 20, 30) if on else TEXT)
    return c.result()


def label_box(model, selected, w, h):
    c = paint.Canvas(w, h)
    if model == "10" or selected:
        rim = (0, 200, 80) if selected else (96, 108, 134)
        c.rounded((0, 0, w - 1, h - 1), 3, fill=rim)
        c.vgradient((1, 1, w - 2, h - 2), (24, 32, 46) if not selected else (6, 34, 16),
                    (12, 16, 24) if not selected else (2, 18, 8))
    else:
        c.rounded((0, 0, w - 1, h - 1), 3, fill=(120, 140, 176))
        c.vgradient((1, 1, w - 2, h - 2), (250, 252, 255), (218, 226, 240))
    return c.result()


def pad_icon(model, current, size):
    w, h = size
    c = paint.Canvas(w, h, colour=SELECTOR_TOP)
    style = pads.STYLES[model]
    body = style["body_top"] if current else (150, 156, 168)
    rim = style["rim"] if current else (120, 126, 140)
    c.rounded((1, 4, w - 2, h - 4), 4, fill=rim)
    c.rounded((1, 4, w - 2, h - 4), 4, fill=body, inset=0.8)
    c.ellipse((1, 8, 7, h - 2), fill=body)
    c.ellipse((w - 8, 8, w - 2, h - 2), fill=body)
    ink = (255, 255, 255) if model == "10" else (40, 44, 54)
    if not current:
        ink = (200, 204, 214)
    c.rect((3.5, 7.5, 6.5, 8.5), ink)
    c.rect((4.5, 6.5, 5.5, 9.5), ink)
    faces = style["faces"] if current else [(110, 116, 130)] * 6
    c.ellipse((10, 6, 11.8, 7.8), fill=faces[3])
    c.ellipse((12.5, 7.5, 14.3, 9.3), fill=faces[0])
    return c.result()


def logo_frame(i, count, size):
    w, h = size
    c = paint.Canvas(w, h)
    c.vgradient((0, 0, w - 1, h - 1), (8, 20, 32), (3, 9, 16))
    face = paint.font("bold", 15)
    t = i / count
    # A light sweeps over the word mark; a pad button blinks in turn.
    c.text((36, h / 2 + 1), "KeyLoom", (70, 96, 130), face, anchor="lm")
    mask = c.mask()
    d = paint.mask_draw(mask)
    d.text(c.p(36, h / 2 + 1), "KeyLoom", fill=255, font=face, anchor="lm")
    sweep = -20 + t * (w + 40)
    for dx in range(-12, 13):
        a = 1 - abs(dx) / 12
        col = mix((70, 96, 130), (220, 250, 255), a)
        x = sweep + dx
        if 0 <= x < w:
            band = mask.crop((int(x * S), 0, int((x + 1) * S), h * S))
            c.image.paste(col, (int(x * S), 0), band)
    # Mini pad on the left.
    c.rounded((4, 9, 30, 23), 5, fill=(50, 58, 74))
    c.ellipse((4, 12, 12, 25), fill=(50, 58, 74))
    c.ellipse((22, 12, 30, 25), fill=(50, 58, 74))
    c.rect((8, 15, 9, 18), (200, 210, 230))
    c.rect((7, 16, 10, 17), (200, 210, 230))
    colours = pads.STYLES["10"]["faces"]
    lit = (i // 4) % 4
    for k, (x, y) in enumerate([(21, 14), (24, 12), (24, 17), (27, 15)]):
        col = colours[k] if k != lit else (255, 240, 160)
        c.ellipse((x - 1.3, y - 1.3, x + 1.3, y + 1.3), fill=col)
    phase = 0.5 + 0.5 * math.sin(t * 2 * math.pi)
    c.rect((36, h - 6, 36 + 72 * phase, h - 5.4), mix(ACCENT_DARK, ACCENT, phase))
    return c.result()


def pad_picture(data, model, skin):
    v = data["view"]
    pr = v["rects"]["padPicture"]
    w, h = pr[2] - pr[0] + 1, pr[3] - pr[1] + 1
    m = data["models"][model]
    g = pads.editor_geometry(model, data)
    lw = max(r[2] - r[0] + 1 for r in m["labels"])
    lh = max(r[3] - r[1] + 1 for r in m["labels"])
    unselected = label_box(model, False, lw, lh)

    def background(c):
        stage(c, (0, 0, w - 1, h - 1))
        # Leader lines run under the body, so they end where the pad begins.
        col = (70, 130, 170) if model == "10" else (96, 136, 196)
        for k, lab in enumerate(m["labels"]):
            box = sub(lab, pr[:2])
            tx, ty = pads.centre(sub(m["picture"][k], pr[:2]))
            bx = box[2] if tx > box[2] else box[0] if tx < box[0] else (box[0] + box[2]) / 2
            by = box[3] if ty > box[3] else box[1] if ty < box[1] else (box[1] + box[3]) / 2
            c.line([(bx, by), (tx, ty)], col, 0.8)

    def labels(c):
        style = pads.STYLES[model]
        for k, lab in enumerate(m["labels"]):
            box = sub(lab, pr[:2])
            bw, bh = box[2] - box[0] + 1, box[3] - box[1] + 1
            img = unselected.resize((bw * S, bh * S))
            c.image.paste(img, (box[0] * S, box[1] * S))
        c.text((w - 6, h - 5), f"{model}-button pad", lighten(style["rim"], 0.4),
               paint.font("condensed", 7), anchor="rd")

    pic = pads.PadPicture(w, h, g, background, extra=labels)
    return pic, g


def print_picture(data, model, size):
    w, h = size
    g = pads.editor_geometry(model, data)
    ys = [r[1] for r in g.buttons.values()] + [g.disc[1]]
    ye = [r[3] for r in g.buttons.values()] + [g.disc[3]]
    xs = [r[0] for r in g.buttons.values()] + [g.disc[0]]
    xe = [r[2] for r in g.buttons.values()] + [g.disc[2]]
    bw, bh = max(xe) - min(xs) + 80, max(ye) - min(ys) + 90
    scale = min((w - 20) / bw, (h - 50) / bh)
    dx = w / 2 - (min(xs) + max(xe)) / 2 * scale
    dy = (h + 20) / 2 - (min(ys) + max(ye) + 20) / 2 * scale
    fg = pads.fit_geometry(g, scale, dx, dy)

    def background(c):
        c.rect((0, 0, w - 1, h - 1), (255, 255, 255))
        c.text((12, 10), "KeyLoom", (20, 30, 50), paint.font("bold", 18))
        c.text((110, 17), f"{model}-button gamepad", (90, 100, 120), paint.font("sans", 11))
        c.rect((12, 36, w - 13, 37), (0, 150, 190))

    pic = pads.PadPicture(w, h, fg, background)
    return pic.released


def draw_all(data, layout):
    v = data["view"]
    rects = v["rects"]
    images = {}
    base = draw_skin(data, set())
    pressed_a = draw_skin(data, {("tab", 0), ("tab", 2), ("mode", 0), ("mode", 2), "minimise",
                                 "close", "exit", ("arrow", True), ("arrow", False), "import",
                                 "selector"})
    pressed_b = draw_skin(data, {("tab", 1), ("mode", 1)})
    skin = base.result()
    a = pressed_a.result()
    b = pressed_b.result()
    menus = data["menus"]
    drops = {}
    for m in range(len(menus)):
        drops[m] = dropdown(data, m)
    panels = {mode: panel(data, mode) for mode in range(3)}
    pressed_panel = panel(data, 1, pressed={("stripButton1", "REC"), ("stripButton2", "STOP"),
                                            ("stripButton3", "CLEAR"), ("scrollLeft",),
                                            ("scrollRight",)}, ticked=True)
    pn = rects["panel"]
    pads_pics = {}

    for bm in layout.bitmaps("kloom", data):
        role = bm.role.split(":")
        kind = role[0]
        if kind == "skin" and len(role) == 1:
            img = skin
        elif kind == "skin":
            src = {"minimise": "minimiseBox", "close": "closeBox", "exit": "exitButton",
                   "profiles": "profileList", "status": "statusBox", "games": "gameList"}[role[1]]
            img = crop(a if role[1] in ("minimise", "close", "exit") else skin, rects[src])
        elif kind == "mode":
            mode = int(role[1])
            src = (b if mode == 1 else a) if role[2] == "on" else skin
            img = crop(src, v["modeButtons"][mode])
        elif kind == "tab":
            m = int(role[1])
            src = (b if m == 1 else a) if role[2] == "on" else skin
            img = crop(src, menus[m]["tab"])
        elif kind == "dropdown":
            img = drops[int(role[1])][0]
        elif kind == "item":
            m, d = int(role[1]), int(role[2])
            full, items = dropdown(data, m, highlight=d)
            img = crop(full, items[d])
        elif kind == "arrow":
            img = crop(a if role[2] == "on" else skin, bm.rect)
        elif kind == "panel":
            img = panels[int(role[1])]
        elif kind == "active":
            img = active_mark(bm.width, bm.height, role[1] == "on")
        elif kind in ("strip", "scroll", "check"):
            on = role[-1] == "on"
            src = pressed_panel if on else panels[1]
            name = {"clear": "stripButton3", "record": "stripButton1", "stop": "stripButton2",
                    "left": "scrollLeft", "right": "scrollRight"}.get(role[1], "checkBox")
            img = crop(src, sub(rects[name], pn[:2]))
        elif kind == "selector":
            if len(role) == 1:
                img = crop(skin, rects["padSelector"])
            else:
                img = crop(a, v["padSelectorRows"][0])
        elif kind == "import":
            img = crop(a if role[1] == "on" else skin, rects["importButton"])
        elif kind == "icon":
            img = pad_icon(role[1], role[2] == "on", (bm.width, bm.height))
        elif kind == "pad":
            if role[1] not in pads_pics:
                pads_pics[role[1]] = pad_picture(data, role[1], base)
            img = pads_pics[role[1]][0].released
        elif kind == "print":
            img = print_picture(data, role[1], (bm.width, bm.height))
        elif kind == "input":
            model = role[1]
            if model not in pads_pics:
                pads_pics[model] = pad_picture(data, model, base)
            pic = pads_pics[model][0]
            pr = rects["padPicture"]
            if role[2] == "dpad":
                img = pic.cut(sub(data["models"][model]["dpadReleased"], pr[:2]))
            else:
                k = int(role[2])
                r = sub(data["models"][model]["picture"][k], pr[:2])
                if role[3] == "off":
                    img = pic.cut(r)
                else:
                    img = pic.lit(("arm", k) if k < 4 else ("button", k), r)
        elif kind == "label":
            img = label_box(role[1], role[2] == "on", bm.width, bm.height)
        elif kind == "logo":
            img = logo_frame(int(role[1]), v["logoAnimation"]["count"], (bm.width, bm.height))
        else:
            raise ValueError(f"no drawing for bitmap {bm.id} ({bm.role})")
        if img.size != (bm.width, bm.height):
            raise ValueError(f"bitmap {bm.id} drawn {img.size}, wanted {(bm.width, bm.height)}")
        images[bm.id] = img
    return images


def active_mark(w, h, on):
    c = paint.Canvas(w, h, colour=(5, 13, 21))
    cx, cy = w / 2, h / 2
    if on:
        c.ellipse((cx - 5, cy - 5, cx + 4, cy + 4), fill=(120, 60, 0))
        c.ellipse((cx - 4, cy - 4, cx + 3, cy + 3), fill=AMBER)
        c.ellipse((cx - 2.5, cy - 3, cx + 0.5, cy - 0.5), fill=(255, 236, 180))
    else:
        c.ellipse((cx - 4, cy - 4, cx + 3, cy + 3), outline=(60, 76, 100), width=1)
    return c.result()
