"""The suite's icons and its arrow cursor, drawn with Pillow.

At 32 pixels shapes are given on a 16-unit grid, drawn 8 times larger and
reduced, so their edges are smooth. At 16 pixels smoothing only blurs, so
each icon has a pixel map of its own there. Every drawing returns an RGBA
image.
"""

from PIL import Image, ImageDraw

SUPERSAMPLE = 8

# Palette of the pictures (RGB).
OUTLINE = (22, 27, 38)
BODY_BLUE = (46, 92, 168)
BODY_BLUE_LIGHT = (92, 140, 214)
BODY_GRAPHITE = (78, 86, 100)
BODY_GRAPHITE_LIGHT = (128, 138, 156)
BODY_LIGHT = (236, 239, 244)
DPAD_LIGHT = (226, 230, 238)
DPAD_DARK = (40, 46, 58)
RED = (222, 56, 56)
GREEN = (58, 176, 84)
BLUE = (52, 112, 232)
YELLOW = (244, 196, 48)
KEY_FACE = (250, 250, 250)
KEY_SIDE = (178, 186, 200)
TARGET = (230, 60, 60)


class Canvas:
    """A supersampled drawing surface addressed in grid units."""

    def __init__(self, size):
        self.size = size
        self.scale = size * SUPERSAMPLE / 16.0
        self.image = Image.new("RGBA", (size * SUPERSAMPLE, size * SUPERSAMPLE), (0, 0, 0, 0))
        self.draw = ImageDraw.Draw(self.image)

    def box(self, left, top, right, bottom):
        s = self.scale
        return [left * s, top * s, right * s - 1, bottom * s - 1]

    def rounded(self, left, top, right, bottom, radius, colour):
        if right <= left or bottom <= top:
            return
        radius = max(0.0, min(radius, (right - left) / 2, (bottom - top) / 2))
        self.draw.rounded_rectangle(self.box(left, top, right, bottom), radius * self.scale,
                                    fill=colour)

    def ellipse(self, left, top, right, bottom, colour):
        if right <= left or bottom <= top:
            return
        self.draw.ellipse(self.box(left, top, right, bottom), fill=colour)

    def polygon(self, points, colour):
        s = self.scale
        self.draw.polygon([(x * s, y * s) for (x, y) in points], fill=colour)

    def result(self):
        return self.image.resize((self.size, self.size), Image.LANCZOS)


def _pad_body(canvas, inset, colour):
    """The pad's outline shape (a bar with two grips), shrunk by `inset`."""
    canvas.rounded(1 + inset, 4 + inset, 15 - inset, 10.5 - inset, 3 - inset, colour)
    canvas.ellipse(1 + inset, 6.5 + inset, 7 - inset, 13.5 - inset, colour)
    canvas.ellipse(9 + inset, 6.5 + inset, 15 - inset, 13.5 - inset, colour)


def _dpad(canvas, cx, cy, arm, thickness, outline, face):
    half = thickness / 2
    for grow, colour in ((0.5, outline), (0.0, face)):
        canvas.rounded(cx - arm - grow, cy - half - grow, cx + arm + grow, cy + half + grow,
                       0.3, colour)
        canvas.rounded(cx - half - grow, cy - arm - grow, cx + half + grow, cy + arm + grow,
                       0.3, colour)


def _button(canvas, cx, cy, radius, colour):
    canvas.ellipse(cx - radius - 0.5, cy - radius - 0.5, cx + radius + 0.5, cy + radius + 0.5,
                   OUTLINE)
    canvas.ellipse(cx - radius, cy - radius, cx + radius, cy + radius, colour)


def _pad(canvas, body, highlight, dpad_face):
    _pad_body(canvas, 0.0, OUTLINE)
    _pad_body(canvas, 1.0, body)
    canvas.rounded(3.5, 5.0, 12.5, 6.0, 0.5, highlight)
    _dpad(canvas, 4.5, 8.0, 2.2, 1.5, OUTLINE, dpad_face)
    if canvas.size >= 32:
        for cx, cy, colour in ((11.8, 6.6, YELLOW), (13.2, 8.0, RED), (11.8, 9.4, GREEN),
                               (10.4, 8.0, BLUE)):
            _button(canvas, cx, cy, 0.6, colour)
    else:
        _button(canvas, 10.9, 8.6, 0.9, BLUE)
        _button(canvas, 12.9, 7.0, 0.9, RED)


# Pixel maps for 16 pixels: one character a pixel, "." transparent.
PIXEL_COLOURS = {
    "K": OUTLINE,
    "U": BODY_BLUE,
    "u": BODY_BLUE_LIGHT,
    "G": BODY_GRAPHITE,
    "g": BODY_GRAPHITE_LIGHT,
    "W": BODY_LIGHT,
    "w": DPAD_LIGHT,
    "D": DPAD_DARK,
    "R": RED,
    "B": BLUE,
    "Y": YELLOW,
    "F": KEY_FACE,
    "S": KEY_SIDE,
    "T": TARGET,
}

# The pad: B body, b highlight, d direction pad, 1 and 2 the two buttons.
PAD_16 = [
    "................",
    "................",
    "................",
    "...KKKKKKKKKK...",
    "..KbbbbbbbbbbK..",
    ".KBBBdBBBBB11BK.",
    ".KBBBdBBBBB11BK.",
    ".KBdddddB22BBBK.",
    ".KBBBdBBB22BBBK.",
    ".KBBBdBBBBBBBBK.",
    ".KBBBBKKKKBBBBK.",
    ".KBBBBK..KBBBBK.",
    ".KBBBK....KBBBK.",
    "..KKK......KKK..",
    "................",
    "................",
]

