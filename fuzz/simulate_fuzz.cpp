// `kltool simulate` on arbitrary scripts, against a folder made once at
// start-up with a game list and a key file whose active profile maps keys,
// a sequence with references, a cycle and a mouse action, so scripts reach
// the playing engine. Any script ends normally or with a line error; none
// crashes or hangs. The mapper's output goes to /dev/null. Tick counts are
// kept small here (the tool allows a million a line) so that each input
// runs quickly.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "tests/unit/mapper/key_file_bytes.h"
#include "tools/kltool/commands.h"
#include "tools/kltool/script_words.h"

namespace kl::tool {

// kltool's main reports user errors; here the script's result is enough.
int UserError(const std::string&) {
  return 1;
}

}  // namespace kl::tool

namespace {

constexpr uint64_t kMostTicks = 64;

std::string g_folder;

void RemoveFolder() {
  std::error_code ec;
  std::filesystem::remove_all(g_folder, ec);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) kl::fuzz::Fail("cannot write the folder's files");
}

// Whether every poll and monitor line asks for few ticks.
bool FewTicks(const std::string& script) {
  size_t at = 0;
  while (at < script.size()) {
    size_t end = script.find('\n', at);
    if (end == std::string::npos) end = script.size();
    std::vector<std::string> words;
    std::string error;
    if (kl::tool::SplitWords(script.substr(at, end - at), words, error) && words.size() >= 2 &&
        (words[0] == "poll" || words[0] == "monitor") &&
        !kl::tool::ParseNumber(words[1], kMostTicks)) {
      return false;
    }
    at = end + 1;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char pattern[] = "/tmp/kl-fuzz-simulate-XXXXXX";
  if (!mkdtemp(pattern)) kl::fuzz::Fail("cannot make a temporary folder");
  g_folder = pattern;
  std::atexit(RemoveFolder);
  using namespace kl::test;
  const Block pad =
      Unassigned(16, {{0, Entry{0x00, {{0x0C, 0x43}}}},
                      {4, Entry{0x01, {{0x00, 0x48}, {0x80, 0}, {0x00, 0xFF}, {0x20, 0x49}}}},
                      {5, Entry{0x02, {{0x00, 0x31}, {0x00, 0xFF}, {0x00, 0x32}}}},
                      {6, Entry{0x04, {{0x00, 8}}}},
                      {7, Entry{0x81, {{0x80, 4}, {0x80, 7}}}}});
  WriteFile(g_folder + "/GAME.key", Stored(Header() + Record("GAME1", {pad, pad})));
  WriteFile(g_folder + "/GameList.lst",
            Stored(std::string("[GAMELIST]\nGAME.EXE\n\n[PROFILE]\n1 ") + '\1' + "GAME1\n"));
  // The simulation prints every event; only crashes and hangs matter here.
  if (!std::freopen("/dev/null", "w", stdout)) kl::fuzz::Fail("cannot silence the output");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string script(reinterpret_cast<const char*>(data), size);
  if (!FewTicks(script)) return 0;
  std::string error;
  kl::tool::SimulateScript(g_folder, script, error);
  return 0;
}
