"""A small reader of Windows Help files, written apart from the compiler so
that the tests check the compiler's output against the format, not against
itself.

read(data) -> HelpFile with:
  files      {internal name: (offset, reserved, used, flags, bytes)}
  system     {"minor", "major", "flags", "records": {type: bytes}}
  topics     [Topic] in file order, each with .position, .offset, .title and
             .paragraphs (lists of ("text", str) / ("jump", str, hash))
  contexts   {hash: topic offset}   from |CONTEXT
  map        {context id: topic offset}   from |CTXOMAP
Anything that does not follow the format raises BadHelpFile.
"""

import struct


class BadHelpFile(Exception):
    pass


def u16(data, at):
    return struct.unpack_from("<H", data, at)[0]


def u32(data, at):
    return struct.unpack_from("<I", data, at)[0]


def i32(data, at):
    return struct.unpack_from("<i", data, at)[0]


class Topic:
    def __init__(self, position, offset, title):
        self.position = position
        self.offset = offset
        self.title = title
        self.paragraphs = []


class HelpFile:
    pass


def internal_file(data, at):
    if at + 9 > len(data):
        raise BadHelpFile(f"file header at {at} past the end")
    reserved, used, flags = struct.unpack_from("<IIB", data, at)
    if used + 9 > reserved or at + reserved > len(data):
        raise BadHelpFile(f"file at {at}: used {used}, reserved {reserved}")
    return reserved, used, flags, data[at + 9:at + 9 + used]


def leaf_entries(tree, key_kind, value_size):
    """The entries of a B+ tree that has a single leaf page."""
    magic, flags, page_size = struct.unpack_from("<HHH", tree, 0)
    if magic != 0x293B:
        raise BadHelpFile(f"B+ tree magic 0x{magic:04X}")
    structure = tree[6:22].rstrip(b"\0").decode("ascii")
    _, _, root, neg_one, pages, levels, count = struct.unpack_from("<hhhhhhi", tree, 22)
    if neg_one != -1 or pages != 1 or levels != 1 or root != 0:
        raise BadHelpFile(f"B+ tree of {pages} pages, {levels} levels, root {root}")
    page = tree[38:38 + page_size]
    if len(page) != page_size:
        raise BadHelpFile("B+ tree page cut short")
    unused, entries, previous, following = struct.unpack_from("<HhhH", page, 0)
    if entries != count or previous != -1 or following != 0xFFFF:
        raise BadHelpFile("B+ tree leaf header does not agree with the tree header")
    at = 8
    out = []
    for _ in range(entries):
        if key_kind == "string":
            end = page.index(b"\0", at)
            key = page[at:end].decode("cp1252")
            at = end + 1
        else:
            key = struct.unpack_from("<i", page, at)[0]
            at += 4
        out.append((key, page[at:at + value_size]))
        at += value_size
    if page_size - at != unused:
        raise BadHelpFile(f"leaf page says {unused} bytes unused, {page_size - at} are")
    return structure, flags, page_size, out


def read_directory(data):
    magic, directory_at, free, size = struct.unpack_from("<IIiI", data, 0)
    if magic != 0x00035F3F:
        raise BadHelpFile(f"magic 0x{magic:08X}")
    if size != len(data):
        raise BadHelpFile(f"header says {size} bytes, the file has {len(data)}")
    if free != -1:
        raise BadHelpFile("a free list")
    _, _, _, tree = internal_file(data, directory_at)
    structure, flags, page_size, entries = leaf_entries(tree, "string", 4)
    if (structure, flags, page_size) != ("z4", 0x0402, 1024):
        raise BadHelpFile(f"directory tree {structure} 0x{flags:X} {page_size}")
    names = [name for name, _ in entries]
    if names != sorted(names):
        raise BadHelpFile("directory not in name order")
    files = {}
    for name, value in entries:
        at = u32(value, 0)
        files[name] = (at,) + internal_file(data, at)
    return files


def read_system(body):
    magic, minor, major, _, flags = struct.unpack_from("<HHHIH", body, 0)
    if magic != 0x036C:
        raise BadHelpFile(f"|SYSTEM magic 0x{magic:04X}")
    records = {}
    at = 12
    while at < len(body):
        kind, size = struct.unpack_from("<HH", body, at)
        records[kind] = body[at + 4:at + 4 + size]
        at += 4 + size
    if at != len(body):
        raise BadHelpFile("|SYSTEM records overrun the file")
    return {"minor": minor, "major": major, "flags": flags, "records": records}


class Compressed:
    """The variable-length numbers of a text record's first part."""

    def __init__(self, data):
        self.data = data
        self.at = 0

    def byte(self):
        value = self.data[self.at]
        self.at += 1
        return value

    def word(self):
        value = u16(self.data, self.at)
        self.at += 2
        return value

    def short_unsigned(self):
        first = self.byte()
        return first // 2 if first % 2 == 0 else first // 2 + 128 * self.byte()

    def short_signed(self):
        first = self.byte()
        if first % 2 == 0:
            return first // 2 - 64
        return first // 2 + 128 * self.byte() - 16384

    def long_signed(self):
        first = self.word()
        if first % 2 == 0:
            return first // 2 - 16384
        return first // 2 + 32768 * self.word() - 67108864


