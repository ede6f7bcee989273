// What every fuzz target shares: an in-memory file system (every file a byte
// string, opened in any mode, renamed and removed like the platform's, so an
// input runs without touching the disk), prompts that answer OK, and the
// abort that marks a broken promise as a finding.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/filesystem.h"
#include "platform/prompts.h"

namespace kl::fuzz {

class MemoryFileSystem : public FileSystem {
 public:
  void Put(const std::string& path, std::string bytes) {
    m_files[path] = std::make_shared<std::string>(std::move(bytes));
  }
  // The bytes of `path`, or none when it does not exist.
  std::optional<std::string> Get(const std::string& path) const {
    auto it = m_files.find(path);
    if (it == m_files.end()) return std::nullopt;
    return *it->second;
  }
  size_t FileCount() const { return m_files.size(); }

  std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override {
    auto it = m_files.find(path);
    if (it == m_files.end()) {
      if (mode == OpenMode::kRead) return nullptr;
      it = m_files.emplace(path, std::make_shared<std::string>()).first;
    }
    if (mode == OpenMode::kWrite) it->second->clear();
    auto file = std::make_unique<MemoryFile>(it->second, mode != OpenMode::kRead);
    if (mode == OpenMode::kAppend) file->Seek(it->second->size());
    return file;
  }
  bool Exists(const std::string& path) override { return m_files.count(path) != 0; }
  std::optional<uint64_t> LastWriteTime(const std::string& path) override {
    if (!Exists(path)) return std::nullopt;
    return 1;
  }
  bool Remove(const std::string& path) override { return m_files.erase(path) != 0; }
  bool Rename(const std::string& from, const std::string& to) override {
    auto it = m_files.find(from);
    if (it == m_files.end()) return false;
    std::shared_ptr<std::string> bytes = it->second;
    m_files.erase(it);
    m_files[to] = std::move(bytes);
    return true;
  }
  std::vector<std::string> List(const std::string&, const std::string&) override { return {}; }
  char Separator() const override { return '/'; }

 private:
  class MemoryFile : public File {
   public:
    MemoryFile(std::shared_ptr<std::string> bytes, bool writable)
        : m_bytes(std::move(bytes)), m_writable(writable) {}
    size_t Read(void* buffer, size_t size) override {
      if (m_pos >= m_bytes->size()) return 0;
      const size_t n = std::min(size, m_bytes->size() - m_pos);
      std::memcpy(buffer, m_bytes->data() + m_pos, n);
      m_pos += n;
      return n;
    }
    bool Write(const void* buffer, size_t size) override {
      if (!m_writable) return false;
      if (m_bytes->size() < m_pos + size) m_bytes->resize(m_pos + size);
      std::memcpy(m_bytes->data() + m_pos, buffer, size);
      m_pos += size;
      return true;
    }
    bool Flush() override { return true; }
    bool Seek(uint64_t offset) override {
      m_pos = static_cast<size_t>(offset);
      return true;
    }
    uint64_t Tell() override { return m_pos; }
    bool Close() override { return true; }

   private:
    std::shared_ptr<std::string> m_bytes;
    bool m_writable;
    size_t m_pos = 0;
  };

  std::map<std::string, std::shared_ptr<std::string>> m_files;
};

// Prompts that answer OK to every message box and cancel every dialog,
// remembering the message ids shown.
class QuietPrompts : public Prompts {
 public:
  int MessageBox(uint32_t stringId, uint32_t) override {
    shown.push_back(stringId);
    return kIdOk;
  }
  std::optional<std::string> OpenFile(const OpenFileRequest&) override { return std::nullopt; }
  std::vector<uint32_t> shown;
};

// Stops the run with a message: libFuzzer keeps the input that did it.
[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

}  // namespace kl::fuzz
