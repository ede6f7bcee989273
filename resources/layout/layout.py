"""The layout data file, read for the header generator and the art generator.

load() gives the parsed file; kloom_bitmaps() and ostra_bitmaps() list every
bitmap of the two modules with its id, the name the C++ header gives it, its
size, and where it is drawn (a rectangle of the window it is drawn into, or
None where its place depends on the dialog). A bitmap drawn into several
rectangles takes the largest width and the largest height of them.
"""

import json
import os
from collections import namedtuple

LAYOUT_FILE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "layout.json")

# name: the C++ constant without its k prefix; rect: where it is drawn
# (None: no fixed place); role: what the art generator draws for it.
Bitmap = namedtuple("Bitmap", "id name width height rect role")


def load(path=LAYOUT_FILE):
    with open(path, encoding="utf-8") as f:
        return json.load(f)


def size_of(rect):
    return rect[2] - rect[0] + 1, rect[3] - rect[1] + 1


def largest(rects):
    sizes = [size_of(r) for r in rects]
    return max(w for w, _ in sizes), max(h for _, h in sizes)


def _at(bid, name, rect, role):
    w, h = size_of(rect)
    return Bitmap(bid, name, w, h, tuple(rect), role)


def _sized(bid, name, size, role):
    return Bitmap(bid, name, size[0], size[1], None, role)


# Ids of the editor's bitmaps that are not derived from a table of the file.
MODEL_IDS = {
    "10": dict(pad=201, print=205, released_base=397, pressed_base=411, dpad_released=400,
               label_selected=425, label_unselected=426, icon_current=331, icon_other=332),
    "12": dict(pad=202, print=206, released_base=447, pressed_base=463, dpad_released=450,
               label_selected=480, label_unselected=479, icon_current=333, icon_other=334),
}
MENU_IDS = [dict(face=217, pressed=216, drop_down=239, highlight=300),
            dict(face=220, pressed=221, drop_down=240, highlight=310),
            dict(face=219, pressed=218, drop_down=241, highlight=320)]


