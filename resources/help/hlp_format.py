"""Writes a Windows Help file (.HLP, the version 3.1 format that WinHelp 3.1
and 4.0 read) and its contents file (.CNT) from a parsed help source.

The help file is a small file system: a 16-byte header, then internal files,
each behind a 9-byte header, found through a directory kept as a B+ tree.
Internal files written here:

    |SYSTEM   format version, title, copyright, contents topic
    |FONT     one face name and the two text styles (body, title)
    |TOPIC    the topics, in blocks of 4096 bytes
    |CONTEXT  B+ tree: hash of each context name -> topic offset
    |CTXOMAP  numeric context id -> topic offset

The topics form one stream of records (topic links). Each block holds a
12-byte header and a piece of the stream in the LZ77 block form, written with
literal codes only: the bytes are stored as they are, eight behind each flag
byte of zeros. Readers find records by topic positions that count 16 KB a
block (12 + block * 16384 + place in the block's piece), whatever the block
holds. In the block form without LZ77 the readers disagree on that count, so
it is not used. A record may run on into the next block, whose piece
continues the stream.

A topic offset names a character: block number * 32768 + the number of text
characters of the records that start in that block before the place. The
contents topic, the context names and the numeric context ids point at
topics by their offsets.
"""

import struct

FILE_MAGIC = 0x00035F3F
BTREE_MAGIC = 0x293B
SYSTEM_MAGIC = 0x036C
VERSION_MINOR = 21  # Windows 3.1 format
VERSION_MAJOR = 1

DIRECTORY_PAGE = 1024
BTREE_PAGE = 2048
TOPIC_BLOCK = 4096
BLOCK_HEADER = 12
# Topic positions count 16 KB a block, the room a block's data may expand to.
DECOMPRESSED_BLOCK = 0x4000
# Stream bytes a block carries in literal-only LZ77 form: 453 runs of eight
# bytes with their flag bytes, and one of six, fill its 4084 bytes exactly.
BLOCK_TEXT = 453 * 8 + 6
MIN_LAST_BLOCK = 0x44
SYSTEM_FLAGS = 4  # LZ77 topic blocks of 4 KB
LINK_HEADER = 21
# Space below a paragraph, in the units of the old font descriptors.
TITLE_SPACING = 8
PARAGRAPH_SPACING = 12

RECORD_TOPIC_HEADER = 0x02
RECORD_TEXT = 0x20

FONT_FACE = "Arial"
FONT_FACE_SIZE = 32
FAMILY_SWISS = 0x03
# Text styles: (bold, size in half points, colour).
FONT_BODY = 0
FONT_TITLE = 1
FONTS = [(0, 20, (0, 0, 0)), (1, 24, (0, 0, 0))]


class FormatError(Exception):
    pass


# Context name hashing: each character of a name maps to a small value
# (digits 1..10 with "0" last, "." 12, "_" 13, letters 17..42 regardless of
# case), and hash = hash * 43 + value over the name, kept to 32 bits.
def char_value(c):
    if "1" <= c <= "9":
        return ord(c) - ord("0")
    if c == "0":
        return 10
    if c == ".":
        return 12
    if c == "_":
        return 13
    if c.isascii() and c.isalpha():
        return 0x11 + ord(c.upper()) - ord("A")
    raise FormatError(f"'{c}' cannot be part of a context name")


def context_hash(name):
    value = 0
    for c in name:
        value = (value * 43 + char_value(c)) & 0xFFFFFFFF
    return value


def signed32(value):
    return value - (1 << 32) if value & 0x80000000 else value


def encode(text):
    return text.encode("cp1252")


# --- compressed numbers of the text records --------------------------------

def short_unsigned(value):
    if value < 0x80:
        return bytes([value * 2])
    if value < 0x8000:
        return struct.pack("<H", value * 2 + 1)
    raise FormatError(f"{value} does not fit a compressed short")


def short_signed(value):
    return short_unsigned(value + 0x40) if -0x40 <= value < 0x40 else struct.pack(
        "<H", (value + 0x4000) * 2 + 1)


def long_signed(value):
    if -0x4000 <= value < 0x4000:
        return struct.pack("<H", (value + 0x4000) * 2)
    if -0x4000000 <= value < 0x4000000:
        return struct.pack("<I", (value + 0x4000000) * 2 + 1)
    raise FormatError(f"{value} does not fit a compressed long")


# --- topics -----------------------------------------------------------------

class Record:
    """One topic link: its kind, its two data parts and its text length."""

    def __init__(self, kind, data1, data2, characters):
        self.kind = kind
        self.data1 = data1
        self.data2 = data2
        self.characters = characters
        self.position = None

    def size(self):
        return LINK_HEADER + len(self.data1) + len(self.data2)


