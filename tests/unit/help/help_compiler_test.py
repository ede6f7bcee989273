#!/usr/bin/env python3
"""The help compiler: the help files it writes, read back by the small reader
beside this test, and the sources it refuses.

Run with the path of helpc.py and the folder of the help sources.
"""

import os
import re
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import hlp_reader  # noqa: E402

COMPILER = None
SOURCES = None

# The control id -> context id tables the applet's windows hand to WinHelp,
# and the context ids the editor asks for (the help menu's contents topic,
# then the dialogs' tables).
APPLET_TABLES = {
    "sheet": {1: 7, 2: 4, 12321: 2},
    "SelectTab": {1021: 10, 1027: 9, 1020: 1, 1026: 19, 1022: 19, 1023: 19, 1024: 19,
                  1025: 19},
    "CalibrateTab": {1062: 8, 1063: 6, 1060: 3, 1061: 5, 1064: 16, 1065: 16, 1066: 16,
                     1067: 16, 1068: 24, 1069: 24, 1070: 24, 1071: 24, 1072: 24, 1073: 24},
    "TestTab": {1080: 8, 1081: 6, 1082: 16, 1083: 16, 1084: 16, 1085: 16, 1086: 14, 1088: 14,
                1090: 14, 1091: 14, 1092: 14, 1093: 14, 1087: 15, 1089: 15, 1094: 18},
    "JoystickTypeDialog": {1031: 13, 1030: 17, 1: 7, 2: 4},
    "CustomJoystickDialog": {1044: 11, 1041: 11, 1045: 12, 1042: 12, 1047: 21, 1046: 22,
                             1049: 23, 1050: 23, 1051: 23, 1: 7, 2: 4},
}
APPLET_CONTENTS = 25
EDITOR_TABLES = {
    "help menu": {0: 1},
    "assignment table": {1003: 52, 1: 53},
    "profile name": {1033: 60, 1: 61, 2: 62},
    "web address": {1000: 63, 1: 64, 2: 62},
}
EDITOR_CONTENTS = 1


# Context names hash case-blind: digits 1..9 count 1..9 and 0 counts 10, "."
# 12, "_" 13, letters 17 (A) to 42 (Z); hash = hash * 43 + count, 32 bits.
COUNTS = {c: i + 1 for i, c in enumerate("123456789")}
COUNTS.update({"0": 10, ".": 12, "_": 13})
COUNTS.update({c: 17 + i for i, c in enumerate("ABCDEFGHIJKLMNOPQRSTUVWXYZ")})


def name_hash(name):
    value = 0
    for c in name.upper():
        value = (value * 43 + COUNTS[c]) % (1 << 32)
    return value


TOPIC = re.compile(r"^@(topic|popup)\s+([^\s:]+)(?:\s+(\d+))?\s*:\s*(.*?)\s*$")


def topics_of(source_text):
    """(name, id or None, title, popup) of each topic line of a source."""
    out = []
    for line in source_text.splitlines():
        match = TOPIC.match(line)
        if match:
            kind, name, number, title = match.groups()
            out.append((name, int(number) if number else None, title, kind == "popup"))
    return out


def read_bytes(path):
    if not os.path.exists(path):
        return None
    with open(path, "rb") as f:
        return f.read()


def compile_source(text, raw=None):
    """Runs the compiler; returns (exit code, stderr, hlp bytes or None, cnt text or None)."""
    with tempfile.TemporaryDirectory() as folder:
        source = os.path.join(folder, "test.help")
        with open(source, "wb") as f:
            f.write(raw if raw is not None else text.encode("utf-8"))
        hlp = os.path.join(folder, "TEST.HLP")
        cnt = os.path.join(folder, "TEST.CNT")
        done = subprocess.run([sys.executable, COMPILER, source, "--hlp", hlp, "--cnt", cnt],
                              capture_output=True, text=True)
        data = read_bytes(hlp)
        contents = read_bytes(cnt)
        return done.returncode, done.stderr, data, contents and contents.decode("cp1252")


def compiled(test, text):
    code, stderr, data, contents = compile_source(text)
    test.assertEqual(code, 0, stderr)
    return hlp_reader.read(data), contents


def body_text(topic):
    """The topic's paragraphs after its title paragraph, as plain strings."""
    return ["".join(piece[1] for piece in paragraph) for paragraph in topic.paragraphs[1:]]


