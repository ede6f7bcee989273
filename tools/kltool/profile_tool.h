// What kltool's file and text commands share: the file system of the
// platform, reading a whole key file, and output that is the same bytes on
// every platform.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/filesystem.h"
#include "profile/keyfile.h"

namespace kl::tool {

// The host's files: Win32 calls in the Windows build, the C++ library here.
std::unique_ptr<FileSystem> MakeFileSystem();
// Every record of a key file as the editor's reader finds them; none when
// the file cannot be opened.
std::optional<KeyFileContents> ReadKeyFile(FileSystem& fs, const std::string& path);
bool KeyFileHasRecord(FileSystem& fs, const std::string& path, const std::string& profile);
bool ReadWholeFile(const std::string& path, std::string& text);
// Standard output and error without line-end translation, so Windows
// prints "\n" too.
void UseBinaryOutput();
// Whether `bytes` are well-formed UTF-8 (no overlong two-byte leads).
bool IsUtf8(const std::string& bytes);
// Names are bytes: UTF-8 stays as it is, anything else is read as Latin-1,
// so JSON output is always valid.
std::string JsonText(const std::string& bytes);

}  // namespace kl::tool
