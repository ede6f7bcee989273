#include "key_bytes.h"

namespace kl::test {

namespace {

void PutU16(Bytes& out, size_t value) {
  out += static_cast<char>((value >> 8) & 0xFF);
  out += static_cast<char>(value & 0xFF);
}

}  // namespace

Bytes HeaderBytes() {
  return Bytes("VORNATEK GAMEPAD0101") + Bytes(20, '\0');
}

Bytes RecordBytes(const std::string& name, const std::vector<TestPad>& pads) {
  Bytes blocks;
  for (const TestPad& pad : pads) {
    Bytes entries;
    for (const TestEntry& e : pad) {
      entries += static_cast<char>(e.mode);
      entries += static_cast<char>(e.keys.size());
      for (auto [flags, vk] : e.keys) {
        entries += static_cast<char>(flags);
        entries += static_cast<char>(vk);
      }
    }
    PutU16(blocks, 3 + entries.size());
    blocks += static_cast<char>(pad.size());
    blocks += entries;
  }
  Bytes record = "[PROFILE]";
  record += Bytes(255 - name.size(), ' ') + name;
  record += '\0';
  record += static_cast<char>(pads.size());
  record += '\0';
  PutU16(record, 2 + 100 + blocks.size());
  record += Bytes(100, '\0');
  return record + blocks;
}

Bytes Stored(const Bytes& logical) {
  Bytes stored;
  for (char c : logical) {
    if (c == '\n') stored += '\r';
    stored += c;
  }
  return stored;
}

TestPad DefaultPad(int entries) {
  TestPad pad = EmptyPad(entries);
  pad[0] = {0, {{0, 0x26}}};
  pad[1] = {0, {{0, 0x28}}};
  pad[2] = {0, {{0, 0x25}}};
  pad[3] = {0, {{0, 0x27}}};
  pad[12] = {0, {{0, 0x0D}}};
  pad[13] = {0, {{0, 0x1B}}};
  return pad;
}

TestPad EmptyPad(int entries) {
  return TestPad(entries, TestEntry{0xFF, {}});
}

PadKeyTable ToTable(const TestPad& pad) {
  PadKeyTable table;
  for (size_t i = 0; i < pad.size(); ++i) {
    KeyEntry entry;
    entry.index = static_cast<uint8_t>(i);
    entry.mode = pad[i].mode;
    for (auto [flags, vk] : pad[i].keys) entry.keys.push_back({flags, vk});
    table.entries.push_back(entry);
  }
  return table;
}

TestPad PadWithButton(uint8_t vk, int entries) {
  TestPad pad = DefaultPad(entries);
  pad[4] = {kModeTap, {{0x08, vk}}};
  return pad;
}

Bytes KeyFileBytes(const std::vector<std::pair<std::string, std::vector<TestPad>>>& records) {
  Bytes bytes = HeaderBytes();
  for (const auto& [name, pads] : records) bytes += Stored(RecordBytes(name, pads));
  return bytes;
}

}  // namespace kl::test
