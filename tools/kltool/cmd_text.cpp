// kltool text FILE PROFILE [--pad N]: the editor's text for every entry of
// one pad of a profile, one line each: the input index, a tab, the text.
#include <charconv>
#include <cstdio>
#include <string>

#include "platform/sim/recording_input.h"
#include "profile/keytext.h"
#include "tools/kltool/commands.h"
#include "tools/kltool/profile_tool.h"

#include "resources/builtin_strings.h"

namespace kl::tool {

int RunText(const Args& args) {
  UseBinaryOutput();
  const char* usage = "usage: kltool text FILE PROFILE [--pad N]";
  if (args.size() != 2 && args.size() != 4) return UserError(usage);
  int pad = 0;
  if (args.size() == 4) {
    const std::string& word = args[3];
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), pad);
    if (args[2] != "--pad" || error != std::errc() || end != word.data() + word.size() || pad < 0 ||
        pad >= kPadSlots) {
      return UserError(usage + std::string(" (N is 0 to 3)"));
    }
  }
  std::unique_ptr<FileSystem> fs = MakeFileSystem();
  std::optional<KeyFileContents> contents = ReadKeyFile(*fs, args[0]);
  if (!contents) return UserError("cannot open " + args[0]);
  // The first record of that name, as the editor's loader finds it.
  const KeyFileRecord* record = nullptr;
  for (const KeyFileRecord& r : contents->records) {
    if (r.name == args[1]) {
      record = &r;
      break;
    }
  }
  if (!record) return UserError("no profile '" + args[1] + "' in " + args[0]);
  if (static_cast<size_t>(pad) >= record->blocks.pads.size()) {
    return UserError("profile '" + args[1] + "' has no pad " + std::to_string(pad));
  }

  KeyNameTables names;
  names.Fill(BuiltinStrings(StringModule::kKloom));
  // The US layout, as natively everywhere, so every build prints the same.
  RecordingInput layout;
  for (const KeyEntry& entry : record->blocks.pads[pad].entries) {
    KeySequence sequence;
    EntryToSequence(entry, sequence);
    std::string text;
    FormatKeySequence(sequence, text, entry.mode, names, layout);
    std::printf("%u\t%s\n", static_cast<unsigned>(entry.index), text.c_str());
  }
  return 0;
}

}  // namespace kl::tool
