// The layout of the generated string tables that builtin_strings.cpp
// searches: one array per module, sorted by id, with its length.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kl::detail {

struct BuiltinStringEntry {
  uint32_t id;
  const char* text;
};

extern const BuiltinStringEntry kKloomStrings[];
extern const std::size_t kKloomStringsCount;
extern const BuiltinStringEntry kOrvoStrings[];
extern const std::size_t kOrvoStringsCount;
extern const BuiltinStringEntry kOstraStrings[];
extern const std::size_t kOstraStringsCount;

}  // namespace kl::detail
