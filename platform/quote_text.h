// How the recording ports write a text into their transcripts: in double
// quotes, with quotes and backslashes escaped and control characters as \xNN,
// so every line of a transcript stays one line whatever a text holds.
#pragma once

#include <cstdio>
#include <string>

namespace kl {

inline std::string QuoteForLog(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02x", c);
      out += escape;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

}  // namespace kl
