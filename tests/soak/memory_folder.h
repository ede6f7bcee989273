// A key-file folder held in memory for the soak run: the editor's writers
// and the runtime mapper's readers share it, every change gets a later
// last-write time, and nothing touches the disk, so a run is repeatable
// from its seed alone.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/filesystem.h"

namespace kl::soak {

class MemoryFolder : public FileSystem {
 public:
  void Put(const std::string& path, std::string bytes) {
    m_files[path] = Entry{std::move(bytes), ++m_clock};
  }
  void Drop(const std::string& path) { m_files.erase(path); }
  const std::string* Bytes(const std::string& path) const {
    auto it = m_files.find(path);
    return it == m_files.end() ? nullptr : &it->second.bytes;
  }
  size_t TotalBytes() const {
    size_t total = 0;
    for (const auto& file : m_files) total += file.second.bytes.size();
    return total;
  }

  std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override {
    auto it = m_files.find(path);
    if (mode == OpenMode::kRead) {
      if (it == m_files.end()) return nullptr;
      return std::make_unique<OpenFile>(*this, path, it->second.bytes, false);
    }
    std::string start =
        it == m_files.end() || mode == OpenMode::kWrite ? std::string() : it->second.bytes;
    auto file = std::make_unique<OpenFile>(*this, path, std::move(start), true);
    if (mode == OpenMode::kAppend) file->Seek(file->Size());
    return file;
  }
  bool Exists(const std::string& path) override { return m_files.count(path) != 0; }
  std::optional<uint64_t> LastWriteTime(const std::string& path) override {
    auto it = m_files.find(path);
    if (it == m_files.end()) return std::nullopt;
    return it->second.time;
  }
  bool Remove(const std::string& path) override { return m_files.erase(path) != 0; }
  bool Rename(const std::string& from, const std::string& to) override {
    auto it = m_files.find(from);
    if (it == m_files.end()) return false;
    std::string bytes = std::move(it->second.bytes);
    m_files.erase(it);
    Put(to, std::move(bytes));
    return true;
  }
  std::vector<std::string> List(const std::string&, const std::string&) override { return {}; }
  char Separator() const override { return '/'; }

 private:
  struct Entry {
    std::string bytes;
    uint64_t time = 0;
  };

  // A private copy of the bytes; a writer stores them back when it closes,
  // as a buffered file reaches the disk.
  class OpenFile : public File {
   public:
    OpenFile(MemoryFolder& owner, std::string path, std::string bytes, bool writable)
        : m_owner(owner),
          m_path(std::move(path)),
          m_bytes(std::move(bytes)),
          m_writable(writable) {}
    ~OpenFile() override { Close(); }
    size_t Size() const { return m_bytes.size(); }
    size_t Read(void* buffer, size_t size) override {
      const size_t n = m_pos >= m_bytes.size() ? 0 : std::min(size, m_bytes.size() - m_pos);
      if (n) std::memcpy(buffer, m_bytes.data() + m_pos, n);
      m_pos += n;
      return n;
    }
    bool Write(const void* buffer, size_t size) override {
      if (!m_writable || m_closed) return false;
      if (m_pos > m_bytes.size()) m_bytes.resize(m_pos);
      m_bytes.replace(m_pos, std::min(size, m_bytes.size() - m_pos),
                      static_cast<const char*>(buffer), size);
      m_pos += size;
      return true;
    }
    bool Flush() override { return true; }
    bool Seek(uint64_t offset) override {
      m_pos = static_cast<size_t>(offset);
      return true;
    }
    uint64_t Tell() override { return m_pos; }
    bool Close() override {
      if (m_closed) return true;
      m_closed = true;
      if (m_writable) m_owner.Put(m_path, std::move(m_bytes));
      return true;
    }

   private:
    MemoryFolder& m_owner;
    std::string m_path;
    std::string m_bytes;
    bool m_writable;
    bool m_closed = false;
    size_t m_pos = 0;
  };

  std::map<std::string, Entry> m_files;
  uint64_t m_clock = 0;
};

}  // namespace kl::soak
