// LoadGameList on arbitrary "GameList.lst" bytes. The list read stays within
// its limits (255 games of at most 255 characters, each with at most 255
// profiles of at most 254 characters, no name twice), and it survives the
// editor saving it: saved and read back, it is the same list.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "fuzz/fuzz_support.h"
#include "profile/gamelist.h"
#include "profile/keyfile.h"

namespace {

using kl::fuzz::Fail;

constexpr char kListPath[] = "KEYFILES/GameList.lst";
constexpr char kTempPath[] = "KEYFILES/GameList.TMP";

void CheckLimits(const kl::GameList& list) {
  if (list.Games().size() > kl::kMaxListed) Fail("more than 255 games");
  std::set<std::string> games;
  for (const kl::GameEntry& game : list.Games()) {
    if (game.name.empty() || game.name.size() > kl::kMaxGameName) Fail("a game name's length");
    if (!games.insert(game.name).second) Fail("a game listed twice");
    if (game.profiles.size() > kl::kMaxListed) Fail("more than 255 profiles");
    std::set<std::string> profiles;
    for (const kl::ProfileEntry& profile : game.profiles) {
      if (profile.name.empty() || profile.name.size() > kl::kMaxProfileName) {
        Fail("a profile name's length");
      }
      if (profile.active > 1) Fail("an active flag other than 0 or 1");
      if (!profiles.insert(profile.name).second) Fail("a profile listed twice");
    }
  }
}

bool SameList(const kl::GameList& a, const kl::GameList& b) {
  if (a.Games().size() != b.Games().size()) return false;
  for (size_t i = 0; i < a.Games().size(); ++i) {
    const kl::GameEntry& x = a.Games()[i];
    const kl::GameEntry& y = b.Games()[i];
    if (x.name != y.name || x.profiles.size() != y.profiles.size()) return false;
    for (size_t k = 0; k < x.profiles.size(); ++k) {
      if (x.profiles[k].name != y.profiles[k].name ||
          x.profiles[k].active != y.profiles[k].active) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kl::MemoryFileSystem fs;
  fs.Put(kListPath, std::string(reinterpret_cast<const char*>(data), size));
  kl::GameList first;
  if (!first.LoadGameList(fs, kListPath)) Fail("an existing game list did not open");
  CheckLimits(first);

  if (!first.SaveGameList(fs, kListPath, kTempPath)) Fail("saving to memory failed");
  kl::GameList second;
  if (!second.LoadGameList(fs, kListPath)) Fail("the saved game list did not open");
  if (!SameList(first, second)) Fail("a saved game list reads back differently");
  return 0;
}
