#include "profile/keyfile.h"

#include <algorithm>

namespace kl {
namespace {

constexpr char kVersion[] = "0101";
constexpr char kRecordTag[] = "[PROFILE]";
constexpr size_t kReservedSize = 100;

// Defaults of a fresh table: arrows on the direction pad, Return and Escape.
struct DefaultKey {
  uint8_t index;
  uint8_t vk;
};
constexpr DefaultKey kDefaultKeys[] = {{0, 0x26}, {1, 0x28},  {2, 0x25},
                                       {3, 0x27}, {12, 0x0D}, {13, 0x1B}};

// Highest index stored for a table: entries are written for every index up
// to it, so a table with a gap keeps its indexes when read back.
int StoredEntryCount(const PadKeyTable& table) {
  return table.entries.empty() ? 0 : table.entries.back().index + 1;
}

size_t StoredStrokes(const KeyEntry& entry) {
  return std::min<size_t>(entry.keys.size(), kMaxStrokes);
}

bool ReadU16(TextStream& in, uint16_t& value) {
  uint8_t bytes[2];
  if (in.Read(bytes, 2) != 2) return false;
  value = static_cast<uint16_t>(bytes[0] << 8 | bytes[1]);
  return true;
}

bool WriteU16(TextStream& out, uint16_t value) {
  uint8_t bytes[2] = {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value & 0xFF)};
  return out.Write(bytes, 2);
}

bool IsControl(unsigned char c) {
  return c < 0x20 || c == 0x7F;
}

}  // namespace

const KeyEntry* PadKeyTable::Find(uint8_t index) const {
  auto it = std::lower_bound(entries.begin(), entries.end(), index,
                             [](const KeyEntry& e, uint8_t i) { return e.index < i; });
  return it != entries.end() && it->index == index ? &*it : nullptr;
}

KeyEntry* PadKeyTable::Find(uint8_t index) {
  return const_cast<KeyEntry*>(static_cast<const PadKeyTable&>(*this).Find(index));
}

bool InsertKeyEntry(PadKeyTable& table, uint8_t index, uint8_t mode, const KeySequence* sequence) {
  if (index >= kMaxInputs) return false;
  auto it = std::lower_bound(table.entries.begin(), table.entries.end(), index,
                             [](const KeyEntry& e, uint8_t i) { return e.index < i; });
  if (it != table.entries.end() && it->index == index) return false;
  KeyEntry entry;
  entry.index = index;
  entry.mode = mode;
  if (sequence) {
    int count = std::min<int>(sequence->count, kMaxStrokes);
    for (int i = 0; i < count; ++i) {
      entry.keys.push_back({sequence->flags[i], static_cast<uint8_t>(sequence->code[i])});
    }
  }
  table.entries.insert(it, std::move(entry));
  return true;
}

bool RemoveKeyEntry(PadKeyTable& table, uint8_t index) {
  auto it = std::find_if(table.entries.begin(), table.entries.end(),
                         [index](const KeyEntry& e) { return e.index == index; });
  if (it == table.entries.end()) return false;
  table.entries.erase(it);
  return true;
}

void FreeKeyTable(PadKeyTable& table) {
  table.entries.clear();
}

void CopyKeyTable(const PadKeyTable& source, PadKeyTable& target, uint8_t buttons) {
  const int last = buttons + 3;
  for (const KeyEntry& entry : source.entries) {
    if (entry.index > last) break;
    if (InsertKeyEntry(target, entry.index, entry.mode, nullptr)) {
      target.Find(entry.index)->keys = entry.keys;
    }
  }
  for (int i = 0; i <= last && i < kMaxInputs; ++i) {
    InsertKeyEntry(target, static_cast<uint8_t>(i), kModeUnassigned, nullptr);
  }
}

void MakeDefaultTable(PadKeyTable& table, bool twelveButtons, bool empty) {
  const int count = twelveButtons ? 16 : 14;
  for (int i = 0; i < count; ++i) {
    const auto index = static_cast<uint8_t>(i);
    const DefaultKey* key = nullptr;
    for (const DefaultKey& k : kDefaultKeys) {
      if (k.index == index) key = &k;
    }
    if (empty || !key) {
      InsertKeyEntry(table, index, kModeUnassigned, nullptr);
      continue;
    }
    KeySequence sequence;
    sequence.count = 1;
    sequence.code[0] = key->vk;
    InsertKeyEntry(table, index, kModeHold, &sequence);
  }
}

uint16_t BlockSize(const PadKeyTable& table) {
  size_t size = 3 + 2 * static_cast<size_t>(StoredEntryCount(table));
  for (const KeyEntry& entry : table.entries) size += 2 * StoredStrokes(entry);
  return static_cast<uint16_t>(size);
}

void EntryToSequence(const KeyEntry& entry, KeySequence& sequence) {
  sequence = KeySequence{};
  size_t count = StoredStrokes(entry);
  for (size_t i = 0; i < count; ++i) {
    sequence.code[i] = entry.keys[i].vk;
    sequence.flags[i] = entry.keys[i].flags;
  }
  sequence.count = static_cast<uint8_t>(count);
}

std::string KeyFileNameFor(const std::string& game) {
  if (game.size() < 3) return game + "key";
  return game.substr(0, game.size() - 3) + "key";
}

bool IsValidGameName(const std::string& name) {
  if (name.size() < 5 || name.size() > kMaxGameName) return false;
  const size_t dot = name.size() - 4;
  if (name[dot] != '.') return false;
  for (size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (IsControl(c) || c == '\\' || c == '/' || c == ':') return false;
    if (i > dot && (c == '.' || c == ' ')) return false;
    if (c == ' ' && (i == 0 || name[i + 1] == ' ')) return false;
  }
  return true;
}

