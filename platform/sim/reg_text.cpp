#include "platform/sim/reg_text.h"

#include <cctype>
#include <cstdio>
#include <optional>

namespace kl {

namespace {

constexpr uint32_t kTypeSz = 1;
constexpr uint32_t kTypeExpandSz = 2;
constexpr uint32_t kTypeBinary = 3;
constexpr uint32_t kTypeDword = 4;
constexpr uint32_t kTypeMultiSz = 7;

constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";

bool Fail(std::string* error, const std::string& message) {
  if (error) *error = message;
  return false;
}

bool FailAt(std::string* error, int line, const std::string& message) {
  return Fail(error, "line " + std::to_string(line) + ": " + message);
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (IsBlank(s.front()))) s.remove_prefix(1);
  while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

bool StartsWithIgnoringCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && EqualsIgnoringCase(s.substr(0, prefix.size()), prefix);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// 1 to 8 hex digits and nothing else.
std::optional<uint32_t> ParseHex32(std::string_view s) {
  if (s.empty() || s.size() > 8) return std::nullopt;
  uint32_t value = 0;
  for (char c : s) {
    int d = HexDigit(c);
    if (d < 0) return std::nullopt;
    value = value << 4 | static_cast<uint32_t>(d);
  }
  return value;
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | cp >> 6);
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | cp >> 12);
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | cp >> 18);
    out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// UTF-16LE code units to UTF-8; false on a broken surrogate pair.
bool Utf16ToUtf8(const uint8_t* bytes, size_t count, std::string& out) {
  for (size_t i = 0; i + 1 < count; i += 2) {
    uint32_t unit = bytes[i] | bytes[i + 1] << 8;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      if (i + 3 >= count) return false;
      uint32_t low = bytes[i + 2] | bytes[i + 3] << 8;
      if (low < 0xDC00 || low > 0xDFFF) return false;
      unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      return false;
    }
    AppendUtf8(out, unit);
  }
  return true;
}

// A quoted text at the start of `s` with the \\ and \" escapes; `s` is
// advanced past the closing quote. Empty optional (and a message) on error.
std::optional<std::string> ParseQuoted(std::string_view& s, std::string& message) {
  if (s.empty() || s.front() != '"') {
    message = "expected a quoted text";
    return std::nullopt;
  }
  std::string result;
  for (size_t i = 1; i < s.size(); ++i) {
    char c = s[i];
    if (c == '"') {
      s.remove_prefix(i + 1);
      return result;
    }
    if (c == '\\') {
      if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"')) {
        message = "unknown escape in a quoted text (only \\\\ and \\\" are allowed)";
        return std::nullopt;
      }
      c = s[++i];
    }
    result += c;
  }
  message = "quoted text without its closing quote";
  return std::nullopt;
}

class Parser {
 public:
  Parser(std::string_view text, std::vector<RegTextOp>& ops, std::string* error)
      : m_ops(ops), m_error(error) {
    size_t start = 0;
    while (start <= text.size()) {
      size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      m_lines.push_back(text.substr(start, end - start));
      start = end + 1;
    }
  }

  bool Run() {
    m_ops.clear();
    size_t i = 0;
    while (i < m_lines.size() && Trim(m_lines[i]).empty()) ++i;
    if (i == m_lines.size()) return Fail(m_error, "empty text: no REGEDIT4 header");
    std::string_view header = Trim(m_lines[i]);
    if (header == kHeader4) {
      m_unicode = false;
    } else if (header == kHeader5) {
      m_unicode = true;
    } else {
      return FailAt(
          m_error, LineNo(i),
          "not a registry export (expected \"REGEDIT4\" or \"" + std::string(kHeader5) + "\")");
    }
    for (m_next = i + 1; m_next < m_lines.size();) {
      size_t at = m_next++;
      std::string_view line = Trim(m_lines[at]);
      if (line.empty() || line.front() == ';') continue;
      bool ok = line.front() == '[' ? KeyLine(line, LineNo(at))
                : (line.front() == '"' || line.front() == '@')
                    ? ValueLine(line, LineNo(at))
                    : FailAt(m_error, LineNo(at), "neither a [key] nor a \"value\" line");
      if (!ok) return false;
    }
    return true;
  }

