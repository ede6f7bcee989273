#include "platform/sim/sim_desktop.h"

namespace kl {

WindowHandle SimDesktop::Open(const std::string& title) {
  const WindowHandle window = m_next;
  // Handles are not reused, so a stale handle never names a new window.
  m_next += 0x10;
  m_windows[window] = title;
  return window;
}

void SimDesktop::Close(WindowHandle window) {
  m_windows.erase(window);
  if (m_front == window) m_front = kNoWindow;
}

void SimDesktop::BringToFront(WindowHandle window) {
  if (window == kNoWindow || IsWindow(window)) m_front = window;
}

WindowHandle SimDesktop::FindWindowByTitle(const char* title) {
  ++m_searches;
  if (!title) return kNoWindow;
  for (const auto& [window, text] : m_windows) {
    if (text == title) return window;
  }
  return kNoWindow;
}

}  // namespace kl
