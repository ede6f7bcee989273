// The joystick functions of the virtual pad's winmm.dll. They answer from
// the shared block that vpadctl writes, the way a multimedia joystick
// driver would: sixteen joystick ids, JOYERR_UNPLUGGED for an id with no
// device plugged in, only the fields a caller asks for filled in, and never
// a byte written beyond the size the caller gave. Every other winmm export
// is forwarded to winmm_real.dll by the module definition file.
#include <windows.h>

#include <mmsystem.h>

#include <cstring>
#include <new>

#include "tools/vpad/vpad_block.h"

// MinGW's mmsystem.h does not declare it.
extern "C" MMRESULT WINAPI joyConfigChanged(DWORD flags);
// Tells tests that this winmm.dll, not the system's, serves the process.
extern "C" DWORD WINAPI VpadVersion();

namespace {

using kl::vpad::Device;
using kl::vpad::kDeviceCount;
using kl::vpad::SharedBlock;

// The block, opened on first use and kept for the life of the process; a
// process that loses the race to open it closes its own copy.
SharedBlock* Block() {
  static SharedBlock* volatile s_block = nullptr;
  if (s_block == nullptr) {
    auto* block = new (std::nothrow) SharedBlock();
    if (block == nullptr || !block->Open()) {
      delete block;
      return nullptr;
    }
    if (InterlockedCompareExchangePointer(reinterpret_cast<void* volatile*>(&s_block), block,
                                          nullptr) != nullptr) {
      delete block;
    }
  }
  return s_block;
}

// The plugged device at `id`, or the error code to answer.
MMRESULT FindDevice(UINT_PTR id, Device& device) {
  if (id >= kDeviceCount) {
    return JOYERR_PARMS;
  }
  SharedBlock* block = Block();
  if (block == nullptr || !block->Read(static_cast<uint32_t>(id), device) || !device.plugged) {
    return JOYERR_UNPLUGGED;
  }
  return JOYERR_NOERROR;
}

// The per-process thresholds joySetThreshold keeps.
UINT g_thresholds[kDeviceCount] = {};

JOYCAPSA CapsOf(const Device& device) {
  JOYCAPSA caps = {};
  caps.wMid = static_cast<WORD>(device.mid);
  caps.wPid = static_cast<WORD>(device.pid);
  std::memcpy(caps.szPname, device.name, sizeof device.name);
  caps.wXmax = caps.wYmax = caps.wZmax = 65535;
  caps.wRmax = caps.wUmax = caps.wVmax = 65535;
  caps.wNumButtons = device.numButtons;
  caps.wPeriodMin = 10;
  caps.wPeriodMax = 1000;
  caps.wMaxAxes = kl::vpad::kMaxAxes;
  caps.wNumAxes = device.numAxes;
  caps.wMaxButtons = kl::vpad::kMaxButtons;
  caps.wCaps = (device.numAxes >= 3 ? JOYCAPS_HASZ : 0) | (device.numAxes >= 4 ? JOYCAPS_HASR : 0) |
               (device.numAxes >= 5 ? JOYCAPS_HASU : 0) | (device.numAxes >= 6 ? JOYCAPS_HASV : 0) |
               (device.hasPov ? JOYCAPS_HASPOV | JOYCAPS_POV4DIR : 0);
  std::memcpy(caps.szRegKey, device.regKey, sizeof device.regKey);
  return caps;
}

void CopyWide(WCHAR* target, size_t count, const char* source) {
  if (MultiByteToWideChar(CP_ACP, 0, source, -1, target, static_cast<int>(count)) == 0) {
    target[0] = L'\0';
  }
  target[count - 1] = L'\0';
}

UINT PressedCount(DWORD buttons) {
  UINT count = 0;
  for (; buttons != 0; buttons &= buttons - 1) {
    ++count;
  }
  return count;
}

}  // namespace

