#include "applet/reg_values.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace kl {

bool ScopedRegKey::Open(RegKey parent, std::string_view path, uint32_t access) {
  Close();
  RegKey key = kRegNone;
  if (m_registry.OpenKey(parent, path, access, key) != kRegOk || key == kRegNone) return false;
  m_key = key;
  return true;
}

bool ScopedRegKey::Create(RegKey parent, std::string_view path, uint32_t access) {
  Close();
  RegKey key = kRegNone;
  if (m_registry.CreateKey(parent, path, access, key) != kRegOk || key == kRegNone) return false;
  m_key = key;
  return true;
}

void ScopedRegKey::Close() {
  if (m_key != kRegNone) m_registry.CloseKey(m_key);
  m_key = kRegNone;
}

std::optional<std::string> ReadStringValue(Registry& registry, RegKey key, std::string_view name,
                                           size_t bufferSize) {
  std::vector<uint8_t> buffer(bufferSize, 0);
  uint32_t type = 0;
  uint32_t size = static_cast<uint32_t>(bufferSize);
  if (registry.QueryValue(key, name, type, buffer.data(), size) != kRegOk) return std::nullopt;
  if (type != kRegSz || size > bufferSize) return std::nullopt;
  const auto end = buffer.begin() + size;
  const auto terminator = std::find(buffer.begin(), end, uint8_t{0});
  // Without a terminator inside the buffer the text would not fit it.
  if (terminator == buffer.end()) return std::nullopt;
  return std::string(buffer.begin(), terminator);
}

bool ReadBinaryValue(Registry& registry, RegKey key, std::string_view name, uint8_t* out,
                     size_t size) {
  std::vector<uint8_t> buffer(size, 0);
  uint32_t type = 0;
  uint32_t got = static_cast<uint32_t>(size);
  if (registry.QueryValue(key, name, type, buffer.data(), got) != kRegOk) return false;
  if (type != kRegBinary || got != size) return false;
  std::memcpy(out, buffer.data(), size);
  return true;
}

long WriteStringValue(Registry& registry, RegKey key, std::string_view name,
                      const std::string& text) {
  return registry.SetValue(key, name, kRegSz, reinterpret_cast<const uint8_t*>(text.c_str()),
                           static_cast<uint32_t>(text.size() + 1));
}

}  // namespace kl
