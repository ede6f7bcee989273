// The process list of the running Windows behind the Processes seam, taken
// with a Toolhelp snapshot.
#pragma once

#include "platform/processes.h"

namespace kl {

class Win32Processes : public Processes {
 public:
  bool Snapshot(std::vector<std::string>& exeNames) override;
};

}  // namespace kl
