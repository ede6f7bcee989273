#include "tools/kltool/script_words.h"

namespace kl::tool {

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

}  // namespace kl::tool
