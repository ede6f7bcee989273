#include "platform/win32/key_message.h"

#include <windows.h>

namespace kl {

std::optional<KeyEvent> KeyEventFromMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  KeyEvent key;
  switch (message) {
    case WM_KEYDOWN:
      break;
    case WM_KEYUP:
      key.down = false;
      break;
    case WM_SYSKEYDOWN:
      key.system = true;
      break;
    case WM_SYSKEYUP:
      key.down = false;
      key.system = true;
      break;
    default:
      return std::nullopt;
  }
  // lParam: repeat count in bits 0..15, scan code 16..23, extended key 24,
  // context (Alt) 29, previous state 30, transition 31.
  const uint32_t data = static_cast<uint32_t>(lParam);
  key.vk = static_cast<uint32_t>(wParam);
  key.scan = (data >> 16) & 0xFF;
  key.extended = (data & (1u << 24)) != 0;
  key.previous = (data & (1u << 30)) != 0;
  return key;
}

}  // namespace kl
