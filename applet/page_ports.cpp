#include "applet/page_ports.h"

#include "applet/selection.h"

namespace kl {

std::string FormatWithNumber(const std::string& format, long long value) {
  std::string out;
  bool replaced = false;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%' || i + 1 >= format.size()) {
      out += format[i];
      continue;
    }
    const char conversion = format[i + 1];
    if (conversion == '%') {
      out += '%';
      ++i;
    } else if (!replaced && (conversion == 'd' || conversion == 'u' || conversion == 'i')) {
      out += std::to_string(value);
      replaced = true;
      ++i;
    } else {
      out += '%';
    }
  }
  return out;
}

bool IsAnswering(const JoystickTable& table, uint32_t id) {
  if (!IsJoystickId(id)) return false;
  const JoystickRecord& record = table.At(id);
  return record.present == 1 && record.status == kStatusAnswers;
}

uint32_t NeighbourBelow(const JoystickTable& table, uint32_t from) {
  const uint32_t limit = from > kJoystickCount ? kJoystickCount + 1 : from;
  for (uint32_t id = limit; id > 1; --id) {
    if (IsAnswering(table, id - 1)) return id - 1;
  }
  return 0;
}

uint32_t NeighbourAbove(const JoystickTable& table, uint32_t from) {
  for (uint32_t id = from + 1; id <= kJoystickCount; ++id) {
    if (IsAnswering(table, id)) return id;
  }
  return 0;
}

uint8_t PadModelOf(const JoystickRecord& record) {
  if (!IsMakersPadName(record.displayName)) return 0;
  return record.padButtons == 10 || record.padButtons == 12 ? record.padButtons : 0;
}

void PageTimer::Start() {
  if (!m_running) m_running = m_timers.Start(kPageTimerId, kPageTimerPeriod);
}

void PageTimer::Stop() {
  if (!m_running) return;
  m_timers.Stop(kPageTimerId);
  m_running = false;
}

void DrawPageBar(PageCanvas& canvas, const PageRect& bar, int length, int& lastLength) {
  if (length == lastLength) return;
  lastLength = length;
  canvas.DrawBitmap(layout::ostra::kBarBackground, TopLeft(bar));
  canvas.FillBar(PageRect{bar.left + 2, bar.top + length + 2, bar.right - 2, bar.bottom - 2},
                 kPageBarColour);
}

void PageTimer::StopAndAsk(Prompts& prompts) {
  Stop();
  m_asking = true;
  const bool retry = prompts.MessageBox(kStrNotAnswering, kMbRetryCancel) == kIdRetry;
  m_asking = false;
  if (retry) Start();
}

bool PollJoystick(Joystick& joystick, uint32_t id, uint32_t flags, JoyInfo& info) {
  if (!IsJoystickId(id)) return false;
  info = JoyInfo{};
  info.dwFlags = flags;
  return joystick.GetPosEx(id - 1, info) == kJoyErrNoError;
}

void SetJoystickLabels(PageControls& controls, const StringSource& strings,
                       const AppletState& state, int idLabel, int countLabel, int nameLabel) {
  const bool known = IsJoystickId(state.currentId);
  controls.SetText(idLabel,
                   known ? FormatWithNumber(strings.Load(kStrJoystickLabel), state.currentId) : "");
  controls.SetText(countLabel,
                   FormatWithNumber(strings.Load(kStrRespondingLabel), state.respondingCount));
  controls.SetText(nameLabel, known ? state.working.At(state.currentId).displayName : "");
}

}  // namespace kl
