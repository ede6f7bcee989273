#!/usr/bin/env python3
"""Writes layout_tables.h, the C++ form of the layout data file.

Usage: gen_layout.py --out HEADER [--layout layout.json]

The header is portable (standard library only) so that the editor's and the
applet's portable code, their unit tests and the Windows tests read the very
numbers the pictures were drawn from.
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import layout  # noqa: E402

PROLOGUE = """\
// Coordinate tables shared by the programs and the pictures of the resource
// modules: the editor's hot spots, regions, pad layouts, picture menus and
// drawing rectangles, the applet's test page tables, and the id and natural
// size of every bitmap. Generated from resources/layout/layout.json by
// resources/layout/gen_layout.py; do not edit. Rectangles include both edges.
#pragma once

#include <cstdint>
#include <span>

namespace kl::layout {

struct Point {
  int x;
  int y;
};

struct Size {
  int width;
  int height;
};

struct Rect {
  int left;
  int top;
  int right;
  int bottom;

  constexpr bool Contains(Point p) const {
    return left <= p.x && p.x <= right && top <= p.y && p.y <= bottom;
  }
  constexpr int Width() const { return right - left + 1; }
  constexpr int Height() const { return bottom - top + 1; }
};

enum class RegionShape { kPolygon, kEllipse };

// A polygon (alternate fill) or the ellipse inscribed in `bounds`.
struct Region {
  char name;
  RegionShape shape;
  std::span<const Point> points;
  Rect bounds;
};

inline constexpr int kNoRegion = -1;

// A hot spot reacts only inside its region as well, when it names one.
struct HotSpot {
  Rect rect;
  int region;
};

struct TextPlace {
  Point origin;
  int step;
  int limit;
};

struct PadModelLayout {
  int buttons;
  int inputs;
  std::span<const Rect> picture;
  std::span<const Rect> labels;
  Rect dpadReleased;
  int padBitmap;
  int printBitmap;
  int releasedBase;  // released picture of input p >= 4: releasedBase + p
  int pressedBase;   // pressed picture of input k: pressedBase + k
  int dpadReleasedBitmap;
  int labelSelectedBitmap;
  int labelUnselectedBitmap;
  int iconCurrentBitmap;
  int iconOtherBitmap;
};

struct PictureMenu {
  Rect tab;
  int region;
  int tabFaceBitmap;
  int tabPressedBitmap;
  Rect dropDown;
  int dropDownBitmap;
  int highlightBase;  // highlight of item d: highlightBase + d
  std::span<const Rect> items;
};

struct ButtonOverlay {
  std::uint32_t mask;
  int pressed;
  int released;
};

// One pad picture of the test page; overlay rows 0..8 are the directions
// (neutral, up, down, left, right, right-up, right-down, left-down, left-up),
// button row k uses overlay row 9 + k. Rectangles are relative to the origin.
struct TestPadLayout {
  int picture;
  Size size;
  std::span<const Rect> overlays;
  std::span<const ButtonOverlay> buttons;
};

struct BitmapEntry {
  int id;
  int width;
  int height;
};
"""


def cname(key):
    return "k" + key[0].upper() + key[1:]


def rect(r):
    return "Rect{%d, %d, %d, %d}" % tuple(r)


def point(p):
    return "Point{%d, %d}" % tuple(p)


def size(s):
    return "Size{%d, %d}" % tuple(s)


def rect_array(name, rects):
    body = ",\n    ".join(rect(r) for r in rects)
    return f"inline constexpr Rect {name}[] = {{\n    {body}}};\n"


def generate(data):
    v = data["view"]
    out = [PROLOGUE]
    w = out.append

    w("\n// ---- The editor's view -------------------------------------------------\n\n")
    w(f"inline constexpr Size kViewSize = {size(v['size'])};\n")
    for key, r in v["rects"].items():
        w(f"inline constexpr Rect {cname(key)}Rect = {rect(r)};\n")
    w(rect_array("kModeButtons", v["modeButtons"]))
    w(rect_array("kPadSelectorRows", v["padSelectorRows"]))
    icon = v["padSelectorIcon"]
    w("// The pad icon of a selector row r: r.left + x, r.top + y, that size.\n")
    w(f"inline constexpr Point kPadSelectorIconOffset = {point(icon['offset'])};\n")
    w(f"inline constexpr Size kPadSelectorIconSize = {size(icon['size'])};\n")
    w(f"inline constexpr Point kPadSelectorCaptionOffset = {point(v['padSelectorCaption'])};\n")
    w(rect_array("kGameRows", v["gameRows"]))
    w(rect_array("kProfileRows", v["profileRows"]))
    w(rect_array("kActiveBoxes", v["activeBoxes"]))
    w(rect_array("kActiveMarks", v["activeMarks"]))
    for key, t in v["text"].items():
        origin = t.get("origin", t.get("offset"))
        w(f"inline constexpr TextPlace {cname(key)}Text = {{{point(origin)}, {t.get('step', 0)}, "
          f"{t['limit']}}};\n")
    w(f"inline constexpr int kStatusWrap = {v['text']['status']['wrap']};\n")
    w(f"inline constexpr Size kPrintPictureSize = {size(v['chosenPrintPicture'])};\n")
    logo = v["logoAnimation"]
    w(f"inline constexpr int kLogoFirst = {logo['first']};\n")
    w(f"inline constexpr int kLogoCount = {logo['count']};\n")

    names = list(v["regions"].keys())
    w("\n// Regions A to K of the hot spots.\n")
    for name, reg in v["regions"].items():
        if "polygon" in reg:
            pts = ", ".join(point(p) for p in reg["polygon"])
            w(f"inline constexpr Point kRegion{name}Points[] = {{{pts}}};\n")
    w("inline constexpr Region kRegions[] = {\n")
    for name, reg in v["regions"].items():
        if "polygon" in reg:
            xs = [p[0] for p in reg["polygon"]]
            ys = [p[1] for p in reg["polygon"]]
            bounds = [min(xs), min(ys), max(xs), max(ys)]
            w(f"    {{'{name}', RegionShape::kPolygon, kRegion{name}Points, {rect(bounds)}}},\n")
        else:
            w(f"    {{'{name}', RegionShape::kEllipse, {{}}, {rect(reg['ellipse'])}}},\n")
    w("};\n")
    for i, name in enumerate(names):
        w(f"inline constexpr int kRegion{name} = {i};\n")

    w("\n// The hot spots in the order a click tests them.\n")
    w("enum HotSpotIndex : int {\n")
    for i, (name, _, _) in enumerate(v["hotSpots"]):
        w(f"  kHot{name} = {i},\n")
    w(f"  kHotSpotCount = {len(v['hotSpots'])},\n")
    w("};\n")
    w("inline constexpr HotSpot kHotSpots[kHotSpotCount] = {\n")
    for name, r, region in v["hotSpots"]:
        reg = f"kRegion{region}" if region else "kNoRegion"
        w(f"    {{{rect(r)}, {reg}}},  // {name}\n")
    w("};\n")

    w("\n// ---- The two pad models --------------------------------------------------\n\n")
    for model, m in data["models"].items():
        w(rect_array(f"kModel{model}Picture", m["picture"]))
        w(rect_array(f"kModel{model}Labels", m["labels"]))
    for model, m in data["models"].items():
        ids = layout.MODEL_IDS[model]
        w(f"inline constexpr PadModelLayout kModel{model} = {{\n"
          f"    {model}, {m['inputs']}, kModel{model}Picture, kModel{model}Labels,\n"
          f"    {rect(m['dpadReleased'])}, {ids['pad']}, {ids['print']}, {ids['released_base']},\n"
          f"    {ids['pressed_base']}, {ids['dpad_released']}, {ids['label_selected']}, "
          f"{ids['label_unselected']},\n"
          f"    {ids['icon_current']}, {ids['icon_other']}}};\n")
    w("// The layout of a model (10 or 12 buttons), or null.\n")
    w("constexpr const PadModelLayout* FindModel(int buttons) {\n"
      "  return buttons == 10 ? &kModel10 : buttons == 12 ? &kModel12 : nullptr;\n}\n")

    w("\n// ---- The picture menus --------------------------------------------------\n\n")
    for m, menu in enumerate(data["menus"]):
        w(rect_array(f"kMenu{m + 1}Items", menu["items"]))
    w("inline constexpr PictureMenu kMenus[] = {\n")
    for m, (menu, ids) in enumerate(zip(data["menus"], layout.MENU_IDS)):
        w(f"    {{{rect(menu['tab'])}, kRegion{menu['region']}, {ids['face']}, {ids['pressed']}, "
          f"{rect(menu['dropDown'])}, {ids['drop_down']}, {ids['highlight']}, kMenu{m + 1}Items}},\n")
    w("};\n")

    t = data["testPage"]
    w("\n// ---- The applet's test page ----------------------------------------------\n\n")
    w(f"// The large layout is used when the picture area is larger than this.\n")
    w(f"inline constexpr Size kTestLargeArea = {size(t['largeArea'])};\n")
    for model, layouts in t["layouts"].items():
        for kind, lay in layouts.items():
            tag = f"{model}{kind.capitalize()}"
            w(rect_array(f"kTestPad{tag}Overlays", lay["overlays"]))
            rows = ", ".join("{0x%x, %d, %d}" % tuple(b) for b in lay["buttons"])
            w(f"inline constexpr ButtonOverlay kTestPad{tag}Buttons[] = {{{rows}}};\n")
            w(f"inline constexpr TestPadLayout kTestPad{tag} = {{{lay['picture']}, "
              f"{size(lay['size'])}, kTestPad{tag}Overlays, kTestPad{tag}Buttons}};\n")
    w("// Released pictures drawn for the buttons whose table row repeats the pressed one.\n")
    for model, pairs in t["chosenReleasedWhereTheTableRepeatsPressed"].items():
        rows = ", ".join("{0x%x, %d}" % tuple(p) for p in pairs)
        w(f"inline constexpr std::uint32_t kTestPad{model}LargeSpareReleased[][2] = {{{rows}}};\n")
    for key, val in t["cellSizes"].items():
        w(f"inline constexpr int kTestCell{key.upper()} = {val};\n")
    for key, val in t["buttonCellPitch"].items():
        w(f"inline constexpr int kTestButtonPitch{key.capitalize()} = {val};\n")
    for key, val in t["chosenSizes"].items():
        w(f"inline constexpr Size {cname(key)}Size = {size(val)};\n")
    w(f"inline constexpr Point kJoystickPictureAt = {point(t['joystickPictureAt'])};\n")
    w(f"inline constexpr Point kDevicePictureAt = {point(t['devicePictureAt'])};\n")
    il = data["imageLists"]
    w(f"inline constexpr int kImageListImages = {il['count']};\n")
    mask = il["chosenMaskColour"]
    w("// Colour of the image lists' transparent pixels, 0x00BBGGRR.\n")
    w(f"inline constexpr std::uint32_t kImageListMask = 0x{mask[2]:02X}{mask[1]:02X}{mask[0]:02X};\n")

    w("\n// ---- Every bitmap, with its natural size -------------------------------\n")
    for module, title in (("kloom", "Kloom"), ("ostra", "Ostra")):
        bitmaps = layout.bitmaps(module, data)
        w(f"\nnamespace {module} {{\n")
        for b in bitmaps:
            w(f"inline constexpr int k{b.name} = {b.id};\n")
        w("}  // namespace " + module + "\n")
        w(f"inline constexpr BitmapEntry k{title}Bitmaps[] = {{\n")
        for b in bitmaps:
            w(f"    {{{b.id}, {b.width}, {b.height}}},\n")
        w("};\n")
    w("\n}  // namespace kl::layout\n")
    return "".join(out)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", required=True)
    parser.add_argument("--layout", default=layout.LAYOUT_FILE)
    args = parser.parse_args(argv)
    text = generate(layout.load(args.layout))
    with open(args.out, "w", encoding="utf-8") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
