// What every fuzz target shares: the in-memory file system (so an input runs
// without touching the disk), prompts that answer OK, and the abort that
// marks a broken promise as a finding.
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

#include "platform/prompts.h"
#include "platform/sim/memory_filesystem.h"

namespace kl::fuzz {

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
