"""The applet's pictures (OSTRARS.DLL): the device list images, the pictures
of the calibration and test pages with their masks, and the test page's pad
pictures of both models in both layouts with their direction and button
overlays, drawn like the editor's pads.
"""

from PIL import Image, ImageChops

import paint
import pads
from paint import S, darken, lighten, mix

KEY = (255, 0, 255)
LIST_BACKGROUND = (255, 255, 255)
PAGE_TOP = (204, 212, 226)
PAGE_BOTTOM = (156, 168, 190)
SCREEN = (10, 22, 34)
ACCENT = (0, 196, 226)


def mini_pad(c, r, model, dead=False):
    """A small pad of either model inside rectangle r."""
    style = pads.STYLES[model]
    l, t, rr, b = r
    w, h = rr - l + 1, b - t + 1
    body = style["body_top"] if not dead else (150, 154, 162)
    rim = style["rim"] if not dead else (100, 104, 112)
    c.rounded((l, t + h * 0.22, rr, t + h * 0.7), h * 0.2, fill=rim)
    c.ellipse((l, t + h * 0.3, l + w * 0.42, b), fill=rim)
    c.ellipse((rr - w * 0.42, t + h * 0.3, rr, b), fill=rim)
    c.rounded((l, t + h * 0.22, rr, t + h * 0.7), h * 0.2, fill=body, inset=max(0.6, w / 30))
    c.ellipse((l, t + h * 0.3, l + w * 0.42, b), fill=body, inset=max(0.6, w / 30))
    c.ellipse((rr - w * 0.42, t + h * 0.3, rr, b), fill=body, inset=max(0.6, w / 30))
    cx, cy = l + w * 0.24, t + h * 0.48
    a = w * 0.07
    ink = (235, 238, 245) if model == "10" else (40, 44, 54)
    if dead:
        ink = (200, 202, 208)
    c.rect((cx - a * 1.6, cy - a * 0.5, cx + a * 1.6, cy + a * 0.5), ink)
    c.rect((cx - a * 0.5, cy - a * 1.6, cx + a * 0.5, cy + a * 1.6), ink)
    faces = style["faces"] if not dead else [(120, 124, 132)] * 6
    fx, fy = l + w * 0.72, t + h * 0.46
    for k, (dx, dy) in enumerate([(-1, 0.6), (0, 0.2), (1, -0.2), (-0.6, -0.9), (0.4, -1.3)]):
        if model == "10" or k < 4:
            rad = a * 0.75
            x, y = fx + dx * a * 1.9, fy + dy * a * 1.9
            c.ellipse((x - rad, y - rad, x + rad, y + rad), fill=faces[k])


def joystick(c, r, dead=False):
    l, t, rr, b = r
    w, h = rr - l + 1, b - t + 1
    base = (70, 78, 94) if not dead else (140, 144, 150)
    c.rounded((l + w * 0.08, t + h * 0.66, rr - w * 0.08, b), h * 0.12, fill=darken(base, 0.4))
    c.rounded((l + w * 0.08, t + h * 0.66, rr - w * 0.08, b), h * 0.12, fill=base, inset=w / 30)
    cx = l + w / 2
    c.rounded((cx - w * 0.06, t + h * 0.2, cx + w * 0.06, t + h * 0.72), w * 0.05, fill=(50, 54, 62))
    c.ellipse((cx - w * 0.17, t + h * 0.02, cx + w * 0.17, t + h * 0.36),
              fill=(200, 40, 40) if not dead else (170, 150, 150))
    c.ellipse((cx - w * 0.08, t + h * 0.06, cx + w * 0.0, t + h * 0.16), fill=(255, 170, 160))


def port(c, r):
    l, t, rr, b = r
    w, h = rr - l + 1, b - t + 1
    c.rounded((l + 4, t, rr, b - 4), 3, fill=(60, 66, 80))
    c.rounded((l + 4, t, rr, b - 4), 3, fill=(186, 194, 208), inset=1)
    c.rect((l + 6, t + 3, rr - 3, t + h * 0.5), (40, 60, 90))
    c.rect((l + 7, t + 4, rr - 4, t + h * 0.5 - 1), (70, 150, 200))
    c.rounded((l + 9, b - 10, rr - 6, b - 6), 1.5, fill=(50, 54, 62))
    for i in range(5):
        c.rect((l + 11 + i * 3, b - 9, l + 11.8 + i * 3, b - 8), (220, 200, 120))
    c.rect((l, t + 13, l + 5, t + 16), (50, 54, 62))


