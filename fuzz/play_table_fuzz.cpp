// The runtime mapper's LoadPlayTable, references expanded, on arbitrary
// key-file bytes for the active profile "GAME1" of GAME.EXE. Loading always
// ends, leaves no reference step, keeps every list within its cap with a
// length that matches its links and every cycle cursor inside its own list,
// and a second load of the same file gives the same lists.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "mapper/loader.h"
#include "platform/sim/recording_input.h"

namespace {

using kl::fuzz::Fail;
using Steps = std::vector<std::pair<uint8_t, uint8_t>>;

// Walks a list, checking its links; the (vk, scan) pairs in order.
Steps CheckList(const kl::PlayTable& table, size_t slot, size_t input) {
  Steps steps;
  bool cursorSeen = table.cursors[slot][input] == nullptr;
  for (const kl::PlayStep* step = table.lists[slot][input]; step; step = step->next) {
    if (steps.size() >= kl::kMaxStepsPerList) Fail("a list is longer than its cap or loops");
    if (step->reference) Fail("a reference step was left after loading");
    if (step == table.cursors[slot][input]) cursorSeen = true;
    steps.emplace_back(step->vk, step->scan);
  }
  if (steps.size() != table.Length(slot, input)) Fail("a list's length does not match its links");
  if (!cursorSeen) Fail("a cycle cursor points outside its list");
  return steps;
}

std::vector<Steps> CheckTable(const kl::PlayTable& table) {
  std::vector<Steps> all;
  for (size_t slot = 0; slot < kl::kPadSlots; ++slot) {
    for (size_t input = 0; input < kl::kInputsPerSlot; ++input) {
      all.push_back(CheckList(table, slot, input));
    }
  }
  return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kl::MemoryFileSystem fs;
  fs.Put("KeyFiles/GAME.key", std::string(reinterpret_cast<const char*>(data), size));
  kl::GameList games;
  games.AddGame("GAME.EXE");
  games.AddProfileToGame("GAME.EXE", "GAME1", 1);
  kl::RecordingInput input;
  kl::PlayTable table;
  kl::ProfileLoader loader(fs, input, table, "KeyFiles");

  loader.LoadPlayTable(games, "GAME.EXE");
  const std::vector<Steps> first = CheckTable(table);
  loader.LoadPlayTable(games, "GAME.EXE");
  if (CheckTable(table) != first) Fail("loading the same file twice gave different lists");
  if (!input.Events().empty()) Fail("loading sent input");
  return 0;
}
