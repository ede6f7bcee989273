#!/usr/bin/env python3
"""Writes an NSIS include that defines KL_PAD_NAME, the display name of the
maker's pad type, taken from the applet's generated string table, so that the
OEM type key the setup program writes carries exactly the name the applet's
auto-detection compares with.

Usage: pad_name.py STRINGS.rc ID OUT.nsh
"""

import re
import sys

ENTRY = re.compile(r'^\s*(\d+),\s*"((?:[^"]|"")*)"\s*$')


def rc_text(literal):
    """Undoes the resource compiler's quoting: "" is a quote, \\\\ a backslash."""
    out = []
    i = 0
    while i < len(literal):
        c = literal[i]
        if c == '"':
            out.append('"')
            i += 2
        elif c == "\\" and i + 1 < len(literal):
            out.append({"\\": "\\", "n": "\n", "t": "\t"}.get(literal[i + 1], literal[i + 1]))
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def nsis_literal(text):
    escaped = text.replace("$", "$$").replace('"', '$\\"')
    return '"' + escaped.replace("\n", "$\\n").replace("\t", "$\\t") + '"'


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    source, wanted, target = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    with open(source, encoding="ascii") as f:
        for line in f:
            match = ENTRY.match(line)
            if match and int(match.group(1)) == wanted:
                text = rc_text(match.group(2))
                break
        else:
            sys.exit(f"{source}: no string {wanted}")
    if not text or len(text) > 255:
        sys.exit(f"{source}: string {wanted} must have 1 to 255 characters")
    content = f"; Generated from {source} by pad_name.py.\n!define KL_PAD_NAME {nsis_literal(text)}\n"
    with open(target, "w", encoding="ascii", newline="\n") as f:
        f.write(content)


if __name__ == "__main__":
    main()
