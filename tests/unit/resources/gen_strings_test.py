#!/usr/bin/env python3
"""gen_strings.py: what it accepts, what it refuses and how it escapes.

Run with the path of gen_strings.py as the only argument.
"""

import os
import subprocess
import sys
import tempfile
import unittest

GENERATOR = None


def run(source_text, raw=None):
    """Runs the generator on a source; returns (exit code, stderr, rc, cpp)."""
    with tempfile.TemporaryDirectory() as folder:
        source = os.path.join(folder, "strings.txt")
        with open(source, "wb") as f:
            f.write(raw if raw is not None else source_text.encode("ascii"))
        rc = os.path.join(folder, "out.rc")
        cpp = os.path.join(folder, "out.cpp")
        done = subprocess.run(
            [sys.executable, GENERATOR, source, "--rc", rc, "--cpp", cpp, "--symbol", "kTest"],
            capture_output=True, text=True)
        outputs = []
        for path in (rc, cpp):
            outputs.append(open(path).read() if os.path.exists(path) else None)
        return done.returncode, done.stderr, outputs[0], outputs[1]


class Refuses(unittest.TestCase):
    CASES = [
        ("no quotes", '1 Hello\n', "strings.txt:1"),
        ("duplicate id", '1 "a"\n\n2 "b"\n1 "c"\n', "strings.txt:4: id 1 appears twice"),
        ("empty text", '# c\n7 ""\n', "strings.txt:2: id 7 has an empty text"),
        ("id too large", '65536 "a"\n', "above 65535"),
        ("negative id", '-1 "a"\n', "strings.txt:1"),
        ("unknown escape", '1 "a\\qb"\n', "unknown escape"),
        ("backslash at the end", '1 "a\\"\n', "strings.txt:1"),
        ("bare quote inside", '1 "say "hi""\n', "quote inside"),
        ("control character", '1 "tab\there"\n', "printable ASCII"),
        ("nothing at all", "# only a comment\n", "no strings"),
    ]

    def test_malformed_sources_stop_with_the_place(self):
        for name, text, message in self.CASES:
            with self.subTest(name):
                code, stderr, rc, cpp = run(text)
                self.assertEqual(code, 1)
                self.assertIn(message, stderr)
                self.assertIsNone(rc)
                self.assertIsNone(cpp)

    def test_non_ascii_bytes_are_refused(self):
        code, stderr, rc, _ = run(None, raw='1 "caf\u00e9"\n'.encode("utf-8"))
        self.assertEqual(code, 1)
        self.assertIn("gen_strings:", stderr)
        self.assertIsNone(rc)


class Writes(unittest.TestCase):
    def test_tables_are_sorted_and_escaped_for_each_language(self):
        code, stderr, rc, cpp = run(
            '# comment\n'
            '300 "second"\n'
            '  \n'
            '20 "He said \\"go\\" \\\\ now\\n\\tthen 100%%"\n')
        self.assertEqual(code, 0, stderr)
        self.assertIn('  20, "He said ""go"" \\\\ now\\n\\tthen 100%%"\n  300, "second"\n', rc)
        self.assertIn('{20, "He said \\"go\\" \\\\ now\\n\\tthen 100%%"},\n    {300, "second"},', cpp)
        self.assertIn("kTestCount = 2;", cpp)
        self.assertIn("STRINGTABLE\nBEGIN\n", rc)


if __name__ == "__main__":
    GENERATOR = sys.argv.pop(1)
    unittest.main()
