#include "applet/test_view.h"

#include <algorithm>
#include <string>

namespace kl {
namespace {

namespace bmp = layout::ostra;

constexpr Point kLineFrom{64, 55};
constexpr Point kLineVia{45, 55};
constexpr Point kLineTo{45, 80};

constexpr uint32_t kPollAll = kJoyReturnAll;
constexpr uint32_t kPollRaw = 0x1FF;
// The marker's cells, and where a centred reading puts it.
constexpr uint32_t kMarkerCells = 38;
constexpr int kMarkerFirstOffset = 7;
constexpr uint32_t kMappedCentre = 0x8000;
// Bar cells 1 to 19, 4 pixels a cell.
constexpr uint32_t kBarCells = 20;
constexpr int kBarPitch = 4;
// The button mask has 32 bits: no joystick shows more cells than that.
constexpr uint32_t kMaxButtonCells = 32;
constexpr int kUnknown = -1;

PageRect Above(const PageRect& caption, int width, int above) {
  return PageRect{caption.left, caption.top - above, caption.left + width, caption.top - 10};
}

}  // namespace

uint32_t MapThroughCalibration(uint32_t value, uint32_t min, uint32_t centre, uint32_t max) {
  uint64_t mapped = 0;
  if (value < centre) {
    if (value < min) return 0;
    mapped = uint64_t{value - min} * 0x8000 / (centre - min);
  } else {
    if (max <= centre) return 0xFFFF;
    mapped = uint64_t{value - centre} * 0x8000 / (max - centre) + 0x8000;
  }
  return static_cast<uint32_t>(std::min<uint64_t>(mapped, 0xFFFF));
}

int TestMarkerOffset(uint32_t mapped) {
  const uint32_t cell = static_cast<uint32_t>(layout::kTestCellX);
  if (mapped % cell == 0 || mapped / cell >= kMarkerCells) return kMarkerFirstOffset;
  return static_cast<int>(mapped / cell) + kMarkerFirstOffset;
}

int TestBarLength(uint32_t value) {
  const uint32_t cell = static_cast<uint32_t>(layout::kTestCellZ);
  if (value <= cell || value >= cell * kBarCells || value % cell == 0) return 0;
  return kBarPitch * static_cast<int>(value / cell);
}

std::optional<int> TestHatPicture(uint32_t pov) {
  switch (pov) {
    case 0:
      return 227;
    case 4500:
      return 229;
    case 9000:
      return 228;
    case 13500:
      return 232;
    case 18000:
      return 231;
    case 22500:
      return 233;
    case 27000:
      return 234;
    case 31500:
      return 230;
    case 0xFFFF:
      return bmp::kHatCentred;
    default:
      return std::nullopt;
  }
}

int DirectionRow(uint32_t x, uint32_t y) {
  const int dx = x < kJoyCentre ? -1 : x > kJoyCentre ? 1 : 0;
  const int dy = y < kJoyCentre ? -1 : y > kJoyCentre ? 1 : 0;
  // Rows by (dx, dy): up 1, down 2, left 3, right 4, right-up 5, right-down 6,
  // left-down 7, left-up 8.
  static constexpr int kRows[3][3] = {
      {8, 3, 7},  // dx = -1: dy = -1, 0, 1
      {1, 0, 2},  // dx = 0
      {5, 4, 6},  // dx = 1
  };
  return kRows[dx + 1][dy + 1];
}

int ReleasedPicture(const layout::TestPadLayout& pad, const layout::ButtonOverlay& row) {
  if (row.released != row.pressed) return row.released;
  std::span<const uint32_t[2]> spare;
  if (pad.picture == layout::kTestPad10Large.picture) spare = layout::kTestPad10LargeSpareReleased;
  if (pad.picture == layout::kTestPad12Large.picture) spare = layout::kTestPad12LargeSpareReleased;
  for (const auto& entry : spare) {
    if (entry[0] == row.mask) return static_cast<int>(entry[1]);
  }
  return row.released;
}

TestView::TestView(const TestViewPorts& ports, AppletState& state)
    : m_canvas(ports.canvas),
      m_controls(ports.controls),
      m_prompts(ports.prompts),
      m_timer(ports.timers),
      m_joystick(ports.joystick),
      m_strings(ports.strings),
      m_state(state) {}

void TestView::OnInitDialog(const TestPageLayout& layout) {
  const PageRect& area = layout.pictureArea;
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  m_large = width > layout::kTestLargeArea.width && height > layout::kTestLargeArea.height;
  // Both pad models share the picture size of a layout.
  const layout::Size size = (m_large ? layout::kTestPad12Large : layout::kTestPad12Small).size;
  m_origin = Point{area.left + (width - size.width) / 2, area.top + (height - size.height) / 2};
  m_xyBox = Above(layout.xyCaption, 50, 60);
  m_zBar = Above(layout.zCaption, 16, 90);
  m_rBar = Above(layout.rCaption, 16, 90);
  m_hatBox = Above(layout.hatCaption, 50, 60);
  const PageRect& buttons = layout.buttonsCaption;
  m_firstCell = PageRect{buttons.left, buttons.bottom + 10, buttons.left + 22, buttons.bottom + 32};
}

const JoystickRecord* TestView::CurrentRecord() const {
  if (!IsJoystickId(m_state.currentId)) return nullptr;
  const JoystickRecord& record = m_state.working.At(m_state.currentId);
  return record.present ? &record : nullptr;
}

const layout::TestPadLayout& TestView::PadLayout() const {
  if (m_padModel == 10) return m_large ? layout::kTestPad10Large : layout::kTestPad10Small;
  return m_large ? layout::kTestPad12Large : layout::kTestPad12Small;
}

bool TestView::Poll(uint32_t flags, JoyInfo& info) {
  return CurrentRecord() && PollJoystick(m_joystick, m_state.currentId, flags, info);
}

void TestView::ShowIndicatorCaptions(bool shown) {
  for (int control :
       {kTestXyCaption, kTestZCaption, kTestRCaption, kTestHatCaption, kTestPadCaption}) {
    m_controls.Show(control, shown);
  }
}

void TestView::DecideView() {
  const JoystickRecord* record = CurrentRecord();
  m_padModel = record ? PadModelOf(*record) : 0;
}

void TestView::OnSetActive() {
  m_lastMarkerX = m_lastMarkerY = m_lastZBar = m_lastRBar = 0;
  for (int control :
       {kTestIdLabel, kTestCountLabel, kTestDeviceLabel, kTestAxesCaption, kTestButtonsCaption}) {
    m_controls.SetText(control, "");
  }
  ShowIndicatorCaptions(false);
  JoyInfo reading;
  if (Poll(kPollAll, reading)) m_current = reading;
  m_controls.Enable(kTestPrevious, NeighbourBelow(m_state.working, m_state.currentId) != 0);
  m_controls.Enable(kTestFollowing, NeighbourAbove(m_state.working, m_state.currentId) != 0);
  // Without a joystick there is nothing to poll.
  if (CurrentRecord()) m_timer.Start();
  DecideView();
}

void TestView::OnPaint() {
  SetJoystickLabels(m_controls, m_strings, m_state, kTestIdLabel, kTestCountLabel,
                    kTestDeviceLabel);
  m_canvas.DrawMasked(bmp::kJoystickPicture, bmp::kJoystickMask, layout::kJoystickPictureAt);
  m_canvas.DrawLine(kLineFrom, kLineVia, kLineTo);
  const JoystickRecord* record = CurrentRecord();
  if (!record) return;
  if (m_padModel != 0) {
    PaintPad();
  } else {
    PaintGeneric(*record);
  }
  m_redrawAll = true;
}

void TestView::PaintPad() {
  if (m_padModel == 10) {
    m_canvas.DrawMasked(bmp::kPad10SmallPicture, bmp::kPad10SmallMask, layout::kDevicePictureAt);
    m_controls.SetString(kTestDeviceLabel, kStrPad10Label);
  } else {
    m_canvas.DrawMasked(bmp::kPad12SmallPicture, bmp::kPad12SmallMask, layout::kDevicePictureAt);
    m_controls.SetString(kTestDeviceLabel, kStrPad12Label);
  }
  for (int control :
       {kTestAreaTopLeft, kTestAreaBottomRight, kTestAxesCaption, kTestButtonsCaption}) {
    m_controls.Show(control, false);
  }
  m_controls.Show(kTestPadCaption, true);
  const layout::TestPadLayout& pad = PadLayout();
  m_canvas.DrawPicture(pad.picture, m_origin,
                       layout::Rect{0, 0, pad.size.width - 1, pad.size.height - 1});
}

PageRect TestView::ButtonCell(uint32_t index) const {
  const int pitch = m_large ? layout::kTestButtonPitchLarge : layout::kTestButtonPitchSmall;
  const int dx = pitch * static_cast<int>(index);
  return PageRect{m_firstCell.left + dx, m_firstCell.top, m_firstCell.right + dx,
                  m_firstCell.bottom};
}

uint32_t TestView::ButtonCount(const JoystickRecord& record) const {
  return std::min(record.config.hws.dwNumButtons, kMaxButtonCells);
}

void TestView::PaintGeneric(const JoystickRecord& record) {
  m_canvas.DrawMasked(bmp::kGenericPicture, bmp::kGenericMask, layout::kDevicePictureAt);
  for (int control :
       {kTestAreaTopLeft, kTestAreaBottomRight, kTestAxesCaption, kTestButtonsCaption}) {
    m_controls.Show(control, true);
  }
  m_controls.Show(kTestPadCaption, false);
  m_controls.SetString(kTestAxesCaption, kStrAxesCaption);
  m_controls.SetString(kTestButtonsCaption, kStrButtonsCaption);
  for (uint32_t i = 0; i < ButtonCount(record); ++i) {
    const PageRect cell = ButtonCell(i);
    m_canvas.DrawMasked(bmp::kCellReleased, bmp::kCellMask, TopLeft(cell));
    m_canvas.DrawText(Point{cell.left + 9, cell.bottom + 3}, std::to_string(i + 1));
  }
  const uint32_t flags = record.config.hws.dwFlags;
  m_controls.Show(kTestXyCaption, true);
  const int start = TestMarkerOffset(kMappedCentre);
  DrawMarker(start, start);
  m_lastZBar = m_lastRBar = kUnknown;
  if (flags & kJoyHwsHasZ) {
    m_controls.Show(kTestZCaption, true);
    m_canvas.DrawBitmap(bmp::kBarBackground, TopLeft(m_zBar));
  }
  if (flags & kJoyHwsHasR) {
    m_controls.Show(kTestRCaption, true);
    m_canvas.DrawBitmap(bmp::kBarBackground, TopLeft(m_rBar));
  }
  if (flags & kJoyHwsHasPov) {
    m_controls.Show(kTestHatCaption, true);
    m_canvas.DrawMasked(bmp::kHatCentred, bmp::kHatMask, TopLeft(m_hatBox));
  }
}

void TestView::DrawMarker(int x, int y) {
  m_lastMarkerX = x;
  m_lastMarkerY = y;
  m_canvas.DrawBitmap(bmp::kXyBox, TopLeft(m_xyBox));
  m_canvas.DrawBitmap(bmp::kMarker, TopLeft(m_xyBox, x - 4, y - 4));
}

void TestView::DrawPadButtons(uint32_t now, uint32_t before) {
  const layout::TestPadLayout& pad = PadLayout();
  for (size_t k = 0; k < pad.buttons.size(); ++k) {
    const layout::ButtonOverlay& row = pad.buttons[k];
    const layout::Rect& rect = pad.overlays[9 + k];
    if (now & row.mask) {
      m_canvas.DrawPicture(row.pressed, m_origin, rect);
    } else if (before & row.mask) {
      m_canvas.DrawPicture(ReleasedPicture(pad, row), m_origin, rect);
    }
  }
}

void TestView::DrawDirection(uint32_t x, uint32_t y) {
  const layout::TestPadLayout& pad = PadLayout();
  m_canvas.DrawPicture(pad.picture + 1, m_origin, pad.overlays[0]);
  const int row = DirectionRow(x, y);
  if (row != 0) m_canvas.DrawPicture(pad.picture + 1 + row, m_origin, pad.overlays[row]);
}

void TestView::DrawButtonCells(const JoystickRecord& record, uint32_t now, uint32_t before) {
  for (uint32_t i = 0; i < ButtonCount(record); ++i) {
    const uint32_t bit = 1u << i;
    if (now & bit) {
      m_canvas.DrawMasked(bmp::kCellPressed, bmp::kCellMask, TopLeft(ButtonCell(i)));
    } else if (before & bit) {
      m_canvas.DrawMasked(bmp::kCellReleased, bmp::kCellMask, TopLeft(ButtonCell(i)));
    }
  }
}

void TestView::MoveMarker(const JoystickRecord& record) {
  JoyInfo raw;
  // Without a raw reading the marker stays where it is.
  if (!Poll(kPollRaw, raw)) return;
  const JoyRange& range = record.config.hwv.jrvHardware;
  const int x = TestMarkerOffset(
      MapThroughCalibration(raw.dwXpos, range.jpMin.dwX, range.jpCenter.dwX, range.jpMax.dwX));
  const int y = TestMarkerOffset(
      MapThroughCalibration(raw.dwYpos, range.jpMin.dwY, range.jpCenter.dwY, range.jpMax.dwY));
  if (x != m_lastMarkerX || y != m_lastMarkerY) DrawMarker(x, y);
}

void TestView::OnTimer(uint32_t id) {
  if (id != kPageTimerId || !m_timer.Ticks()) return;
  JoyInfo reading;
  if (!Poll(kPollAll, reading)) {
    m_timer.StopAndAsk(m_prompts);
    return;
  }
  m_previous = m_current;
  m_current = reading;
  const JoystickRecord* record = CurrentRecord();
  if (!record) return;
  const bool all = m_redrawAll;
  m_redrawAll = false;
  const JoyInfo& before = m_previous;
  const JoyInfo& now = m_current;
  const bool buttons = all || now.dwButtons != before.dwButtons;
  const bool xy = all || now.dwXpos != before.dwXpos || now.dwYpos != before.dwYpos;
  // After a paint nothing is lit yet, so no button counts as held before.
  const uint32_t heldBefore = all ? 0 : before.dwButtons;
  if (m_padModel != 0) {
    if (buttons) DrawPadButtons(now.dwButtons, heldBefore);
    if (xy) DrawDirection(now.dwXpos, now.dwYpos);
    return;
  }
  const uint32_t flags = record->config.hws.dwFlags;
  if (buttons) DrawButtonCells(*record, now.dwButtons, heldBefore);
  if (xy) MoveMarker(*record);
  if ((flags & kJoyHwsHasZ) && (all || now.dwZpos != before.dwZpos)) {
    DrawPageBar(m_canvas, m_zBar, TestBarLength(now.dwZpos), m_lastZBar);
  }
  if ((flags & kJoyHwsHasR) && (all || now.dwRpos != before.dwRpos)) {
    DrawPageBar(m_canvas, m_rBar, TestBarLength(now.dwRpos), m_lastRBar);
  }
  if ((flags & kJoyHwsHasPov) && (all || now.dwPOV != before.dwPOV)) {
    if (const std::optional<int> picture = TestHatPicture(now.dwPOV)) {
      m_canvas.DrawMasked(*picture, bmp::kHatMask, TopLeft(m_hatBox));
    }
  }
}

void TestView::StepTo(uint32_t id) {
  if (id == 0) return;
  m_timer.Stop();
  ShowIndicatorCaptions(false);
  m_state.currentId = static_cast<uint8_t>(id);
  DecideView();
  m_controls.Repaint();
  const uint32_t below = NeighbourBelow(m_state.working, id);
  const uint32_t above = NeighbourAbove(m_state.working, id);
  m_controls.Enable(kTestPrevious, below != 0);
  m_controls.Enable(kTestFollowing, above != 0);
  m_timer.Start();
}

void TestView::OnPreviousJoystick() {
  const uint32_t id = NeighbourBelow(m_state.working, m_state.currentId);
  if (id == 0) return;
  StepTo(id);
  const bool further = NeighbourBelow(m_state.working, id) != 0;
  m_controls.SetDefaultStyle(kTestPrevious, further);
  m_controls.SetDefaultStyle(kTestFollowing, !further);
}

void TestView::OnFollowingJoystick() {
  const uint32_t id = NeighbourAbove(m_state.working, m_state.currentId);
  if (id == 0) return;
  StepTo(id);
  const bool further = NeighbourAbove(m_state.working, id) != 0;
  m_controls.SetDefaultStyle(kTestFollowing, further);
  m_controls.SetDefaultStyle(kTestPrevious, !further);
}

void TestView::OnKillActive() {
  m_controls.Show(kTestAreaTopLeft, true);
  m_controls.Show(kTestAreaBottomRight, true);
  m_timer.Stop();
}

}  // namespace kl
