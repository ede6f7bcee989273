#include "platform/win32/win32_timers.h"

#include <windows.h>

namespace kl {

bool Win32Timers::Start(uint32_t id, uint32_t milliseconds) {
  if (m_window == nullptr) return false;
  return SetTimer(m_window, id, milliseconds, nullptr) != 0;
}

void Win32Timers::Stop(uint32_t id) {
  if (m_window == nullptr) return;
  KillTimer(m_window, id);
}

}  // namespace kl
