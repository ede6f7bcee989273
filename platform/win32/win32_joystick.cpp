#include "platform/win32/win32_joystick.h"

#include <windows.h>

#include <mmsystem.h>

#include <cstring>

// Exported by winmm but missing from MinGW's mmsystem.h.
extern "C" MMRESULT WINAPI joyConfigChanged(DWORD dwFlags);

namespace kl {

namespace {

// A fixed-size text field that a driver may leave without its terminator.
template <size_t N>
std::string FieldText(const char (&field)[N]) {
  return std::string(field, strnlen(field, N));
}

}  // namespace

uint32_t Win32Joystick::GetNumDevs() {
  return joyGetNumDevs();
}

uint32_t Win32Joystick::GetDevCaps(uint32_t id, JoyCaps& caps) {
  JOYCAPSA raw;
  std::memset(&raw, 0, sizeof raw);
  MMRESULT result = joyGetDevCapsA(id, &raw, sizeof raw);
  if (result != JOYERR_NOERROR) return result;
  caps.wMid = raw.wMid;
  caps.wPid = raw.wPid;
  caps.szPname = FieldText(raw.szPname);
  caps.wXmin = raw.wXmin;
  caps.wXmax = raw.wXmax;
  caps.wYmin = raw.wYmin;
  caps.wYmax = raw.wYmax;
  caps.wZmin = raw.wZmin;
  caps.wZmax = raw.wZmax;
  caps.wNumButtons = raw.wNumButtons;
  caps.wPeriodMin = raw.wPeriodMin;
  caps.wPeriodMax = raw.wPeriodMax;
  caps.wRmin = raw.wRmin;
  caps.wRmax = raw.wRmax;
  caps.wUmin = raw.wUmin;
  caps.wUmax = raw.wUmax;
  caps.wVmin = raw.wVmin;
  caps.wVmax = raw.wVmax;
  caps.wCaps = raw.wCaps;
  caps.wMaxAxes = raw.wMaxAxes;
  caps.wNumAxes = raw.wNumAxes;
  caps.wMaxButtons = raw.wMaxButtons;
  caps.szRegKey = FieldText(raw.szRegKey);
  caps.szOEMVxD = FieldText(raw.szOEMVxD);
  return result;
}

uint32_t Win32Joystick::GetPosEx(uint32_t id, JoyInfo& info) {
  JOYINFOEX raw;
  std::memset(&raw, 0, sizeof raw);
  raw.dwSize = sizeof raw;
  raw.dwFlags = info.dwFlags;
  MMRESULT result = joyGetPosEx(id, &raw);
  if (result != JOYERR_NOERROR) return result;
  info.dwXpos = raw.dwXpos;
  info.dwYpos = raw.dwYpos;
  info.dwZpos = raw.dwZpos;
  info.dwRpos = raw.dwRpos;
  info.dwUpos = raw.dwUpos;
  info.dwVpos = raw.dwVpos;
  info.dwButtons = raw.dwButtons;
  info.dwButtonNumber = raw.dwButtonNumber;
  info.dwPOV = raw.dwPOV;
  return result;
}

uint32_t Win32Joystick::ConfigChanged(uint32_t flags) {
  return joyConfigChanged(flags);
}

}  // namespace kl
