// The game list: which games are set up, each game's profile names in the
// order they were saved, and which profile is active. The editor keeps it in
// memory and writes "GameList.lst"; the runtime mapper only reads it.
//
// "GameList.lst" (text rules of textstream.h):
//   [GAMELIST]
//   one line per game, in list order
//   (empty line)
//   [PROFILE]
//   per game, numbered from 1: the number, then for each profile a space,
//   the active flag as one raw byte 0x00/0x01, and the name
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/filesystem.h"
#include "platform/prompts.h"
#include "platform/strings.h"

namespace kl {

constexpr char kGameListName[] = "GameList.lst";
constexpr char kGameListTempName[] = "GameList.TMP";
constexpr uint32_t kMsgGameListed = 61228;
constexpr uint32_t kStrGameFilter = 61249;
constexpr uint8_t kNoPosition = 255;
// Positions are bytes and 255 means none, so a list holds at most 255 games
// and a game at most 255 profiles.
constexpr size_t kMaxListed = 255;

struct ProfileEntry {
  uint8_t active = 0;  // 1 for the game's active profile
  std::string name;
};

struct GameEntry {
  std::string name;  // upper-case executable file name
  std::vector<ProfileEntry> profiles;
};

// The order of game names: the platform's user-locale comparison (lstrcmpA)
// as Windows sorts plain ASCII names, so every build writes the same file.
// Hyphens and apostrophes count only when all else is equal, punctuation
// sorts before digits and digits before letters, letters without regard to
// case first and lower case first after that.
int CompareNames(const std::string& a, const std::string& b);

class GameList {
 public:
  // Reads the file at `path`; a missing file or one not beginning with
  // "[GAMELIST]" gives an empty list. Keeps what it read when the data ends
  // early. False when the file could not be opened.
  bool LoadGameList(FileSystem& fs, const std::string& path);
  // Replaces the file at `path` through `tempPath` (same folder) in one step.
  bool SaveGameList(FileSystem& fs, const std::string& path, const std::string& tempPath) const;

  // Inserts in sorted position and returns the position; a name already
  // listed is not added again and its position is returned. 255 when the
  // list is full.
  uint8_t AddGame(const std::string& name);
  bool RemoveGame(const std::string& name);
  bool IsGameListed(const std::string& name) const;
  // Empty when there is no game at `position`.
  std::string GameNameAt(size_t position) const;

  // Appends a profile; its position, or 255 when the game is not listed or
  // has 255 profiles.
  uint8_t AddProfileToGame(const std::string& game, const std::string& profile, uint8_t active);
  bool RemoveProfileFromGame(const std::string& game, const std::string& profile);
  bool GameHasProfile(const std::string& game, const std::string& profile) const;
  void SetProfileActive(const std::string& game, const std::string& profile, uint8_t flag);
  // Copies the name of the game's first active profile; leaves `name` as it
  // was and returns false when there is none.
  bool GetActiveProfile(const std::string& game, std::string& name) const;
  void FreeGameList() { m_games.clear(); }

  // Lets the user pick a program with the platform's file-open dialog and
  // adds it: the file name without its folder, in upper case. The new game's
  // position, or 255 on cancel, for a name that cannot be a game, or for a
  // game already listed (after message 61228).
  uint8_t BrowseForGame(Prompts& prompts, const StringSource& strings, std::string& name);

  const std::vector<GameEntry>& Games() const { return m_games; }
  const GameEntry* FindGame(const std::string& name) const;

 private:
  GameEntry* Find(const std::string& name);
  std::vector<GameEntry> m_games;
};

// The game name for a picked or typed program: the file name without any
// folder (either slash, or a drive), in upper case.
std::string GameNameFromPath(const std::string& path);

}  // namespace kl
