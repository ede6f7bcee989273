#!/usr/bin/env python3
"""The art generator's icon and cursor files, read back with a reader of the
file format written here, independently of the generator's writer.

Run with the path of genart.py as the only argument, by a Python with Pillow.
"""

import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest

GENART = None
OUT = None


def read_directory(data):
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    entries = []
    for i in range(count):
        w, h, colours, res, f1, f2, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        entries.append(dict(width=w or 256, height=h or 256, field1=f1, field2=f2, size=size,
                            offset=offset))
    return reserved, kind, entries


def stride(width, bits):
    return ((width * bits + 31) // 32) * 4


def read_image(data, entry):
    """Decodes one DIB image of an icon or cursor file into rows of
    (r, g, b, masked) tuples, top row first, with its header fields."""
    blob = data[entry["offset"]:entry["offset"] + entry["size"]]
    assert len(blob) == entry["size"], "image runs past the end of the file"
    (size, width, height, planes, bits, compression, _, _, _, used, _) = struct.unpack_from(
        "<IiiHHIIiiII", blob, 0)
    header = dict(size=size, width=width, height=height, planes=planes, bits=bits,
                  compression=compression, used=used)
    h = height // 2
    at = size
    palette = []
    if bits <= 8:
        count = used or (1 << bits)
        palette = [tuple(blob[at + 4 * i:at + 4 * i + 3][::-1]) for i in range(count)]
        at += 4 * count
    colour_rows = []
    for _ in range(h):
        colour_rows.append(blob[at:at + stride(width, bits)])
        at += stride(width, bits)
    mask_rows = []
    for _ in range(h):
        mask_rows.append(blob[at:at + stride(width, 1)])
        at += stride(width, 1)
    header["exact_length"] = at == len(blob)
    pixels = []
    for y in range(h):
        crow, mrow = colour_rows[h - 1 - y], mask_rows[h - 1 - y]
        row = []
        for x in range(width):
            masked = bool(mrow[x // 8] & (0x80 >> (x % 8)))
            if bits == 32:
                b, g, r, a = crow[4 * x:4 * x + 4]
                row.append((r, g, b, masked, a))
            elif bits == 8:
                index = crow[x]
                row.append(palette[index] + (masked, index))
            elif bits == 1:
                index = (crow[x // 8] >> (7 - x % 8)) & 1
                row.append(palette[index] + (masked, index))
        pixels.append(row)
    return header, palette, pixels


def read(name, mode="rb"):
    with open(os.path.join(OUT, name), mode) as f:
        return f.read()


def luminance(r, g, b):
    return (0.299 * r + 0.587 * g + 0.114 * b) / 255


class Icons(unittest.TestCase):
    def icon_files(self):
        return sorted(f for f in os.listdir(OUT) if f.endswith(".ico"))

    def test_every_icon_offers_16_and_32_pixels_at_8_and_32_bits(self):
        self.assertTrue(self.icon_files())
        for name in self.icon_files():
            with self.subTest(name):
                data = read(name)
                reserved, kind, entries = read_directory(data)
                self.assertEqual((reserved, kind), (0, 1))
                offered = set()
                for entry in entries:
                    header, palette, _ = read_image(data, entry)
                    self.assertEqual(header["size"], 40)
                    self.assertEqual(header["width"], entry["width"])
                    self.assertEqual(header["height"], 2 * entry["height"])
                    self.assertEqual((header["planes"], header["compression"]), (1, 0))
                    self.assertEqual(header["bits"], entry["field2"])
                    self.assertTrue(header["exact_length"])
                    if header["bits"] == 8:
                        self.assertEqual(len(palette), 256)
                    offered.add((entry["width"], header["bits"]))
                self.assertLessEqual({(16, 8), (32, 8), (16, 32), (32, 32)}, offered)

    def test_both_depths_show_the_same_picture(self):
        """The mask follows the alpha channel, masked pixels leave the screen
        alone (black colour), and the 256-colour image keeps the colours."""
        for name in self.icon_files():
            data = read(name)
            _, _, entries = read_directory(data)
            by_depth = {}
            for entry in entries:
                header, _, pixels = read_image(data, entry)
                by_depth[(entry["width"], header["bits"])] = pixels
            for size in (16, 32):
                with self.subTest(name=name, size=size):
                    true_colour, indexed = by_depth[(size, 32)], by_depth[(size, 8)]
                    opaque = 0
                    for y in range(size):
                        for x in range(size):
                            r, g, b, masked, alpha = true_colour[y][x]
                            ir, ig, ib, imasked, _ = indexed[y][x]
                            self.assertEqual(masked, alpha < 128, (x, y))
                            self.assertEqual(imasked, masked, (x, y))
                            if masked:
                                self.assertEqual((ir, ig, ib), (0, 0, 0), (x, y))
                            else:
                                opaque += 1
                                self.assertLessEqual(
                                    max(abs(r - ir), abs(g - ig), abs(b - ib)), 24, (x, y))
                    self.assertGreater(opaque, size * size // 4)

    def test_tray_icon_reads_on_light_and_dark_task_bars(self):
        """Its edge is dark, for a light bar, and much of it is light, for a
        dark one (the editor's and the applet's icons are far darker)."""
        data = read("orvo_150.ico")
        _, _, entries = read_directory(data)
        for entry in entries:
            header, _, pixels = read_image(data, entry)
            if header["bits"] != 32:
                continue
            size = entry["width"]
            with self.subTest(size=size):
                def opaque(x, y):
                    return 0 <= x < size and 0 <= y < size and not pixels[y][x][3]

                edge, every = [], []
                for y in range(size):
                    for x in range(size):
                        if not opaque(x, y):
                            continue
                        lum = luminance(*pixels[y][x][:3])
                        every.append(lum)
                        if not all(opaque(*p) for p in [(x + 1, y), (x - 1, y), (x, y + 1),
                                                        (x, y - 1)]):
                            edge.append(lum)
                self.assertTrue(edge)
                self.assertLessEqual(sum(lum > 0.35 for lum in edge), len(edge) // 10)
                self.assertGreaterEqual(sum(lum > 0.7 for lum in every), 0.45 * len(every))


class Cursor(unittest.TestCase):
    def test_arrow_is_a_monochrome_cursor_pointing_from_its_hot_spot(self):
        data = read("arrow.cur")
        reserved, kind, entries = read_directory(data)
        self.assertEqual((reserved, kind, len(entries)), (0, 2, 1))
        entry = entries[0]
        self.assertEqual((entry["width"], entry["height"]), (32, 32))
        self.assertEqual((entry["field1"], entry["field2"]), (0, 0))  # the hot spot
        header, palette, pixels = read_image(data, entry)
        self.assertEqual(header["bits"], 1)
        self.assertTrue(header["exact_length"])
        self.assertEqual(palette, [(0, 0, 0), (255, 255, 255)])
        self.assertFalse(pixels[0][0][3], "the hot spot must be on the arrow")
        colours = {p[:3] for row in pixels for p in row if not p[3]}
        self.assertEqual(colours, {(0, 0, 0), (255, 255, 255)})


class Scripts(unittest.TestCase):
    def test_each_module_script_names_files_that_exist(self):
        expected = {
            "kloom_art.rc": {(128, "ICON"), (32512, "CURSOR")},
            "orvo_art.rc": {(150, "ICON"), (160, "ICON"), (32512, "CURSOR")},
            "ostra_art.rc": {(1, "ICON"), (131, "ICON")},
            "ostra_cpl_art.rc": {(130, "ICON"), (131, "ICON"), (132, "ICON")},
        }
        for script, resources in expected.items():
            with self.subTest(script):
                found = set()
                for line in read(script, "r").splitlines():
                    match = re.match(r'^(\d+) (ICON|CURSOR|BITMAP) "(.*)"$', line.strip())
                    if match:
                        self.assertTrue(os.path.isfile(match.group(3)), match.group(3))
                        found.add((int(match.group(1)), match.group(2)))
                self.assertLessEqual(resources, found)

    def test_list_names_every_file_written(self):
        listed = subprocess.run([sys.executable, GENART, "--list"], capture_output=True,
                                text=True, check=True).stdout.split()
        self.assertEqual(sorted(listed), sorted(os.listdir(OUT)))


if __name__ == "__main__":
    GENART = sys.argv.pop(1)
    with tempfile.TemporaryDirectory() as folder:
        OUT = folder
        subprocess.run([sys.executable, GENART, "--out", folder], check=True)
        result = unittest.main(exit=False).result
    sys.exit(0 if result.wasSuccessful() else 1)
