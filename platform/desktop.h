// The desktop's windows as the portable code sees them: which window is in
// front, whether a window still exists, and finding a top-level window by its
// title. The runtime mapper uses it to pause while the editor is in front.
#pragma once

#include <cstdint>

namespace kl {

// A window handle (HWND) as a number; 0 is no window.
using WindowHandle = uintptr_t;
constexpr WindowHandle kNoWindow = 0;

class Desktop {
 public:
  virtual ~Desktop() = default;
  // GetForegroundWindow; kNoWindow when none is in front.
  virtual WindowHandle ForegroundWindow() = 0;
  // IsWindow.
  virtual bool IsWindow(WindowHandle window) = 0;
  // FindWindowA with no class and this title; kNoWindow when there is none.
  virtual WindowHandle FindWindowByTitle(const char* title) = 0;
};

}  // namespace kl
