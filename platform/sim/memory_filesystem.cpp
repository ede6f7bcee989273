#include "platform/sim/memory_filesystem.h"

#include <algorithm>
#include <cstring>

namespace kl {
namespace {

// Reads bytes it shares with the file system; writing is refused.
class SharedReader : public File {
 public:
  explicit SharedReader(std::shared_ptr<const std::string> bytes) : m_bytes(std::move(bytes)) {}
  size_t Read(void* buffer, size_t size) override {
    const std::string& b = *m_bytes;
    const size_t n = m_pos >= b.size() ? 0 : std::min(size, b.size() - m_pos);
    if (n) std::memcpy(buffer, b.data() + m_pos, n);
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
  std::shared_ptr<const std::string> m_bytes;
  size_t m_pos = 0;
};

// A private copy that replaces the file when it is closed.
class Writer : public File {
 public:
  Writer(MemoryFileSystem& owner, std::string path, std::string bytes)
      : m_owner(owner), m_path(std::move(path)), m_bytes(std::move(bytes)) {}
  ~Writer() override { Close(); }
  size_t Read(void* buffer, size_t size) override {
    const size_t n = m_pos >= m_bytes.size() ? 0 : std::min(size, m_bytes.size() - m_pos);
    if (n) std::memcpy(buffer, m_bytes.data() + m_pos, n);
    m_pos += n;
    return n;
  }
  bool Write(const void* buffer, size_t size) override {
    if (m_closed) return false;
    if (m_pos > m_bytes.size()) m_bytes.resize(m_pos);
    m_bytes.replace(m_pos, std::min(size, m_bytes.size() - m_pos), static_cast<const char*>(buffer),
                    size);
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
    m_owner.Put(m_path, std::move(m_bytes));
    return true;
  }

 private:
  MemoryFileSystem& m_owner;
  std::string m_path;
  std::string m_bytes;
  size_t m_pos = 0;
  bool m_closed = false;
};

}  // namespace

void MemoryFileSystem::Put(const std::string& path, std::string bytes,
                           std::optional<uint64_t> time) {
  const uint64_t stamp = time ? *time : m_clock + 1;
  m_clock = std::max(m_clock, stamp);
  m_files[path] = Entry{std::make_shared<const std::string>(std::move(bytes)), stamp};
}

void MemoryFileSystem::Touch(const std::string& path) {
  if (auto it = m_files.find(path); it != m_files.end()) it->second.time = ++m_clock;
}

const std::string* MemoryFileSystem::Bytes(const std::string& path) const {
  auto it = m_files.find(path);
  return it == m_files.end() ? nullptr : it->second.bytes.get();
}

size_t MemoryFileSystem::TotalBytes() const {
  size_t total = 0;
  for (const auto& file : m_files) total += file.second.bytes->size();
  return total;
}

size_t MemoryFileSystem::OpenCount(const std::string& path) const {
  auto it = m_opens.find(path);
  return it == m_opens.end() ? 0 : it->second;
}

std::unique_ptr<File> MemoryFileSystem::Open(const std::string& path, OpenMode mode) {
  ++m_opens[path];
  auto it = m_files.find(path);
  if (mode == OpenMode::kRead) {
    if (it == m_files.end()) return nullptr;
    return std::make_unique<SharedReader>(it->second.bytes);
  }
  std::string start =
      it == m_files.end() || mode == OpenMode::kWrite ? std::string() : *it->second.bytes;
  const size_t end = start.size();
  auto file = std::make_unique<Writer>(*this, path, std::move(start));
  if (mode == OpenMode::kAppend) file->Seek(end);
  return file;
}

std::optional<uint64_t> MemoryFileSystem::LastWriteTime(const std::string& path) {
  auto it = m_files.find(path);
  if (it == m_files.end()) return std::nullopt;
  return it->second.time;
}

bool MemoryFileSystem::Rename(const std::string& from, const std::string& to) {
  auto it = m_files.find(from);
  if (it == m_files.end()) return false;
  Entry moved = std::move(it->second);
  m_files.erase(it);
  moved.time = ++m_clock;
  m_files[to] = std::move(moved);
  return true;
}

}  // namespace kl