def read_text(data1, data2):
    """Returns (character count, paragraphs) of one text record."""
    numbers = Compressed(data1)
    numbers.long_signed()
    length = numbers.short_unsigned()
    numbers.at += 4
    bits = numbers.word()
    for bit in (0x0001,):
        if bits & bit:
            numbers.long_signed()
    for bit in (0x0002, 0x0004, 0x0008, 0x0010, 0x0020, 0x0040):
        if bits & bit:
            numbers.short_signed()
    if bits & 0x0300:
        raise BadHelpFile("border or tab information (not expected here)")
    strings = data2.split(b"\0")
    paragraphs = []
    pieces = []
    jump = None
    index = 0
    while True:
        if index >= len(strings):
            raise BadHelpFile("the text ran out before the end of formatting")
        text = strings[index].decode("cp1252")
        index += 1
        if jump is not None:
            pieces.append(("jump", text, jump))
            jump = None
        elif text:
            pieces.append(("text", text))
        command = numbers.byte()
        if command == 0xFF:
            break
        if command == 0x80:
            numbers.word()
        elif command == 0x82:
            paragraphs.append(pieces)
            pieces = []
        elif command in (0xE2, 0xE3):
            jump = u32(numbers.data, numbers.at)
            numbers.at += 4
        elif command == 0x89:
            pass
        else:
            raise BadHelpFile(f"formatting command 0x{command:02X}")
    if pieces:
        paragraphs.append(pieces)
    if numbers.at != len(data1):
        raise BadHelpFile("formatting commands do not end at the end of the first part")
    if length != len(data2):
        raise BadHelpFile(f"text length {length}, the text has {len(data2)} bytes")
    return length, paragraphs


def lz77(data):
    """Expands LZ77 data: each flag byte governs eight codes, low bit first;
    a clear bit copies one byte, a set bit a 16-bit code of 12 bits back
    distance - 1 and 4 bits length - 3."""
    out = bytearray()
    at = 0
    while at < len(data):
        flags = data[at]
        at += 1
        for bit in range(8):
            if at >= len(data):
                break
            if not flags & (1 << bit):
                out.append(data[at])
                at += 1
                continue
            if at + 2 > len(data):
                raise BadHelpFile("LZ77 code cut short")
            code = u16(data, at)
            at += 2
            back, length = (code & 0x0FFF) + 1, (code >> 12) + 3
            if back > len(out):
                raise BadHelpFile("LZ77 code reaches before the start")
            for _ in range(length):
                out.append(out[-back])
    return bytes(out)


def read_topics(body):
    """Walks the topic links from the first one by their next pointers."""
    blocks = [body[at:at + 4096] for at in range(0, len(body), 4096)]
    expanded = [lz77(block[12:]) for block in blocks]
    if any(len(e) > 0x4000 for e in expanded):
        raise BadHelpFile("a topic block expands past 16 KB")
    starts = []
    total = 0
    for e in expanded:
        starts.append(total)
        total += len(e)
    stream = b"".join(expanded)

    def stream_index(position):
        block, inside = divmod(position - 12, 0x4000)
        if position < 12 or block >= len(blocks) or inside >= len(expanded[block]):
            raise BadHelpFile(f"topic position {position} outside |TOPIC")
        return block, starts[block] + inside

    topics = []
    characters = {}
    position = 12
    firsts = {}
    while position != 0xFFFFFFFF:
        block, at = stream_index(position)
        if at + 21 > len(stream):
            raise BadHelpFile(f"topic link at {position} cut short")
        size, data2_size, previous, following, data1_size, kind = struct.unpack_from(
            "<IIIIIB", stream, at)
        data1 = stream[at + 21:at + data1_size]
        data2 = stream[at + data1_size:at + size]
        if len(data2) != data2_size:
            raise BadHelpFile(f"link at {position}: second part {len(data2)} of {data2_size}")
        firsts.setdefault(block, position)
        if kind == 0x02:
            offset = block * 0x8000 + characters.get(block, 0)
            topics.append(Topic(position, offset, data2.decode("cp1252")))
        elif kind == 0x20:
            if not topics:
                raise BadHelpFile("text before the first topic header")
            length, paragraphs = read_text(data1, data2)
            characters[block] = characters.get(block, 0) + length
            topics[-1].paragraphs.extend(paragraphs)
        else:
            raise BadHelpFile(f"record type 0x{kind:02X} at {position}")
        if following != 0xFFFFFFFF and following <= position:
            raise BadHelpFile(f"link at {position} points back to {following}")
        position = following
    for block, first in firsts.items():
        named = u32(blocks[block], 4)
        if named != first:
            raise BadHelpFile(f"block {block} names {named} as its first link, it is {first}")
    return topics


def read(data):
    help_file = HelpFile()
    help_file.files = read_directory(data)
    for needed in ("|SYSTEM", "|TOPIC", "|FONT", "|CONTEXT"):
        if needed not in help_file.files:
            raise BadHelpFile(f"no {needed}")
    help_file.system = read_system(help_file.files["|SYSTEM"][4])
    minor, flags = help_file.system["minor"], help_file.system["flags"]
    if minor <= 16 or flags != 4:
        raise BadHelpFile(f"version {minor}, flags {flags}: not a 3.1 file of 4 KB LZ77 blocks")
    help_file.topics = read_topics(help_file.files["|TOPIC"][4])
    _, _, _, entries = leaf_entries(help_file.files["|CONTEXT"][4], "long", 4)
    keys = [key for key, _ in entries]
    if keys != sorted(keys):
        raise BadHelpFile("|CONTEXT not in hash order")
    help_file.contexts = {key & 0xFFFFFFFF: u32(value, 0) for key, value in entries}
    help_file.map = {}
    if "|CTXOMAP" in help_file.files:
        body = help_file.files["|CTXOMAP"][4]
        count = u16(body, 0)
        if len(body) != 2 + 8 * count:
            raise BadHelpFile("|CTXOMAP size does not match its count")
        for i in range(count):
            map_id, offset = struct.unpack_from("<II", body, 2 + 8 * i)
            help_file.map[map_id] = offset
    return help_file


def topic_at(help_file, offset):
    for topic in help_file.topics:
        if topic.offset == offset:
            return topic
    raise BadHelpFile(f"no topic starts at offset 0x{offset:X}")