def keyed(draw, size, background=KEY):
    """Draws on the key colour; gives the picture and its 0/255 coverage
    (shapes are drawn without smoothing, so the key colour stays exact)."""
    w, h = size
    c = paint.Canvas(w, h, colour=background)
    draw(c)
    hi = c.image
    d = ImageChops.difference(hi, Image.new("RGB", hi.size, background)).convert("L")
    cover = d.point(lambda v: 255 if v > 0 else 0).reduce(S).point(lambda v: 255 if v >= 128 else 0)
    return c.result(), cover


def image_and_mask(draw, size):
    picture, cover = keyed(draw, size)
    black = Image.new("RGB", size, (0, 0, 0))
    white = Image.new("RGB", size, (255, 255, 255))
    image = Image.composite(picture, black, cover)
    mask = Image.composite(black, white, cover)
    return image, mask


def image_list(cell):
    count = 4
    w, h = cell * count, cell
    c = paint.Canvas(w, h, colour=LIST_BACKGROUND)
    m = cell / 16
    mini_pad(c, (0.5 * m, 2 * m, cell - 0.5 * m, cell - 2 * m), "10")
    mini_pad(c, (cell + 0.5 * m, 2 * m, 2 * cell - 0.5 * m, cell - 2 * m), "12")
    joystick(c, (2 * cell + 2 * m, 1 * m, 3 * cell - 2 * m, cell - 1 * m))
    mini_pad(c, (3 * cell + 0.5 * m, 2 * m, 4 * cell - 0.5 * m, cell - 2 * m), "10", dead=True)
    x0, y0 = 3 * cell + cell * 0.55, cell * 0.5
    s = cell * 0.22
    c.ellipse((x0 - 0.5, y0 - 0.5, x0 + 2 * s + 0.5, y0 + 2 * s + 0.5), fill=(255, 255, 255))
    c.ellipse((x0, y0, x0 + 2 * s, y0 + 2 * s), fill=(210, 40, 40))
    c.line([(x0 + s * 0.55, y0 + s * 0.55), (x0 + s * 1.45, y0 + s * 1.45)], (255, 255, 255), m * 1.1)
    c.line([(x0 + s * 1.45, y0 + s * 0.55), (x0 + s * 0.55, y0 + s * 1.45)], (255, 255, 255), m * 1.1)
    img = c.result()
    # Whatever stayed list white becomes the image list's transparent colour.
    px = img.load()
    for y in range(h):
        for x in range(w):
            if px[x, y] == LIST_BACKGROUND:
                px[x, y] = KEY
    return img


def indicator_screen(c, r):
    c.rect(r, (90, 100, 120))
    c.rect(r, SCREEN, inset=1)


def xy_box(size):
    w, h = size
    c = paint.Canvas(w, h)
    indicator_screen(c, (0, 0, w - 1, h - 1))
    for i in range(1, 4):
        x = w * i / 4
        c.line([(x, 2), (x, h - 3)], (22, 44, 62), 0.6)
        c.line([(2, x), (w - 3, x)], (22, 44, 62), 0.6)
    c.line([(w / 2 - 0.5, 2), (w / 2 - 0.5, h - 3)], (36, 76, 100), 0.8)
    c.line([(2, h / 2 - 0.5), (w - 3, h / 2 - 0.5)], (36, 76, 100), 0.8)
    return c.result()


def marker(size):
    w, h = size
    c = paint.Canvas(w, h, colour=SCREEN)
    c.ellipse((0, 0, w - 1, h - 1), fill=(120, 30, 10))
    c.ellipse((0, 0, w - 1, h - 1), fill=(255, 120, 40), inset=1)
    c.ellipse((2, 2, w * 0.55, h * 0.55), fill=(255, 230, 170))
    return c.result()


def bar(size):
    w, h = size
    c = paint.Canvas(w, h)
    indicator_screen(c, (0, 0, w - 1, h - 1))
    for y in range(6, h - 2, 8):
        c.line([(2, y), (4, y)], (40, 80, 104), 0.8)
        c.line([(w - 5, y), (w - 3, y)], (40, 80, 104), 0.8)
    return c.result()


def cell(size, on):
    w, h = size

    def draw(c):
        c.ellipse((0, 0, w - 1, h - 1), fill=(50, 56, 70))
        if on:
            c.ellipse((0, 0, w - 1, h - 1), fill=(255, 170, 40), inset=1.2)
            c.ellipse((0, 0, w - 1, h - 1), fill=(255, 236, 140), inset=4)
        else:
            c.ellipse((0, 0, w - 1, h - 1), fill=(150, 158, 176), inset=1.2)
            c.ellipse((3, 2.5, w - 4, h * 0.55), fill=(196, 204, 220))

    return image_and_mask(draw, size)


