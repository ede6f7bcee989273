// The process list as the portable code sees it: one snapshot at a time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kl {

class Processes {
 public:
  virtual ~Processes() = default;
  // Fills `exeNames` with every process's executable name as the snapshot
  // reports it (a path is possible). False when no snapshot can be taken.
  virtual bool Snapshot(std::vector<std::string>& exeNames) = 0;
  // How many processes run; false when that cannot be found out. A platform
  // with a cheaper count than a whole snapshot overrides it.
  virtual bool Count(uint32_t& count) {
    std::vector<std::string> names;
    count = 0;
    if (!Snapshot(names)) return false;
    count = static_cast<uint32_t>(names.size());
    return true;
  }
};

}  // namespace kl