bool IsValidProfileName(const std::string& name) {
  if (name.empty() || name.size() > kMaxProfileName) return false;
  if (name.front() == ' ' || name.back() == ' ') return false;
  return std::none_of(name.begin(), name.end(),
                      [](char c) { return IsControl(static_cast<unsigned char>(c)); });
}

bool WriteKeyFileHeader(TextStream& out) {
  std::string header(kKeyFileHeaderSize, '\0');
  header.replace(0, sizeof kKeyFileSignature - 1, kKeyFileSignature);
  header.replace(16, 4, kVersion);
  return out.Write(header);
}

bool WriteProfileRecord(TextStream& out, const std::string& name,
                        const std::vector<const PadKeyTable*>& tables) {
  if (name.size() > kProfileNameField || tables.size() > kPadSlots) return false;
  size_t length = 2 + kReservedSize;
  for (const PadKeyTable* table : tables) length += BlockSize(*table);

  std::string head = kRecordTag;
  head += std::string(kProfileNameField - name.size(), ' ') + name;
  head += '\0';
  head += static_cast<char>(tables.size());
  head += '\0';
  if (!out.Write(head) || !WriteU16(out, static_cast<uint16_t>(length))) return false;
  if (!out.Write(std::string(kReservedSize, '\0'))) return false;

  for (const PadKeyTable* table : tables) {
    const int count = StoredEntryCount(*table);
    std::string block;
    block += static_cast<char>(count);
    size_t next = 0;
    for (int index = 0; index < count; ++index) {
      const KeyEntry* entry = nullptr;
      if (next < table->entries.size() && table->entries[next].index == index) {
        entry = &table->entries[next++];
      }
      if (!entry) {
        block += static_cast<char>(kModeUnassigned);
        block += '\0';
        continue;
      }
      const size_t strokes = StoredStrokes(*entry);
      block += static_cast<char>(entry->mode);
      block += static_cast<char>(strokes);
      for (size_t k = 0; k < strokes; ++k) {
        block += static_cast<char>(entry->keys[k].flags);
        block += static_cast<char>(entry->keys[k].vk);
      }
    }
    if (!WriteU16(out, BlockSize(*table)) || !out.Write(block)) return false;
  }
  return !out.Failed();
}

std::optional<RecordTag> ScanToRecord(TextStream& in, bool stopAtFF) {
  for (;;) {
    RecordTag tag;
    tag.start = in.Tell();
    int first = in.ReadByte();
    if (first == TextStream::kEnd || (stopAtFF && first == 0xFF)) return std::nullopt;
    std::optional<std::string> word = in.ReadWord(8);
    if (!word) return std::nullopt;
    if (*word != "PROFILE]") continue;
    tag.name.resize(kProfileNameField);
    if (in.Read(tag.name.data(), kProfileNameField) != kProfileNameField) return std::nullopt;
    return tag;
  }
}

void SkipRecordBody(TextStream& in) {
  in.Skip(3);
  uint16_t length = 0;
  if (!ReadU16(in, length)) return;
  if (length > 2) in.Skip(length - 2u);
}

RecordBlocks ReadRecordBlocks(TextStream& in) {
  RecordBlocks result;
  uint8_t counts[3];
  if (in.Read(counts, 3) != 3 || counts[1] > kPadSlots) {
    result.complete = false;
    return result;
  }
  const int padCount = counts[1];
  if (in.Skip(2 + kReservedSize) != 2 + kReservedSize) {
    result.complete = false;
    return result;
  }
  for (int slot = 0; slot < padCount; ++slot) {
    PadKeyTable& table = result.pads.emplace_back();
    uint8_t head[3];
    if (in.Read(head, 3) != 3 || head[2] > kMaxInputs) {
      result.complete = false;
      return result;
    }
    const int entryCount = head[2];
    for (int i = 0; i < entryCount; ++i) {
      uint8_t modeAndCount[2];
      if (in.Read(modeAndCount, 2) != 2 || modeAndCount[1] > kMaxStrokes) {
        result.complete = false;
        return result;
      }
      KeySequence sequence;
      sequence.count = modeAndCount[1];
      for (int k = 0; k < sequence.count; ++k) {
        uint8_t pair[2];
        if (in.Read(pair, 2) != 2) {
          result.complete = false;
          return result;
        }
        sequence.flags[k] = pair[0];
        sequence.code[k] = pair[1];
      }
      InsertKeyEntry(table, static_cast<uint8_t>(i), modeAndCount[0], &sequence);
    }
  }
  return result;
}

std::string SearchKeyFor(const std::string& profile) {
  std::string key(kProfileNameField, ' ');
  const size_t length = std::min(profile.size(), kProfileNameField);
  key.replace(kProfileNameField - length, length, profile, 0, length);
  return key;
}

std::string TrimRecordName(const std::string& field) {
  size_t first = field.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : field.substr(first);
}

KeyFileContents ReadKeyFileContents(TextStream& in) {
  KeyFileContents contents;
  contents.header.signature.resize(16);
  contents.header.signature.resize(in.Read(contents.header.signature.data(), 16));
  contents.header.version.resize(4);
  contents.header.version.resize(in.Read(contents.header.version.data(), 4));
  if (!in.SeekStored(kKeyFileHeaderSize)) return contents;
  while (std::optional<RecordTag> tag = ScanToRecord(in, false)) {
    const uint64_t afterName = in.Tell();
    KeyFileRecord record;
    record.name = TrimRecordName(tag->name);
    record.blocks = ReadRecordBlocks(in);
    contents.records.push_back(std::move(record));
    // Move on the way the editor's reader does: by the record's length.
    if (!in.SeekStored(afterName)) break;
    SkipRecordBody(in);
  }
  return contents;
}

}  // namespace kl
