// Simulated process list: a mutable list of executable names.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/processes.h"

namespace kl {

class SimProcesses : public Processes {
 public:
  void Start(const std::string& exeName) { m_names.push_back(exeName); }
  // Ends the first process of that name (exact comparison); false when none.
  bool Kill(const std::string& exeName);
  // While set, every snapshot fails.
  void SetFailing(bool failing) { m_failing = failing; }
  // Snapshots asked for so far, failed ones included.
  size_t SnapshotCount() const { return m_snapshots; }
  const std::vector<std::string>& Names() const { return m_names; }

  // A failed snapshot leaves `exeNames` empty, so no stale list is read.
  bool Snapshot(std::vector<std::string>& exeNames) override;

 private:
  std::vector<std::string> m_names;
  bool m_failing = false;
  size_t m_snapshots = 0;
};

}  // namespace kl
