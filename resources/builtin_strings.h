// The string tables of the three resource modules, compiled into the program.
// kltool and the unit tests read the very texts the Windows programs load
// from KLOOM_RS.DLL, ORVO_RS.DLL and OSTRARS.DLL; both are generated from the
// one string source of each module.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/strings.h"

namespace kl {

enum class StringModule { kKloom, kOrvo, kOstra };

// "kloom", "orvo" or "ostra" (exactly, lower case); nothing for any other word.
std::optional<StringModule> ParseStringModule(std::string_view name);

// The text of string `id` of the module, or nullptr when the module has none.
const char* FindBuiltinString(StringModule module, uint32_t id);

// A StringSource over one module's built-in table.
class BuiltinStrings : public StringSource {
 public:
  explicit BuiltinStrings(StringModule module) : m_module(module) {}
  std::string Load(uint32_t id) const override;

 private:
  StringModule m_module;
};

}  // namespace kl
