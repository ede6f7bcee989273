"""What the art generator makes for each resource module, and the resource
id each picture gets.

A module's generated resource script (MODULE_art.rc) lists its entries; the
module's own .rc includes it. Bitmaps join as entries of kind "bitmap" with a
drawing of their own; nothing here needs Pillow, so the build can ask for the
list of outputs before drawing anything.
"""

import os
import sys
from collections import namedtuple

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "layout"))

import layout  # noqa: E402

# kind: "icon", "cursor" or "bitmap"; drawing: the name of a function of
# icons.py (bitmaps are drawn by editor_art.py and applet_art.py from the
# layout data file).
Entry = namedtuple("Entry", "resource_id kind drawing file")

ICON_SIZES = (16, 32)

MODULES = {
    # KLOOM_RS.DLL: the editor's frame and window class icon, and the arrow
    # cursor its window class asks the module for.
    "kloom": [
        Entry(128, "icon", "editor_icon", "kloom_128.ico"),
        Entry(32512, "cursor", "arrow_cursor", "arrow.cur"),
    ],
    # ORVO_RS.DLL: the tray icon, the hidden frame's icon and the cursor.
    "orvo": [
        Entry(150, "icon", "tray_icon", "orvo_150.ico"),
        Entry(160, "icon", "applet_icon", "orvo_160.ico"),
        Entry(32512, "cursor", "arrow_cursor", "arrow.cur"),
    ],
    # OSTRARS.DLL: the applet base's default icon and the applet's icon.
    "ostra": [
        Entry(1, "icon", "joystick_icon", "ostra_1.ico"),
        Entry(131, "icon", "applet_icon", "ostra_131.ico"),
    ],
    # OSTRA.CPL itself: its icon groups 130 to 132.
    "ostra_cpl": [
        Entry(130, "icon", "joystick_icon", "ostra_cpl_130.ico"),
        Entry(131, "icon", "applet_icon", "ostra_cpl_131.ico"),
        Entry(132, "icon", "calibration_icon", "ostra_cpl_132.ico"),
    ],
}


# The modules whose bitmaps the layout data file lists.
BITMAP_MODULES = ("kloom", "ostra")


def bitmap_entries(module, data=None):
    if module not in BITMAP_MODULES:
        return []
    data = data or layout.load()
    return [Entry(b.id, "bitmap", None, f"{module}_{b.id}.bmp") for b in layout.bitmaps(module, data)]


def rc_name(module):
    return f"{module}_art.rc"


def outputs():
    """Every file the generator writes, without duplicates, in a fixed order."""
    files = []
    data = layout.load()
    for module, entries in MODULES.items():
        for entry in entries + bitmap_entries(module, data):
            if entry.file not in files:
                files.append(entry.file)
        files.append(rc_name(module))
    return files
