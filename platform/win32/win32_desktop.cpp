#include "platform/win32/win32_desktop.h"

#include <windows.h>

namespace kl {

namespace {

WindowHandle ToHandle(HWND window) {
  return reinterpret_cast<WindowHandle>(window);
}

}  // namespace

WindowHandle Win32Desktop::ForegroundWindow() {
  return ToHandle(GetForegroundWindow());
}

bool Win32Desktop::IsWindow(WindowHandle window) {
  return window != kNoWindow && ::IsWindow(reinterpret_cast<HWND>(window)) != FALSE;
}

WindowHandle Win32Desktop::FindWindowByTitle(const char* title) {
  if (title == nullptr) return kNoWindow;
  return ToHandle(FindWindowA(nullptr, title));
}

}  // namespace kl
