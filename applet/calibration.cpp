#include "applet/calibration.h"

#include <algorithm>

namespace kl {
namespace {

namespace bmp = layout::ostra;

// The hat picture of each capture step 1..4: forward, right, backward, left.
constexpr int kBmpHatSteps[4] = {bmp::kHat0, bmp::kHat9000, bmp::kHat18000, bmp::kHat27000};
constexpr uint32_t kHatPrompts[4] = {kStrHatRightPrompt, kStrHatBackwardPrompt, kStrHatLeftPrompt,
                                     0};

// Where the joystick picture, its connecting line and the device go.
constexpr Point kLineFrom{64, 45};
constexpr Point kLineVia{45, 45};
constexpr Point kLineTo{45, 70};

// Only buttons 1 to 12 answer the prompts.
constexpr uint32_t kPromptButtons = 0xFFF;

// The marker rests in the middle of the box while it stays near the middle.
constexpr int kMarkerMiddle = 21;

// Marker cells: 20 of 36 counts, 3 pixels apart.
constexpr uint32_t kMarkerCell = 36;
constexpr uint32_t kMarkerCells = 20;
constexpr int kMarkerPitch = 3;
// Bar cells: 33 counts, cells 1 to 19, 4 pixels a cell.
constexpr uint32_t kBarCell = 33;
constexpr uint32_t kBarCells = 20;
constexpr int kBarPitch = 4;

// A redraw after a paint is forced by a value no reading gives.
constexpr int kUnknown = -1;

// The lowest stage of a pending set, 0 when none.
uint8_t LowestStage(uint8_t pending) {
  for (uint8_t stage : {kStageXy, kStageZ, kStageR, kStageHat}) {
    if (pending & stage) return stage;
  }
  return 0;
}

PageRect Indicator(Point label, int width, int above) {
  return PageRect{label.x, label.y - above, label.x + width, label.y - 10};
}

// Where the marker is shown for an offset: the far edge and the middle snap.
int ShownMarkerOffset(int offset) {
  if (offset > 33) return 38;
  if (offset > 12 && offset <= 17) return kMarkerMiddle;
  return offset;
}

}  // namespace

AxisSources AxisSourcesOf(uint32_t flags) {
  // Each axis has three remapping bits in a row; exactly one of them set
  // names the reading it takes.
  auto pick = [flags](uint32_t lowestBit, AxisSource first, AxisSource second, AxisSource third,
                      AxisSource own) {
    switch ((flags / lowestBit) & 0x7) {
      case 0x1:
        return first;
      case 0x2:
        return second;
      case 0x4:
        return third;
      default:
        return own;
    }
  };
  using enum AxisSource;
  AxisSources s;
  s.x = pick(0x80, kY, kR, kZ, kX);
  s.y = pick(0x400, kX, kR, kZ, kY);
  s.z = pick(0x2000, kX, kY, kR, kZ);
  s.r = pick(0x100000, kX, kY, kZ, kR);
  s.hat = pick(0x10000, kX, kY, kR, kZ);
  return s;
}

int CalibrationMarkerOffset(uint32_t raw, int last) {
  int offset = last;
  if (raw < kMarkerCell * kMarkerCells && raw % kMarkerCell != 0) {
    offset = kMarkerPitch * static_cast<int>(raw / kMarkerCell);
  }
  return offset <= 1 ? 2 : offset;
}

int CalibrationBarLength(uint32_t raw) {
  if (raw <= kBarCell || raw >= kBarCell * kBarCells || raw % kBarCell == 0) return 0;
  return kBarPitch * static_cast<int>(raw / kBarCell);
}

Calibration::Calibration(const CalibrationPorts& ports, AppletState& state)
    : m_canvas(ports.canvas),
      m_controls(ports.controls),
      m_prompts(ports.prompts),
      m_timer(ports.timers),
      m_joysticks(ports.joysticks),
      m_strings(ports.strings),
      m_state(state) {
  ResetCaptures();
}

void Calibration::OnInitDialog(const CalibrationLayout& layout) {
  m_xyBox = Indicator(layout.xyLabel, 50, 60);
  m_zBar = Indicator(layout.zLabel, 16, 90);
  m_rBar = Indicator(layout.rLabel, 16, 90);
  m_hatBox = Indicator(layout.hatLabel, 50, 60);
}

const JoystickRecord* Calibration::CurrentRecord() const {
  if (!IsJoystickId(m_state.currentId)) return nullptr;
  return &m_state.working.At(m_state.currentId);
}

uint32_t Calibration::HardwareFlags() const {
  const JoystickRecord* record = CurrentRecord();
  return record ? record->config.hws.dwFlags : 0;
}

void Calibration::ResetCaptures() {
  m_pending = 0;
  m_step = 0;
  m_calibrated = 0;
  m_centreX = 0;
  m_centreY = 0;
  m_min.fill(0xFFFF);
  m_max.fill(0);
  m_hat = {0, 9000, 18000, 27000};
  m_lastMarkerX = 0;
  m_lastMarkerY = 0;
  m_lastZBar = 0;
  m_lastRBar = 0;
  const uint32_t flags = HardwareFlags();
  m_pollFlags = kCalPollPlain;
  if (flags & kJoyHwsHasPov) m_pollFlags = kCalPollRead3;
  if (flags & kJoyHwsHasR) m_pollFlags = kCalPollRead4;
}

void Calibration::TakeFirstReading() {
  JoyInfo reading;
  if (Poll(reading)) {
    m_current = reading;
    m_previous = reading;
  }
}

bool Calibration::Poll(JoyInfo& info) {
  return PollJoystick(m_joysticks.GetJoystick(), m_state.currentId, m_pollFlags, info);
}

void Calibration::ShowPrompt(uint32_t stringId) {
  m_controls.SetString(kCalPrompt, stringId);
}

void Calibration::OnSetActive() {
  ResetCaptures();
  TakeFirstReading();
  m_controls.Enable(kCalBack, false);
  m_controls.Enable(kCalSkip, false);
  m_controls.Enable(kCalPrevious, NeighbourBelow(m_state.working, m_state.currentId) != 0);
  m_controls.Enable(kCalFollowing, NeighbourAbove(m_state.working, m_state.currentId) != 0);
}

void Calibration::OnPaint() {
  for (int control : {kCalIdLabel, kCalCountLabel, kCalDeviceLabel, kCalXyLabel, kCalZLabel,
                      kCalRLabel, kCalHatLabel}) {
    m_controls.SetText(control, "");
  }
  SetJoystickLabels(m_controls, m_strings, m_state, kCalIdLabel, kCalCountLabel, kCalDeviceLabel);
  m_canvas.DrawMasked(bmp::kJoystickPicture, bmp::kJoystickMask, layout::kJoystickPictureAt);
  m_pending = 0;
  // Everything is drawn afresh below, so the next tick redraws the indicators.
  m_lastMarkerX = m_lastMarkerY = m_lastZBar = m_lastRBar = kUnknown;

  const JoystickRecord* record = CurrentRecord();
  if (!record || !IsAnswering(m_state.working, m_state.currentId)) {
    ShowPrompt(kStrNotAnswering);
    m_timer.Stop();
    return;
  }
  m_canvas.DrawLine(kLineFrom, kLineVia, kLineTo);
  switch (PadModelOf(*record)) {
    case 10:
      m_canvas.DrawMasked(bmp::kPad10SmallPicture, bmp::kPad10SmallMask, layout::kDevicePictureAt);
      m_controls.SetString(kCalDeviceLabel, kStrPad10Label);
      break;
    case 12:
      m_canvas.DrawMasked(bmp::kPad12SmallPicture, bmp::kPad12SmallMask, layout::kDevicePictureAt);
      m_controls.SetString(kCalDeviceLabel, kStrPad12Label);
      break;
    default:
      m_canvas.DrawMasked(bmp::kGenericPicture, bmp::kGenericMask, layout::kDevicePictureAt);
      break;
  }
  if (!record->oemCallout.empty()) {
    ShowPrompt(kStrOwnDriver);
    m_timer.Stop();
    return;
  }

  const uint32_t flags = record->config.hws.dwFlags;
  m_controls.SetString(kCalXyLabel, kStrXyLabel);
  m_canvas.DrawBitmap(bmp::kXyBox, TopLeft(m_xyBox));
  m_canvas.DrawBitmap(bmp::kMarker, TopLeft(m_xyBox, kMarkerMiddle, kMarkerMiddle));
  m_pending = kStageXy;
  if (flags & kJoyHwsHasZ) {
    m_controls.SetString(kCalZLabel, kStrZLabel);
    m_canvas.DrawBitmap(bmp::kBarBackground, TopLeft(m_zBar));
    m_pending |= kStageZ;
  }
  if (flags & kJoyHwsHasR) {
    m_controls.SetString(kCalRLabel, kStrRLabel);
    m_canvas.DrawBitmap(bmp::kBarBackground, TopLeft(m_rBar));
    m_pending |= kStageR;
  }
  if (flags & kJoyHwsHasPov) {
    m_controls.SetString(kCalHatLabel, kStrHatLabel);
    m_canvas.DrawMasked(bmp::kHatCentred, bmp::kHatMask, TopLeft(m_hatBox));
    m_pending |= kStageHat;
  }
  m_controls.Enable(kCalSkip, true);
  m_step = 0;
  ShowPrompt(kStrCentrePrompt);
  m_timer.Start();
}

uint32_t Calibration::Reading(AxisSource source) const {
  switch (source) {
    case AxisSource::kX:
      return m_current.dwXpos;
    case AxisSource::kY:
      return m_current.dwYpos;
    case AxisSource::kZ:
      return m_current.dwZpos;
    case AxisSource::kR:
      return m_current.dwRpos;
  }
  return 0;
}

bool Calibration::Pressed() const {
  const uint32_t now = m_current.dwButtons & kPromptButtons;
  const uint32_t before = m_previous.dwButtons & kPromptButtons;
  return (now & ~before) != 0;
}

void Calibration::Widen(Axis axis, uint32_t value) {
  m_min[axis] = std::min(m_min[axis], value);
  m_max[axis] = std::max(m_max[axis], value);
}

void Calibration::MoveMarker() {
  const AxisSources sources = AxisSourcesOf(HardwareFlags());
  const int x = CalibrationMarkerOffset(Reading(sources.x), m_lastMarkerX);
  const int y = CalibrationMarkerOffset(Reading(sources.y), m_lastMarkerY);
  if (x == m_lastMarkerX && y == m_lastMarkerY) {
    const bool middle = x >= 10 && x <= 30 && y >= 10 && y <= 30;
    if (middle) {
      m_canvas.DrawBitmap(bmp::kXyBox, TopLeft(m_xyBox));
      m_canvas.DrawBitmap(bmp::kMarker, TopLeft(m_xyBox, kMarkerMiddle, kMarkerMiddle));
    }
    return;
  }
  m_lastMarkerX = x;
  m_lastMarkerY = y;
  m_canvas.DrawBitmap(bmp::kXyBox, TopLeft(m_xyBox));
  m_canvas.DrawBitmap(bmp::kMarker, TopLeft(m_xyBox, ShownMarkerOffset(x), ShownMarkerOffset(y)));
}

void Calibration::WorkOnXy(bool pressed) {
  MoveMarker();
  const AxisSources sources = AxisSourcesOf(HardwareFlags());
  const uint32_t x = Reading(sources.x);
  const uint32_t y = Reading(sources.y);
  if (m_step == 0) {
    if (!pressed) return;
    m_centreX = x;
    m_centreY = y;
    m_step = 1;
    ShowPrompt(kStrRangePrompt);
    return;
  }
  Widen(kAxisX, x);
  Widen(kAxisY, y);
  if (!pressed) return;
  m_calibrated |= kJoyIsCalXY;
  m_pending &= ~kStageXy;
  m_step = 0;
  m_controls.Enable(kCalBack, true);
}

void Calibration::WorkOnBar(uint8_t stage, uint32_t prompt, Axis axis, bool pressed) {
  if (m_step == 0) {
    ShowPrompt(prompt);
    m_step = 1;
  }
  const AxisSources sources = AxisSourcesOf(HardwareFlags());
  const bool isZ = stage == kStageZ;
  const uint32_t value = Reading(isZ ? sources.z : sources.r);
  DrawPageBar(m_canvas, isZ ? m_zBar : m_rBar, CalibrationBarLength(value),
              isZ ? m_lastZBar : m_lastRBar);
  Widen(axis, value);
  if (!pressed) return;
  m_pending &= ~stage;
  m_step = 0;
  m_calibrated |= isZ ? kJoyIsCalZ : kJoyIsCalR;
}

void Calibration::WorkOnHat(bool pressed) {
  const uint32_t reading = Reading(AxisSourcesOf(HardwareFlags()).hat);
  if (m_step == 0) {
    ShowPrompt(kStrHatForwardPrompt);
    m_step = 1;
    return;
  }
  const int capture = m_step - 1;  // 0 forward, 1 right, 2 backward, 3 left
  m_canvas.DrawMasked(kBmpHatSteps[capture], bmp::kHatMask, TopLeft(m_hatBox));
  if (!pressed) return;
  m_hat[capture] = reading;
  if (capture < 3) {
    ShowPrompt(kHatPrompts[capture]);
    ++m_step;
    return;
  }
  m_pending &= ~kStageHat;
  m_step = 0;
  m_calibrated |= kJoyIsCalPov;
}

void Calibration::ShowFinished() {
  m_controls.Enable(kCalSkip, false);
  m_controls.SetDefaultStyle(kCalBack, true);
  m_controls.SetDefaultStyle(kCalSkip, false);
  ShowPrompt(kStrCalibrationDone);
  m_step = 1;
}

void Calibration::OnTimer(uint32_t id) {
  if (id != kPageTimerId || !m_timer.Ticks()) return;
  JoyInfo reading;
  if (!Poll(reading)) {
    m_timer.StopAndAsk(m_prompts);
    return;
  }
  m_previous = m_current;
  m_current = reading;
  const bool pressed = Pressed();
  switch (LowestStage(m_pending)) {
    case kStageXy:
      WorkOnXy(pressed);
      break;
    case kStageZ:
      WorkOnBar(kStageZ, kStrZPrompt, kAxisZ, pressed);
      break;
    case kStageR:
      WorkOnBar(kStageR, kStrRPrompt, kAxisR, pressed);
      break;
    case kStageHat:
      WorkOnHat(pressed);
      break;
    default:
      break;
  }
  if (m_pending == 0 && m_step == 0) ShowFinished();
}

void Calibration::RedoXy() {
  m_pending |= kStageXy;
  ShowPrompt(kStrCentrePrompt);
  m_controls.Enable(kCalBack, false);
  m_controls.SetDefaultStyle(kCalBack, false);
  m_controls.SetDefaultStyle(kCalSkip, true);
}

void Calibration::OnBack() {
  const uint32_t flags = HardwareFlags();
  const bool hasZ = flags & kJoyHwsHasZ;
  const bool hasR = flags & kJoyHwsHasR;
  const bool hasHat = flags & kJoyHwsHasPov;
  const uint8_t stage = LowestStage(m_pending);
  m_step = 0;
  m_controls.Enable(kCalSkip, true);
  switch (stage) {
    case kStageZ:
      m_pending |= kStageXy;
      ShowPrompt(kStrCentrePrompt);
      return;
    case kStageR:
      if (hasZ) {
        m_pending |= kStageZ;
      } else {
        RedoXy();
      }
      return;
    case kStageHat:
      if (hasR) {
        m_pending |= kStageR;
      } else if (hasZ) {
        m_pending |= kStageZ;
      } else {
        RedoXy();
      }
      return;
    default:
      break;
  }
  // Finished, or at X/Y: the last stage the joystick has is taken up again.
  if (hasHat) {
    m_pending |= kStageHat;
  } else if (hasR) {
    m_pending |= kStageR;
  } else if (hasZ) {
    m_pending |= kStageZ;
  } else {
    RedoXy();
    return;
  }
  // X/Y starts again from its centre, so its prompt says so.
  if (stage == kStageXy) ShowPrompt(kStrCentrePrompt);
}

void Calibration::OnSkip() {
  m_step = 0;
  m_controls.Enable(kCalBack, true);
  m_pending &= ~LowestStage(m_pending);
}

void Calibration::StepTo(uint32_t id, bool downwards) {
  if (id == 0) return;
  m_timer.Stop();
  // What was captured belongs to the joystick it was captured on.
  Commit();
  m_state.currentId = static_cast<uint8_t>(id);
  ResetCaptures();
  TakeFirstReading();
  m_controls.Repaint();
  const uint32_t below = NeighbourBelow(m_state.working, id);
  const uint32_t above = NeighbourAbove(m_state.working, id);
  m_controls.Enable(kCalPrevious, below != 0);
  m_controls.Enable(kCalFollowing, above != 0);
  const bool further = downwards ? below != 0 : above != 0;
  m_controls.SetDefaultStyle(downwards ? kCalPrevious : kCalFollowing, further);
  m_controls.SetDefaultStyle(downwards ? kCalFollowing : kCalPrevious, !further);
}

void Calibration::OnPreviousJoystick() {
  StepTo(NeighbourBelow(m_state.working, m_state.currentId), true);
}

void Calibration::OnFollowingJoystick() {
  StepTo(NeighbourAbove(m_state.working, m_state.currentId), false);
}

void Calibration::OnKillActive() {
  m_timer.Stop();
  Commit();
}

void Calibration::Commit() {
  if (!IsJoystickId(m_state.currentId) || m_calibrated == 0) return;
  JOYREGHWCONFIG& config = m_state.working.At(m_state.currentId).config;
  JoyRange& range = config.hwv.jrvHardware;
  // Z and R capture no centre: the middle of the captured range stands for it.
  auto middle = [](uint32_t low, uint32_t high) {
    return static_cast<uint32_t>((uint64_t{low} + high) / 2);
  };
  if (m_calibrated & kJoyIsCalXY) {
    range.jpMin.dwX = m_min[kAxisX];
    range.jpMin.dwY = m_min[kAxisY];
    range.jpMax.dwX = m_max[kAxisX];
    range.jpMax.dwY = m_max[kAxisY];
    range.jpCenter.dwX = m_centreX;
    range.jpCenter.dwY = m_centreY;
  }
  if (m_calibrated & kJoyIsCalZ) {
    range.jpMin.dwZ = m_min[kAxisZ];
    range.jpMax.dwZ = m_max[kAxisZ];
    range.jpCenter.dwZ = middle(m_min[kAxisZ], m_max[kAxisZ]);
  }
  if (m_calibrated & kJoyIsCalR) {
    range.jpMin.dwR = m_min[kAxisR];
    range.jpMax.dwR = m_max[kAxisR];
    range.jpCenter.dwR = middle(m_min[kAxisR], m_max[kAxisR]);
  }
  if (m_calibrated & kJoyIsCalPov) {
    // Captured forward, right, backward, left; stored forward, backward, left, right.
    config.hwv.dwPOVValues = {m_hat[0], m_hat[2], m_hat[3], m_hat[1]};
  }
  config.hwv.dwCalFlags = m_calibrated;
  m_joysticks.SaveJoystickTable(m_state.working);
  if (IsSheetModified(m_state)) m_controls.SetModified();
}

}  // namespace kl
