// Helpers for the profile store's tests: a real temporary folder, byte
// strings written and read as they are stored, an in-memory file that hands
// out its bytes in small pieces, and a file system that fails on request.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/filesystem.h"
#include "platform/sim/host_filesystem.h"

namespace kl::test {

using Bytes = std::string;  // stored bytes; std::string makes literals and diffs easy

// A fresh folder under the system's temporary folder, removed with its
// contents when the fixture ends.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  const std::string& Path() const { return m_path; }  // ends with '/'
  std::string operator/(const std::string& name) const { return m_path + name; }

 private:
  std::string m_path;
};

Bytes ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const Bytes& bytes);
bool FileExists(const std::string& path);

// Every plain file of a folder by name, with its bytes.
using FolderState = std::map<std::string, Bytes>;
FolderState ReadFolder(const std::string& folder);
// Makes the folder hold exactly `state`.
void WriteFolder(const std::string& folder, const FolderState& state);

// Bytes in a vector, read back `chunk` bytes per call at most, so readers
// meet every buffer boundary.
class MemoryFile : public File {
 public:
  MemoryFile(Bytes bytes, size_t chunk) : m_bytes(std::move(bytes)), m_chunk(chunk) {}
  size_t Read(void* buffer, size_t size) override;
  bool Write(const void* buffer, size_t size) override;
  bool Flush() override { return true; }
  bool Seek(uint64_t offset) override;
  uint64_t Tell() override { return m_pos; }
  bool Close() override { return true; }
  size_t ReadCalls() const { return m_readCalls; }

 private:
  Bytes m_bytes;
  size_t m_chunk;
  size_t m_pos = 0;
  size_t m_readCalls = 0;
};

// The host file system with one chosen operation failing: the k-th
// (1-based) write, flush, rename, remove, close, open or read, counted over
// the whole run, or every open of one path. Counts every operation, so a
// test can first count and then fail each step in turn.
class FaultyFileSystem : public FileSystem {
 public:
  enum class Step { kNone, kWrite, kFlush, kRename, kRemove, kClose, kOpen, kRead };
  static constexpr int kStepKinds = 8;

  void FailAt(Step step, int k) {
    m_failStep = step;
    m_failAt = k;
  }
  void FailOpen(const std::string& path) { m_failOpenPath = path; }
  int Count(Step step) const;
  bool Failed() const { return m_failed; }
  bool ShouldFail(Step step);

  std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override;
  bool Exists(const std::string& path) override { return m_host.Exists(path); }
  std::optional<uint64_t> LastWriteTime(const std::string& path) override {
    return m_host.LastWriteTime(path);
  }
  bool Remove(const std::string& path) override;
  bool Rename(const std::string& from, const std::string& to) override;
  std::vector<std::string> List(const std::string& folder, const std::string& suffix) override {
    return m_host.List(folder, suffix);
  }
  char Separator() const override { return '/'; }

 private:
  HostFileSystem m_host;
  Step m_failStep = Step::kNone;
  int m_failAt = 0;
  int m_counts[kStepKinds] = {};
  bool m_failed = false;
  std::string m_failOpenPath;
};

}  // namespace kl::test
