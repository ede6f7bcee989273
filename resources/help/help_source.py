"""Reads a help source: the help file's settings and its topics.

A help source is UTF-8 text. Lines starting with # are comments. Directives
start with @ at the beginning of a line:

    @title TEXT            the help file's title (window caption)
    @copyright TEXT        the copyright line (optional)
    @contents NAME         the topic that opens first and on HELP_CONTENTS
    @book TEXT             a book of the contents file; the topics after it
                           are listed in it (until the next @book)
    @topic NAME [ID]: TITLE    a topic listed in the contents file
    @popup NAME ID: TITLE      a pop-up topic, not listed in the contents file

NAME is the topic's context name (letters, digits, "_" and ".", at most 255
characters; names that differ only in case are the same name). ID is the
numeric context id a program asks for (1 to 2147483647). The lines after a
topic line are its text: paragraphs separated by blank lines, the lines of a
paragraph joined with one space. [[TEXT|NAME]] inside a paragraph is a jump
to topic NAME showing TEXT. Every character must exist in Windows code page
1252, the code page the help file is written in.
"""

import re

MAX_ID = 2147483647
MAX_NAME = 255
MAX_TITLE = 127
# A paragraph's character count is stored in a 15-bit field.
MAX_PARAGRAPH = 30000

NAME = re.compile(r"^[A-Za-z0-9_.]+$")
TOPIC_LINE = re.compile(r"^@(topic|popup)[ \t]+([^\s:]+)(?:[ \t]+([^\s:]+))?[ \t]*:(.*)$")
LINK = re.compile(r"\[\[([^\]|]*)\|([^\]]*)\]\]")


class SourceError(Exception):
    pass


class Topic:
    def __init__(self, name, map_id, title, popup, book, where):
        self.name = name
        self.map_id = map_id
        self.title = title
        self.popup = popup
        self.book = book
        self.where = where
        # Paragraphs: lists of pieces, each ("text", str) or ("jump", str, name).
        self.paragraphs = []


class HelpSource:
    def __init__(self):
        self.title = None
        self.copyright = None
        self.contents = None
        self.topics = []


def check_code_page(text, where):
    for c in text:
        try:
            encoded = c.encode("cp1252")
        except UnicodeEncodeError:
            raise SourceError(f"{where}: character U+{ord(c):04X} is not in code page 1252")
        if encoded[0] < 0x20:
            raise SourceError(f"{where}: control character 0x{encoded[0]:02X} in the text")


def split_paragraph(text, where):
    pieces = []
    pos = 0
    for match in LINK.finditer(text):
        if match.start() > pos:
            pieces.append(("text", text[pos:match.start()]))
        shown, target = match.group(1).strip(), match.group(2).strip()
        if not shown:
            raise SourceError(f"{where}: a jump without text")
        if not NAME.match(target):
            raise SourceError(f"{where}: '{target}' is not a topic name")
        pieces.append(("jump", shown, target))
        pos = match.end()
    if pos < len(text):
        pieces.append(("text", text[pos:]))
    for piece in pieces:
        if "[[" in piece[1] or "]]" in piece[1]:
            raise SourceError(f"{where}: a jump must be written [[TEXT|NAME]]")
    length = sum(len(p[1]) for p in pieces)
    if length > MAX_PARAGRAPH:
        raise SourceError(f"{where}: a paragraph of {length} characters; at most "
                          f"{MAX_PARAGRAPH} fit (split it with a blank line)")
    return pieces


def parse_topic_line(match, where, book):
    kind, name, number, title = match.groups()
    title = title.strip()
    if not NAME.match(name) or len(name) > MAX_NAME:
        raise SourceError(f"{where}: '{name}' is not a context name (letters, digits, _ and .)")
    map_id = None
    if number is not None:
        if not number.isdigit() or not 1 <= int(number) <= MAX_ID:
            raise SourceError(f"{where}: context id '{number}' is not a number from 1 to {MAX_ID}")
        map_id = int(number)
    if kind == "popup" and map_id is None:
        raise SourceError(f"{where}: pop-up topic '{name}' needs a numeric context id")
    if not title:
        raise SourceError(f"{where}: topic '{name}' has no title")
    if len(title) > MAX_TITLE:
        raise SourceError(f"{where}: the title of '{name}' is longer than {MAX_TITLE} characters")
    check_code_page(title, where)
    return Topic(name, map_id, title, kind == "popup", book, where)


def check_whole(source, path):
    if source.title is None:
        raise SourceError(f"{path}: no @title")
    if not source.topics:
        raise SourceError(f"{path}: no topics")
    names = {}
    ids = {}
    for topic in source.topics:
        key = topic.name.lower()
        if key in names:
            raise SourceError(f"{topic.where}: context name '{topic.name}' is already used by "
                              f"the topic at {names[key].where}")
        names[key] = topic
        if topic.map_id is not None:
            if topic.map_id in ids:
                raise SourceError(f"{topic.where}: context id {topic.map_id} is already used by "
                                  f"'{ids[topic.map_id].name}' at {ids[topic.map_id].where}")
            ids[topic.map_id] = topic
    if source.contents is None:
        source.contents = source.topics[0].name
    if source.contents.lower() not in names:
        raise SourceError(f"{path}: the contents topic '{source.contents}' does not exist")
    for topic in source.topics:
        for paragraph in topic.paragraphs:
            for piece in paragraph:
                if piece[0] == "jump" and piece[2].lower() not in names:
                    raise SourceError(f"{topic.where}: topic '{topic.name}' jumps to "
                                      f"'{piece[2]}', which does not exist")


def parse(path):
    try:
        with open(path, encoding="utf-8", errors="strict") as f:
            lines = f.read().splitlines()
    except UnicodeDecodeError as error:
        raise SourceError(f"{path}: not UTF-8 text ({error.reason} at byte {error.start})")
    source = HelpSource()
    book = None
    topic = None
    paragraph = []
    paragraph_where = None

    def end_paragraph():
        nonlocal paragraph
        if paragraph:
            text = " ".join(paragraph)
            topic.paragraphs.append(split_paragraph(text, paragraph_where))
        paragraph = []

    for number, line in enumerate(lines, 1):
        where = f"{path}:{number}"
        stripped = line.strip()
        if line.startswith("#"):
            continue
        if line.startswith("@"):
            if topic is not None:
                end_paragraph()
            match = TOPIC_LINE.match(line)
            if match:
                topic = parse_topic_line(match, where, book)
                source.topics.append(topic)
                continue
            word, _, value = line[1:].partition(" ")
            value = value.strip()
            if word in ("topic", "popup"):
                raise SourceError(f"{where}: expected @{word} NAME [ID]: TITLE")
            if word in ("title", "copyright", "book", "contents") and not value:
                raise SourceError(f"{where}: @{word} needs a value")
            if word in ("title", "copyright", "book"):
                check_code_page(value, where)
            if word == "title":
                source.title = value
            elif word == "copyright":
                source.copyright = value
            elif word == "contents":
                source.contents = value
            elif word == "book":
                book = value
            else:
                raise SourceError(f"{where}: unknown directive '@{word}'")
            continue
        if not stripped:
            if topic is not None:
                end_paragraph()
            continue
        if topic is None:
            raise SourceError(f"{where}: text before the first topic")
        check_code_page(stripped, where)
        if not paragraph:
            paragraph_where = where
        paragraph.append(stripped)
    if topic is not None:
        end_paragraph()
    check_whole(source, path)
    return source
