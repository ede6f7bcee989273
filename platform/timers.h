// Window timers as the portable controllers see them.
#pragma once

#include <cstdint>

namespace kl {

class Timers {
 public:
  virtual ~Timers() = default;
  // SetTimer on the owner's window; false when no timer could be made.
  virtual bool Start(uint32_t id, uint32_t milliseconds) = 0;
  // KillTimer.
  virtual void Stop(uint32_t id) = 0;
};

}  // namespace kl
