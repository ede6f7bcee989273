// The multimedia joystick interface of winmm behind the Joystick seam.
#pragma once

#include "platform/joystick.h"

namespace kl {

class Win32Joystick : public Joystick {
 public:
  uint32_t GetNumDevs() override;
  // joyGetDevCapsA with the full JOYCAPSA size; `caps` is filled on success only.
  uint32_t GetDevCaps(uint32_t id, JoyCaps& caps) override;
  // joyGetPosEx with dwSize = sizeof(JOYINFOEX) and the caller's dwFlags.
  uint32_t GetPosEx(uint32_t id, JoyInfo& info) override;
  uint32_t ConfigChanged(uint32_t flags) override;
};

}  // namespace kl
