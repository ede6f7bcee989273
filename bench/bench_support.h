// What the benchmarks share: seams that do no work of their own (an input
// that only counts, prompts that only count, files held in memory), key
// files and game lists built from their byte layouts, and the counters every
// figure carries (its share of the period it must fit into).
//
// Files live in memory so that the figures are the code's own cost; a real
// disk adds its write and sync time equally to an operation and to the plain
// copy it is compared with.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/filesystem.h"
#include "platform/input.h"
#include "platform/prompts.h"
#include "platform/sim/recording_input.h"

namespace kl::bench {

// The Input seam doing no work: calls are counted, nothing is sent, and key
// codes map as the US layout does (the loader needs real scan codes).
class NullInput : public Input {
 public:
  void KeybdEvent(uint8_t, uint8_t, uint32_t, uintptr_t) override { ++m_keys; }
  void MouseEvent(uint32_t, int32_t, int32_t, uint32_t, uintptr_t) override { ++m_mouse; }
  uint32_t MapVirtualKey(uint32_t code, uint32_t mapType) override {
    return UsMapVirtualKey(code, mapType);
  }
  uintptr_t GetMessageExtraInfo() override { return 0; }
  void Sleep(uint32_t) override { ++m_sleeps; }

  uint64_t Keys() const { return m_keys; }
  uint64_t Mouse() const { return m_mouse; }
  uint64_t Sleeps() const { return m_sleeps; }
  void Clear() { m_keys = m_mouse = m_sleeps = 0; }

 private:
  uint64_t m_keys = 0;
  uint64_t m_mouse = 0;
  uint64_t m_sleeps = 0;
};

// Prompts that answer OK and count what was asked: a benchmark whose
// operation failed shows up as a message here.
class CountingPrompts : public Prompts {
 public:
  int MessageBox(uint32_t stringId, uint32_t) override {
    ++m_messages;
    m_last = stringId;
    return kIdOk;
  }
  std::optional<std::string> OpenFile(const OpenFileRequest&) override { return std::nullopt; }
  uint64_t Messages() const { return m_messages; }
  uint32_t LastMessage() const { return m_last; }

 private:
  uint64_t m_messages = 0;
  uint32_t m_last = 0;
};

// Files in memory. A reader shares the bytes it opened (no copy); a writer
// builds new bytes that replace the file when it is closed; renaming moves
// the bytes. Last-write times count up with every replacement.
class MemoryFiles : public FileSystem {
 public:
  void Put(const std::string& path, std::string bytes) {
    m_files[path] = std::make_shared<const std::string>(std::move(bytes));
    ++m_times[path];
  }
  const std::string* Bytes(const std::string& path) const {
    auto it = m_files.find(path);
    return it == m_files.end() ? nullptr : it->second.get();
  }

  std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override {
    if (mode == OpenMode::kRead) {
      auto it = m_files.find(path);
      if (it == m_files.end()) return nullptr;
      return std::make_unique<Reader>(it->second);
    }
    if (mode != OpenMode::kWrite) return nullptr;
    return std::make_unique<Writer>(*this, path);
  }
  bool Exists(const std::string& path) override { return m_files.count(path) != 0; }
  std::optional<uint64_t> LastWriteTime(const std::string& path) override {
    if (!Exists(path)) return std::nullopt;
    return m_times[path];
  }
  bool Remove(const std::string& path) override { return m_files.erase(path) != 0; }
  bool Rename(const std::string& from, const std::string& to) override {
    auto it = m_files.find(from);
    if (it == m_files.end()) return false;
    m_files[to] = std::move(it->second);
    m_files.erase(it);
    ++m_times[to];
    return true;
  }
  std::vector<std::string> List(const std::string&, const std::string&) override { return {}; }
  char Separator() const override { return '/'; }

 private:
  class Reader : public File {
   public:
    explicit Reader(std::shared_ptr<const std::string> bytes) : m_bytes(std::move(bytes)) {}
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

  class Writer : public File {
   public:
    Writer(MemoryFiles& files, std::string path) : m_files(files), m_path(std::move(path)) {}
    ~Writer() override { Close(); }
    size_t Read(void*, size_t) override { return 0; }
    bool Write(const void* buffer, size_t size) override {
      m_bytes.replace(m_pos, std::min(size, m_bytes.size() - m_pos),
                      static_cast<const char*>(buffer), size);
      m_pos += size;
      return true;
    }
    bool Flush() override { return true; }
    bool Seek(uint64_t offset) override {
      if (offset > m_bytes.size()) m_bytes.resize(static_cast<size_t>(offset));
      m_pos = static_cast<size_t>(offset);
      return true;
    }
    uint64_t Tell() override { return m_pos; }
    bool Close() override {
      if (!m_open) return true;
      m_open = false;
      m_files.Put(m_path, std::move(m_bytes));
      return true;
    }

   private:
    MemoryFiles& m_files;
    std::string m_path;
    std::string m_bytes;
    size_t m_pos = 0;
    bool m_open = true;
  };

  std::map<std::string, std::shared_ptr<const std::string>> m_files;
  std::map<std::string, uint64_t> m_times;
};

// Baselines for the file operations: the same bytes read, or read and
// written to a temporary file that then replaces the original, through the
// same file system and in the same chunks the profile store copies in.
inline size_t PlainRead(FileSystem& fs, const std::string& path) {
  std::unique_ptr<File> in = fs.Open(path, OpenMode::kRead);
  if (!in) return 0;
  char buffer[2048];
  size_t total = 0;
  while (size_t got = in->Read(buffer, sizeof buffer)) total += got;
  in->Close();
  return total;
}

inline bool PlainCopy(FileSystem& fs, const std::string& path, const std::string& tempPath) {
  std::unique_ptr<File> in = fs.Open(path, OpenMode::kRead);
  std::unique_ptr<File> out = fs.Open(tempPath, OpenMode::kWrite);
  if (!in || !out) return false;
  char buffer[2048];
  bool ok = true;
  while (size_t got = in->Read(buffer, sizeof buffer)) ok = out->Write(buffer, got) && ok;
  in->Close();
  ok = out->Flush() && out->Close() && ok;
  return ok && fs.Rename(tempPath, path);
}

// Counter: the share of `periodSeconds` one iteration takes, in percent.
inline void ReportPeriodShare(benchmark::State& state, const char* name, double periodSeconds) {
  state.counters[name] =
      benchmark::Counter(static_cast<double>(state.iterations()) * periodSeconds / 100.0,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Stops the run with a message when a setup check fails: a figure of code
// that did not do its work is worth nothing.
inline bool Require(benchmark::State& state, bool condition, const char* what) {
  if (!condition) state.SkipWithError(what);
  return condition;
}

}  // namespace kl::bench
