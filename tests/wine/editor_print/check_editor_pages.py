#!/usr/bin/python3
"""Checks the pages KLOOM.EXE printed in the editor print test.

For every NAME.ps in OUT with its NAME.expected (written by the test from the
printer's resolution and font metrics), the PostScript is turned into gray
PNG pages at the printer's resolution with Ghostscript, so a page pixel is a
printer pixel, and into text with Ghostscript's text extraction. Then:
- one page per expected page;
- the ink of the print picture: the bitmap's own non-white box stretched into
  the picture rectangle, within a few pixels;
- every heading and entry line: ink in its line band, starting at the text
  origin, and the text on the page in that order;
- nothing in the blank line between the headings and the entries, nor below
  the last line.
usage: check_editor_pages.py OUT ART   (ART: the folder of the generated bitmaps)
"""
import os
import re
import subprocess
import sys

from PIL import Image

TOLERANCE = 4  # printer pixels (1/75 inch at 300 dpi)
INK = 200  # a gray below this is ink


def read_expected(path):
    exp = {"pictures": {}, "lines": {}}
    with open(path, encoding="latin-1") as f:
        for raw in f:
            line = raw.rstrip("\n")
            word, _, rest = line.partition(" ")
            if word == "dpi":
                exp["dpi"] = int(rest)
            elif word == "page":
                exp["page"] = tuple(int(v) for v in rest.split())
            elif word == "lineheight":
                exp["lineheight"] = int(rest)
            elif word == "picture":
                page, pid, *rect = (int(v) for v in rest.split())
                exp["pictures"][page] = (pid, tuple(rect))
            elif word == "line":
                page, x, y, text = rest.split(" ", 3)
                exp["lines"].setdefault(int(page), []).append((int(x), int(y), text))
    return exp


def ink_box(image, box):
    region = image.crop(box).point(lambda v: 255 if v < INK else 0)
    found = region.getbbox()
    if found is None:
        return None
    return (found[0] + box[0], found[1] + box[1], found[2] + box[0], found[3] + box[1])


def bitmap_ink(art, pid):
    image = Image.open(os.path.join(art, f"kloom_{pid}.bmp")).convert("L")
    return image.size, image.point(lambda v: 255 if v < INK else 0).getbbox()


def normalise(text):
    return re.sub(r"\s+", "", text)


def printed_lines(ps, dpi, page_height, landscape):
    """The text lines Ghostscript finds on each page: (baseline y, text) in
    printer pixels of the page as printed (a landscape page turned upright)."""
    xml = subprocess.run(["gs", "-q", "-dSAFER", "-dNOPAUSE", "-dBATCH", "-sDEVICE=txtwrite",
                          "-dTextFormat=0", "-sOutputFile=-", ps], check=True,
                         capture_output=True, text=True, errors="replace").stdout
    pages = []
    for chunk in xml.split("<page>")[1:]:
        rows = {}
        for x0, y0, x1, y1, c in re.findall(
                r'<char bbox="(-?\d+) (-?\d+) (-?\d+) (-?\d+)" c="([^"]*)"/>', chunk):
            x0, y0, x1, y1 = (int(v) * dpi / 72 for v in (x0, y0, x1, y1))
            if landscape:  # the page as Ghostscript shows it, turned a quarter clockwise
                x, base = page_height - (y0 + y1) / 2, x0
            else:
                x, base = (x0 + x1) / 2, y0
            rows.setdefault(round(base), []).append((x, c))
        pages.append([(base, "".join(c for _, c in sorted(chars)))
                      for base, chars in sorted(rows.items())])
    return pages


