// The editor's half of the soak run: it saves, overwrites and deletes
// profiles with random tables and rewrites the game list, through the
// editor's own profile store, into the folder the runtime mapper reads. Kept
// in a file of its own because the editor's and the mapper's headers each
// name their tables for themselves.
#pragma once

#include <memory>
#include <random>
#include <string>

#include "platform/sim/memory_filesystem.h"

namespace kl::soak {

class EditorSide {
 public:
  EditorSide(MemoryFileSystem& folder, std::mt19937_64& random, const std::string& workFolder);
  ~EditorSide();

  // Saves one game's profile over itself (or deletes it) with random
  // tables, picks an active profile, and writes the list.
  void Save();
  void SaveList();
  void RemoveGame(const std::string& game);
  std::string KeyPath(const std::string& game) const;
  std::string ListPath() const;

 private:
  struct State;
  std::unique_ptr<State> m_state;
};

}  // namespace kl::soak
