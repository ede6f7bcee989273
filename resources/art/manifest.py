"""What the art generator makes for each resource module, and the resource
id each picture gets.

A module's generated resource script (MODULE_art.rc) lists its entries; the
module's own .rc includes it. Bitmaps join as entries of kind "bitmap" with a
drawing of their own; nothing here needs Pillow, so the build can ask for the
list of outputs before drawing anything.
"""

from collections import namedtuple

# kind: "icon" or "cursor"; drawing: the name of a function of icons.py.
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


def rc_name(module):
    return f"{module}_art.rc"


def outputs():
    """Every file the generator writes, without duplicates, in a fixed order."""
    files = []
    for module, entries in MODULES.items():
        for entry in entries:
            if entry.file not in files:
                files.append(entry.file)
        files.append(rc_name(module))
    return files
