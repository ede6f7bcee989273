"""Icon (.ico) and cursor (.cur) files as the resource compiler reads them.

Every icon image is stored twice, as 8 bits per pixel with a full 256-colour
table and as 32 bits per pixel with alpha, both with the 1-bit AND mask, so
that each display depth finds a good match. Images are Pillow RGBA images;
this module needs nothing else from Pillow.
"""

import struct

ALPHA_OPAQUE = 128  # pixels at least this opaque are drawn; the rest are masked


def _row_bytes(width, bits):
    return ((width * bits + 31) // 32) * 4


def _info_header(width, height, bits, colours_used):
    size_image = (_row_bytes(width, bits) + _row_bytes(width, 1)) * height
    # biHeight counts the colour image and the mask together.
    return struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, bits, 0, size_image, 0, 0,
                       colours_used, 0)


def _mask_rows(transparent, width, height):
    """The AND mask, bottom row first: a set bit leaves the screen pixel."""
    stride = _row_bytes(width, 1)
    out = bytearray()
    for y in reversed(range(height)):
        row = bytearray(stride)
        for x in range(width):
            if transparent[y * width + x]:
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def _transparency(image):
    return [a < ALPHA_OPAQUE for (_, _, _, a) in image.getdata()]


def _image_32(image):
    width, height = image.size
    pixels = list(image.getdata())
    transparent = _transparency(image)
    body = bytearray()
    for y in reversed(range(height)):
        for x in range(width):
            r, g, b, a = pixels[y * width + x]
            body += bytes((b, g, r, a)) if a else bytes(4)
    return _info_header(width, height, 32, 0) + bytes(body) + _mask_rows(transparent, width,
                                                                        height)


def palette_image(image):
    """The 8-bit form of an RGBA image: (256 RGB colours, one index a pixel).

    Entry 0 is black and used only by masked pixels, so that the colour image
    leaves the screen untouched where the mask lets it through."""
    width, height = image.size
    transparent = _transparency(image)
    rgb = image.convert("RGB")
    quantised = rgb.quantize(colors=255, method=1, dither=0)  # maximum coverage
    colours = quantised.getpalette()[: 3 * 255]
    colours += [0] * (3 * 255 - len(colours))
    palette = [(0, 0, 0)] + [tuple(colours[i:i + 3]) for i in range(0, 3 * 255, 3)]
    indexes = [0 if transparent[i] else index + 1 for i, index in enumerate(quantised.getdata())]
    return palette, indexes


def _image_8(image):
    width, height = image.size
    palette, indexes = palette_image(image)
    table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    stride = _row_bytes(width, 8)
    body = bytearray()
    for y in reversed(range(height)):
        row = bytes(indexes[y * width:(y + 1) * width])
        body += row + bytes(stride - width)
    return (_info_header(width, height, 8, 256) + table + bytes(body) +
            _mask_rows(_transparency(image), width, height))


def _directory(kind, entries):
    """entries: (width, height, field1, field2, data); fields are planes and
    bit count for icons, the hot spot for cursors."""
    out = bytearray(struct.pack("<HHH", 0, kind, len(entries)))
    offset = 6 + 16 * len(entries)
    for width, height, field1, field2, data in entries:
        out += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, field1, field2, len(data),
                           offset)
        offset += len(data)
    for entry in entries:
        out += entry[4]
    return bytes(out)


def icon_bytes(images):
    """An icon file holding each RGBA image at 8 and at 32 bits per pixel."""
    entries = []
    for bits, encode in ((8, _image_8), (32, _image_32)):
        for image in images:
            width, height = image.size
            entries.append((width, height, 1, bits, encode(image)))
    return _directory(1, entries)


def cursor_bytes(image, hot_spot):
    """A monochrome cursor file from an RGBA image drawn in black and white."""
    width, height = image.size
    pixels = list(image.getdata())
    transparent = _transparency(image)
    stride = _row_bytes(width, 1)
    body = bytearray()
    for y in reversed(range(height)):
        row = bytearray(stride)
        for x in range(width):
            r, g, b, _ = pixels[y * width + x]
            if not transparent[y * width + x] and r + g + b >= 3 * 128:
                row[x // 8] |= 0x80 >> (x % 8)
        body += row
    data = (_info_header(width, height, 1, 2) + bytes((0, 0, 0, 0, 255, 255, 255, 0)) +
            bytes(body) + _mask_rows(transparent, width, height))
    return _directory(2, [(width, height, hot_spot[0], hot_spot[1], data)])