def build_paragraph(pieces, font, spacing_below, hashes):
    """A text record of one paragraph. The formatting commands of the first
    part and the NUL-ended strings of the second alternate one to one: a
    string is shown, then the next command runs."""
    strings = []
    commands = []
    # Select the font before the first character.
    strings.append(b"")
    commands.append(b"\x80" + struct.pack("<H", font))
    pending = b""
    for piece in pieces:
        if piece[0] == "text":
            pending += encode(piece[1])
            continue
        strings.append(pending)
        commands.append(b"\xE3" + struct.pack("<I", hashes[piece[2].lower()]))
        strings.append(encode(piece[1]))
        commands.append(b"\x89")
        pending = b""
    strings.append(pending)
    commands.append(b"\x82")  # end of paragraph
    strings.append(b"")
    commands.append(b"\xFF")  # end of formatting
    data2 = b"".join(s + b"\0" for s in strings)
    info = bytes([0x00, 0x80]) + struct.pack("<H", 0)
    bits = 0x0004  # spacing below follows
    info += struct.pack("<H", bits) + short_signed(spacing_below)
    characters = len(data2)
    if characters > 0x7FFF:
        raise FormatError(f"a paragraph takes {characters} characters with its jumps; "
                          f"at most {0x7FFF} fit")
    data1 = long_signed(characters) + short_unsigned(characters) + info + b"".join(commands)
    return Record(RECORD_TEXT, data1, data2, characters)


def topic_records(topic, hashes):
    title = [("text", topic.title)]
    records = [Record(RECORD_TOPIC_HEADER, bytes(28), encode(topic.title), 0)]
    records.append(build_paragraph(title, FONT_TITLE, TITLE_SPACING, hashes))
    for paragraph in topic.paragraphs:
        records.append(build_paragraph(paragraph, FONT_BODY, PARAGRAPH_SPACING, hashes))
    return records


def literal_block(chunk):
    """LZ77 form with literal codes only: a flag byte of zero bits before
    each run of up to eight bytes copied as they are."""
    out = bytearray()
    for at in range(0, len(chunk), 8):
        out.append(0)
        out += chunk[at:at + 8]
    return bytes(out)


def position(stream_at):
    block, inside = divmod(stream_at, BLOCK_TEXT)
    return BLOCK_HEADER + block * DECOMPRESSED_BLOCK + inside


def layout_topics(source, hashes):
    """Places every record in the stream; returns the topic offset of each
    topic and the |TOPIC file."""
    per_topic = [topic_records(topic, hashes) for topic in source.topics]
    stream_at = 0
    block_chars = {}
    offsets = []
    for records in per_topic:
        for index, record in enumerate(records):
            record.stream_at = stream_at
            record.position = position(stream_at)
            block = stream_at // BLOCK_TEXT
            if index == 0:
                offsets.append(block * 0x8000 + block_chars.get(block, 0))
            # Only records that end before a later topic starts in this
            # block add to its offset, so offsets stay below one block's
            # BLOCK_TEXT characters.
            block_chars[block] = block_chars.get(block, 0) + record.characters
            stream_at += record.size()
    flat = [r for records in per_topic for r in records]
    for t, records in enumerate(per_topic):
        size = sum(r.size() for r in records)
        next_topic = per_topic[t + 1][0].position if t + 1 < len(per_topic) else 0xFFFFFFFF
        records[0].data1 = struct.pack("<IiiIiII", size, -1, -1, t, -1, records[1].position,
                                       next_topic)
    stream = bytearray()
    for i, record in enumerate(flat):
        previous = flat[i - 1].position if i > 0 else 0xFFFFFFFF
        following = flat[i + 1].position if i + 1 < len(flat) else 0xFFFFFFFF
        stream += struct.pack("<IIIIIB", record.size(), len(record.data2), previous, following,
                              LINK_HEADER + len(record.data1), record.kind)
        stream += record.data1 + record.data2
    return offsets, topic_blocks(bytes(stream), flat)


