// The key messages of a window (WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN,
// WM_SYSKEYUP) unpacked into the portable KeyEvent: the one place that knows
// the message numbers and where lParam keeps the scan code and the flags.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/key_event.h"

namespace kl {

// The key event of a message, or none when `message` is not a key message.
// wParam and lParam are the message's own, as MSG or a window procedure has them.
std::optional<KeyEvent> KeyEventFromMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);

}  // namespace kl