class TheSuiteHelpFiles(unittest.TestCase):
    def check_file(self, source_name, tables, contents_id):
        path = os.path.join(SOURCES, source_name)
        text = read_bytes(path).decode("utf-8")
        declared = topics_of(text)
        help_file, cnt = compiled(self, text)

        with self.subTest("directory and internal file headers"):
            self.assertEqual(sorted(help_file.files),
                             ["|CONTEXT", "|CTXOMAP", "|FONT", "|SYSTEM", "|TOPIC"])
            for name, (offset, reserved, used, flags, _) in help_file.files.items():
                self.assertEqual(reserved, used + 9, name)
                self.assertEqual(flags, 4, name)
            self.assertEqual(help_file.system["minor"], 21)
            self.assertEqual(help_file.system["major"], 1)

        titles = {t.offset: t.title for t in help_file.topics}
        with self.subTest("every topic once, in source order"):
            self.assertEqual([t.title for t in help_file.topics], [d[2] for d in declared])
            self.assertEqual(len(titles), len(declared))

        with self.subTest("every context name leads to its topic"):
            self.assertEqual(len(help_file.contexts), len(declared))
            for name, _, title, _ in declared:
                self.assertEqual(titles[help_file.contexts[name_hash(name)]], title, name)

        with self.subTest("every numeric context id leads to its topic"):
            numbered = {number: title for _, number, title, _ in declared if number}
            self.assertEqual({k: titles[v] for k, v in help_file.map.items()}, numbered)

        with self.subTest("every id the programs ask for has a topic"):
            wanted = {contents_id}
            for table in tables.values():
                wanted.update(table.values())
            self.assertEqual(wanted - set(help_file.map), set())
            for topic_id in wanted:
                topic = hlp_reader.topic_at(help_file, help_file.map[topic_id])
                if topic_id != contents_id:
                    self.assertTrue(body_text(topic), f"id {topic_id} has no text")

        with self.subTest("the contents topic"):
            title = titles[help_file.map[contents_id]]
            contents_offset = int.from_bytes(help_file.system["records"][3], "little")
            self.assertEqual(titles[contents_offset], title)
            self.assertEqual(help_file.system["records"][1].rstrip(b"\0").decode(),
                             re.search(r"^@title (.*)$", text, re.M).group(1))

        with self.subTest("every jump leads to an existing topic"):
            for topic in help_file.topics:
                for paragraph in topic.paragraphs:
                    for piece in paragraph:
                        if piece[0] == "jump":
                            self.assertIn(help_file.contexts[piece[2]], titles, topic.title)

        with self.subTest("the contents file lists the topics, not the pop-ups"):
            lines = cnt.split("\r\n")
            self.assertEqual(lines[0], "Base TEST.HLP".join([":", ""]))
            listed = [line.split(" ", 1)[1] for line in lines[2:] if line[:2] == "2 "
                      or line[:2] == "1 " and "=" in line]
            expected = [f"{title}={name}" for name, _, title, popup in declared if not popup]
            self.assertEqual(listed, expected)

    def test_editor_help(self):
        self.check_file("kloom.help", EDITOR_TABLES, EDITOR_CONTENTS)

    def test_applet_help(self):
        self.check_file("ostra.help", APPLET_TABLES, APPLET_CONTENTS)


HEAD = "@title Odd\n@contents main\n@topic main 1: Main\nStart.\n"