def kloom_bitmaps(data):
    v = data["view"]
    r = v["rects"]
    out = [
        _at(200, "Background", r["background"], "skin"),
        _at(201, "Pad10", r["padPicture"], "pad:10"),
        _at(202, "Pad12", r["padPicture"], "pad:12"),
        _sized(205, "PrintPad10", v["chosenPrintPicture"], "print:10"),
        _sized(206, "PrintPad12", v["chosenPrintPicture"], "print:12"),
    ]
    for mode, rect in enumerate(v["modeButtons"]):
        out.append(_at(210 + mode, f"ModeSelected{mode}", rect, f"mode:{mode}:on"))
        out.append(_at(213 + mode, f"ModeUnselected{mode}", rect, f"mode:{mode}:off"))
    for m, (menu, ids) in enumerate(zip(data["menus"], MENU_IDS)):
        out.append(_at(ids["pressed"], f"Tab{m + 1}Pressed", menu["tab"], f"tab:{m}:on"))
        out.append(_at(ids["face"], f"Tab{m + 1}Face", menu["tab"], f"tab:{m}:off"))
        out.append(_at(ids["drop_down"], f"DropDown{m + 1}", menu["dropDown"], f"dropdown:{m}"))
        for d, item in enumerate(menu["items"]):
            out.append(_at(ids["highlight"] + d, f"Menu{m + 1}Item{d}", item, f"item:{m}:{d}"))
    out += [
        _at(222, "MinimisePressed", r["minimiseBox"], "skin:minimise"),
        _at(223, "ClosePressed", r["closeBox"], "skin:close"),
        _at(224, "ExitPressed", r["exitButton"], "skin:exit"),
    ]
    arrows_up = [r["gamePageUp"], r["profilePageUp"]]
    arrows_down = [r["gamePageDown"], r["profilePageDown"]]
    out += [
        Bitmap(225, "PageUpPressed", *largest(arrows_up), tuple(r["gamePageUp"]), "arrow:up:on"),
        Bitmap(226, "PageUpReleased", *largest(arrows_up), tuple(r["gamePageUp"]), "arrow:up:off"),
        Bitmap(227, "PageDownPressed", *largest(arrows_down), tuple(r["gamePageDown"]),
               "arrow:down:on"),
        Bitmap(228, "PageDownReleased", *largest(arrows_down), tuple(r["gamePageDown"]),
               "arrow:down:off"),
        _at(231, "ProfileList", r["profileList"], "skin:profiles"),
        _at(232, "StatusBox", r["statusBox"], "skin:status"),
        _at(233, "GameList", r["gameList"], "skin:games"),
        _at(234, "PanelKey", r["panel"], "panel:0"),
        _at(235, "PanelSequence", r["panel"], "panel:1"),
        _at(236, "PanelCycle", r["panel"], "panel:2"),
        Bitmap(237, "ActiveOff", *largest(v["activeMarks"]), tuple(v["activeMarks"][0]), "active:off"),
        Bitmap(238, "ActiveOn", *largest(v["activeMarks"]), tuple(v["activeMarks"][0]), "active:on"),
    ]
    strip = [r["stripButton1"], r["stripButton3"]]
    out += [
        Bitmap(251, "ClearPressed", *largest(strip), tuple(r["stripButton1"]), "strip:clear:on"),
        _at(252, "RecordReleased", r["stripButton1"], "strip:record:off"),
        _at(253, "RecordPressed", r["stripButton1"], "strip:record:on"),
        _at(254, "StopReleased", r["stripButton2"], "strip:stop:off"),
        _at(255, "StopPressed", r["stripButton2"], "strip:stop:on"),
        _at(256, "ScrollLeftPressed", r["scrollLeft"], "scroll:left:on"),
        _at(257, "ScrollLeftReleased", r["scrollLeft"], "scroll:left:off"),
        _at(258, "ScrollRightPressed", r["scrollRight"], "scroll:right:on"),
        _at(259, "ScrollRightReleased", r["scrollRight"], "scroll:right:off"),
        _at(260, "CheckTicked", r["checkBox"], "check:on"),
        _at(261, "CheckUnticked", r["checkBox"], "check:off"),
        Bitmap(273, "SelectorCurrent", *largest(v["padSelectorRows"]), tuple(v["padSelectorRows"][0]),
               "selector:current"),
        _at(327, "ImportPressed", r["importButton"], "import:on"),
        _at(328, "ImportFace", r["importButton"], "import:off"),
        _at(330, "SelectorBackground", r["padSelector"], "selector"),
    ]
    icon = v["padSelectorIcon"]["size"]
    for model in ("10", "12"):
        ids = MODEL_IDS[model]
        out.append(_sized(ids["icon_current"], f"PadIcon{model}Current", icon, f"icon:{model}:on"))
        out.append(_sized(ids["icon_other"], f"PadIcon{model}Other", icon, f"icon:{model}:off"))
    for model in ("10", "12"):
        ids = MODEL_IDS[model]
        m = data["models"][model]
        n = m["inputs"]
        out.append(_at(ids["dpad_released"], f"DpadReleased{model}", m["dpadReleased"],
                       f"input:{model}:dpad:off"))
        for p in range(4, n):
            out.append(_at(ids["released_base"] + p, f"Released{model}Input{p}", m["picture"][p],
                           f"input:{model}:{p}:off"))
        for k in range(n):
            out.append(_at(ids["pressed_base"] + k, f"Pressed{model}Input{k}", m["picture"][k],
                           f"input:{model}:{k}:on"))
        w, h = largest(m["labels"])
        out.append(Bitmap(ids["label_selected"], f"Label{model}Selected", w, h, None,
                          f"label:{model}:on"))
        out.append(Bitmap(ids["label_unselected"], f"Label{model}Unselected", w, h, None,
                          f"label:{model}:off"))
    logo = v["logoAnimation"]
    for i in range(logo["count"]):
        out.append(_at(logo["first"] + i, f"Logo{i}", r["logo"], f"logo:{i}"))
    return sorted(out, key=lambda b: b.id)


