#include "editor_side.h"

#include <vector>

#include "profile/gamelist.h"
#include "profile/profile_store.h"

namespace kl::soak {
namespace {

const char* const kGames[] = {"DOOM.EXE", "ZORK.EXE", "QUAKE.EXE"};
const char* const kProfiles[] = {"game1", "GAME2", "two words", "X"};

class NoPrompts : public Prompts {
 public:
  int MessageBox(uint32_t, uint32_t) override { return kIdOk; }
  std::optional<std::string> OpenFile(const OpenFileRequest&) override { return std::nullopt; }
};

}  // namespace

struct EditorSide::State {
  State(MemoryFileSystem& folder, std::mt19937_64& random, const std::string& workFolder)
      : folder(folder), random(random), store(folder, prompts, games, workFolder) {
    for (const char* game : kGames) games.AddGame(game);
  }

  bool Chance(uint32_t oneIn) { return random() % oneIn == 0; }
  uint32_t Pick(uint32_t count) { return static_cast<uint32_t>(random() % count); }

  // A table as the editor could save it, or with any modes and strokes.
  PadKeyTable RandomTable() {
    PadKeyTable table;
    const int entries = Chance(2) ? 14 : 16;
    const uint8_t modes[] = {0x00, 0x80, 0x01, 0x81, 0x02, 0x04, 0xFF, 0xFF};
    for (int i = 0; i < entries; ++i) {
      KeyEntry entry;
      entry.index = static_cast<uint8_t>(i);
      entry.mode = Chance(20) ? static_cast<uint8_t>(random()) : modes[Pick(sizeof modes)];
      const uint32_t count = entry.mode == 0xFF ? 0 : Chance(10) ? Pick(34) : Pick(4);
      for (uint32_t k = 0; k < count; ++k) {
        KeyStroke stroke;
        stroke.flags = Chance(3) ? static_cast<uint8_t>(random()) : 0;
        if (Chance(4)) stroke.flags = kFlagReference;
        stroke.vk = stroke.flags & kFlagReference ? static_cast<uint8_t>(Pick(Chance(8) ? 256 : 16))
                    : entry.mode == 0x04          ? static_cast<uint8_t>(1u << Pick(8))
                    : Chance(6)                   ? kVkSeparator
                                                  : static_cast<uint8_t>(0x30 + Pick(0x30));
        entry.keys.push_back(stroke);
      }
      table.entries.push_back(std::move(entry));
    }
    return table;
  }

  MemoryFileSystem& folder;
  std::mt19937_64& random;
  NoPrompts prompts;
  GameList games;
  ProfileStore store;
};

EditorSide::EditorSide(MemoryFileSystem& folder, std::mt19937_64& random,
                       const std::string& workFolder)
    : m_state(std::make_unique<State>(folder, random, workFolder)) {}

EditorSide::~EditorSide() = default;

void EditorSide::Save() {
  State& s = *m_state;
  const char* game = kGames[s.Pick(3)];
  const char* profile = kProfiles[s.Pick(4)];
  if (!s.games.IsGameListed(game)) s.games.AddGame(game);
  const int pads = 1 + static_cast<int>(s.Pick(kPadSlots));
  s.store.SetPadCount(pads);
  for (int slot = 0; slot < pads; ++slot) s.store.Table(slot) = s.RandomTable();
  if (s.Chance(4)) {
    s.store.DeleteProfile(game, profile);
  } else {
    s.store.OverwriteProfile(game, profile);
  }
  if (const GameEntry* entry = s.games.FindGame(game)) {
    const std::vector<ProfileEntry> profiles = entry->profiles;
    const size_t active = s.Pick(static_cast<uint32_t>(profiles.size()) + 1);
    for (size_t i = 0; i < profiles.size(); ++i) {
      s.games.SetProfileActive(game, profiles[i].name, i == active ? 1 : 0);
    }
  }
  SaveList();
}

void EditorSide::SaveList() {
  m_state->games.SaveGameList(m_state->folder, ListPath(),
                              m_state->store.BuildWorkPath(kGameListTempName));
}

void EditorSide::RemoveGame(const std::string& game) {
  m_state->store.RemoveGame(game, false);
}

std::string EditorSide::KeyPath(const std::string& game) const {
  return m_state->store.KeyFilePath(game);
}

std::string EditorSide::ListPath() const {
  return m_state->store.BuildWorkPath(kGameListName);
}

}  // namespace kl::soak
