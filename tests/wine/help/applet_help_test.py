#!/usr/bin/env python3
"""OSTRA.CPL's Help button through the real window: the applet, opened by
Wine's control panel with the work folder naming the build's program folder,
shows its sheet; a click on Help opens OSTRA.HLP in the help viewer on its
contents topic, and Cancel closes the sheet again.

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


def click_control(helpshow, shots, text):
    status, output = run_helpshow(helpshow, ["--point", SHEET, text],
                                  os.path.join(shots, "point.log"))
    if status != 0:
        raise RuntimeError(output)
    x, y = output.split()[-2:]
    subprocess.run(["xdotool", "mousemove", x, y, "click", "1"], check=True)


def main():
    helpshow, programs, source_folder, shots = sys.argv[1:5]
    os.makedirs(shots, exist_ok=True)
    source = help_source.parse(os.path.join(source_folder, "ostra.help"))
    contents = [t for t in source.topics if t.name.lower() == source.contents.lower()][0]
    help_file = windows_path(os.path.join(programs, "OSTRA.HLP"))

    wine("reg", "add", WORK_PATH_KEY, "/v", "Path", "/d", windows_path(programs), "/f")
    log = open(os.path.join(shots, "control.log"), "w")
    panel = subprocess.Popen([os.environ.get("KL_WINE", "wine"), "control",
                              windows_path(os.path.join(programs, "OSTRA.CPL"))],
                             stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT)
    failures = 0
    try:
        click_control(helpshow, shots, "Help")
        out = os.path.join(shots, "sheet-help-button.txt")
        status, output = run_helpshow(helpshow, ["--wait", windows_path(out)],
                                      os.path.join(shots, "wait.log"))
        screenshot(os.path.join(shots, "sheet-help-button.png"))
        if status != 0:
            print(f"FAIL the Help button opened no help: {output}")
            failures += 1
        elif shown_lines(out) != topic_lines(contents):
            print(f"FAIL the Help button shows {shown_lines(out)!r}")
            failures += 1
        else:
            print(f"ok   the Help button shows the contents topic {contents.title!r}")
        run_helpshow(helpshow, ["--quit", help_file], os.path.join(shots, "quit.log"))
        click_control(helpshow, shots, "Cancel")
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
