// Window timers behind the Timers seam: SetTimer and KillTimer on the window
// given to the constructor or named later, the timer id being the caller's.
// Without a window no timer starts: a thread timer would get an id of
// Windows' choosing, and its ticks would never reach the caller.
#pragma once

#include "platform/timers.h"

struct HWND__;

namespace kl {

class Win32Timers : public Timers {
 public:
  explicit Win32Timers(HWND__* window) : m_window(window) {}

  void SetWindow(HWND__* window) { m_window = window; }

  bool Start(uint32_t id, uint32_t milliseconds) override;
  void Stop(uint32_t id) override;

 private:
  HWND__* m_window;
};

}  // namespace kl
