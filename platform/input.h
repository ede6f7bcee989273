// Synthetic input and the keyboard layout as the portable code sees them.
#pragma once

#include <cstdint>

namespace kl {

constexpr uint32_t kKeyEventKeyUp = 0x0002;  // KEYEVENTF_KEYUP

constexpr uint32_t kMouseMove = 0x0001;
constexpr uint32_t kMouseLeftDown = 0x0002;
constexpr uint32_t kMouseLeftUp = 0x0004;
constexpr uint32_t kMouseRightDown = 0x0008;
constexpr uint32_t kMouseRightUp = 0x0010;
constexpr uint32_t kMouseMiddleDown = 0x0020;
constexpr uint32_t kMouseMiddleUp = 0x0040;

class Input {
 public:
  virtual ~Input() = default;
  // keybd_event.
  virtual void KeybdEvent(uint8_t vk, uint8_t scan, uint32_t flags, uintptr_t extra) = 0;
  // mouse_event.
  virtual void MouseEvent(uint32_t flags, int32_t dx, int32_t dy, uint32_t data,
                          uintptr_t extra) = 0;
  // MapVirtualKeyA: type 0 virtual key to scan code, type 2 virtual key to character.
  virtual uint32_t MapVirtualKey(uint32_t code, uint32_t mapType) = 0;
  // GetMessageExtraInfo.
  virtual uintptr_t GetMessageExtraInfo() = 0;
  // Sleep: the fixed pauses of the play primitives.
  virtual void Sleep(uint32_t milliseconds) = 0;
};

}  // namespace kl
