#!/bin/sh
# Turns the PostScript the print test wrote into PNG pages with Ghostscript
# and checks each page's ink: page 1 a black block from 1/10 to 4/10 across
# and 1/10 to 3/10 down, page 2 one from 6/10 to 9/10 and 6/10 to 8/10.
set -eu
out="$1"
test -s "$out/two-pages.ps" || { echo "no two-pages.ps in $out" >&2; exit 1; }
rm -f "$out"/two-pages-*.png
gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=pnggray -r30 \
   -sOutputFile="$out/two-pages-%d.png" "$out/two-pages.ps"
/usr/bin/python3 - "$out" <<'PY'
import sys
from PIL import Image
out = sys.argv[1]
expected = {1: (0.1, 0.1, 0.4, 0.3), 2: (0.6, 0.6, 0.9, 0.8)}
import os
pages = sorted(f for f in os.listdir(out) if f.startswith("two-pages-") and f.endswith(".png"))
if len(pages) != 2:
    sys.exit(f"{len(pages)} pages, expected 2")
for n, (l, t, r, b) in expected.items():
    image = Image.open(f"{out}/two-pages-{n}.png").convert("L")
    w, h = image.size
    box = image.point(lambda v: 255 if v < 128 else 0).getbbox()
    if box is None:
        sys.exit(f"page {n}: no ink")
    want = (l * w, t * h, r * w, b * h)
    if any(abs(a - e) > 3 for a, e in zip(box, want)):
        sys.exit(f"page {n}: ink at {box}, expected about {tuple(round(v) for v in want)}")
    print(f"page {n}: ink at {box} of {w}x{h}")
PY
