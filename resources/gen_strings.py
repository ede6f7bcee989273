#!/usr/bin/env python3
"""Turns one module's string source into a resource-script STRINGTABLE and a
C++ table, so the Windows programs and the portable code use the same texts.

Usage: gen_strings.py SOURCE --rc OUT.rc --cpp OUT.cpp --symbol NAME

SOURCE holds one string a line: the decimal id, a space and the text in double
quotes (escapes \\n, \\t, \\" and \\\\); blank lines and lines starting with #
are ignored. Any malformed line, duplicate id or empty text stops the build
with the file name and line number.
"""

import argparse
import re
import sys

LINE = re.compile(r'^(\d+)[ \t]+"(.*)"[ \t]*$')
ESCAPES = {"n": "\n", "t": "\t", '"': '"', "\\": "\\"}
MAX_ID = 65535


class SourceError(Exception):
    pass


def unescape(body, where):
    text = []
    i = 0
    while i < len(body):
        c = body[i]
        if c == "\\":
            if i + 1 >= len(body) or body[i + 1] not in ESCAPES:
                raise SourceError(f"{where}: unknown escape in text")
            text.append(ESCAPES[body[i + 1]])
            i += 2
            continue
        if c == '"':
            raise SourceError(f'{where}: a quote inside the text must be written \\"')
        if not (" " <= c <= "~"):
            raise SourceError(f"{where}: only printable ASCII is allowed in texts")
        text.append(c)
        i += 1
    return "".join(text)


def parse(path):
    strings = {}
    with open(path, encoding="ascii", errors="strict") as f:
        for number, raw in enumerate(f, 1):
            where = f"{path}:{number}"
            line = raw.rstrip("\r\n")
            stripped = line.strip()
            if not stripped or stripped.startswith("#"):
                continue
            match = LINE.match(stripped)
            if not match:
                raise SourceError(f'{where}: expected ID "TEXT"')
            string_id = int(match.group(1))
            if string_id > MAX_ID:
                raise SourceError(f"{where}: id {string_id} is above {MAX_ID}")
            if string_id in strings:
                raise SourceError(f"{where}: id {string_id} appears twice")
            text = unescape(match.group(2), where)
            if not text:
                raise SourceError(f"{where}: id {string_id} has an empty text")
            strings[string_id] = text
    if not strings:
        raise SourceError(f"{path}: no strings")
    return dict(sorted(strings.items()))


def rc_literal(text):
    out = []
    for c in text:
        if c == '"':
            out.append('""')
        elif c == "\\":
            out.append("\\\\")
        elif c == "\n":
            out.append("\\n")
        elif c == "\t":
            out.append("\\t")
        else:
            out.append(c)
    return '"' + "".join(out) + '"'


def cpp_literal(text):
    out = []
    for c in text:
        if c in '"\\':
            out.append("\\" + c)
        elif c == "\n":
            out.append("\\n")
        elif c == "\t":
            out.append("\\t")
        else:
            out.append(c)
    return '"' + "".join(out) + '"'


def write_if_changed(path, content):
    try:
        with open(path, encoding="ascii") as f:
            if f.read() == content:
                return
    except OSError:
        pass
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write(content)


def render_rc(source, strings):
    lines = [f"// Generated from {source} by gen_strings.py. Do not edit.", "STRINGTABLE", "BEGIN"]
    lines += [f"  {string_id}, {rc_literal(text)}" for string_id, text in strings.items()]
    lines += ["END", ""]
    return "\n".join(lines)


def render_cpp(source, symbol, strings):
    lines = [
        f"// Generated from {source} by gen_strings.py. Do not edit.",
        '#include "resources/builtin_strings_table.h"',
        "",
        "namespace kl::detail {",
        "",
        f"extern const BuiltinStringEntry {symbol}[] = {{",
    ]
    lines += [f"    {{{string_id}, {cpp_literal(text)}}}," for string_id, text in strings.items()]
    lines += [
        "};",
        f"extern const std::size_t {symbol}Count = {len(strings)};",
        "",
        "}  // namespace kl::detail",
        "",
    ]
    return "\n".join(lines)


def display_name(path):
    parts = path.replace("\\", "/").split("/")
    return "/".join(parts[-2:])


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("source")
    parser.add_argument("--rc", required=True)
    parser.add_argument("--cpp", required=True)
    parser.add_argument("--symbol", required=True)
    args = parser.parse_args(argv)
    try:
        strings = parse(args.source)
    except (SourceError, UnicodeDecodeError) as e:
        print(f"gen_strings: {e}", file=sys.stderr)
        return 1
    except OSError as e:
        print(f"gen_strings: {args.source}: {e.strerror}", file=sys.stderr)
        return 1
    name = display_name(args.source)
    write_if_changed(args.rc, render_rc(name, strings))
    write_if_changed(args.cpp, render_cpp(name, args.symbol, strings))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
