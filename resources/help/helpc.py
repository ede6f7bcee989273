#!/usr/bin/env python3
"""The help compiler: turns one help source into a Windows Help file and its
contents file.

Usage: helpc.py SOURCE --hlp OUT.HLP [--cnt OUT.CNT]

The source format is described in help_source.py. Any error stops with the
source's file name and line and writes nothing.
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import help_source  # noqa: E402
import hlp_format  # noqa: E402


def write(path, data):
    temporary = path + ".tmp"
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("source")
    parser.add_argument("--hlp", required=True)
    parser.add_argument("--cnt")
    args = parser.parse_args()
    try:
        source = help_source.parse(args.source)
        hlp = hlp_format.help_file(source)
        cnt = hlp_format.contents_file(source, os.path.basename(args.hlp)) if args.cnt else None
    except (OSError, help_source.SourceError, hlp_format.FormatError) as error:
        print(f"helpc: {error}", file=sys.stderr)
        return 1
    write(args.hlp, hlp)
    if cnt is not None:
        write(args.cnt, cnt)
    return 0


if __name__ == "__main__":
    sys.exit(main())
