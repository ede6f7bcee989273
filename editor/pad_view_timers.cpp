// The view's timers: pad polling with live feedback and re-counting when
// pads come or go, the watch that pauses polling and the logo, and the logo
// animation.
#include "editor/pad_view.h"

namespace kl {
namespace {

constexpr uint32_t kPollPeriod = 20;
constexpr uint32_t kLogoRestartPeriod = 220;
constexpr int kLogoLast = layout::kLogoFirst + layout::kLogoCount - 1;

// -1 for the low direction, 1 for the high one, 0 centred.
int Zone(uint32_t position) {
  return position < kJoyCentre ? -1 : position > kJoyCentre ? 1 : 0;
}

}  // namespace

void PadView::OnTimer(uint32_t id) {
  switch (id) {
    case kTimerPoll:
      PollTick();
      break;
    case kTimerWatch:
      WatchTick();
      break;
    case kTimerLogo:
      StepLogo();
      break;
    default:
      break;
  }
}

void PadView::PollTick() {
  const uint8_t count = m_padAccess.EnumeratePads();
  if (count != m_padCount) RecountPads(count);
  bool currentPolled = false;
  for (uint8_t i = 0; i < m_padCount; ++i) {
    ViewPad& pad = m_pads[i];
    JoyInfo info{};
    if (!m_padAccess.ReadPad(pad.joystickId, info)) continue;
    pad.previous = pad.polled;
    pad.polled = info;
    if (i == m_currentPad) currentPolled = true;
  }
  // A failed poll keeps the last two readings; acting on them again would
  // repeat the last edge on every tick the pad does not answer.
  if (currentPolled) LiveFeedback(m_pads[m_currentPad]);
}

void PadView::RecountPads(uint8_t count) {
  // What was recorded belongs to the profile the user may still save.
  if (m_capture.recording) StopAction();
  SavePrompt();
  m_selectedInput = kNone;
  ReadPadSlots(count);
  ResetAllTables();
  m_currentPad = 0;
  m_store.SetCurrentPad(0);
  SetUpTooltips();
  if (m_shownGames.row < m_shownGames.count && m_shownProfiles.row < m_shownProfiles.count) {
    LoadSelectedProfile();
    m_dirty = kDirtyClean;
    RedrawPadPicture();
    RedrawLabels();
  }
  m_ports.shell.Repaint();
}

// Only presses act: a direction moving into its zone, a button bit going
// from 0 to 1. Holding or releasing never selects again.
void PadView::LiveFeedback(const ViewPad& pad) {
  const int buttons = Model().buttons;
  const struct {
    uint32_t now;
    uint32_t before;
    uint8_t low;
  } axes[] = {{pad.polled.dwYpos, pad.previous.dwYpos, 0},
              {pad.polled.dwXpos, pad.previous.dwXpos, 2}};
  for (const auto& axis : axes) {
    const int zone = Zone(axis.now);
    if (zone == 0 || zone == Zone(axis.before)) continue;
    const uint8_t input = static_cast<uint8_t>(axis.low + (zone > 0 ? 1 : 0));
    if (m_selectedInput != input) SelectFromPad(input);
    m_pendingChange = true;
  }
  const uint32_t pressed = pad.polled.dwButtons & ~pad.previous.dwButtons;
  bool any = false;
  for (int k = 0; k < 12 && k < buttons; ++k) {
    if (!(pressed & (1u << k))) continue;
    any = true;
    const uint8_t input = static_cast<uint8_t>(k + 4);
    if (m_selectedInput != input) SelectFromPad(input);
  }
  if (any) m_pendingChange = true;
}

// Polling runs while no picture menu is open, the logo while the editor is
// the active program. Timers are started and stopped only on a change.
void PadView::WatchTick() {
  const bool active = m_ports.shell.EditorActive();
  const bool poll = m_menu.open == kNone;
  if (poll && m_timerIds[0] == 0) {
    m_timerIds[0] = m_ports.timers.Start(kTimerPoll, kPollPeriod) ? kTimerPoll : 0;
  } else if (!poll && m_timerIds[0] != 0) {
    m_ports.timers.Stop(kTimerPoll);
    m_timerIds[0] = 0;
  }
  if (active && m_timerIds[2] == 0) {
    m_timerIds[2] = m_ports.timers.Start(kTimerLogo, kLogoRestartPeriod) ? kTimerLogo : 0;
  } else if (!active && m_timerIds[2] != 0) {
    m_ports.timers.Stop(kTimerLogo);
    m_timerIds[2] = 0;
  }
}

void PadView::StepLogo() {
  DrawBitmap(m_logoFrame, layout::kLogoRect);
  m_logoFrame = m_logoFrame >= kLogoLast ? layout::kLogoFirst : m_logoFrame + 1;
}

}  // namespace kl
