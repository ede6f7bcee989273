"""Drawing helpers for the bitmaps: a supersampled canvas addressed in
pixels of the final picture, fonts, and the shared palette and 8-bit BMP
writer of a module.

Pictures are drawn S times larger and reduced by plain averaging
(Image.reduce), so a part of a picture redrawn later in another state
matches its surroundings pixel for pixel.
"""

import io
import os

from PIL import Image, ImageDraw, ImageFont

S = 3

FONT_FILES = {
    "sans": "DejaVuSans.ttf",
    "bold": "DejaVuSans-Bold.ttf",
    "condensed": "DejaVuSansCondensed-Bold.ttf",
    "mono": "DejaVuSansMono-Bold.ttf",
}
FONT_DIRS = ["/usr/share/fonts/truetype/dejavu", "/usr/share/fonts/dejavu",
             "/usr/local/share/fonts"]
_fonts = {}


def font(kind, size):
    """A TrueType font of `size` final pixels (drawn at S times), or Pillow's
    own font when the DejaVu fonts (Debian: fonts-dejavu-core) are missing."""
    key = (kind, size)
    if key not in _fonts:
        loaded = None
        for folder in FONT_DIRS:
            path = os.path.join(folder, FONT_FILES[kind])
            if os.path.exists(path):
                loaded = ImageFont.truetype(path, int(round(size * S)))
                break
        if loaded is None:
            try:
                loaded = ImageFont.load_default(size=int(round(size * S)))
            except TypeError:
                loaded = ImageFont.load_default()
        _fonts[key] = loaded
    return _fonts[key]


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def lighten(c, t):
    return mix(c, (255, 255, 255), t)


def darken(c, t):
    return mix(c, (0, 0, 0), t)


class Canvas:
    """An RGB picture of width x height final pixels, drawn S times larger.
    Coordinates are final pixels (floats allowed); a rectangle given as
    (left, top, right, bottom) covers right and bottom pixels too."""

    def __init__(self, width, height, colour=(0, 0, 0), image=None, origin=(0, 0)):
        self.width, self.height = width, height
        self.origin = origin
        self.image = image if image is not None else Image.new("RGB", (width * S, height * S), colour)
        self.draw = ImageDraw.Draw(self.image)

    # -- coordinates
    def p(self, x, y):
        return ((x - self.origin[0]) * S, (y - self.origin[1]) * S)

    def box(self, r, inset=0.0):
        l, t, rr, b = r
        x0, y0 = self.p(l + inset, t + inset)
        x1, y1 = self.p(rr + 1 - inset, b + 1 - inset)
        return [x0, y0, x1 - 1, y1 - 1]

    # -- shapes
    def rect(self, r, fill, inset=0.0):
        self.draw.rectangle(self.box(r, inset), fill=fill)

    def rounded(self, r, radius, fill=None, outline=None, width=1, inset=0.0):
        b = self.box(r, inset)
        rad = max(0, min(radius * S, (b[2] - b[0]) / 2, (b[3] - b[1]) / 2))
        self.draw.rounded_rectangle(b, rad, fill=fill, outline=outline,
                                    width=max(1, int(round(width * S))) if outline else 0)

    def ellipse(self, r, fill=None, outline=None, width=1, inset=0.0):
        self.draw.ellipse(self.box(r, inset), fill=fill, outline=outline,
                          width=max(1, int(round(width * S))) if outline else 0)

    def polygon(self, points, fill=None, outline=None, width=1):
        pts = [self.p(x + 0.5, y + 0.5) for x, y in points]
        self.draw.polygon(pts, fill=fill)
        if outline:
            self.draw.line(pts + [pts[0]], fill=outline, width=max(1, int(round(width * S))),
                           joint="curve")

    def line(self, points, fill, width=1):
        pts = [self.p(x + 0.5, y + 0.5) for x, y in points]
        self.draw.line(pts, fill=fill, width=max(1, int(round(width * S))), joint="curve")

    def vgradient(self, r, top, bottom, mask=None):
        """Fills r with a vertical gradient, through `mask` (an L image of the
        canvas size) when given."""
        b = [int(v) for v in self.box(r)]
        h = b[3] - b[1] + 1
        w = b[2] - b[0] + 1
        if h <= 0 or w <= 0:
            return
        grad = Image.linear_gradient("L").resize((1, h))
        g = Image.merge("RGB", [grad.point(lambda v, i=i: top[i] + (bottom[i] - top[i]) * v / 255)
                               for i in range(3)]).resize((w, h))
        if mask is None:
            self.image.paste(g, (b[0], b[1]))
        else:
            self.image.paste(g, (b[0], b[1]), mask.crop((b[0], b[1], b[0] + w, b[1] + h)))

    def text(self, xy, s, colour, face, anchor="la"):
        self.draw.text(self.p(*xy), s, fill=colour, font=face, anchor=anchor)

    def text_width(self, s, face):
        return self.draw.textlength(s, font=face) / S

    def mask(self):
        return Image.new("L", self.image.size, 0)

    def paste(self, image, mask):
        self.image.paste(image, (0, 0), mask)

    def result(self):
        return self.image.reduce(S)


def mask_draw(mask):
    return ImageDraw.Draw(mask)


# ---------------------------------------------------------------------------
# The shared palette of a module and the 8-bit BMP files.


def build_palette(images, fixed):
    """256 colours: the fixed ones first, the rest chosen by median cut over
    every picture of the module together."""
    total_w = max(im.width for im in images)
    total_h = sum(im.height for im in images)
    sheet = Image.new("RGB", (total_w, total_h), fixed[0])
    y = 0
    for im in images:
        sheet.paste(im, (0, y))
        y += im.height
    free = 256 - len(fixed)
    chosen = sheet.quantize(colors=free, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    pal = chosen.getpalette()[: free * 3]
    colours = list(fixed)
    for i in range(0, len(pal), 3):
        c = tuple(pal[i:i + 3])
        if c not in colours:
            colours.append(c)
    while len(colours) < 256:
        colours.append((0, 0, 0))
    flat = [v for c in colours[:256] for v in c]
    palette_image = Image.new("P", (1, 1))
    palette_image.putpalette(flat)
    return palette_image


def bmp_bytes(image, palette_image):
    """An 8-bit BMP file: 40-byte header, all 256 colours in the table."""
    indexed = image.convert("RGB").quantize(palette=palette_image, dither=Image.Dither.NONE)
    indexed.putpalette(palette_image.getpalette())
    out = io.BytesIO()
    indexed.save(out, "BMP")
    return out.getvalue()