KEY_CAP_16 = [
    "KKKKKKK",
    "KFFFFFK",
    "KFFFFFK",
    "KFFFFFK",
    "KSSSSSK",
    "KSSSSSK",
    "KKKKKKK",
]

TARGET_16 = [
    "..KKK..",
    ".KFFFK.",
    "KFTTTFK",
    "KFTFTFK",
    "KFTTTFK",
    ".KFFFK.",
    "..KKK..",
]

JOYSTICK_16 = [
    "......KKKK......",
    ".....KRRRRK.....",
    ".....KRFRRK.....",
    ".....KRRRRK.....",
    "......KKKK......",
    "......KggK......",
    "......KggK......",
    "......KggK......",
    "......KggK......",
    "..KKKKKKKKKKKK..",
    ".KGGGGGGGGGGGGK.",
    ".KGGGGGGGGGYYGK.",
    ".KGGGGGGGGGYYGK.",
    ".KGGGGGGGGGGGGK.",
    "..KKKKKKKKKKKK..",
    "................",
]


def _paint(image, rows, left=0, top=0, recolour=None):
    """Paints a pixel map onto an image; `recolour` maps map letters to the
    letters of PIXEL_COLOURS."""
    recolour = recolour or {}
    for y, row in enumerate(rows):
        for x, letter in enumerate(row):
            if letter == ".":
                continue
            colour = PIXEL_COLOURS[recolour.get(letter, letter)]
            image.putpixel((left + x, top + y), colour + (255,))
    return image


def _pad_16(body, highlight, dpad, first="R", second="B"):
    image = Image.new("RGBA", (16, 16), (0, 0, 0, 0))
    return _paint(image, PAD_16, recolour={"B": body, "b": highlight, "d": dpad, "1": first,
                                           "2": second})


def _key_cap(canvas, left, top, size):
    """A keyboard key in front of the pad: what the editor maps buttons to."""
    canvas.rounded(left, top, left + size, top + size, 1.2, OUTLINE)
    canvas.rounded(left + 0.75, top + 0.75, left + size - 0.75, top + size - 0.75, 0.8, KEY_SIDE)
    canvas.rounded(left + 1.25, top + 1.0, left + size - 1.25, top + size - 2.0, 0.6, KEY_FACE)


def editor_icon(size):
    if size == 16:
        return _paint(_pad_16("U", "u", "w", "R", "Y"), KEY_CAP_16, 9, 9)
    canvas = Canvas(size)
    _pad(canvas, BODY_BLUE, BODY_BLUE_LIGHT, DPAD_LIGHT)
    _key_cap(canvas, 9.5, 9.0, 6.5)
    return canvas.result()


def applet_icon(size):
    if size == 16:
        return _pad_16("G", "g", "w")
    canvas = Canvas(size)
    _pad(canvas, BODY_GRAPHITE, BODY_GRAPHITE_LIGHT, DPAD_LIGHT)
    return canvas.result()


def calibration_icon(size):
    if size == 16:
        return _paint(_pad_16("G", "g", "w"), TARGET_16, 9, 9)
    canvas = Canvas(size)
    _pad(canvas, BODY_GRAPHITE, BODY_GRAPHITE_LIGHT, DPAD_LIGHT)
    canvas.ellipse(9.0, 8.5, 16.0, 15.5, OUTLINE)
    canvas.ellipse(9.75, 9.25, 15.25, 14.75, KEY_FACE)
    canvas.ellipse(10.75, 10.25, 14.25, 13.75, TARGET)
    canvas.ellipse(11.75, 11.25, 13.25, 12.75, KEY_FACE)
    return canvas.result()


def joystick_icon(size):
    if size == 16:
        return _paint(Image.new("RGBA", (16, 16), (0, 0, 0, 0)), JOYSTICK_16)
    canvas = Canvas(size)
    canvas.rounded(2.0, 10.0, 14.0, 15.0, 2.0, OUTLINE)
    canvas.rounded(3.0, 11.0, 13.0, 14.0, 1.2, BODY_GRAPHITE)
    canvas.rounded(7.0, 4.0, 9.0, 12.0, 0.8, OUTLINE)
    canvas.rounded(7.6, 4.5, 8.4, 11.5, 0.3, BODY_GRAPHITE_LIGHT)
    canvas.ellipse(5.0, 0.5, 11.0, 6.5, OUTLINE)
    canvas.ellipse(6.0, 1.5, 10.0, 5.5, RED)
    canvas.ellipse(10.5, 11.2, 12.3, 13.0, YELLOW)
    return canvas.result()


def tray_icon(size):
    """A light pad with a dark outline: it stands out on a dark task bar by
    its body and on a light one by its outline."""
    if size == 16:
        return _pad_16("W", "W", "D")
    canvas = Canvas(size)
    _pad_body(canvas, 0.0, OUTLINE)
    _pad_body(canvas, 0.6, BODY_LIGHT)
    _dpad(canvas, 4.5, 8.0, 2.2, 1.5, BODY_LIGHT, DPAD_DARK)
    _button(canvas, 10.9, 8.6, 0.9, BLUE)
    _button(canvas, 12.9, 7.0, 0.9, RED)
    return canvas.result()


def arrow_cursor():
    """The standard arrow, black-edged and white, hot spot at its tip."""
    image = Image.new("RGBA", (32, 32), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    outline = [(0, 0), (0, 16), (4, 12), (7, 19), (10, 18), (7, 11), (12, 11)]
    draw.polygon(outline, fill=(255, 255, 255, 255), outline=(0, 0, 0, 255))
    return image, (0, 0)
