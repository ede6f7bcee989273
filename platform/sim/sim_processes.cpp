#include "platform/sim/sim_processes.h"

#include <algorithm>

namespace kl {

bool SimProcesses::Kill(const std::string& exeName) {
  auto it = std::find(m_names.begin(), m_names.end(), exeName);
  if (it == m_names.end()) return false;
  m_names.erase(it);
  return true;
}

bool SimProcesses::Snapshot(std::vector<std::string>& exeNames) {
  ++m_snapshots;
  exeNames.clear();
  if (m_failing) return false;
  exeNames = m_names;
  return true;
}

}  // namespace kl
