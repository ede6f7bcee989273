// The multimedia joystick interface as the portable code sees it.
//
// Records carry the fields our programs use, with the platform's meanings;
// results are the platform's codes so that callers can compare with them.
#pragma once

#include <cstdint>
#include <string>

namespace kl {

constexpr uint32_t kJoyErrNoError = 0;
constexpr uint32_t kJoyErrParms = 165;      // JOYERR_PARMS
constexpr uint32_t kJoyErrNoCanDo = 166;    // JOYERR_NOCANDO
constexpr uint32_t kJoyErrUnplugged = 167;  // JOYERR_UNPLUGGED

constexpr uint32_t kJoyReturnAll = 0xFF;  // JOY_RETURNALL
constexpr uint32_t kJoyCentre = 32668;    // axis reading of a centred direction

// JOYCAPSA, the fields we read.
struct JoyCaps {
  uint16_t wMid = 0;
  uint16_t wPid = 0;
  std::string szPname;
  uint32_t wXmin = 0, wXmax = 0, wYmin = 0, wYmax = 0, wZmin = 0, wZmax = 0;
  uint32_t wNumButtons = 0;
  uint32_t wPeriodMin = 0, wPeriodMax = 0;
  uint32_t wRmin = 0, wRmax = 0, wUmin = 0, wUmax = 0, wVmin = 0, wVmax = 0;
  uint32_t wCaps = 0;
  uint32_t wMaxAxes = 0, wNumAxes = 0, wMaxButtons = 0;
  std::string szRegKey;
  std::string szOEMVxD;
};

// JOYINFOEX. dwSize is implied; dwFlags says what the caller asks for.
struct JoyInfo {
  uint32_t dwFlags = 0;
  uint32_t dwXpos = 0, dwYpos = 0, dwZpos = 0, dwRpos = 0, dwUpos = 0, dwVpos = 0;
  uint32_t dwButtons = 0;
  uint32_t dwButtonNumber = 0;
  uint32_t dwPOV = 0;
};

class Joystick {
 public:
  virtual ~Joystick() = default;
  // joyGetNumDevs: how many joystick ids the driver supports.
  virtual uint32_t GetNumDevs() = 0;
  // joyGetDevCapsA for joystick number `id` (0-based); returns the result code.
  virtual uint32_t GetDevCaps(uint32_t id, JoyCaps& caps) = 0;
  // joyGetPosEx for joystick number `id`; `info.dwFlags` is the request; returns the code.
  virtual uint32_t GetPosEx(uint32_t id, JoyInfo& info) = 0;
  // joyConfigChanged: tells the driver the registry configuration changed.
  virtual uint32_t ConfigChanged(uint32_t flags) = 0;
};

}  // namespace kl
