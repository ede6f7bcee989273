// A key pressed or released as a window receives it, without the platform's
// message numbers or packed bits: which key, where on the keyboard, and
// whether it was down already. The Win32 layer unpacks its key messages into
// this (platform/win32/key_message.h); kltool and the tests build it directly.
#pragma once

#include <cstdint>

namespace kl {

struct KeyEvent {
  bool down = true;       // a press (key-down); false for a release
  uint32_t vk = 0;        // virtual-key code, as the message gives it (VK_SHIFT, not VK_LSHIFT)
  uint32_t scan = 0;      // scan code, one byte
  bool extended = false;  // an extended key: right Alt or Ctrl, the cursor block, ...
  bool previous = false;  // the key was down before: an auto-repeat, and every release
  bool system = false;    // a system key: Alt, F10, or a key with Alt held
};

}  // namespace kl