def hat(size, value):
    w, h = size
    c = paint.Canvas(w, h)
    indicator_screen(c, (0, 0, w - 1, h - 1))
    cx, cy = w / 2, h / 2
    c.ellipse((cx - 18, cy - 18, cx + 17, cy + 17), outline=(40, 80, 104), width=1.2)
    import math
    for i in range(8):
        a = math.radians(i * 45)
        x, y = cx + math.sin(a) * 14, cy - math.cos(a) * 14
        on = value != "centre" and i * 4500 == value
        rad = 3.6 if on else 1.8
        c.ellipse((x - rad, y - rad, x + rad - 1, y + rad - 1),
                  fill=(255, 190, 60) if on else (40, 80, 104))
    on_centre = value == "centre"
    rad = 4.5 if on_centre else 2.5
    c.ellipse((cx - rad, cy - rad, cx + rad - 1, cy + rad - 1),
              fill=ACCENT if on_centre else (40, 80, 104))
    if not on_centre:
        a = math.radians(value / 100)
        c.line([(cx - 0.5, cy - 0.5), (cx + math.sin(a) * 10, cy - math.cos(a) * 10)],
               (255, 190, 60), 1.6)
    return c.result()


def test_pictures(data, model, kind):
    lay = data["testPage"]["layouts"][model][kind]
    w, h = lay["size"]
    g = pads.test_geometry(model, lay)

    def background(c):
        c.vgradient((0, 0, w - 1, h - 1), PAGE_TOP, PAGE_BOTTOM)
        c.rounded((0, 0, w - 1, h - 1), 6, outline=(120, 132, 156), width=1)
        c.text((w - 8, h - 6), f"{model}-button pad", (90, 100, 124), paint.font("condensed", 8),
               anchor="rd")

    return pads.PadPicture(w, h, g, background), lay


def draw_all(data, layout):
    images = {}
    sizes = data["testPage"]["chosenSizes"]
    pictures = {}
    pairs = {}
    for bm in layout.bitmaps("ostra", data):
        role = bm.role.split(":")
        kind = role[0]
        size = (bm.width, bm.height)
        if kind == "imagelist":
            img = image_list(int(role[1]))
        elif kind == "device":
            what = role[1]
            if what not in pairs:
                draw = {"port": lambda c: port(c, (0, 0, size[0] - 1, size[1] - 1)),
                        "generic": lambda c: joystick(c, (2, 1, size[0] - 3, size[1] - 2)),
                        "pad10": lambda c: mini_pad(c, (0, 4, size[0] - 1, size[1] - 5), "10"),
                        "pad12": lambda c: mini_pad(c, (0, 4, size[0] - 1, size[1] - 5), "12")}[what]
                pairs[what] = image_and_mask(draw, size)
            img = pairs[what][0 if role[2] == "image" else 1]
        elif kind == "bar":
            img = bar(size)
        elif kind == "xybox":
            img = xy_box(size)
        elif kind == "marker":
            img = marker(size)
        elif kind == "cell":
            if role[1] == "mask":
                img = cell(size, False)[1]
            else:
                img = cell(size, role[1] == "on")[0]
        elif kind == "hat":
            if role[1] == "mask":
                img = Image.new("RGB", size, (0, 0, 0))
            else:
                img = hat(size, "centre" if role[1] == "centre" else int(role[1]))
        elif kind == "test":
            model, layout_kind = role[1], role[2]
            key = (model, layout_kind)
            if key not in pictures:
                pictures[key] = test_pictures(data, model, layout_kind)
            pic, lay = pictures[key]
            if role[3] == "pad":
                img = pic.released
            elif role[3] == "dir":
                d = int(role[4])
                r = lay["overlays"][d]
                if d == 0:
                    img = pic.cut(r)
                elif d <= 4:
                    img = pic.lit(("arm", d - 1), r)
                else:
                    img = pic.lit(("diagonal", d - 5), r)
            else:
                row = int(role[4])
                r = lay["overlays"][9 + row]
                img = pic.lit(("button", 4 + row), r) if role[5] == "on" else pic.cut(r)
        else:
            raise ValueError(f"no drawing for bitmap {bm.id} ({bm.role})")
        if img.size != size:
            raise ValueError(f"bitmap {bm.id} drawn {img.size}, wanted {size}")
        images[bm.id] = img
    return images
