// Key files for the mapper's tests, built byte by byte from the documented
// layout: a 40-byte header, then records of a tag, a right-aligned name, the
// pad count, the big-endian record length, 100 reserved bytes and one block
// per pad of (size, entry count, entries of mode, key count, flag/key pairs).
// Stored() applies the text rule of the files: each 0x0A is stored as 0x0D 0x0A.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kl::test {

struct Stroke {
  uint8_t flags;
  uint8_t vk;
};

struct Entry {
  uint8_t mode;
  std::vector<Stroke> strokes;
  int keyCount = -1;  // the key count byte when it should not match the strokes
};

using Block = std::vector<Entry>;

inline void PutWord(std::string& out, size_t value) {
  out += static_cast<char>((value >> 8) & 0xFF);
  out += static_cast<char>(value & 0xFF);
}

inline std::string Header() {
  return std::string("VORNATEK GAMEPAD") + "0101" + std::string(20, '\0');
}

inline std::string BlockBytes(const Block& block) {
  std::string body;
  body += static_cast<char>(block.size());
  for (const Entry& e : block) {
    body += static_cast<char>(e.mode);
    body += static_cast<char>(e.keyCount < 0 ? e.strokes.size() : static_cast<size_t>(e.keyCount));
    for (const Stroke& s : e.strokes) {
      body += static_cast<char>(s.flags);
      body += static_cast<char>(s.vk);
    }
  }
  std::string out;
  PutWord(out, 2 + body.size());
  return out + body;
}

// A record; `padCount` defaults to the number of blocks given.
inline std::string Record(const std::string& name, const std::vector<Block>& blocks,
                          int padCount = -1) {
  std::string blockBytes;
  for (const Block& b : blocks) blockBytes += BlockBytes(b);
  std::string out = "[PROFILE]";
  out += std::string(name.size() < 255 ? 255 - name.size() : 0, ' ') + name;
  out += '\0';
  out += static_cast<char>(padCount < 0 ? blocks.size() : static_cast<size_t>(padCount));
  out += '\0';
  PutWord(out, 102 + blockBytes.size());
  out += std::string(100, '\0');
  return out + blockBytes;
}

inline std::string Stored(const std::string& logical) {
  std::string out;
  for (char c : logical) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// A block of `count` unassigned entries with `assigned` put at their indexes.
inline Block Unassigned(size_t count, const std::vector<std::pair<size_t, Entry>>& assigned = {}) {
  Block block(count, Entry{0xFF, {}});
  for (const auto& [index, entry] : assigned) block.at(index) = entry;
  return block;
}

}  // namespace kl::test
