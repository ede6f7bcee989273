// The editor's LoadProfile on arbitrary key-file bytes. The first byte picks
// the button count of each pad slot (bits 0..3: 12 buttons when set) and the
// profile asked for (bit 4); the rest is the key file. Whatever the bytes,
// every table stays ordered with unique indexes inside the pad's 32 inputs
// and at most 33 strokes an entry; a slot the record does not reach keeps
// its table, and a reached slot holds every input of its pad.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "profile/gamelist.h"
#include "profile/profile_store.h"

namespace {

using kl::fuzz::Fail;

void CheckTable(const kl::PadKeyTable& table) {
  int previous = -1;
  for (const kl::KeyEntry& entry : table.entries) {
    if (entry.index <= previous) Fail("entries out of order or repeated");
    if (entry.index >= kl::kMaxInputs) Fail("entry beyond the pad's inputs");
    if (entry.keys.size() > static_cast<size_t>(kl::kMaxStrokes)) Fail("more than 33 strokes");
    previous = entry.index;
  }
}

bool HoldsEveryInput(const kl::PadKeyTable& table, int buttons) {
  for (int i = 0; i <= buttons + 3; ++i) {
    if (!table.Find(static_cast<uint8_t>(i))) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t control = data[0];
  kl::MemoryFileSystem fs;
  fs.Put("KEYFILES/GAME.key", std::string(reinterpret_cast<const char*>(data + 1), size - 1));
  kl::fuzz::QuietPrompts prompts;
  kl::GameList games;
  kl::ProfileStore store(fs, prompts, games, "KEYFILES");
  store.SetPadCount(kl::kPadSlots);
  kl::PadTables before;
  for (int slot = 0; slot < kl::kPadSlots; ++slot) {
    const bool twelve = (control >> slot) & 1;
    store.SetPadButtons(slot, twelve ? 12 : 10);
    store.MakeDefaultTable(slot, twelve, false);
    before[slot] = store.Table(slot);
  }

  const std::string profile = (control & 0x10) ? "Second one" : "GAME1";
  const kl::LoadResult result = store.LoadProfile("GAME.EXE", profile);
  if (result == kl::LoadResult::kCannotOpen) Fail("an existing key file did not open");
  if (!prompts.shown.empty()) Fail("a readable key file showed a message");

  for (int slot = 0; slot < kl::kPadSlots; ++slot) {
    const kl::PadKeyTable& table = store.Table(slot);
    CheckTable(table);
    if (result == kl::LoadResult::kNotFound && !(table == before[slot])) {
      Fail("a profile not found changed a table");
    }
    if (!(table == before[slot]) && !HoldsEveryInput(table, store.PadButtons(slot))) {
      Fail("a loaded table lacks inputs of its pad");
    }
  }
  return 0;
}
