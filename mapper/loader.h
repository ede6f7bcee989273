// The runtime mapper's profile loader: reads the running game's active
// profile from its key file and turns it into the play table. It has a
// reader of its own, stricter than the editor's: the file must start with
// the signature words, and records are found by position only.
//
// A key file can be damaged or hostile: counts beyond the table are read and
// skipped, lists are capped, and references between inputs are expanded for
// a bounded number of passes, so loading always ends and stays in bounds.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "mapper/play_table.h"
#include "platform/filesystem.h"
#include "platform/input.h"
#include "profile/gamelist.h"

namespace kl {

class TextStream;

// Reference expansion gives up after this many passes over the table (a
// reference cycle would never finish) and drops the references still there.
constexpr size_t kMaxExpansionPasses = 32;

class ProfileLoader {
 public:
  // `workFolder` holds the key files ("KeyFiles" beside the program).
  ProfileLoader(FileSystem& fs, Input& input, PlayTable& table, std::string workFolder)
      : m_fs(fs), m_input(input), m_table(table), m_workFolder(std::move(workFolder)) {}

  // Replaces the play table with the active profile of `game` as `games`
  // lists it; afterwards the table holds that profile or is empty.
  void LoadPlayTable(const GameList& games, const std::string& game);

  // The key file of `game`: the work folder, then the game's name with its
  // last three characters replaced by "key". Empty for a name too short.
  std::string KeyFilePath(const std::string& game) const;

 private:
  void LoadRecord(TextStream& stream, const std::string& profile);
  bool BuildPlayTable(TextStream& stream, uint8_t padCount);
  // Reads one entry's strokes (as its mode says) into the list of (slot,
  // input); slots and inputs beyond the table are read and dropped.
  bool BuildPlayList(TextStream& stream, size_t slot, size_t input, uint8_t mode, uint8_t count);
  void ExpandReferences();
  void ExpandList(size_t slot, size_t input);
  void DropReferences();

  void AddStep(size_t slot, size_t input, uint8_t vk, uint8_t scan, bool reference = false);
  void AddKey(size_t slot, size_t input, uint8_t key);
  void AddModifiers(size_t slot, size_t input, uint8_t flags, bool sequenceMode);
  uint8_t ScanCode(uint8_t vk);

  FileSystem& m_fs;
  Input& m_input;
  PlayTable& m_table;
  std::string m_workFolder;

  std::array<uint32_t, kPadSlots> m_referenceMasks{};
  size_t m_pendingReferences = 0;
  // The steps of a referenced list as they were before copying into it.
  std::vector<std::pair<uint8_t, bool>> m_snapshot;
};

}  // namespace kl
