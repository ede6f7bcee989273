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
#include "platform/sim/memory_filesystem.h"
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
