// Simulated desktop: a list of top-level windows with titles and the one in
// front. Used by the tests and by kltool simulate.
#pragma once

#include <map>
#include <string>

#include "platform/desktop.h"

namespace kl {

class SimDesktop : public Desktop {
 public:
  // Opens a window with that title; returns its handle (never kNoWindow).
  WindowHandle Open(const std::string& title);
  // Closes a window; the front becomes empty if it was in front.
  void Close(WindowHandle window);
  // Puts a window in front (kNoWindow: nothing in front). Unknown handles
  // are ignored.
  void BringToFront(WindowHandle window);
  // Counts FindWindowByTitle calls, for tests.
  size_t SearchCount() const { return m_searches; }

  WindowHandle ForegroundWindow() override { return m_front; }
  bool IsWindow(WindowHandle window) override { return m_windows.count(window) != 0; }
  WindowHandle FindWindowByTitle(const char* title) override;

 private:
  std::map<WindowHandle, std::string> m_windows;
  WindowHandle m_front = kNoWindow;
  WindowHandle m_next = 0x10010;
  size_t m_searches = 0;
};

}  // namespace kl
