// What the device selection page decides about its list, apart from the
// window: the widths of the three columns, the joystick a row stands for,
// moving through the rows with the arrow keys, whether the page may be left,
// and what the once-a-second presence check does.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "applet/selection.h"

namespace kl {

// String ids of the messages shown when the page cannot be left.
constexpr uint32_t kNoJoystickChosenStringId = 11;
constexpr uint32_t kChosenNotAnsweringStringId = 13;

// The three columns share the list's client width in the proportions
// 39200 : 95200 : 70000 (id, type name, state).
std::array<int, 3> DeviceColumnWidths(int clientWidth);

// The joystick id a row shows in its first column (" 3"), or none when the
// text is no joystick id 1..16.
uint8_t JoystickIdFromRowText(const std::string& idText);

// The row the up or down arrow key moves to: the one above or below
// `selected`, `selected` itself at the ends, row 0 when none is selected
// (-1); -1 when the list is empty.
int RowAfterArrowKey(int selected, int rowCount, bool down);

// Whether the page may be left now; otherwise the string id to show.
std::optional<uint32_t> LeavePageRefusal(const AppletState& state);

// Whether the list, getting the focus, should give its first row the focus:
// no joystick is chosen yet and some answer.
bool FocusFirstRowOnFocus(const AppletState& state);

// One tick of the page's presence check. `lastCount` is the count the page
// saw at the tick before. When the number of answering joysticks changed,
// the list is rebuilt (`rows`), the driver is told, and the first row is
// chosen when no joystick was chosen yet.
struct PresenceTick {
  bool changed = false;
  std::vector<DeviceRow> rows;
  bool chooseFirstRow = false;  // select and focus row 0; the current id is now 1
};
PresenceTick TickPresence(JoystickRegistry& joysticks, AppletState& state, uint8_t& lastCount);

}  // namespace kl
