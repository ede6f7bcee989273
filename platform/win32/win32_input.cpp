#include "platform/win32/win32_input.h"

#include <windows.h>

// <windows.h> renames MapVirtualKey to its A/W form; our method keeps its name.
#undef MapVirtualKey

namespace kl {

void Win32Input::KeybdEvent(uint8_t vk, uint8_t scan, uint32_t flags, uintptr_t extra) {
  keybd_event(vk, scan, flags, extra);
}

void Win32Input::MouseEvent(uint32_t flags, int32_t dx, int32_t dy, uint32_t data,
                            uintptr_t extra) {
  // Relative moves travel as DWORDs holding signed values.
  mouse_event(flags, static_cast<DWORD>(dx), static_cast<DWORD>(dy), data, extra);
}

uint32_t Win32Input::MapVirtualKey(uint32_t code, uint32_t mapType) {
  return MapVirtualKeyA(code, mapType);
}

uintptr_t Win32Input::GetMessageExtraInfo() {
  return static_cast<uintptr_t>(::GetMessageExtraInfo());
}

void Win32Input::Sleep(uint32_t milliseconds) {
  ::Sleep(milliseconds);
}

}  // namespace kl