 private:
  static int LineNo(size_t index) { return static_cast<int>(index) + 1; }

  bool KeyLine(std::string_view line, int lineNo) {
    if (line.back() != ']') return FailAt(m_error, lineNo, "key line without its closing ']'");
    std::string_view inner = line.substr(1, line.size() - 2);
    RegTextOp op;
    op.line = lineNo;
    op.kind = RegTextOp::Kind::kCreateKey;
    if (!inner.empty() && inner.front() == '-') {
      op.kind = RegTextOp::Kind::kDeleteKey;
      inner.remove_prefix(1);
    }
    size_t slash = inner.find('\\');
    std::string_view rootName = inner.substr(0, slash);
    if (EqualsIgnoringCase(rootName, "HKEY_LOCAL_MACHINE") ||
        EqualsIgnoringCase(rootName, "HKLM")) {
      op.root = RegRoot::kLocalMachine;
    } else if (EqualsIgnoringCase(rootName, "HKEY_CURRENT_USER") ||
               EqualsIgnoringCase(rootName, "HKCU")) {
      op.root = RegRoot::kCurrentUser;
    } else {
      return FailAt(m_error, lineNo,
                    "unsupported root key \"" + std::string(rootName) +
                        "\" (HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER are known)");
    }
    while (slash != std::string_view::npos) {
      size_t start = slash + 1;
      slash = inner.find('\\', start);
      std::string_view name = inner.substr(
          start, slash == std::string_view::npos ? std::string_view::npos : slash - start);
      if (name.empty()) return FailAt(m_error, lineNo, "empty key name in the path");
      if (name.size() > kRegMaxKeyNameLength) {
        return FailAt(m_error, lineNo, "key name longer than 255 characters");
      }
      if (op.path.size() == kRegMaxKeyDepth) {
        return FailAt(m_error, lineNo, "key path deeper than 512 levels");
      }
      op.path.emplace_back(name);
    }
    if (op.kind == RegTextOp::Kind::kDeleteKey && op.path.empty()) {
      return FailAt(m_error, lineNo, "a root key cannot be deleted");
    }
    m_inKey = op.kind == RegTextOp::Kind::kCreateKey;
    m_inDeletedKey = !m_inKey;
    m_root = op.root;
    m_path = op.path;
    m_ops.push_back(std::move(op));
    return true;
  }

  bool ValueLine(std::string_view line, int lineNo) {
    // Values under a [-KEY] section have no key to go to; regedit skips them.
    if (m_inDeletedKey) return SkipContinuations(line);
    if (!m_inKey) return FailAt(m_error, lineNo, "value line before any [key] line");
    RegTextOp op;
    op.line = lineNo;
    op.root = m_root;
    op.path = m_path;
    std::string message;
    if (line.front() == '@') {
      line.remove_prefix(1);
    } else {
      std::optional<std::string> name = ParseQuoted(line, message);
      if (!name) return FailAt(m_error, lineNo, message);
      op.valueName = std::move(*name);
    }
    line = Trim(line);
    if (line.empty() || line.front() != '=') return FailAt(m_error, lineNo, "expected '='");
    line = Trim(line.substr(1));
    if (line == "-") {
      op.kind = RegTextOp::Kind::kDeleteValue;
    } else if (!line.empty() && line.front() == '"') {
      std::optional<std::string> text = ParseQuoted(line, message);
      if (!text) return FailAt(m_error, lineNo, message);
      if (!Trim(line).empty()) return FailAt(m_error, lineNo, "text after the closing quote");
      op.kind = RegTextOp::Kind::kSetValue;
      op.type = kTypeSz;
      op.data.assign(text->begin(), text->end());
      op.data.push_back(0);
    } else if (StartsWithIgnoringCase(line, "dword:")) {
      std::optional<uint32_t> value = ParseHex32(Trim(line.substr(6)));
      if (!value) return FailAt(m_error, lineNo, "dword: needs 1 to 8 hex digits");
      op.kind = RegTextOp::Kind::kSetValue;
      op.type = kTypeDword;
      for (int shift = 0; shift < 32; shift += 8) {
        op.data.push_back(static_cast<uint8_t>(*value >> shift));
      }
    } else if (StartsWithIgnoringCase(line, "hex")) {
      if (!HexValue(line.substr(3), lineNo, op)) return false;
    } else {
      return FailAt(m_error, lineNo, "unknown value form (expected \"text\", dword:, hex: or -)");
    }
    m_ops.push_back(std::move(op));
    return true;
  }

