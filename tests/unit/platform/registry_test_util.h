// Small helpers for the registry tests: reading a value back through the
// Registry interface and building UTF-16 texts byte by byte.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace kl::test {

struct ReadBack {
  long result = -1;
  uint32_t type = 0;
  std::vector<uint8_t> data;
};

// Opens `path` under `root` for reading, queries `name` and closes the key.
inline ReadBack ReadValue(Registry& registry, RegKey root, std::string_view path,
                          std::string_view name) {
  ReadBack back;
  RegKey key = kRegNone;
  back.result = registry.OpenKey(root, path, kKeyRead, key);
  if (back.result != kRegOk) return back;
  uint32_t size = 0;
  back.result = registry.QueryValue(key, name, back.type, nullptr, size);
  if (back.result == kRegOk) {
    back.data.resize(size);
    back.result = registry.QueryValue(key, name, back.type, back.data.data(), size);
    back.data.resize(size);
  }
  registry.CloseKey(key);
  return back;
}

inline std::vector<uint8_t> Bytes(std::string_view text, bool terminator) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  if (terminator) bytes.push_back(0);
  return bytes;
}

// UTF-16LE with a byte-order mark; the input is ASCII or two-byte UTF-8.
inline std::string Utf16LeWithBom(std::string_view utf8) {
  std::string out = "\xFF\xFE";
  for (size_t i = 0; i < utf8.size(); ++i) {
    uint32_t unit = static_cast<uint8_t>(utf8[i]);
    if ((unit & 0xE0) == 0xC0 && i + 1 < utf8.size()) {
      unit = (unit & 0x1F) << 6 | (static_cast<uint8_t>(utf8[++i]) & 0x3F);
    }
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
  }
  return out;
}

}  // namespace kl::test
