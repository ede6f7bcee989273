#!/usr/bin/env python3
"""OSTRA.CPL's help through the real window: the applet, opened by Wine's
control panel with the work folder naming the build's program folder, shows
its sheet; a click on Help opens OSTRA.HLP in the help viewer on its contents
topic, F1 on the selection page's list of controllers opens the list's topic
(its help context id 10), and Cancel closes the sheet again.

Run by the Wine harness with:
  applet_help_test.py HELPSHOW.EXE PROGRAM_FOLDER SOURCE_FOLDER SCREENSHOT_FOLDER
"""

import os
import subprocess
import sys

sys.path.insert(0, sys.argv[3] if len(sys.argv) > 3 else ".")
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import help_source  # noqa: E402
from viewer import run_helpshow, screenshot, shown_lines, topic_lines, windows_path  # noqa: E402

SHEET = "Joystick Properties"
WORK_PATH_KEY = r"HKCU\Software\Vornatek\GamePad2\WorkPath"


def wine(*args):
    return subprocess.run([os.environ.get("KL_WINE", "wine")] + list(args),
                          stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL, timeout=60).returncode


def click_control(helpshow, shots, how, control, then=()):
    """Clicks the middle of a control of the sheet, found by its text
    (--point) or its dialog id (--control), and sends the X keys `then`."""
    status, output = run_helpshow(helpshow, [how, SHEET, control],
                                  os.path.join(shots, "point.log"))
    if status != 0:
        raise RuntimeError(output)
    x, y = output.split()[-2:]
    keys = ["key"] + list(then) if then else []
    subprocess.run(["xdotool", "mousemove", x, y, "click", "1"] + keys, check=True)


def check_shown(helpshow, shots, name, topic, what):
    """Waits for the viewer to show a text and compares it with `topic`;
    the number of failures (0 or 1)."""
    out = os.path.join(shots, name + ".txt")
    status, output = run_helpshow(helpshow, ["--wait", windows_path(out)],
                                  os.path.join(shots, "wait.log"))
    screenshot(os.path.join(shots, name + ".png"))
    if status != 0:
        print(f"FAIL {what} opened no help: {output}")
        return 1
    if shown_lines(out) != topic_lines(topic):
        print(f"FAIL {what} shows {shown_lines(out)!r}")
        return 1
    print(f"ok   {what} shows the topic {topic.title!r}")
    return 0


def main():
    helpshow, programs, source_folder, shots = sys.argv[1:5]
    os.makedirs(shots, exist_ok=True)
    source = help_source.parse(os.path.join(source_folder, "ostra.help"))
    contents = [t for t in source.topics if t.name.lower() == source.contents.lower()][0]
    by_id = {t.map_id: t for t in source.topics if t.map_id is not None}
    help_file = windows_path(os.path.join(programs, "OSTRA.HLP"))

    wine("reg", "add", WORK_PATH_KEY, "/v", "Path", "/d", windows_path(programs), "/f")
    log = open(os.path.join(shots, "control.log"), "w")
    panel = subprocess.Popen([os.environ.get("KL_WINE", "wine"), "control",
                              windows_path(os.path.join(programs, "OSTRA.CPL"))],
                             stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT)
    failures = 0
    try:
        click_control(helpshow, shots, "--point", "Help")
        failures += check_shown(helpshow, shots, "sheet-help-button", contents, "the Help button")
        run_helpshow(helpshow, ["--quit", help_file], os.path.join(shots, "quit.log"))
        # F1 on the list of the selection page (control 1021).
        click_control(helpshow, shots, "--control", "1021", then=["F1"])
        failures += check_shown(helpshow, shots, "select-list-f1", by_id[10], "F1 on the list")
        run_helpshow(helpshow, ["--quit", help_file], os.path.join(shots, "quit.log"))
        click_control(helpshow, shots, "--point", "Cancel")
        panel.wait(timeout=30)
    finally:
        if panel.poll() is None:
            panel.kill()
            panel.wait()
        log.close()
        wine("reg", "delete", WORK_PATH_KEY, "/v", "Path", "/f")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
