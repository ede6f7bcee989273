// Look-up in the generated string tables.
#include "resources/builtin_strings.h"

#include <algorithm>
#include <span>

#include "resources/builtin_strings_table.h"

namespace kl {

namespace {

using detail::BuiltinStringEntry;

std::span<const BuiltinStringEntry> TableOf(StringModule module) {
  switch (module) {
    case StringModule::kKloom:
      return {detail::kKloomStrings, detail::kKloomStringsCount};
    case StringModule::kOrvo:
      return {detail::kOrvoStrings, detail::kOrvoStringsCount};
    case StringModule::kOstra:
      return {detail::kOstraStrings, detail::kOstraStringsCount};
  }
  return {};
}

}  // namespace

std::optional<StringModule> ParseStringModule(std::string_view name) {
  if (name == "kloom") return StringModule::kKloom;
  if (name == "orvo") return StringModule::kOrvo;
  if (name == "ostra") return StringModule::kOstra;
  return std::nullopt;
}

const char* FindBuiltinString(StringModule module, uint32_t id) {
  const std::span<const BuiltinStringEntry> table = TableOf(module);
  const auto it = std::lower_bound(
      table.begin(), table.end(), id,
      [](const BuiltinStringEntry& entry, uint32_t wanted) { return entry.id < wanted; });
  if (it == table.end() || it->id != id) return nullptr;
  return it->text;
}

std::string BuiltinStrings::Load(uint32_t id) const {
  const char* text = FindBuiltinString(m_module, id);
  return text ? std::string(text) : std::string();
}

}  // namespace kl
