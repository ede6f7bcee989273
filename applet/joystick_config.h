// The multimedia joystick configuration record as the platform stores it in
// the registry, with the flag values the applet reads and writes.
//
// The registry holds the record as 112 little-endian bytes; EncodeJoystickConfig
// and DecodeJoystickConfig convert field by field, so the layout is the same on
// every host and never depends on the compiler's padding.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kl {

// Hardware flags (hws.dwFlags).
constexpr uint32_t kJoyHwsHasZ = 0x1;
constexpr uint32_t kJoyHwsHasPov = 0x2;
constexpr uint32_t kJoyHwsIsYoke = 0x10;
constexpr uint32_t kJoyHwsIsGamepad = 0x20;
constexpr uint32_t kJoyHwsIsCarCtrl = 0x40;
constexpr uint32_t kJoyHwsHasR = 0x80000;

// Usage settings (dwUsageSettings).
constexpr uint32_t kJoyUsPresent = 0x2;
constexpr uint32_t kJoyUsIsOem = 0x4;

// Calibration flags (hwv.dwCalFlags).
constexpr uint32_t kJoyIsCalXY = 0x1;
constexpr uint32_t kJoyIsCalZ = 0x2;
constexpr uint32_t kJoyIsCalR = 0x4;
constexpr uint32_t kJoyIsCalPov = 0x20;

// Type numbers of dwType beyond the type list positions.
constexpr uint32_t kJoyTypeNone = 0;
constexpr uint32_t kJoyTypeCustom = 1;
constexpr uint32_t kJoyTypeAutoDetectedPad = 15;

struct JoyPos {
  uint32_t dwX = 0, dwY = 0, dwZ = 0, dwR = 0, dwU = 0, dwV = 0;
  bool operator==(const JoyPos&) const = default;
};

struct JoyRange {
  JoyPos jpMin;
  JoyPos jpMax;
  JoyPos jpCenter;
  bool operator==(const JoyRange&) const = default;
};

struct JoyRegHwSettings {
  uint32_t dwFlags = 0;
  uint32_t dwNumButtons = 0;
  bool operator==(const JoyRegHwSettings&) const = default;
};

struct JoyRegHwValues {
  JoyRange jrvHardware;
  std::array<uint32_t, 4> dwPOVValues{};  // forward, backward, left, right
  uint32_t dwCalFlags = 0;
  bool operator==(const JoyRegHwValues&) const = default;
};

struct JOYREGHWCONFIG {
  JoyRegHwSettings hws;
  uint32_t dwUsageSettings = 0;
  JoyRegHwValues hwv;
  uint32_t dwType = 0;
  uint32_t dwReserved = 0;
  bool operator==(const JOYREGHWCONFIG&) const = default;
};

constexpr size_t kJoyConfigSize = 112;
using JoyConfigBytes = std::array<uint8_t, kJoyConfigSize>;

JoyConfigBytes EncodeJoystickConfig(const JOYREGHWCONFIG& config);
JOYREGHWCONFIG DecodeJoystickConfig(const JoyConfigBytes& bytes);

}  // namespace kl
