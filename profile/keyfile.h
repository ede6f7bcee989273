// Key files: one per game, a 40-byte header followed by named profile
// records, each holding the assignment tables of up to four pads. This is
// the in-memory form of an assignment (KeyStroke, KeyEntry, PadKeyTable,
// KeySequence), the table operations, and the byte layout of a record.
// Reading and writing a game's key file is ProfileStore's (profile_store.h).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "profile/textstream.h"

namespace kl {

constexpr int kPadSlots = 4;
constexpr int kMaxInputs = 32;   // inputs of one pad slot, indexes 0..31
constexpr int kMaxStrokes = 33;  // strokes of one entry
constexpr size_t kKeyFileHeaderSize = 40;
// The header's first 16 bytes; its first word is the maker's name.
constexpr char kKeyFileSignature[] = "VORNATEK GAMEPAD";
constexpr size_t kKeyFileMakerLength = 8;
constexpr size_t kProfileNameField = 255;  // the record's right-aligned name
// A file this short holds no record: a game without profiles has no key file.
constexpr uint64_t kKeyFileMinimumWithRecord = 50;

// How an entry plays (the mode byte).
enum AssignMode : uint8_t {
  kModeHold = 0x00,
  kModeHoldRepeat = 0x80,
  kModeTap = 0x01,
  kModeTapRepeat = 0x81,
  kModeCycle = 0x02,
  kModeMouse = 0x04,
  kModeUnassigned = 0xFF,
};

// Stroke flags: the modifiers held with the key, each by its side (the
// right Alt and Ctrl keys are extended keys, the right Shift key has its own
// scan code), the extended-key mark and the reference bit.
constexpr uint8_t kFlagAltRight = 0x01;
constexpr uint8_t kFlagAltLeft = 0x02;
constexpr uint8_t kFlagCtrlRight = 0x04;
constexpr uint8_t kFlagCtrlLeft = 0x08;
constexpr uint8_t kFlagShiftRight = 0x10;
constexpr uint8_t kFlagShiftLeft = 0x20;
constexpr uint8_t kFlagAltPair = kFlagAltRight | kFlagAltLeft;
constexpr uint8_t kFlagCtrlPair = kFlagCtrlRight | kFlagCtrlLeft;
constexpr uint8_t kFlagShiftPair = kFlagShiftRight | kFlagShiftLeft;
constexpr uint8_t kFlagExtended = 0x40;
constexpr uint8_t kFlagReference = 0x80;
constexpr uint8_t kVkSeparator = 0xFF;

// Mouse action codes of a mode-4 entry.
constexpr uint8_t kMouseLeft = 1;
constexpr uint8_t kMouseRight = 2;
constexpr uint8_t kMouseMiddle = 4;
constexpr uint8_t kMouseUp = 8;
constexpr uint8_t kMouseDown = 16;
constexpr uint8_t kMouseLeftMove = 32;
constexpr uint8_t kMouseRightMove = 64;

struct KeyStroke {
  uint8_t flags = 0;
  uint8_t vk = 0;  // 0 nothing, 255 separator; with kFlagReference an input index
  bool operator==(const KeyStroke&) const = default;
};

// The assignment of one pad input: 0 up, 1 down, 2 left, 3 right, 4 + n button n.
struct KeyEntry {
  uint8_t index = 0;
  uint8_t mode = kModeUnassigned;
  std::vector<KeyStroke> keys;
  uint8_t KeyCount() const { return static_cast<uint8_t>(keys.size()); }
  bool operator==(const KeyEntry&) const = default;
};

// One pad slot's assignments, ascending by unique index. After every
// operation a pad with B buttons has at least the indexes 0 .. B+3.
struct PadKeyTable {
  std::vector<KeyEntry> entries;
  const KeyEntry* Find(uint8_t index) const;
  KeyEntry* Find(uint8_t index);
  bool operator==(const PadKeyTable&) const = default;
};

using PadTables = std::array<PadKeyTable, kPadSlots>;

// The flat working copy of one entry the editor builds and shows. The
// layout is the system's: 66 codes (33 used), 33 flags, the count.
struct KeySequence {
  std::array<uint16_t, 66> code{};
  std::array<uint8_t, kMaxStrokes> flags{};
  uint8_t count = 0;
};
static_assert(sizeof(KeySequence) == 166);

// Builds an entry from `sequence` (none: no strokes) and links it in index
// order. False, and nothing inserted, when the index is present or beyond
// the pad's 32 inputs.
bool InsertKeyEntry(PadKeyTable& table, uint8_t index, uint8_t mode, const KeySequence* sequence);
bool RemoveKeyEntry(PadKeyTable& table, uint8_t index);
void FreeKeyTable(PadKeyTable& table);
// Inserts a copy of every source entry with an index up to buttons + 3, then
// the missing indexes up to buttons + 3 unassigned (so a 14-entry table
// copied to a 12-button pad gets entries 14 and 15 with mode 255).
void CopyKeyTable(const PadKeyTable& source, PadKeyTable& target, uint8_t buttons);
// Fills `table` with the default assignments of a 10- or 12-button pad: the
// arrows on inputs 0..3, Return on 12 and Escape on 13, the rest unassigned;
// with `empty` every entry unassigned. The caller empties the table first.
void MakeDefaultTable(PadKeyTable& table, bool twelveButtons, bool empty);
// The size S of the pad block the table is stored as.
uint16_t BlockSize(const PadKeyTable& table);
// Copies an entry into a zeroed sequence (at most 33 strokes).
void EntryToSequence(const KeyEntry& entry, KeySequence& sequence);

// The key file name of a game: its last three characters replaced by "key".
std::string KeyFileNameFor(const std::string& game);
// Game names: an upper-case executable file name with a non-empty stem and a
// three-character extension, which the key file name and the game list's
// lines can carry unchanged.
bool IsValidGameName(const std::string& name);
// Profile names: 1..254 characters that the game list gives back unchanged
// (no control characters, no space at either end).
bool IsValidProfileName(const std::string& name);
constexpr size_t kMaxGameName = 255;
constexpr size_t kMaxProfileName = 254;

// The header fields as stored.
struct KeyFileHeader {
  std::string signature;  // 16 bytes, "VORNATEK GAMEPAD"
  std::string version;    // 4 bytes, "0101"
};

// Writes the 40-byte header of a new key file.
bool WriteKeyFileHeader(TextStream& out);
// Writes one profile record with the blocks of `tables` in order.
bool WriteProfileRecord(TextStream& out, const std::string& name,
                        const std::vector<const PadKeyTable*>& tables);

// Reading records, for the editor's loader and for inspection tools. The
// stream treats 0x1A as data and is positioned at offset 40 or at the end
// of the previous record.
struct RecordTag {
  uint64_t start = 0;  // stored offset where the record's scan step began
  std::string name;    // the 255 stored name bytes, padding included
};
// Scans for the next "[PROFILE]" tag and reads the name field after it.
// `stopAtFF` ends the scan at a 0xFF byte where a record should begin.
std::optional<RecordTag> ScanToRecord(TextStream& in, bool stopAtFF);
// After a non-matching name: reads the length field and skips the rest of
// the record, reading through it.
void SkipRecordBody(TextStream& in);
// Reads the pad blocks after a record's name. Stops at the first sign of
// damage (more than four blocks, more than 32 entries or 33 strokes, data
// ending early): blocks before it are complete, the damaged one holds the
// entries read before it, and `complete` is false.
struct RecordBlocks {
  std::vector<PadKeyTable> pads;
  bool complete = true;
};
RecordBlocks ReadRecordBlocks(TextStream& in);
// The search key of a profile name: 255 characters, the name right-aligned.
std::string SearchKeyFor(const std::string& profile);
// The name field without its left padding.
std::string TrimRecordName(const std::string& field);

// A whole key file as the editor's reader finds its records.
struct KeyFileRecord {
  std::string name;  // without padding
  RecordBlocks blocks;
};
struct KeyFileContents {
  KeyFileHeader header;
  std::vector<KeyFileRecord> records;
};
KeyFileContents ReadKeyFileContents(TextStream& in);

}  // namespace kl
