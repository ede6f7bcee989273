// The process list of the running Windows behind the Processes seam, taken
// with a Toolhelp snapshot; the count alone from the list of process ids,
// which costs a fraction of a snapshot.
#pragma once

#include "platform/processes.h"

namespace kl {

class Win32Processes : public Processes {
 public:
  bool Snapshot(std::vector<std::string>& exeNames) override;
  bool Count(uint32_t& count) override;
};

}  // namespace kl
