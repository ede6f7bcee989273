// Files and folders as the portable code sees them. Every byte of a key file
// or the game list goes through File (see profile/textstream.h for the
// text-mode rules), so a fault-injecting FileSystem can fail any step.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kl {

// An open file in binary mode.
class File {
 public:
  virtual ~File() = default;
  // Reads up to `size` bytes; returns how many were read (0 at the end or on error).
  virtual size_t Read(void* buffer, size_t size) = 0;
  // Whether a read came back short for an error rather than the end of the
  // data, at any time since the file was opened. A copy that took an error
  // for the end would silently drop the rest of the file.
  virtual bool ReadFailed() const { return false; }
  // Writes all `size` bytes; false on any failure.
  virtual bool Write(const void* buffer, size_t size) = 0;
  // Pushes written bytes to the disk; false on failure.
  virtual bool Flush() = 0;
  // Moves to an absolute offset; false on failure.
  virtual bool Seek(uint64_t offset) = 0;
  virtual uint64_t Tell() = 0;
  // Flushes and closes; false when the last bytes could not be written.
  virtual bool Close() = 0;
};

enum class OpenMode {
  kRead,      // existing file, reading
  kWrite,     // created or emptied, writing
  kAppend,    // created when missing, writing at the end
  kReadWrite  // created when missing, reading and writing at any offset
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual std::unique_ptr<File> Open(const std::string& path, OpenMode mode) = 0;
  virtual bool Exists(const std::string& path) = 0;
  // Last-write time as a 64-bit value (FILETIME on Windows); none when missing.
  virtual std::optional<uint64_t> LastWriteTime(const std::string& path) = 0;
  virtual bool Remove(const std::string& path) = 0;
  // Renames `from` to `to`, replacing `to` when it exists, in one step.
  virtual bool Rename(const std::string& from, const std::string& to) = 0;
  // Names (no folder) of the plain files in `folder` whose name ends with
  // `suffix`, compared without regard to case.
  virtual std::vector<std::string> List(const std::string& folder, const std::string& suffix) = 0;
  // The separator this file system puts between a folder and a name.
  virtual char Separator() const = 0;
};

// The suffix test of List: whether `name` ends with `suffix`, letters
// compared without regard to case (A to Z only, as the C locale has them).
inline bool EndsWithIgnoringCase(const std::string& name, const std::string& suffix) {
  if (suffix.size() > name.size()) return false;
  return std::equal(suffix.begin(), suffix.end(),
                    name.end() - static_cast<std::ptrdiff_t>(suffix.size()), [](char a, char b) {
                      return std::tolower(static_cast<unsigned char>(a)) ==
                             std::tolower(static_cast<unsigned char>(b));
                    });
}

}  // namespace kl
