// Careful registry reads for the applet: a value of the wrong type or size
// counts as missing and is never read beyond its length, and every key that
// opens is closed again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace kl {

// An open key that closes itself.
class ScopedRegKey {
 public:
  explicit ScopedRegKey(Registry& registry) : m_registry(registry) {}
  ~ScopedRegKey() { Close(); }
  ScopedRegKey(const ScopedRegKey&) = delete;
  ScopedRegKey& operator=(const ScopedRegKey&) = delete;

  bool Open(RegKey parent, std::string_view path, uint32_t access);
  bool Create(RegKey parent, std::string_view path, uint32_t access);
  void Close();
  bool IsOpen() const { return m_key != kRegNone; }
  RegKey Get() const { return m_key; }

 private:
  Registry& m_registry;
  RegKey m_key = kRegNone;
};

// A REG_SZ value that fits a buffer of `bufferSize` bytes with its terminator;
// the text ends at the first zero byte.
std::optional<std::string> ReadStringValue(Registry& registry, RegKey key, std::string_view name,
                                           size_t bufferSize);

// A REG_BINARY value of exactly `size` bytes, copied into `out`; `out` is left
// alone when the value is missing or of another type or size.
bool ReadBinaryValue(Registry& registry, RegKey key, std::string_view name, uint8_t* out,
                     size_t size);

// REG_SZ with its terminator, as the platform stores strings.
long WriteStringValue(Registry& registry, RegKey key, std::string_view name,
                      const std::string& text);

// The name of every subkey of `key` that fits `bufferSize` bytes, calling
// `visit(name)` for each in enumeration order; names that do not fit are skipped.
template <typename Visit>
void ForEachSubkey(Registry& registry, RegKey key, uint32_t bufferSize, Visit visit) {
  // A bound on the walk, so a registry that never says "no more" cannot hang us.
  constexpr uint32_t kMaxSubkeys = 65536;
  for (uint32_t index = 0; index < kMaxSubkeys; ++index) {
    std::string name;
    const long result = registry.EnumKey(key, index, name, bufferSize);
    if (result == kRegMoreData) continue;
    if (result != kRegOk) break;
    visit(name);
  }
}

}  // namespace kl
