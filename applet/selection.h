// What the device selection page and its two type dialogs do to the joystick
// table, apart from their windows: opening the page (loading, auto-detection,
// removing dead devices), the rows of the device list, and the OK of the type
// dialog and of the custom joystick dialog.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "applet/applet_state.h"
#include "applet/joystick_registry.h"

namespace kl {

// String ids the selection logic uses.
constexpr uint32_t kPadNameStringId = 57347;
constexpr uint32_t kAnswersStringId = 20;
constexpr uint32_t kNotAnsweringStringId = 21;

// Images of the device list rows.
enum class DeviceImage : uint8_t { kPad10 = 0, kPad12 = 1, kOther = 2, kPadNotAnswering = 3 };

// One row of the device list: the three column texts, cut to the page's
// column buffers (5, 100 and 50 bytes with the terminator), and the image.
struct DeviceRow {
  uint32_t id = 0;
  std::string idText;
  std::string name;
  std::string state;
  DeviceImage image = DeviceImage::kOther;
};

// Whether a display name is one of the maker's pads, as the pages decide it.
bool IsMakersPadName(const std::string& displayName);

// Dialog start of the page, minus the controls: builds the type list, loads
// the table (from a cleared one), takes both snapshots, auto-detects or saves,
// probes, removes dead devices and returns the device list.
std::vector<DeviceRow> OpenSelectionPage(JoystickRegistry& joysticks, AppletState& state);

// Places the maker's pads on joystick ids 1..4, moving other devices out of the
// way to the first free ids, and writes the table; false when it could not be
// written.
bool AutoDetectPads(JoystickRegistry& joysticks, AppletState& state);

// Removes every configured joystick that did not answer the last probe, unless
// it is configured as a plain gamepad (hardware flags exactly the gamepad bit).
void RemoveDeadDevices(JoystickRegistry& joysticks, AppletState& state);

// Empties joystick `id`'s record as a removed device (usage "present" only).
void ClearJoystick(JoystickTable& table, uint32_t id);

// Probes the table and returns one row per configured joystick; records the
// button count of the maker's answering pads.
std::vector<DeviceRow> FillDeviceList(JoystickRegistry& joysticks, AppletState& state);

// The type dialog's choice: joystick id, position in the type list, and the
// custom type's flags and buttons (as the custom dialog would start them).
struct TypeChoice {
  uint32_t id = 1;
  uint32_t type = 0;
  uint32_t customFlags = 0;
  uint32_t customButtons = 2;
};

// What the type dialog selects when it opens: combo entry (id - 1) and type.
struct TypeDialogSelection {
  uint32_t comboIndex = 0;
  uint32_t typeIndex = 0;
};
TypeDialogSelection InitialTypeSelection(const AppletState& state);

// OK of the type dialog: assigns the type to the record. False (and nothing
// changed) for an id outside 1..16 or a position beyond the type list.
bool AcceptJoystickType(JoystickRegistry& joysticks, AppletState& state, const TypeChoice& choice);

// After the type dialog's OK: writes the table and refreshes the list; tells
// whether the sheet now counts as modified.
struct TypeDialogOutcome {
  std::vector<DeviceRow> rows;
  bool modified = false;
};
TypeDialogOutcome CommitJoystickType(JoystickRegistry& joysticks, AppletState& state);

// The custom joystick dialog's controls and what its OK makes of them.
enum class SpecialKind : uint8_t { kNone, kCarController, kGamepad, kYoke };
struct CustomJoystickChoice {
  uint32_t axesEntry = 0;    // 0 X/Y, 1 with Z, 2 with Z and R
  uint32_t buttonEntry = 0;  // entry i means i + 2 buttons
  bool hasHat = false;
  bool special = false;  // the "special kind" box; the kind counts only when checked
  SpecialKind kind = SpecialKind::kNone;
};
struct CustomJoystickResult {
  uint32_t flags = 0;
  uint32_t buttons = 0;
};
CustomJoystickResult AcceptCustomJoystick(const CustomJoystickChoice& choice);

}  // namespace kl
