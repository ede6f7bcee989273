// Synthetic input and the keyboard layout of the running Windows behind the
// Input seam: keybd_event, mouse_event, MapVirtualKeyA, GetMessageExtraInfo
// and Sleep, passed straight through.
#pragma once

#include "platform/input.h"

namespace kl {

class Win32Input : public Input {
 public:
  void KeybdEvent(uint8_t vk, uint8_t scan, uint32_t flags, uintptr_t extra) override;
  void MouseEvent(uint32_t flags, int32_t dx, int32_t dy, uint32_t data, uintptr_t extra) override;
  uint32_t MapVirtualKey(uint32_t code, uint32_t mapType) override;
  uintptr_t GetMessageExtraInfo() override;
  void Sleep(uint32_t milliseconds) override;
};

}  // namespace kl
