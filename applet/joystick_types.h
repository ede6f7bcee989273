// The joystick types the user can choose from: position 0 "no joystick", the
// custom type at 1, the ten predefined types at 2..11 (their positions are the
// platform's type numbers), then the types registered in the registry in
// ascending order of their display names.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kl {

struct JoystickTypeEntry {
  std::string oemKey;  // subkey of the OEM types, "predef1".."predef11", or empty
  std::string displayName;
  std::string oemCallout;
  uint32_t flags = 0;  // JOY_HWS_* hardware flags
  uint32_t buttons = 0;

  bool operator==(const JoystickTypeEntry&) const = default;
};

// The list is kept in position order, positions counted from 0; the insertion
// functions below decide where entries go.
using JoystickTypeList = std::vector<JoystickTypeEntry>;

// A fixed type: its key, the string id of its display name, flags and buttons.
struct FixedJoystickType {
  const char* oemKey;
  uint32_t nameId;
  uint32_t flags;
  uint32_t buttons;
};
constexpr uint32_t kFixedTypeCount = 12;
extern const FixedJoystickType kFixedJoystickTypes[kFixedTypeCount];

// Links a registered type in before the first entry whose display name does
// not sort before its own (alphabetically, as the platform sorts names). A name
// equal to the first entry's is not added (false).
bool InsertTypeSorted(JoystickTypeList& list, const JoystickTypeEntry& entry);

// Puts the entry at `position`, or at the end when the list is shorter.
void InsertTypeAt(JoystickTypeList& list, const JoystickTypeEntry& entry, uint32_t position);

// What a lookup found. By position: the display name, and the key only when the
// entry has one (a caller's key stays otherwise). By name: everything.
struct JoystickTypeMatch {
  std::string displayName;
  std::optional<std::string> oemKey;
  std::string oemCallout;
  uint32_t flags = 0;
  uint32_t buttons = 0;
};

// position >= 1: the entry at that position; position 0: the first entry
// named `name`. Nothing when there is no such entry.
std::optional<JoystickTypeMatch> FindJoystickType(const JoystickTypeList& list,
                                                  const std::string& name, uint32_t position);

}  // namespace kl
