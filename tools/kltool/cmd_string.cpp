// kltool string MODULE ID: prints one text of a resource module's string table.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string>

#include "resources/builtin_strings.h"
#include "tools/kltool/commands.h"

namespace kl::tool {

namespace {

// A decimal id in the 32-bit range, nothing else (no sign, no spaces).
bool ParseId(const std::string& word, uint32_t& id) {
  if (word.empty()) return false;
  const char* first = word.data();
  const char* last = first + word.size();
  const auto [end, error] = std::from_chars(first, last, id, 10);
  return error == std::errc() && end == last;
}

}  // namespace

int RunString(const Args& args) {
  if (args.size() != 2) return UserError("usage: kltool string kloom|orvo|ostra ID");
  const std::optional<StringModule> module = ParseStringModule(args[0]);
  if (!module) return UserError("unknown module '" + args[0] + "' (kloom, orvo or ostra)");
  uint32_t id = 0;
  if (!ParseId(args[1], id)) return UserError("'" + args[1] + "' is not a string id");
  const char* text = FindBuiltinString(*module, id);
  if (!text) return UserError("module " + args[0] + " has no string " + args[1]);
  std::printf("%s\n", text);
  return 0;
}

}  // namespace kl::tool
