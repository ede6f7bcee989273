#include "tools/kltool/profile_tool.h"

#include <cstdio>
#include <memory>

#include "profile/textstream.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "platform/win32/win32_filesystem.h"
#else
#include "platform/sim/host_filesystem.h"
#endif

namespace kl::tool {

std::unique_ptr<FileSystem> MakeFileSystem() {
#ifdef _WIN32
  return std::make_unique<Win32FileSystem>();
#else
  return std::make_unique<HostFileSystem>();
#endif
}

std::optional<KeyFileContents> ReadKeyFile(FileSystem& fs, const std::string& path) {
  std::unique_ptr<File> file = fs.Open(path, OpenMode::kRead);
  if (!file) return std::nullopt;
  TextStream in(std::move(file), CtrlZ::kIsData);
  return ReadKeyFileContents(in);
}

bool KeyFileHasRecord(FileSystem& fs, const std::string& path, const std::string& profile) {
  std::optional<KeyFileContents> contents = ReadKeyFile(fs, path);
  if (!contents) return false;
  for (const KeyFileRecord& record : contents->records) {
    if (record.name == profile) return true;
  }
  return false;
}

bool ReadWholeFile(const std::string& path, std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  char buffer[4096];
  for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
    text.append(buffer, got);
  const bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
}

void UseBinaryOutput() {
#ifdef _WIN32
  std::fflush(stdout);
  std::fflush(stderr);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
}

bool IsUtf8(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t extra = 0;
    if (c >= 0xC2 && c <= 0xDF) {
      extra = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
      extra = 2;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3;
    } else if (c >= 0x80) {
      return false;
    }
    if (extra > s.size() - i - 1) return false;
    for (size_t k = 1; k <= extra; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += extra + 1;
  }
  return true;
}

std::string JsonText(const std::string& bytes) {
  if (IsUtf8(bytes)) return bytes;
  std::string out;
  for (char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      out += ch;
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace kl::tool
