#include "applet/device_list.h"

#include <cctype>

namespace kl {

namespace {

constexpr std::array<int64_t, 3> kColumnShares = {39200, 95200, 70000};

}  // namespace

std::array<int, 3> DeviceColumnWidths(int clientWidth) {
  std::array<int, 3> widths{};
  if (clientWidth <= 0) return widths;
  const int64_t total = kColumnShares[0] + kColumnShares[1] + kColumnShares[2];
  for (size_t i = 0; i < widths.size(); ++i) {
    widths[i] = static_cast<int>(clientWidth * kColumnShares[i] / total);
  }
  return widths;
}

uint8_t JoystickIdFromRowText(const std::string& idText) {
  size_t at = 0;
  while (at < idText.size() && idText[at] == ' ') ++at;
  uint32_t id = 0;
  size_t digits = 0;
  for (; at < idText.size() && std::isdigit(static_cast<unsigned char>(idText[at])); ++at) {
    id = id * 10 + static_cast<uint32_t>(idText[at] - '0');
    if (++digits > 2) return kNoJoystick;
  }
  if (digits == 0 || at != idText.size() || !IsJoystickId(id)) return kNoJoystick;
  return static_cast<uint8_t>(id);
}

int RowAfterArrowKey(int selected, int rowCount, bool down) {
  if (rowCount <= 0) return -1;
  if (selected < 0 || selected >= rowCount) return 0;
  if (down) return selected + 1 < rowCount ? selected + 1 : selected;
  return selected > 0 ? selected - 1 : selected;
}

std::optional<uint32_t> LeavePageRefusal(const AppletState& state) {
  if (state.currentId > kJoystickCount) return kNoJoystickChosenStringId;
  if (state.currentId != 0 && state.working.At(state.currentId).status != kStatusAnswers) {
    return kChosenNotAnsweringStringId;
  }
  return std::nullopt;
}

bool FocusFirstRowOnFocus(const AppletState& state) {
  return state.currentId > kJoystickCount && state.respondingCount != 0;
}

PresenceTick TickPresence(JoystickRegistry& joysticks, AppletState& state, uint8_t& lastCount) {
  PresenceTick tick;
  const uint8_t count = joysticks.CountRespondingJoysticks();
  state.respondingCount = count;
  if (count == lastCount) return tick;
  lastCount = count;
  tick.changed = true;
  tick.rows = FillDeviceList(joysticks, state);
  if (state.currentId > kJoystickCount && count != 0 && !tick.rows.empty()) {
    tick.chooseFirstRow = true;
    state.currentId = static_cast<uint8_t>(tick.rows.front().id);
  }
  joysticks.GetJoystick().ConfigChanged(0);
  return tick;
}

}  // namespace kl
