// The applet's picture of the joystick configuration: one record per joystick
// id 1..16 (multimedia joystick number id - 1), with the type's names beside
// the stored configuration, and the results of the last presence probe.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "applet/joystick_config.h"

namespace kl {

constexpr uint32_t kJoystickCount = 16;
// Names are held in 256-byte buffers by the platform: 255 characters at most.
constexpr size_t kJoyNameSize = 256;
// Byte-sized "no joystick chosen".
constexpr uint8_t kNoJoystick = 255;

// Results of the last probe of a configured joystick.
constexpr uint8_t kStatusAnswers = 0;
constexpr uint8_t kStatusUnplugged = 1;
constexpr uint8_t kStatusFailed = 255;

struct JoystickRecord {
  std::string oemKey;       // subkey of the OEM types, or "predef1".."predef11"; empty for none
  std::string displayName;  // the type's display name
  std::string oemCallout;   // the type's own driver; empty for none
  uint8_t present = 0;      // 1 when a device is configured on this id
  uint8_t status = kStatusAnswers;
  uint8_t padButtons = 0;  // 10 or 12 for the maker's pad, as its capabilities report
  JOYREGHWCONFIG config;

  bool operator==(const JoystickRecord&) const = default;
};

inline bool IsJoystickId(uint32_t id) {
  return id >= 1 && id <= kJoystickCount;
}

class JoystickTable {
 public:
  // The record of joystick id 1..16; callers check the id with IsJoystickId.
  JoystickRecord& At(uint32_t id) { return m_records[id - 1]; }
  const JoystickRecord& At(uint32_t id) const { return m_records[id - 1]; }

  void Clear() { m_records = {}; }

  bool operator==(const JoystickTable&) const = default;

 private:
  std::array<JoystickRecord, kJoystickCount> m_records;
};

// Whether two tables describe the same configuration as far as the registry
// holds it: the probe results (status, pad buttons and the usage's presence
// bit) are left out, so that a probe alone never makes the sheet look modified.
bool SameConfiguration(const JoystickTable& a, const JoystickTable& b);

}  // namespace kl
