// The desktop's top-level windows behind the Desktop seam: the window in
// front, whether a window still exists, and a search by title, passed
// straight to GetForegroundWindow, IsWindow and FindWindowA.
#pragma once

#include "platform/desktop.h"

namespace kl {

class Win32Desktop : public Desktop {
 public:
  WindowHandle ForegroundWindow() override;
  bool IsWindow(WindowHandle window) override;
  WindowHandle FindWindowByTitle(const char* title) override;
};

}  // namespace kl
