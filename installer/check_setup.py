#!/usr/bin/env python3
"""Checks a built setup program: lists it with 7-Zip and fails unless it holds
exactly the expected files, and every program and library in it is built for
the expected processor.

Usage: check_setup.py --7z 7Z --machine i386|amd64 SETUP.exe FOLDER/NAME...

FOLDER is INSTDIR for the installation folder (7-Zip shows those files
without a folder) or APPLET for the applet's folder, a variable of the script
that 7-Zip shows by its number ($_N_).
"""

import argparse
import os
import re
import struct
import subprocess
import sys
import tempfile

MACHINES = {"i386": 0x14C, "amd64": 0x8664}
FOLDERS = {"INSTDIR": "", "APPLET": "$APPLET/"}
VARIABLE_FOLDER = re.compile(r"^\$_\d+_/")


def listed_paths(sevenzip, setup):
    out = subprocess.run([sevenzip, "l", "-slt", "-ba", setup], capture_output=True, text=True)
    if out.returncode != 0:
        sys.exit(f"check_setup: 7z could not list {setup}:\n{out.stdout}{out.stderr}")
    paths = {}
    for line in out.stdout.splitlines():
        if line.startswith("Path = "):
            path = line[len("Path = "):].replace("\\", "/")
            paths[VARIABLE_FOLDER.sub("$APPLET/", path)] = path
    return paths


def pe_machine(path):
    with open(path, "rb") as f:
        data = f.read(4096)
    if data[:2] != b"MZ" or len(data) < 0x40:
        return None
    offset = struct.unpack_from("<I", data, 0x3C)[0]
    if offset + 6 > len(data) or data[offset:offset + 4] != b"PE\0\0":
        return None
    return struct.unpack_from("<H", data, offset + 4)[0]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--7z", dest="sevenzip", required=True)
    parser.add_argument("--machine", choices=sorted(MACHINES), required=True)
    parser.add_argument("setup")
    parser.add_argument("expected", nargs="+")
    args = parser.parse_args()

    expected = set()
    for item in args.expected:
        folder, _, name = item.partition("/")
        if folder not in FOLDERS or not name:
            sys.exit(f"check_setup: bad expected entry {item}")
        expected.add(FOLDERS[folder] + name)
    # The uninstaller, written by the script itself.
    expected.add("Uninstall.exe")

    listing = listed_paths(args.sevenzip, args.setup)
    held = set(listing)
    missing, extra = sorted(expected - held), sorted(held - expected)
    if missing or extra:
        sys.exit(f"check_setup: {args.setup}: missing {missing}, unexpected {extra}")

    binaries = [p for p in sorted(expected)
                if p.lower().endswith((".exe", ".dll", ".cpl")) and p != "Uninstall.exe"]
    with tempfile.TemporaryDirectory() as folder:
        out = subprocess.run([args.sevenzip, "x", "-y", f"-o{folder}", args.setup],
                             capture_output=True, text=True)
        if out.returncode != 0:
            sys.exit(f"check_setup: 7z could not unpack {args.setup}:\n{out.stdout}{out.stderr}")
        for path in binaries:
            unpacked = os.path.join(folder, *listing[path].split("/"))
            machine = pe_machine(unpacked) if os.path.exists(unpacked) else None
            if machine != MACHINES[args.machine]:
                found = "not a PE file" if machine is None else hex(machine)
                sys.exit(f"check_setup: {path} in {args.setup} is {found}, "
                         f"not {args.machine}")
    print(f"check_setup: {args.setup} holds {len(expected)} files, programs for {args.machine}")


if __name__ == "__main__":
    main()
