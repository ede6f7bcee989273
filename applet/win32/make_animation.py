"""Writes MORVAX.AVI, the animation of the device selection page: the
maker's pad with its first button blinking, as a silent, uncompressed 8-bit
AVI that the common animation control plays.

    make_animation.py OUTPUT.AVI
"""

import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "resources", "art"))
sys.path.insert(0, os.path.join(HERE, "..", "..", "resources", "layout"))

from PIL import Image  # noqa: E402

import applet_art  # noqa: E402
import paint  # noqa: E402

WIDTH, HEIGHT = 96, 64
FRAMES = 8
FRAMES_PER_SECOND = 4
# The page's face colour: the control shows the first pixel's colour as transparent.
BACKGROUND = (212, 208, 200)
LIT = (255, 60, 40)


def frame(lit):
    c = paint.Canvas(WIDTH, HEIGHT, colour=BACKGROUND)
    applet_art.mini_pad(c, (4, 6, WIDTH - 5, HEIGHT - 7), "12")
    if lit:
        # The first face button, where mini_pad draws it, lit up with a halo.
        w, h = WIDTH - 8, HEIGHT - 12
        a = w * 0.07
        x, y = 4 + w * 0.72 - a * 1.9, 6 + h * 0.46 + 0.6 * a * 1.9
        r = a * 0.95
        c.ellipse((x - r, y - r, x + r, y + r), fill=LIT)
    return c.result().convert("RGB")


def chunk(fourcc, data):
    body = fourcc + struct.pack("<I", len(data)) + data
    return body + (b"\0" if len(data) % 2 else b"")


def riff_list(kind, fourcc, data):
    return kind + struct.pack("<I", len(data) + 4) + fourcc + data


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    pictures = [frame(i % 2 == 1) for i in range(FRAMES)]
    # One palette for all frames: quantise them side by side.
    strip = Image.new("RGB", (WIDTH * FRAMES, HEIGHT))
    for i, picture in enumerate(pictures):
        strip.paste(picture, (i * WIDTH, 0))
    strip = strip.quantize(colors=256, method=Image.Quantize.MEDIANCUT)
    palette = strip.getpalette()[:768]
    palette += [0] * (768 - len(palette))

    stride = (WIDTH + 3) & ~3
    frame_size = stride * HEIGHT
    frames = []
    for i in range(FRAMES):
        part = strip.crop((i * WIDTH, 0, (i + 1) * WIDTH, HEIGHT))
        rows = []
        for y in range(HEIGHT - 1, -1, -1):  # bottom-up, as device-independent bitmaps are
            row = bytes(part.getpixel((x, y)) for x in range(WIDTH))
            rows.append(row + b"\0" * (stride - WIDTH))
        frames.append(b"".join(rows))

    us_per_frame = 1000000 // FRAMES_PER_SECOND
    avih = struct.pack("<IIIIIIIIII4I", us_per_frame, frame_size * FRAMES_PER_SECOND, 0,
                       0x10, FRAMES, 0, 1, frame_size, WIDTH, HEIGHT, 0, 0, 0, 0)
    strh = struct.pack("<4s4sIHHIIIIIIIIhhhh", b"vids", b"DIB ", 0, 0, 0, 0, 1,
                       FRAMES_PER_SECOND, 0, FRAMES, frame_size, 0xFFFFFFFF, 0,
                       0, 0, WIDTH, HEIGHT)
    bih = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, frame_size, 0, 0, 256, 0)
    quads = b"".join(bytes((palette[3 * i + 2], palette[3 * i + 1], palette[3 * i], 0))
                     for i in range(256))
    strl = riff_list(b"LIST", b"strl", chunk(b"strh", strh) + chunk(b"strf", bih + quads))
    hdrl = riff_list(b"LIST", b"hdrl", chunk(b"avih", avih) + strl)

    movi_data = b""
    index = b""
    for data in frames:
        # Offsets count from the "movi" type code.
        index += struct.pack("<4sIII", b"00db", 0x10, len(movi_data) + 4, len(data))
        movi_data += chunk(b"00db", data)
    movi = riff_list(b"LIST", b"movi", movi_data)
    body = hdrl + movi + chunk(b"idx1", index)
    with open(sys.argv[1], "wb") as out:
        out.write(riff_list(b"RIFF", b"AVI ", body))


if __name__ == "__main__":
    main()
