// The editor's working assignment tables (four pad slots) and the profile
// operations on a game's key file in the work folder: load a named record
// into the tables, append the tables as a new record, delete a record. The
// game list is kept in step. Every change of a key file replaces it whole
// (built in "kbMap.TMP", then renamed over), so a crash leaves the old file
// or the new one.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/filesystem.h"
#include "platform/prompts.h"
#include "profile/gamelist.h"
#include "profile/keyfile.h"

namespace kl {

constexpr char kKeyTempName[] = "kbMap.TMP";
constexpr uint32_t kMsgProfileExists = 61229;
constexpr uint32_t kMsgKeyFileUnreadable = 61236;
constexpr uint32_t kMsgKeyFileUnwritable = 61237;
constexpr uint32_t kMsgKeyFileMissing = 61238;

// The work folder of a program: the folder of its module path (up to and
// including the last backslash or slash) followed by "KEYFILES\".
std::string ProgramWorkFolder(const std::string& modulePath);

enum class LoadResult {
  kLoaded,      // the record was read whole
  kDamaged,     // the record was read up to a fault; the slots it reached are complete tables
  kNotFound,    // no record of that name; tables unchanged
  kCannotOpen,  // message 61238 shown; tables unchanged
};

class ProfileStore {
 public:
  // `workFolder` holds the key files; a separator is added when it lacks one.
  ProfileStore(FileSystem& fs, Prompts& prompts, GameList& games, std::string workFolder);

  // The work folder followed by `name`.
  std::string BuildWorkPath(const std::string& name) const;
  std::string KeyFilePath(const std::string& game) const {
    return BuildWorkPath(KeyFileNameFor(game));
  }

  PadKeyTable& Table(int slot) { return m_tables[slot]; }
  const PadKeyTable& Table(int slot) const { return m_tables[slot]; }
  // The pads attached: how many slots a saved record holds, and each slot's
  // button count (10 or 12), which sizes the tables a load completes.
  void SetPadCount(int count);
  int PadCount() const { return m_padCount; }
  void SetPadButtons(int slot, uint8_t buttons) { m_buttons[slot] = buttons; }
  uint8_t PadButtons(int slot) const { return m_buttons[slot]; }
  void SetCurrentPad(int slot) { m_current = slot; }
  int CurrentPad() const { return m_current; }

  // Fills the slot's (emptied) table with the defaults of its pad.
  void MakeDefaultTable(int slot, bool twelveButtons, bool empty);
  // Copies the current pad's entry `index` into `sequence` and its mode into
  // `mode`; false when the table has no such entry.
  bool GetKeyEntry(uint8_t index, KeySequence& sequence, uint8_t& mode) const;

  // Reads the game's record `profile` into the tables of the slots it holds.
  LoadResult LoadProfile(const std::string& game, const std::string& profile);
  // Appends the tables of slots 0 .. pad count - 1 as record `profile` and
  // adds the profile, inactive, at the end of the game's list. Its position
  // there, or 255: message 61229 when the game already has that profile,
  // 61237 when the key file cannot be written; nothing changed then.
  uint8_t AppendProfile(const std::string& game, const std::string& profile);
  // Saves the tables over record `profile`, as deleting it and appending it
  // again would, but in one replacement of the key file, so a failure keeps
  // the old record. The profile moves to the end of the game's list, inactive.
  // Its position, or 255 after message 61236 or 61237 with nothing changed.
  uint8_t OverwriteProfile(const std::string& game, const std::string& profile);
  // Removes the record from the key file (the file goes when no record is
  // left), then the profile from the game's list. A missing key file or
  // record only removes the list entry. False after message 61236 or 61237,
  // with the key file and the list as they were.
  bool DeleteProfile(const std::string& game, const std::string& profile);
  // Removes the game from the list together with its key file. With
  // `writeList` "GameList.lst" is written without the game first and written
  // back as it was when the key file cannot be deleted, so a failure leaves
  // both files and the list as they were. False when the game is not listed,
  // or after message 61237 with nothing changed.
  bool RemoveGame(const std::string& game, bool writeList);

 private:
  uint8_t WriteRecord(const std::string& game, const std::string& profile, bool replace);

  FileSystem& m_fs;
  Prompts& m_prompts;
  GameList& m_games;
  std::string m_workFolder;
  PadTables m_tables;
  std::array<uint8_t, kPadSlots> m_buttons{10, 10, 10, 10};
  int m_padCount = 0;
  int m_current = 0;
};

}  // namespace kl
