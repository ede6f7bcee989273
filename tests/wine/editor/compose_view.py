#!/usr/bin/python3
"""Composes the editor's view from a `kltool editor` transcript and compares
it with a screenshot of the real window.

    compose_view.py TRANSCRIPT ART_DIR SHOT OUT_DIR [--mask L,T,R,B ...]

The drawing of the transcript's first full repaint is replayed with the
resource modules' own pictures (ART_DIR/kloom_ID.bmp, each stretched into its
inclusive rectangle), into a picture the size of SHOT. Texts are drawn by
fonts, which differ between systems, so each text's box is left out of the
pixel comparison; instead each box must show some text (pixels unlike the
picture under it). The masks leave out areas that change by themselves (the
logo's animation).

Writes OUT_DIR/composed.png and OUT_DIR/differences.png (differing pixels in
red over a dimmed copy of the screenshot), prints one line of figures and
exits 0 when every compared pixel is equal and every text box shows text.
"""

import re
import sys
from pathlib import Path

from PIL import Image

# A generous box for a text of the list and label fonts (15 pixels high).
TEXT_HEIGHT = 18
TEXT_CHAR_WIDTH = 9


def parse_rect(text):
    left, top, right, bottom = (int(v) for v in text.split(","))
    return left, top, right, bottom


def first_repaint(lines):
    """The bitmap and text calls of the first full repaint, in order."""
    calls, inside = [], False
    for line in lines:
        if line == "repaint":
            if inside:
                break
            inside = True
            continue
        if not inside:
            continue
        m = re.match(r"bitmap (\d+) (-?\d+,-?\d+,-?\d+,-?\d+)$", line)
        if m:
            calls.append(("bitmap", int(m.group(1)), parse_rect(m.group(2))))
            continue
        m = re.match(r'text (-?\d+),(-?\d+) 0x[0-9a-f]{6} (label|list) "(.*)"$', line)
        if m:
            calls.append(("text", m.group(4), (int(m.group(1)), int(m.group(2)))))
    return calls


def compose(calls, art_dir, size):
    picture = Image.new("RGB", size, (0, 0, 0))
    texts = []
    for kind, what, where in calls:
        if kind == "bitmap":
            left, top, right, bottom = where
            source = Image.open(Path(art_dir) / f"kloom_{what}.bmp").convert("RGB")
            box = (right - left + 1, bottom - top + 1)
            if source.size != box:
                source = source.resize(box, Image.NEAREST)
            picture.paste(source, (left, top))
        elif what:
            x, y = where
            texts.append((x, y, x + TEXT_CHAR_WIDTH * len(what), y + TEXT_HEIGHT))
    return picture, texts


def inside(box, x, y):
    return box[0] <= x <= box[2] and box[1] <= y <= box[3]


def main(argv):
    if len(argv) < 5:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    transcript, art_dir, shot_path, out_dir = argv[1:5]
    masks = [parse_rect(v) for flag, v in zip(argv[5::2], argv[6::2]) if flag == "--mask"]
    calls = first_repaint(Path(transcript).read_text().splitlines())
    if not any(kind == "bitmap" for kind, _, _ in calls):
        print("the transcript holds no full repaint")
        return 1
    shot = Image.open(shot_path).convert("RGB")
    composed, texts = compose(calls, art_dir, shot.size)
    out = Path(out_dir)
    out.mkdir(parents=True, exist_ok=True)
    composed.save(out / "composed.png")

    width, height = shot.size
    want, got = composed.load(), shot.load()
    marks = shot.point(lambda v: v // 3)
    mark = marks.load()
    compared = differing = 0
    text_shown = [False] * len(texts)
    for y in range(height):
        for x in range(width):
            if any(inside(m, x, y) for m in masks):
                continue
            boxes = [i for i, t in enumerate(texts) if inside(t, x, y)]
            if boxes:
                if want[x, y] != got[x, y]:
                    for i in boxes:
                        text_shown[i] = True
                continue
            compared += 1
            if want[x, y] != got[x, y]:
                differing += 1
                mark[x, y] = (255, 0, 0)
    marks.save(out / "differences.png")
    blank = [texts[i] for i, shown in enumerate(text_shown) if not shown]
    print(f"compared {compared} of {width * height} pixels, {differing} differ; "
          f"{len(texts)} texts, {len(blank)} without any text pixel {blank}")
    return 0 if differing == 0 and not blank and compared > width * height // 2 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
