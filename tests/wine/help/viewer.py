"""What the Wine tests of the help files share: running helpshow.exe, the
lines a topic should show and the lines the viewer shows, Windows paths and
screen pictures."""

import os
import subprocess


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def run_helpshow(helpshow, args, log, timeout=60):
    """Runs helpshow.exe under wine; returns (exit status, its output). The
    viewer inherits the helper's output handles and outlives it, so a pipe
    would stay open: the output goes to the file `log`."""
    wine = os.environ.get("KL_WINE", "wine")
    with open(log, "w") as log_file:
        run = subprocess.run([wine, helpshow] + args, stdin=subprocess.DEVNULL, stdout=log_file,
                             stderr=subprocess.STDOUT, timeout=timeout)
    with open(log, errors="replace") as log_file:
        return run.returncode, log_file.read().strip()


def topic_lines(topic):
    """The title and paragraphs of a topic of a parsed help source."""
    lines = [topic.title]
    for paragraph in topic.paragraphs:
        lines.append("".join(piece[1] for piece in paragraph))
    return lines


def shown_lines(path):
    """The lines helpshow wrote down, without the empty ones."""
    with open(path, "rb") as f:
        text = f.read().decode("cp1252").replace("\r\n", "\n").replace("\r", "\n")
    return [line.strip() for line in text.split("\n") if line.strip()]


def screenshot(path):
    subprocess.run(["import", "-window", "root", path], check=False)
