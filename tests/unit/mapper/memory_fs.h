// An in-memory file system for the mapper's tests: files are byte strings,
// each with a last-write time the test sets, and every open is counted.
#pragma once

#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/filesystem.h"

namespace kl::test {

class MemoryFileSystem : public FileSystem {
 public:
  void Put(const std::string& path, std::string bytes, uint64_t time = 1) {
    m_files[path] = Entry{std::move(bytes), time};
  }
  void Touch(const std::string& path) {
    if (auto it = m_files.find(path); it != m_files.end()) it->second.time += 1;
  }
  void Drop(const std::string& path) { m_files.erase(path); }
  size_t OpenCount(const std::string& path) const {
    auto it = m_opens.find(path);
    return it == m_opens.end() ? 0 : it->second;
  }

  std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override {
    ++m_opens[path];
    auto it = m_files.find(path);
    if (mode != OpenMode::kRead || it == m_files.end()) return nullptr;
    return std::make_unique<ReadOnlyFile>(it->second.bytes);
  }
  bool Exists(const std::string& path) override { return m_files.count(path) != 0; }
  std::optional<uint64_t> LastWriteTime(const std::string& path) override {
    auto it = m_files.find(path);
    if (it == m_files.end()) return std::nullopt;
    return it->second.time;
  }
  bool Remove(const std::string&) override { return false; }
  bool Rename(const std::string&, const std::string&) override { return false; }
  std::vector<std::string> List(const std::string&, const std::string&) override { return {}; }
  char Separator() const override { return '/'; }

 private:
  struct Entry {
    std::string bytes;
    uint64_t time = 0;
  };

  class ReadOnlyFile : public File {
   public:
    explicit ReadOnlyFile(std::string bytes) : m_bytes(std::move(bytes)) {}
    size_t Read(void* buffer, size_t size) override {
      const size_t n = m_pos >= m_bytes.size() ? 0 : std::min(size, m_bytes.size() - m_pos);
      if (n) std::memcpy(buffer, m_bytes.data() + m_pos, n);
      m_pos += n;
      return n;
    }
    bool Write(const void*, size_t) override { return false; }
    bool Flush() override { return true; }
    bool Seek(uint64_t offset) override {
      m_pos = static_cast<size_t>(offset);
      return true;
    }
    uint64_t Tell() override { return m_pos; }
    bool Close() override { return true; }

   private:
    std::string m_bytes;
    size_t m_pos = 0;
  };

  std::map<std::string, Entry> m_files;
  std::map<std::string, size_t> m_opens;
};

}  // namespace kl::test