def check(out, art, name):
    exp = read_expected(os.path.join(out, name + ".expected"))
    ps = os.path.join(out, name + ".ps")
    for old in os.listdir(out):
        if old.startswith(name + "-") and old.endswith(".png"):
            os.remove(os.path.join(out, old))
    subprocess.run(["gs", "-q", "-dSAFER", "-dNOPAUSE", "-dBATCH", "-sDEVICE=pnggray",
                    f"-r{exp['dpi']}", f"-sOutputFile={out}/{name}-%d.png", ps], check=True)
    landscape = exp["page"][0] > exp["page"][1]
    texts = printed_lines(ps, exp["dpi"], exp["page"][0] if landscape else exp["page"][1],
                          landscape)
    pages = sorted(int(f[len(name) + 1:-4]) for f in os.listdir(out)
                   if f.startswith(name + "-") and f.endswith(".png"))
    problems = []
    if pages != sorted(exp["pictures"]):
        return [f"{name}: pages {pages}, expected {sorted(exp['pictures'])}"]
    lh = exp["lineheight"]
    for page in pages:
        image = Image.open(f"{out}/{name}-{page}.png").convert("L")
        if landscape:  # Ghostscript shows the page as it leaves the printer
            image = image.rotate(-90, expand=True)
        w, h = image.size
        if abs(w - exp["page"][0]) > 2 or abs(h - exp["page"][1]) > 2:
            problems.append(f"{name} page {page}: {w}x{h}, the printer's page is {exp['page']}")
        pid, (left, top, right, bottom) = exp["pictures"][page]
        (bw, bh), (bl, bt, br, bb) = bitmap_ink(art, pid)
        sx = (right - left + 1) / bw
        sy = (bottom - top + 1) / bh
        want = (left + bl * sx, top + bt * sy, left + br * sx, top + bb * sy)
        got = ink_box(image, (left - 20, top - 20, right + 20, bottom + 20))
        if got is None or any(abs(a - b) > TOLERANCE for a, b in zip(got, want)):
            problems.append(f"{name} page {page}: picture ink at {got}, expected about "
                            f"{tuple(round(v) for v in want)}")
        else:
            print(f"{name} page {page}: picture ink at {got}")
        lines = exp["lines"].get(page, [])
        for x, y, line in lines:
            got = ink_box(image, (x - 20, y, w, y + lh))
            if got is None:
                problems.append(f"{name} page {page}: no ink for {line!r} at y {y}")
            elif abs(got[0] - x) > TOLERANCE + 2:
                problems.append(f"{name} page {page}: {line!r} starts at x {got[0]}, not {x}")
        if len(lines) > 3:
            x, y, _ = lines[2]
            gap = ink_box(image, (x - 20, y + lh, w, y + 2 * lh))
            if gap is not None:
                problems.append(f"{name} page {page}: ink {gap} in the blank line under the headings")
            x, y, _ = lines[-1]
            below = ink_box(image, (x - 20, y + lh, w, h))
            if below is not None:
                problems.append(f"{name} page {page}: ink {below} below the last line")
        # Each line's text on its own baseline within the line's band.
        found = texts[page - 1] if page <= len(texts) else []
        for _, y, line in lines:
            here = [t for base, t in found if y <= base <= y + lh]
            if [normalise(t) for t in here] != [normalise(line)]:
                problems.append(f"{name} page {page}: at y {y} the page says {here}, "
                                f"not {line!r}")
        if len(found) != len(lines):
            problems.append(f"{name} page {page}: {len(found)} lines of text, "
                            f"expected {len(lines)}")
        print(f"{name} page {page}: {len(lines)} lines checked")
    return problems


def main():
    out, art = sys.argv[1], sys.argv[2]
    names = sorted(f[:-3] for f in os.listdir(out) if f.endswith(".ps"))
    wanted = ["editor-landscape", "editor-page-two", "editor-portrait"]
    missing = [n for n in wanted if n not in names or
               not os.path.exists(os.path.join(out, n + ".expected"))]
    if missing:
        sys.exit(f"missing printouts in {out}: {missing}")
    problems = []
    for name in wanted:
        problems += check(out, art, name)
    if problems:
        sys.exit("\n".join(problems))


if __name__ == "__main__":
    main()