def topic_blocks(stream, records):
    """Every block but the last holds exactly BLOCK_TEXT bytes of the stream,
    so that a record running into the next block continues right there."""
    count = max(1, -(-len(stream) // BLOCK_TEXT))
    out = bytearray()
    for block in range(count):
        start, end = block * BLOCK_TEXT, (block + 1) * BLOCK_TEXT
        inside = [r for r in records if start <= r.stream_at < end]
        before = [r for r in records if r.stream_at < start]
        headers = [r for r in records if r.stream_at < end and r.kind == RECORD_TOPIC_HEADER]
        out += struct.pack("<III", before[-1].position if before else 0xFFFFFFFF,
                           inside[0].position if inside else 0xFFFFFFFF,
                           headers[-1].position if headers else 0xFFFFFFFF)
        out += literal_block(stream[start:end])
    # Readers look at least 0x44 bytes into the last block; zeros after
    # the end of the data are never reached by a topic link.
    last = len(out) - (count - 1) * TOPIC_BLOCK
    if last < MIN_LAST_BLOCK:
        out += bytes(MIN_LAST_BLOCK - last)
    return bytes(out)


# --- the other internal files -------------------------------------------------

def system_file(source, contents_offset):
    out = struct.pack("<HHHIH", SYSTEM_MAGIC, VERSION_MINOR, VERSION_MAJOR, 0, SYSTEM_FLAGS)

    def record(kind, data):
        return struct.pack("<HH", kind, len(data)) + data

    out += record(1, encode(source.title) + b"\0")
    if source.copyright:
        out += record(2, encode(source.copyright) + b"\0")
    out += record(3, struct.pack("<I", contents_offset))
    return out


def font_file():
    face = encode(FONT_FACE)
    faces_at = 8
    descriptors_at = faces_at + FONT_FACE_SIZE
    out = struct.pack("<HHHH", 1, len(FONTS), faces_at, descriptors_at)
    out += face + bytes(FONT_FACE_SIZE - len(face))
    for bold, half_points, colour in FONTS:
        out += struct.pack("<BBBH", bold, half_points, FAMILY_SWISS, 0)
        out += bytes(colour) + bytes((255, 255, 255))
    return out


def btree(structure, page_size, flags, entries):
    """A B+ tree of one leaf page: entries are (key bytes, value bytes), in
    key order already."""
    body = b"".join(key + value for key, value in entries)
    room = page_size - 8
    if len(body) > room:
        raise FormatError(f"{len(entries)} entries do not fit one {page_size}-byte page")
    page = struct.pack("<HhhH", room - len(body), len(entries), -1, 0xFFFF) + body
    page += bytes(page_size - len(page))
    name = structure.encode("ascii")
    header = struct.pack("<HHH", BTREE_MAGIC, flags, page_size) + name + bytes(16 - len(name))
    header += struct.pack("<hhhhhhi", 0, 0, 0, -1, 1, 1, len(entries))
    return header + page


# The context tree is written as a single leaf page of 8-byte entries.
MAX_TOPICS = (BTREE_PAGE - 8) // 8


def context_file(source, offsets, hashes):
    if len(source.topics) > MAX_TOPICS:
        raise FormatError(f"{len(source.topics)} topics; a help file of this compiler holds "
                          f"at most {MAX_TOPICS}")
    entries = sorted((signed32(hashes[t.name.lower()]), offsets[i])
                     for i, t in enumerate(source.topics))
    return btree("L4", BTREE_PAGE, 0x0002,
                 [(struct.pack("<i", h), struct.pack("<I", o)) for h, o in entries])


def ctxomap_file(source, offsets):
    mapped = sorted((t.map_id, offsets[i]) for i, t in enumerate(source.topics)
                    if t.map_id is not None)
    out = struct.pack("<H", len(mapped))
    for map_id, offset in mapped:
        out += struct.pack("<II", map_id, offset)
    return out


def assemble(files):
    """Lays the internal files out behind the header, then the directory."""
    out = bytearray(16)
    where = {}
    for name in sorted(files):
        data = files[name]
        where[name] = len(out)
        out += struct.pack("<IIB", len(data) + 9, len(data), 4) + data
    entries = [(encode(name) + b"\0", struct.pack("<I", where[name])) for name in sorted(where)]
    directory = btree("z4", DIRECTORY_PAGE, 0x0402, entries)
    directory_at = len(out)
    out += struct.pack("<IIB", len(directory) + 9, len(directory), 4) + directory
    out[0:16] = struct.pack("<IIiI", FILE_MAGIC, directory_at, -1, len(out))
    return bytes(out)


def check_hashes(source):
    hashes = {}
    seen = {}
    for topic in source.topics:
        value = context_hash(topic.name)
        if value in seen:
            raise FormatError(f"{topic.where}: context name '{topic.name}' has the same hash "
                              f"as '{seen[value]}'; rename one of them")
        seen[value] = topic.name
        hashes[topic.name.lower()] = value
    return hashes


def help_file(source):
    hashes = check_hashes(source)
    offsets, topic = layout_topics(source, hashes)
    contents = next(i for i, t in enumerate(source.topics)
                    if t.name.lower() == source.contents.lower())
    files = {
        "|SYSTEM": system_file(source, offsets[contents]),
        "|FONT": font_file(),
        "|TOPIC": topic,
        "|CONTEXT": context_file(source, offsets, hashes),
        "|CTXOMAP": ctxomap_file(source, offsets),
    }
    return assemble(files)


def contents_file(source, help_name):
    """The .CNT file WinHelp 4.0 shows on its Contents tab."""
    lines = [f":Base {help_name}", f":Title {source.title}"]
    book = None
    for topic in source.topics:
        if topic.popup:
            continue
        if topic.book != book and topic.book is not None:
            lines.append(f"1 {topic.book}")
        book = topic.book
        level = 2 if book is not None else 1
        lines.append(f"{level} {topic.title}={topic.name}")
    return ("\r\n".join(lines) + "\r\n").encode("cp1252")
