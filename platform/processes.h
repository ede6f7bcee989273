// The process list as the portable code sees it: one snapshot at a time.
#pragma once

#include <string>
#include <vector>

namespace kl {

class Processes {
 public:
  virtual ~Processes() = default;
  // Fills `exeNames` with every process's executable name as the snapshot
  // reports it (a path is possible). False when no snapshot can be taken.
  virtual bool Snapshot(std::vector<std::string>& exeNames) = 0;
};

}  // namespace kl
