// The text form of a registry export (.reg files, as regedit writes them):
// decoding the file's bytes, parsing its sections and value lines into
// operations, and writing values back. SimRegistry applies the operations
// to its tree; keeping the parser apart lets it check a whole text before
// anything is changed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kl {

enum class RegRoot { kLocalMachine, kCurrentUser };

struct RegTextOp {
  enum class Kind { kCreateKey, kDeleteKey, kSetValue, kDeleteValue };
  Kind kind = Kind::kCreateKey;
  RegRoot root = RegRoot::kLocalMachine;
  std::vector<std::string> path;  // key names below the root
  std::string valueName;          // value operations; empty for the default value
  uint32_t type = 0;              // kSetValue
  std::vector<uint8_t> data;      // kSetValue
  int line = 0;                   // where the operation starts, for messages
};

// Limits the platform puts on key names: 255 characters a name, 512 levels.
constexpr size_t kRegMaxKeyNameLength = 255;
constexpr size_t kRegMaxKeyDepth = 512;

// Turns a file's bytes into UTF-8 text: UTF-8 with or without a byte-order
// mark is taken as it is, UTF-16LE needs its byte-order mark. False with a
// message for UTF-16BE, an odd UTF-16 length or a broken surrogate pair.
bool DecodeRegText(std::string_view bytes, std::string& text, std::string* error);

// Parses decoded text into operations in file order. False with a message
// naming the line ("line 7: ...") when any line is malformed; `ops` then
// holds nothing useful.
bool ParseRegText(std::string_view text, std::vector<RegTextOp>& ops, std::string* error);

// Parses a key path such as "HKEY_CURRENT_USER\Software\X" (also "HKCU\...").
// Empty components are skipped, as the platform does. False for another root.
bool ParseRegKeyPath(std::string_view fullPath, RegRoot& root, std::vector<std::string>& path);

// The full root name written into a .reg text.
const char* RegRootName(RegRoot root);

// Appends one value line (with its continuation lines and "\r\n") in the
// REGEDIT4 form: "name"="text", dword:, hex: or hex(N):; @ for the default.
void AppendRegValueLine(std::string& out, std::string_view name, uint32_t type,
                        const std::vector<uint8_t>& data);

}  // namespace kl