extern "C" {

DWORD WINAPI VpadVersion() {
  return kl::vpad::kVersion;
}

UINT WINAPI joyGetNumDevs() {
  return kDeviceCount;
}

MMRESULT WINAPI joyGetDevCapsA(UINT_PTR id, LPJOYCAPSA caps, UINT size) {
  if (caps == nullptr) {
    return MMSYSERR_INVALPARAM;
  }
  Device device;
  MMRESULT result = FindDevice(id, device);
  if (result != JOYERR_NOERROR) {
    return result;
  }
  JOYCAPSA full = CapsOf(device);
  std::memcpy(caps, &full, size < sizeof full ? size : sizeof full);
  return JOYERR_NOERROR;
}

MMRESULT WINAPI joyGetDevCapsW(UINT_PTR id, LPJOYCAPSW caps, UINT size) {
  if (caps == nullptr) {
    return MMSYSERR_INVALPARAM;
  }
  Device device;
  MMRESULT result = FindDevice(id, device);
  if (result != JOYERR_NOERROR) {
    return result;
  }
  JOYCAPSA narrow = CapsOf(device);
  JOYCAPSW full = {};
  full.wMid = narrow.wMid;
  full.wPid = narrow.wPid;
  CopyWide(full.szPname, MAXPNAMELEN, device.name);
  full.wXmin = narrow.wXmin;
  full.wXmax = narrow.wXmax;
  full.wYmin = narrow.wYmin;
  full.wYmax = narrow.wYmax;
  full.wZmin = narrow.wZmin;
  full.wZmax = narrow.wZmax;
  full.wNumButtons = narrow.wNumButtons;
  full.wPeriodMin = narrow.wPeriodMin;
  full.wPeriodMax = narrow.wPeriodMax;
  full.wRmin = narrow.wRmin;
  full.wRmax = narrow.wRmax;
  full.wUmin = narrow.wUmin;
  full.wUmax = narrow.wUmax;
  full.wVmin = narrow.wVmin;
  full.wVmax = narrow.wVmax;
  full.wCaps = narrow.wCaps;
  full.wMaxAxes = narrow.wMaxAxes;
  full.wNumAxes = narrow.wNumAxes;
  full.wMaxButtons = narrow.wMaxButtons;
  CopyWide(full.szRegKey, MAXPNAMELEN, device.regKey);
  std::memcpy(caps, &full, size < sizeof full ? size : sizeof full);
  return JOYERR_NOERROR;
}

MMRESULT WINAPI joyGetPosEx(UINT id, LPJOYINFOEX info) {
  if (id >= kDeviceCount) {
    return JOYERR_PARMS;
  }
  // The caller must say how big its record is; a wrong size is refused
  // rather than written past.
  if (info == nullptr || info->dwSize != sizeof(JOYINFOEX)) {
    return MMSYSERR_INVALPARAM;
  }
  Device device;
  MMRESULT result = FindDevice(id, device);
  if (result != JOYERR_NOERROR) {
    return result;
  }
  DWORD flags = info->dwFlags;
  DWORD* positions[kl::vpad::kMaxAxes] = {&info->dwXpos, &info->dwYpos, &info->dwZpos,
                                          &info->dwRpos, &info->dwUpos, &info->dwVpos};
  const DWORD axisFlags[kl::vpad::kMaxAxes] = {JOY_RETURNX, JOY_RETURNY, JOY_RETURNZ,
                                               JOY_RETURNR, JOY_RETURNU, JOY_RETURNV};
  for (uint32_t axis = 0; axis < kl::vpad::kMaxAxes; ++axis) {
    if (flags & axisFlags[axis]) {
      *positions[axis] = device.axes[axis];
    }
  }
  if (flags & (JOY_RETURNPOV | JOY_RETURNPOVCTS)) {
    info->dwPOV = device.hasPov ? device.pov : JOY_POVCENTERED;
  }
  if (flags & JOY_RETURNBUTTONS) {
    info->dwButtons = device.buttons;
    info->dwButtonNumber = PressedCount(device.buttons);
  }
  return JOYERR_NOERROR;
}

MMRESULT WINAPI joyGetPos(UINT id, LPJOYINFO info) {
  if (id >= kDeviceCount) {
    return JOYERR_PARMS;
  }
  if (info == nullptr) {
    return MMSYSERR_INVALPARAM;
  }
  Device device;
  MMRESULT result = FindDevice(id, device);
  if (result != JOYERR_NOERROR) {
    return result;
  }
  info->wXpos = device.axes[0];
  info->wYpos = device.axes[1];
  info->wZpos = device.axes[2];
  info->wButtons = device.buttons & 0xF;
  return JOYERR_NOERROR;
}

MMRESULT WINAPI joyGetThreshold(UINT id, LPUINT threshold) {
  if (id >= kDeviceCount) {
    return JOYERR_PARMS;
  }
  if (threshold == nullptr) {
    return MMSYSERR_INVALPARAM;
  }
  *threshold = g_thresholds[id];
  return JOYERR_NOERROR;
}

MMRESULT WINAPI joySetThreshold(UINT id, UINT threshold) {
  if (id >= kDeviceCount) {
    return JOYERR_PARMS;
  }
  g_thresholds[id] = threshold;
  return JOYERR_NOERROR;
}

// Capture (position messages to a window) is not offered by the virtual pad.
MMRESULT WINAPI joySetCapture(HWND, UINT id, UINT, BOOL) {
  return id >= kDeviceCount ? JOYERR_PARMS : JOYERR_NOCANDO;
}

MMRESULT WINAPI joyReleaseCapture(UINT id) {
  return id >= kDeviceCount ? JOYERR_PARMS : JOYERR_NOERROR;
}

MMRESULT WINAPI joyConfigChanged(DWORD) {
  if (SharedBlock* block = Block()) {
    block->NoteConfigChanged();
  }
  return JOYERR_NOERROR;
}

}  // extern "C"
