// A file system held in memory: every file a byte string with a last-write
// time. Nothing touches the disk, so tests, benchmarks, fuzz targets and the
// soak run are fast and repeatable. Readers share the bytes they opened (no
// copy); a writer works on its own copy that replaces the file when it is
// closed, as a buffered file reaches the disk. Every change of a file gives
// it a later write time, and every open is counted.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/filesystem.h"

namespace kl {

class MemoryFileSystem : public FileSystem {
 public:
  // Replaces the file's bytes. Its write time becomes `time`, or else a
  // time later than any given so far.
  void Put(const std::string& path, std::string bytes, std::optional<uint64_t> time = {});
  // A later write time, bytes unchanged.
  void Touch(const std::string& path);
  void Drop(const std::string& path) { m_files.erase(path); }
  // The file's bytes, or null when it does not exist.
  const std::string* Bytes(const std::string& path) const;
  size_t FileCount() const { return m_files.size(); }
  size_t TotalBytes() const;
  size_t OpenCount(const std::string& path) const;

  std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override;
  bool Exists(const std::string& path) override { return m_files.count(path) != 0; }
  std::optional<uint64_t> LastWriteTime(const std::string& path) override;
  bool Remove(const std::string& path) override { return m_files.erase(path) != 0; }
  bool Rename(const std::string& from, const std::string& to) override;
  std::vector<std::string> List(const std::string&, const std::string&) override { return {}; }
  char Separator() const override { return '/'; }

 private:
  struct Entry {
    std::shared_ptr<const std::string> bytes;
    uint64_t time = 0;
  };

  std::map<std::string, Entry> m_files;
  std::map<std::string, size_t> m_opens;
  uint64_t m_clock = 0;
};

}  // namespace kl
