// Scripts, words and numbers of kltool's commands, read the same way by
// every command.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/joystick.h"

namespace kl::tool {

// Decimal or 0x hexadecimal, the whole word, at most `limit`.
std::optional<uint64_t> ParseNumber(const std::string& text, uint64_t limit);

// One reading field of a `state` command: its name and the reading it sets.
struct StateField {
  const char* name;
  uint32_t JoyInfo::*reading;
};

// Applies the words from `first` on, each NAME=NUMBER with a 32-bit number
// and NAME one of `fields`, to `state`. False with `error` naming the fields
// on the first word that is not such a field; `state` is then unchanged.
bool ApplyStateFields(const std::vector<std::string>& words, size_t first,
                      const std::vector<StateField>& fields, JoyInfo& state, std::string& error);

// Splits a script line into words: white space separates, double quotes
// group (and are dropped), '#' outside quotes starts a comment. False with
// `error` set on an unterminated quote.
bool SplitWords(const std::string& line, std::vector<std::string>& words, std::string& error);

// One script command: false with `error` set on a mistake in it.
using ScriptCommand =
    std::function<bool(const std::vector<std::string>& words, std::string& error)>;

// Reads a script from the file `path`, or from standard input without one, with
// no line-end translation on any platform (standard output is switched to
// the same). False with `error` set when it cannot be read.
bool ReadScript(const std::optional<std::string>& path, std::string& script, std::string& error);

// Runs a scripted command's `FOLDER [SCRIPT]` arguments: checks the folder,
// reads the script from the file or from standard input (no line-end
// translation on any platform) and hands each line's words to the command
// that `start` makes for the folder. On a mistake `beforeError` runs first,
// then one line "SCRIPT:LINE: error" goes to stderr. `finish` runs after the
// last line. Returns the exit status.
int RunScript(const std::vector<std::string>& args, const char* usage,
              const std::function<ScriptCommand(const std::string& folder)>& start,
              const std::function<void()>& beforeError, const std::function<void()>& finish);

// The part of RunScript after the script is read, for running a script held
// in memory: false with `error` set to "SCRIPT:LINE: error" (after
// `beforeError` ran) on a mistake; nothing is written to stderr.
bool RunScriptText(const std::string& folder, const std::string& scriptName,
                   const std::string& script,
                   const std::function<ScriptCommand(const std::string& folder)>& start,
                   const std::function<void()>& beforeError, const std::function<void()>& finish,
                   std::string& error);

}  // namespace kl::tool