HAT_IDS = [(226, "HatCentred", "centre"), (227, "Hat0", 0), (229, "Hat4500", 4500),
           (228, "Hat9000", 9000), (232, "Hat13500", 13500), (231, "Hat18000", 18000),
           (233, "Hat22500", 22500), (234, "Hat27000", 27000), (230, "Hat31500", 31500)]
DIRECTIONS = ["Neutral", "Up", "Down", "Left", "Right", "RightUp", "RightDown", "LeftDown",
              "LeftUp"]


def ostra_bitmaps(data):
    t = data["testPage"]
    s = t["chosenSizes"]
    lists = data["imageLists"]
    out = []
    for bid, cell in lists["lists"]:
        out.append(Bitmap(bid, f"ImageList{bid}", cell * lists["count"], cell, None,
                          f"imagelist:{cell}"))
    pairs = [(210, "Joystick", "joystickPicture", "port"), (212, "Generic", "devicePicture", "generic"),
             (214, "Pad10Small", "devicePicture", "pad10"), (216, "Pad12Small", "devicePicture", "pad12")]
    for bid, name, size, what in pairs:
        out.append(_sized(bid, f"{name}Picture", s[size], f"device:{what}:image"))
        out.append(_sized(bid + 1, f"{name}Mask", s[size], f"device:{what}:mask"))
    out += [
        _sized(220, "BarBackground", s["bar"], "bar"),
        _sized(221, "XyBox", s["xyBox"], "xybox"),
        _sized(222, "CellReleased", s["buttonCell"], "cell:off"),
        _sized(223, "CellMask", s["buttonCell"], "cell:mask"),
        _sized(224, "CellPressed", s["buttonCell"], "cell:on"),
        _sized(225, "Marker", s["marker"], "marker"),
        _sized(235, "HatMask", s["hat"], "hat:mask"),
    ]
    for bid, name, value in HAT_IDS:
        out.append(_sized(bid, name, s["hat"], f"hat:{value}"))
    for model, layouts in t["layouts"].items():
        for kind, lay in layouts.items():
            tag = f"{model}{kind.capitalize()}"
            base = lay["picture"]
            out.append(_sized(base, f"TestPad{tag}", lay["size"], f"test:{model}:{kind}:pad"))
            for d, name in enumerate(DIRECTIONS):
                out.append(_at(base + 1 + d, f"TestPad{tag}{name}", lay["overlays"][d],
                               f"test:{model}:{kind}:dir:{d}"))
            seen = set()
            extra = dict(t["chosenReleasedWhereTheTableRepeatsPressed"][model]) if kind == "large" else {}
            for row, (mask, pressed, released) in enumerate(lay["buttons"]):
                rect = lay["overlays"][9 + row]
                if pressed not in seen:
                    out.append(_at(pressed, f"TestPad{tag}Pressed{row}", rect,
                                   f"test:{model}:{kind}:button:{row}:on"))
                    seen.add(pressed)
                if released not in seen:
                    out.append(_at(released, f"TestPad{tag}Released{row}", rect,
                                   f"test:{model}:{kind}:button:{row}:off"))
                    seen.add(released)
                if mask in extra and extra[mask] not in seen:
                    out.append(_at(extra[mask], f"TestPad{tag}Released{row}", rect,
                                   f"test:{model}:{kind}:button:{row}:off"))
                    seen.add(extra[mask])
    return sorted(out, key=lambda b: b.id)


def bitmaps(module, data):
    return {"kloom": kloom_bitmaps, "ostra": ostra_bitmaps}[module](data)