  // `rest` follows "hex": ":aa,bb" or "(N):aa,bb", with backslash continuations.
  bool HexValue(std::string_view rest, int lineNo, RegTextOp& op) {
    op.kind = RegTextOp::Kind::kSetValue;
    op.type = kTypeBinary;
    if (!rest.empty() && rest.front() == '(') {
      size_t close = rest.find(')');
      std::optional<uint32_t> type =
          close == std::string_view::npos ? std::nullopt : ParseHex32(rest.substr(1, close - 1));
      if (!type) return FailAt(m_error, lineNo, "hex(N): needs a type of 1 to 8 hex digits");
      op.type = *type;
      rest.remove_prefix(close + 1);
    }
    if (rest.empty() || rest.front() != ':') return FailAt(m_error, lineNo, "expected ':'");
    rest.remove_prefix(1);
    int at = lineNo;
    for (;;) {
      rest = Trim(rest);
      bool continues = !rest.empty() && rest.back() == '\\';
      if (continues) rest = Trim(rest.substr(0, rest.size() - 1));
      while (!rest.empty()) {
        size_t comma = rest.find(',');
        std::string_view token = Trim(rest.substr(0, comma));
        int high = token.size() == 2 ? HexDigit(token[0]) : (token.size() == 1 ? 0 : -1);
        int low = token.empty() ? -1 : HexDigit(token.back());
        if (high < 0 || low < 0) {
          return FailAt(m_error, at, "bad byte \"" + std::string(token) + "\" in hex data");
        }
        op.data.push_back(static_cast<uint8_t>(high << 4 | low));
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
        // A trailing comma before the end of the line is allowed.
        if (Trim(rest).empty()) break;
      }
      if (!continues) break;
      if (m_next >= m_lines.size()) {
        return FailAt(m_error, at, "hex data continues past the end of the text");
      }
      at = LineNo(m_next);
      rest = m_lines[m_next++];
    }
    // Version 5 exports hold the string types as UTF-16; we keep UTF-8.
    if (m_unicode && (op.type == kTypeSz || op.type == kTypeExpandSz || op.type == kTypeMultiSz) &&
        op.data.size() % 2 == 0) {
      std::string converted;
      if (Utf16ToUtf8(op.data.data(), op.data.size(), converted)) {
        op.data.assign(converted.begin(), converted.end());
      }
    }
    return true;
  }

  bool SkipContinuations(std::string_view line) {
    while (!line.empty() && line.back() == '\\' && m_next < m_lines.size()) {
      line = Trim(m_lines[m_next++]);
    }
    return true;
  }

  std::vector<std::string_view> m_lines;
  std::vector<RegTextOp>& m_ops;
  std::string* m_error;
  size_t m_next = 0;
  bool m_unicode = false;
  bool m_inKey = false;
  bool m_inDeletedKey = false;
  RegRoot m_root = RegRoot::kLocalMachine;
  std::vector<std::string> m_path;
};

