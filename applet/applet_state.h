// The state the applet's sheet and pages share while the module is loaded: the
// working table, its snapshots, the type list and the sheet-wide choices, and
// what the sheet's Apply, Cancel and OK do with them.
#pragma once

#include <cstdint>
#include <string>

#include "applet/joystick_registry.h"
#include "applet/joystick_table.h"
#include "applet/joystick_types.h"
#include "platform/registry.h"

namespace kl {

struct AppletState {
  JoystickTable working;
  JoystickTable opening;  // as the selection page found it; Cancel restores it
  JoystickTable applied;  // as last written by Apply (or found at opening)
  JoystickTypeList types;
  bool autoDetect = false;          // run auto-detection when the selection page opens
  uint8_t currentId = kNoJoystick;  // 1..16, or none
  uint8_t respondingCount = 0;
};

// Whether the working table differs from what was last applied.
bool IsSheetModified(const AppletState& state);

// Apply: writes the working table and makes it the applied one.
bool ApplySheet(JoystickRegistry& joysticks, AppletState& state);
// Cancel: puts the opening table back and writes it, undoing earlier Applies.
bool CancelSheet(JoystickRegistry& joysticks, AppletState& state);
// OK: writes the working table and remembers the auto-detect choice.
bool OkSheet(JoystickRegistry& joysticks, AppletState& state);

// The current user's "Control Panel\Joy" "AutoDetect": an unreadable value
// turns auto-detection on; a missing key leaves `autoDetect` as it is.
void LoadAutoDetectFlag(Registry& registry, bool& autoDetect);
bool StoreAutoDetectFlag(Registry& registry, bool autoDetect);

// Help file and animation from the work folder the installation recorded.
struct AppletPaths {
  std::string helpFile;
  std::string animation;
};
// A missing key leaves `paths` as they are; an unreadable "Path" empties them.
void LoadAppletPaths(Registry& registry, AppletPaths& paths);

}  // namespace kl
