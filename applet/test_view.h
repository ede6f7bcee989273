// The test page of the applet as a portable controller. It polls the current
// joystick every 30 ms and shows it live: the maker's pad as its own picture
// with the pressed buttons and the pressed direction lit, any other joystick
// as a generic view (an X/Y box with a marker, Z and R bars, the hat and one
// cell per button). The user steps between the answering joysticks. The page
// only reads; it changes no configuration. The page window turns its messages
// into these calls and implements the ports.
#pragma once

#include <cstdint>
#include <optional>

#include "applet/applet_state.h"
#include "applet/page_ports.h"
#include "layout_tables.h"
#include "platform/joystick.h"
#include "platform/prompts.h"
#include "platform/strings.h"
#include "platform/timers.h"

namespace kl {

// Controls of the test page.
constexpr int kTestPrevious = 1080;
constexpr int kTestFollowing = 1081;
constexpr int kTestIdLabel = 1083;
constexpr int kTestCountLabel = 1084;
constexpr int kTestDeviceLabel = 1085;
constexpr int kTestAreaTopLeft = 1086;
constexpr int kTestAreaBottomRight = 1087;
constexpr int kTestAxesCaption = 1088;
constexpr int kTestButtonsCaption = 1089;
constexpr int kTestXyCaption = 1090;
constexpr int kTestZCaption = 1091;
constexpr int kTestRCaption = 1092;
constexpr int kTestHatCaption = 1093;
constexpr int kTestPadCaption = 1094;

constexpr uint32_t kStrAxesCaption = 9;
constexpr uint32_t kStrButtonsCaption = 10;

// Where the page's placeholders sit, relative to the page.
struct TestPageLayout {
  PageRect pictureArea;  // from 1086's top-left corner to 1087's bottom-right
  PageRect xyCaption;
  PageRect zCaption;
  PageRect rCaption;
  PageRect hatCaption;
  PageRect buttonsCaption;
};

struct TestViewPorts {
  PageCanvas& canvas;
  PageControls& controls;
  Prompts& prompts;
  Timers& timers;
  Joystick& joystick;
  const StringSource& strings;
};

// A reading mapped through a calibration to 0..0xFFFF, centre at 0x8000.
uint32_t MapThroughCalibration(uint32_t value, uint32_t min, uint32_t centre, uint32_t max);
// Offset of the generic view's marker for a mapped value: 38 cells of 1771,
// offset cell + 7, and 7 for a value in no cell (a cell boundary).
int TestMarkerOffset(uint32_t mapped);
// Length of the Z (and R) bar for a calibrated value: cells of 3276 from 3276.
int TestBarLength(uint32_t value);
// The hat picture for a reading, or none for a reading that names no direction.
std::optional<int> TestHatPicture(uint32_t pov);
// The direction of the d-pad against the centre value: 0 at rest, 1 up, 2 down,
// 3 left, 4 right, 5 right-up, 6 right-down, 7 left-down, 8 left-up.
int DirectionRow(uint32_t x, uint32_t y);
// The picture a released button gets: the row's own one, or, where the row
// repeats its pressed picture, the released picture drawn beside it.
int ReleasedPicture(const layout::TestPadLayout& pad, const layout::ButtonOverlay& row);

class TestView {
 public:
  TestView(const TestViewPorts& ports, AppletState& state);

  // Dialog start: the layout from the picture area, the indicators from the captions.
  void OnInitDialog(const TestPageLayout& layout);
  void OnSetActive();
  void OnPaint();
  void OnTimer(uint32_t id);
  void OnPreviousJoystick();
  void OnFollowingJoystick();
  void OnKillActive();

  bool LargeLayout() const { return m_large; }
  Point PictureOrigin() const { return m_origin; }
  // 0 for the generic view, else 10 or 12: the pad model shown.
  uint8_t PadModel() const { return m_padModel; }
  bool TimerRunning() const { return m_timer.Running(); }

 private:
  const JoystickRecord* CurrentRecord() const;
  const layout::TestPadLayout& PadLayout() const;
  bool Poll(uint32_t flags, JoyInfo& info);
  void ShowIndicatorCaptions(bool shown);
  void DecideView();
  void PaintPad();
  void PaintGeneric(const JoystickRecord& record);
  PageRect ButtonCell(uint32_t index) const;
  uint32_t ButtonCount(const JoystickRecord& record) const;
  void DrawPadButtons(uint32_t now, uint32_t before);
  void DrawDirection(uint32_t x, uint32_t y);
  void DrawButtonCells(const JoystickRecord& record, uint32_t now, uint32_t before);
  void MoveMarker(const JoystickRecord& record);
  void DrawMarker(int x, int y);
  void StepTo(uint32_t id);

  PageCanvas& m_canvas;
  PageControls& m_controls;
  Prompts& m_prompts;
  PageTimer m_timer;
  Joystick& m_joystick;
  const StringSource& m_strings;
  AppletState& m_state;

  bool m_large = true;
  Point m_origin{0, 0};
  PageRect m_xyBox;
  PageRect m_zBar;
  PageRect m_rBar;
  PageRect m_hatBox;
  PageRect m_firstCell;

  uint8_t m_padModel = 0;
  // After a paint the next tick draws every indicator from its reading.
  bool m_redrawAll = false;
  int m_lastMarkerX = 0;
  int m_lastMarkerY = 0;
  int m_lastZBar = 0;
  int m_lastRBar = 0;
  JoyInfo m_previous{};
  JoyInfo m_current{};
};

}  // namespace kl