class OddSources(unittest.TestCase):
    def test_empty_topic_has_its_title_and_nothing_else(self):
        help_file, _ = compiled(self, HEAD + "@popup empty 5: Nothing here\n\n@topic after: After\nText.\n")
        empty = hlp_reader.topic_at(help_file, help_file.map[5])
        self.assertEqual(empty.title, "Nothing here")
        self.assertEqual(body_text(empty), [])
        self.assertEqual(body_text(help_file.topics[2]), ["Text."])

    def test_long_paragraph_runs_over_several_blocks(self):
        words = " ".join(f"w{i}" for i in range(4000))
        lines = "\n".join(words[i:i + 70] for i in range(0, len(words), 70))
        help_file, _ = compiled(self, HEAD + "@topic long 2: Long\n" + lines
                                + "\n\n@popup later 3: Later\nAfter the long one.\n")
        long_topic = hlp_reader.topic_at(help_file, help_file.map[2])
        joined = " ".join(words[i:i + 70].strip() for i in range(0, len(words), 70))
        self.assertEqual(body_text(long_topic), [joined])
        later = hlp_reader.topic_at(help_file, help_file.map[3])
        self.assertGreater(later.offset >> 15, 0, "the long paragraph should fill block 0")
        self.assertEqual(body_text(later), ["After the long one."])

    def test_paragraph_of_the_largest_size_after_other_text(self):
        # The first block holds 3000 characters of text before the big
        # paragraph starts in it too.
        big = "y" * 30000
        help_file, _ = compiled(self, HEAD + "z" * 3000 + "\n@topic big 2: Big\n" + big
                                + "\n@popup end 3: End\nE.\n")
        self.assertEqual(help_file.map[2] >> 15, 0)
        self.assertEqual(body_text(hlp_reader.topic_at(help_file, help_file.map[2])), [big])
        self.assertEqual(body_text(hlp_reader.topic_at(help_file, help_file.map[3])), ["E."])

    def test_characters_above_127_of_the_code_page(self):
        text = "Caf\u00e9, na\u00efve, 5 \u20ac, \u00bd \u2013 \u00fcber \u00df"
        help_file, cnt = compiled(self, HEAD + f"@topic accents 4: \u00c9t\u00e9\n{text}\n")
        topic = hlp_reader.topic_at(help_file, help_file.map[4])
        self.assertEqual(topic.title, "\u00c9t\u00e9")
        self.assertEqual(body_text(topic), [text])
        self.assertIn("\r\n1 \u00c9t\u00e9=accents\r\n", cnt)

    def test_title_with_a_colon(self):
        help_file, _ = compiled(self, HEAD + "@popup colon 8: Save: under a new name\nText.\n")
        self.assertEqual(hlp_reader.topic_at(help_file, help_file.map[8]).title,
                         "Save: under a new name")

    def test_jump_text_and_target(self):
        help_file, _ = compiled(self, HEAD + "@topic other 2: Other\nSee [[the main topic|MAIN]] now.\n")
        paragraph = help_file.topics[1].paragraphs[1]
        self.assertEqual(paragraph, [("text", "See "), ("jump", "the main topic", name_hash("main")),
                                     ("text", " now.")])

    REFUSED = [
        ("duplicate context id", HEAD + "@popup a 7: A\nx\n@popup b 7: B\ny\n",
         "test.help:7: context id 7 is already used by 'a' at"),
        ("duplicate context name", HEAD + "@topic twin: A\nx\n@topic twin: B\ny\n",
         "test.help:7: context name 'twin' is already used"),
        ("names differing in case only", HEAD + "@topic Twin: A\nx\n@topic tWIN: B\ny\n",
         "context name 'tWIN' is already used"),
        ("pop-up without an id", HEAD + "@popup nameless: A\nx\n", "test.help:5: pop-up topic"),
        ("id zero", HEAD + "@popup zero 0: A\nx\n", "test.help:5: context id '0' is not a number"),
        ("character outside the code page", HEAD + "@topic greek: A\n\u03a9 ohm\n",
         "test.help:6: character U+03A9 is not in code page 1252"),
        ("jump to a missing topic", HEAD + "@topic a: A\nSee [[it|nowhere]].\n",
         "jumps to 'nowhere', which does not exist"),
        ("name with a space", HEAD + "@topic a-b: A\nx\n", "test.help:5: 'a-b' is not a context name"),
        ("topic without a title", HEAD + "@topic untitled 9:\nx\n", "topic 'untitled' has no title"),
        ("text before any topic", "@title T\nstray words\n@topic a: A\n",
         "test.help:2: text before the first topic"),
        ("paragraph too long", HEAD + "@topic big: Big\n" + "x" * 30001 + "\n",
         "a paragraph of 30001 characters"),
        ("topic line without a colon", HEAD + "@topic lost 4 Lost\n", "test.help:5: expected @topic"),
        ("unknown directive", HEAD + "@index words\n", "unknown directive '@index'"),
        ("more topics than the context tree holds",
         HEAD + "".join(f"@popup t{i} {i + 2}: T\nx\n" for i in range(255)),
         "256 topics; a help file of this compiler holds at most 255"),
        ("no title", "@topic a: A\nx\n", "no @title"),
        ("missing contents topic", "@title T\n@contents gone\n@topic a: A\nx\n",
         "the contents topic 'gone' does not exist"),
    ]

    def test_refused_sources_stop_with_the_place_and_write_nothing(self):
        for name, text, message in self.REFUSED:
            with self.subTest(name):
                code, stderr, data, cnt = compile_source(text)
                self.assertEqual(code, 1)
                self.assertIn(message, stderr)
                self.assertTrue(stderr.startswith("helpc: "), stderr)
                self.assertIsNone(data)
                self.assertIsNone(cnt)

    def test_source_that_is_not_utf8_is_refused(self):
        code, stderr, data, _ = compile_source(None, raw=HEAD.encode() + b"caf\xe9\n")
        self.assertEqual(code, 1)
        self.assertIn("not UTF-8 text", stderr)
        self.assertIsNone(data)


if __name__ == "__main__":
    COMPILER = sys.argv.pop(1)
    SOURCES = sys.argv.pop(1)
    unittest.main()
