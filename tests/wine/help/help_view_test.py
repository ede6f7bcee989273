#!/usr/bin/env python3
"""KLOOM.HLP and OSTRA.HLP in Wine's help viewer: each help call the programs
make (the contents, and a numeric context id of every help table) opens the
topic, and the viewer shows exactly the topic's title and text from its
source. A picture of the screen is saved for each call.

Run by the Wine harness (KL_WINE, DISPLAY and WINEPREFIX are set) with:
  help_view_test.py HELPSHOW.EXE HELP_FOLDER SOURCE_FOLDER SCREENSHOT_FOLDER
"""

import os
import subprocess
import sys

sys.path.insert(0, sys.argv[3] if len(sys.argv) > 3 else ".")
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import help_source  # noqa: E402
from viewer import run_helpshow, screenshot, shown_lines, topic_lines, windows_path  # noqa: E402

HELP_CONTEXT = 1
HELP_FINDER = 11

# (picture name, help file, command, data): what the programs ask for, in an
# order where no call shows the same topic as the call before it.
CALLS = [
    ("kloom-help-topics", "KLOOM.HLP", HELP_FINDER, 1),            # Help menu, Help Topics
    ("kloom-assignment-table-list", "KLOOM.HLP", HELP_CONTEXT, 52),  # dialog 103
    ("kloom-assignment-table-ok", "KLOOM.HLP", HELP_CONTEXT, 53),
    ("kloom-profile-name-edit", "KLOOM.HLP", HELP_CONTEXT, 60),      # dialog 102
    ("kloom-help-contents", "KLOOM.HLP", HELP_CONTEXT, 1),          # Help menu, Help Contents
    ("kloom-web-address-edit", "KLOOM.HLP", HELP_CONTEXT, 63),      # dialog 281
    ("ostra-sheet-help", "OSTRA.HLP", HELP_FINDER, 25),             # the sheet's Help button
    ("ostra-sheet-ok", "OSTRA.HLP", HELP_CONTEXT, 7),
    ("ostra-select-list", "OSTRA.HLP", HELP_CONTEXT, 10),
    ("ostra-calibrate-back", "OSTRA.HLP", HELP_CONTEXT, 3),
    ("ostra-test-axes", "OSTRA.HLP", HELP_CONTEXT, 14),
    ("ostra-type-number", "OSTRA.HLP", HELP_CONTEXT, 13),
    ("ostra-custom-hat", "OSTRA.HLP", HELP_CONTEXT, 21),
    # A file of odd topics made here: a paragraph running over several topic
    # blocks and characters above 127.
    ("odd-long-paragraph", "ODD.HLP", HELP_CONTEXT, 2),
    ("odd-characters", "ODD.HLP", HELP_CONTEXT, 3),
]

ODD_SOURCE = """@title Odd topics
@topic main 1: Odd topics
Start.
@topic long 2: A long paragraph
{words}
@popup accents 3: Caf\u00e9 \u00e0 la cr\u00e8me
5 \u20ac, \u00bd \u2013 na\u00efve \u00fcber Stra\u00dfe, \u00a9 \u00ae \u00b0
"""


def make_odd_file(folder):
    """Compiles the odd source; returns the help file's path."""
    words = " ".join(f"word{i}" for i in range(3000))
    source = os.path.join(folder, "odd.help")
    with open(source, "w", encoding="utf-8") as f:
        f.write(ODD_SOURCE.format(words=words))
    compiler = os.path.join(os.path.dirname(help_source.__file__), "helpc.py")
    hlp = os.path.join(folder, "ODD.HLP")
    subprocess.run([sys.executable, compiler, source, "--hlp", hlp], check=True)
    return hlp, source


def expected_lines(source, command, data):
    """The title and paragraphs of the topic a call should open."""
    if command == HELP_FINDER:
        wanted = [t for t in source.topics if t.name.lower() == source.contents.lower()]
    else:
        wanted = [t for t in source.topics if t.map_id == data]
    return topic_lines(wanted[0])


def main():
    helpshow, help_folder, source_folder, shots = sys.argv[1:5]
    os.makedirs(shots, exist_ok=True)
    files = {name: (os.path.join(help_folder, name),
                    os.path.join(source_folder, f"{name[:-4].lower()}.help"))
             for name in ("KLOOM.HLP", "OSTRA.HLP")}
    files["ODD.HLP"] = make_odd_file(shots)
    sources = {name: help_source.parse(source) for name, (_, source) in files.items()}
    failures = 0
    for name, file_name, command, data in CALLS:
        out = os.path.join(shots, name + ".txt")
        if os.path.exists(out):
            os.remove(out)
        status, output = run_helpshow(helpshow, [windows_path(files[file_name][0]), str(command),
                                                 str(data), windows_path(out)],
                                      os.path.join(shots, name + ".log"))
        picture = os.path.join(shots, name + ".png")
        screenshot(picture)
        want = expected_lines(sources[file_name], command, data)
        if status != 0:
            print(f"FAIL {name}: {output[-400:]}")
            failures += 1
            continue
        got = shown_lines(out)
        if got != want:
            print(f"FAIL {name}: the viewer shows {got!r}, the topic is {want!r}")
            failures += 1
            continue
        print(f"ok   {name}: {want[0]!r} ({picture})")
    run_helpshow(helpshow, ["--quit", windows_path(files["OSTRA.HLP"][0])],
                 os.path.join(shots, "quit.log"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