bool NeedsHexForm(uint32_t type, const std::vector<uint8_t>& data) {
  if (type == kTypeDword) return data.size() != 4;
  if (type != kTypeSz) return true;
  if (data.empty() || data.back() != 0) return true;
  for (size_t i = 0; i + 1 < data.size(); ++i) {
    if (data[i] == 0 || data[i] == '\r' || data[i] == '\n') return true;
  }
  return false;
}

void AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
}

}  // namespace

bool DecodeRegText(std::string_view bytes, std::string& text, std::string* error) {
  text.clear();
  auto starts = [&](std::string_view bom) { return bytes.substr(0, bom.size()) == bom; };
  if (starts("\xEF\xBB\xBF")) {
    text.assign(bytes.substr(3));
    return true;
  }
  if (starts("\xFE\xFF")) return Fail(error, "UTF-16 big-endian text is not supported");
  if (!starts("\xFF\xFE")) {
    text.assign(bytes);
    return true;
  }
  bytes.remove_prefix(2);
  if (bytes.size() % 2 != 0) return Fail(error, "UTF-16 text with an odd number of bytes");
  if (!Utf16ToUtf8(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), text)) {
    return Fail(error, "UTF-16 text with a broken surrogate pair");
  }
  return true;
}

bool ParseRegText(std::string_view text, std::vector<RegTextOp>& ops, std::string* error) {
  Parser parser(text, ops, error);
  return parser.Run();
}

bool ParseRegKeyPath(std::string_view fullPath, RegRoot& root, std::vector<std::string>& path) {
  path.clear();
  size_t slash = fullPath.find('\\');
  std::string_view rootName = fullPath.substr(0, slash);
  if (EqualsIgnoringCase(rootName, "HKEY_LOCAL_MACHINE") || EqualsIgnoringCase(rootName, "HKLM")) {
    root = RegRoot::kLocalMachine;
  } else if (EqualsIgnoringCase(rootName, "HKEY_CURRENT_USER") ||
             EqualsIgnoringCase(rootName, "HKCU")) {
    root = RegRoot::kCurrentUser;
  } else {
    return false;
  }
  while (slash != std::string_view::npos) {
    size_t start = slash + 1;
    slash = fullPath.find('\\', start);
    std::string_view name = fullPath.substr(
        start, slash == std::string_view::npos ? std::string_view::npos : slash - start);
    if (!name.empty()) path.emplace_back(name);
  }
  return true;
}

const char* RegRootName(RegRoot root) {
  return root == RegRoot::kLocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

void AppendRegValueLine(std::string& out, std::string_view name, uint32_t type,
                        const std::vector<uint8_t>& data) {
  size_t lineStart = out.size();
  if (name.empty()) {
    out += '@';
  } else {
    AppendQuoted(out, name);
  }
  out += '=';
  if (!NeedsHexForm(type, data)) {
    if (type == kTypeDword) {
      char digits[16];
      uint32_t value =
          data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24;
      std::snprintf(digits, sizeof digits, "dword:%08x", value);
      out += digits;
    } else {
      AppendQuoted(out,
                   std::string_view(reinterpret_cast<const char*>(data.data()), data.size() - 1));
    }
    out += "\r\n";
    return;
  }
  char prefix[24];
  if (type == kTypeBinary) {
    std::snprintf(prefix, sizeof prefix, "hex:");
  } else {
    std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(type));
  }
  out += prefix;
  // Lines are wrapped as regedit does, a little under 80 columns.
  for (size_t i = 0; i < data.size(); ++i) {
    char byte[4];
    std::snprintf(byte, sizeof byte, "%02x", static_cast<unsigned>(data[i]));
    out += byte;
    if (i + 1 == data.size()) break;
    out += ',';
    if (out.size() - lineStart > 75) {
      out += "\\\r\n  ";
      lineStart = out.size() - 2;
    }
  }
  out += "\r\n";
}

}  // namespace kl
