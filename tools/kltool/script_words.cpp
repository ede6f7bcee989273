#include "tools/kltool/script_words.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "tools/kltool/commands.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace kl::tool {
namespace {

bool ReadAll(std::FILE* file, std::string& text) {
  char buffer[4096];
  size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof(buffer), file)) > 0) text.append(buffer, n);
  return !std::ferror(file);
}

}  // namespace

std::optional<uint64_t> ParseNumber(const std::string& text, uint64_t limit) {
  if (text.empty() || text.size() > 20) return std::nullopt;
  size_t at = 0;
  uint64_t base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    at = 2;
    base = 16;
  }
  uint64_t value = 0;
  for (; at < text.size(); ++at) {
    const char c = text[at];
    uint64_t digit = 16;
    if (c >= '0' && c <= '9') digit = static_cast<uint64_t>(c - '0');
    if (base == 16 && c >= 'a' && c <= 'f') digit = static_cast<uint64_t>(c - 'a' + 10);
    if (base == 16 && c >= 'A' && c <= 'F') digit = static_cast<uint64_t>(c - 'A' + 10);
    if (digit >= base) return std::nullopt;
    value = value * base + digit;
    if (value > limit) return std::nullopt;
  }
  return value;
}

bool SplitWords(const std::string& line, std::vector<std::string>& words, std::string& error) {
  words.clear();
  std::string word;
  bool inWord = false;
  bool quoted = false;
  for (char c : line) {
    if (quoted) {
      if (c == '"') {
        quoted = false;
      } else {
        word += c;
      }
      continue;
    }
    if (c == '#') break;
    if (c == '"') {
      quoted = true;
      inWord = true;
    } else if (c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f') {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (quoted) {
    error = "unterminated quote";
    return false;
  }
  if (inWord) words.push_back(word);
  return true;
}

bool ReadScript(const std::optional<std::string>& path, std::string& script, std::string& error) {
#ifdef _WIN32
  // The same bytes on every platform: no line-end translation either way.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
#endif
  if (!path) {
    if (ReadAll(stdin, script)) return true;
    error = "cannot read the script from standard input";
    return false;
  }
  std::FILE* file = std::fopen(path->c_str(), "rb");
  const bool ok = file && ReadAll(file, script);
  if (file) std::fclose(file);
  if (!ok) error = "cannot read " + *path;
  return ok;
}

int RunScript(const std::vector<std::string>& args, const char* usage,
              const std::function<ScriptCommand(const std::string& folder)>& start,
              const std::function<void()>& beforeError, const std::function<void()>& finish) {
  if (args.empty() || args.size() > 2) return UserError(usage);
  const std::string& folder = args[0];
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) return UserError("not a folder: " + folder);
  std::string script;
  const std::string scriptName = args.size() == 2 ? args[1] : "-";
  std::string error;
  const std::optional<std::string> path =
      args.size() == 2 ? std::optional<std::string>(args[1]) : std::nullopt;
  if (!ReadScript(path, script, error)) return UserError(error);
  const bool ok = RunScriptText(folder, scriptName, script, start, beforeError, finish, error);
  std::fflush(stdout);
  return ok ? 0 : UserError(error);
}

bool RunScriptText(const std::string& folder, const std::string& scriptName,
                   const std::string& script,
                   const std::function<ScriptCommand(const std::string& folder)>& start,
                   const std::function<void()>& beforeError, const std::function<void()>& finish,
                   std::string& error) {
  const ScriptCommand run = start(folder);
  size_t lineNumber = 0;
  size_t at = 0;
  while (at < script.size()) {
    size_t end = script.find('\n', at);
    if (end == std::string::npos) end = script.size();
    const std::string line = script.substr(at, end - at);
    at = end + 1;
    ++lineNumber;
    std::vector<std::string> words;
    std::string lineError;
    bool ok = SplitWords(line, words, lineError);
    if (ok && !words.empty()) ok = run(words, lineError);
    if (!ok) {
      beforeError();
      error = scriptName + ":" + std::to_string(lineNumber) + ": " + lineError;
      return false;
    }
  }
  finish();
  return true;
}

bool ApplyStateFields(const std::vector<std::string>& words, size_t first,
                      const std::vector<StateField>& fields, JoyInfo& state, std::string& error) {
  JoyInfo next = state;
  for (size_t i = first; i < words.size(); ++i) {
    const size_t equals = words[i].find('=');
    const std::string name = words[i].substr(0, equals);
    const std::optional<uint64_t> value =
        equals == std::string::npos ? std::nullopt
                                    : ParseNumber(words[i].substr(equals + 1), 0xFFFFFFFFu);
    const StateField* field = nullptr;
    for (const StateField& f : fields) {
      if (name == f.name) field = &f;
    }
    if (!value || !field) {
      error = "expected ";
      for (size_t f = 0; f < fields.size(); ++f) {
        if (f > 0) error += f + 1 == fields.size() ? " or " : ", ";
        error += std::string(fields[f].name) + "=";
      }
      error += " with a 32-bit number: " + words[i];
      return false;
    }
    next.*(field->reading) = static_cast<uint32_t>(*value);
  }
  state = next;
  return true;
}

}  // namespace kl::tool
