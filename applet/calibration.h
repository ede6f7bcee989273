// The calibration page of the applet as a portable controller. It guides the
// user through the stages the joystick's hardware flags ask for (X/Y centre
// and range, Z, R, the four hat directions), polls the raw positions every
// 30 ms, shows them in small indicators, and on leaving the page (or when the
// sheet's OK or Apply keeps the page's work) stores what was captured into
// the joystick's configuration and writes the table. The page window turns
// its messages into these calls and implements the ports.
#pragma once

#include <array>
#include <cstdint>

#include "applet/applet_state.h"
#include "applet/joystick_registry.h"
#include "applet/page_ports.h"
#include "platform/joystick.h"
#include "platform/prompts.h"
#include "platform/strings.h"
#include "platform/timers.h"

namespace kl {

// Controls of the calibration page.
constexpr int kCalBack = 1060;
constexpr int kCalSkip = 1061;
constexpr int kCalPrevious = 1062;
constexpr int kCalFollowing = 1063;
constexpr int kCalIdLabel = 1065;
constexpr int kCalCountLabel = 1066;
constexpr int kCalDeviceLabel = 1067;
constexpr int kCalPrompt = 1069;
constexpr int kCalXyLabel = 1070;
constexpr int kCalZLabel = 1071;
constexpr int kCalRLabel = 1072;
constexpr int kCalHatLabel = 1073;

// Prompt strings of the stages.
constexpr uint32_t kStrCentrePrompt = 1;
constexpr uint32_t kStrRangePrompt = 2;
constexpr uint32_t kStrZPrompt = 3;
constexpr uint32_t kStrRPrompt = 4;
constexpr uint32_t kStrHatForwardPrompt = 5;
constexpr uint32_t kStrHatRightPrompt = 6;
constexpr uint32_t kStrHatBackwardPrompt = 7;
constexpr uint32_t kStrHatLeftPrompt = 8;
constexpr uint32_t kStrOwnDriver = 19;
constexpr uint32_t kStrCalibrationDone = 57354;
constexpr uint32_t kStrXyLabel = 57352;
constexpr uint32_t kStrZLabel = 57350;
constexpr uint32_t kStrRLabel = 57351;
constexpr uint32_t kStrHatLabel = 57353;

// Stages (the pending set) in the order they run.
constexpr uint8_t kStageXy = 0x1;
constexpr uint8_t kStageZ = 0x2;
constexpr uint8_t kStageR = 0x4;
constexpr uint8_t kStageHat = 0x8;

// Poll requests: everything, raw, and the calibration read of three or four axes.
constexpr uint32_t kCalPollPlain = 0x1FF;
constexpr uint32_t kCalPollRead3 = 0x401FF;
constexpr uint32_t kCalPollRead4 = 0x801FF;

// The axis the page reads for each calibrated axis, from the remapping bits.
enum class AxisSource : uint8_t { kX, kY, kZ, kR };
struct AxisSources {
  AxisSource x = AxisSource::kX;
  AxisSource y = AxisSource::kY;
  AxisSource z = AxisSource::kZ;
  AxisSource r = AxisSource::kR;
  AxisSource hat = AxisSource::kZ;
  bool operator==(const AxisSources&) const = default;
};
// Each axis looks at its own three remapping bits: exactly one of them picks
// another reading; none or several leave the axis its own (Z for the hat).
AxisSources AxisSourcesOf(uint32_t hardwareFlags);

// Where the page's labels sit, relative to the page: each indicator is
// placed from its label's top-left corner.
struct CalibrationLayout {
  Point xyLabel;
  Point zLabel;
  Point rLabel;
  Point hatLabel;
};

// The seams and ports the page works with, owned by the caller.
struct CalibrationPorts {
  PageCanvas& canvas;
  PageControls& controls;
  Prompts& prompts;
  Timers& timers;
  JoystickRegistry& joysticks;
  const StringSource& strings;
};

// Offset of the X/Y marker for one raw reading: 20 cells of 36 counts, 3
// pixels a cell; a reading in no cell keeps `last`; 1 or less becomes 2.
int CalibrationMarkerOffset(uint32_t raw, int last);
// Length of a Z or R bar for one raw reading: cells of 33 counts from 33.
int CalibrationBarLength(uint32_t raw);

class Calibration {
 public:
  Calibration(const CalibrationPorts& ports, AppletState& state);

  // Dialog start: the indicator rectangles from the labels.
  void OnInitDialog(const CalibrationLayout& layout);
  // The page becomes the active one.
  void OnSetActive();
  // The page is painted: this restarts the calibration of the current joystick.
  void OnPaint();
  void OnTimer(uint32_t id);
  void OnBack();
  void OnSkip();
  void OnPreviousJoystick();
  void OnFollowingJoystick();
  // The page is left: the timer stops and the captured stages are kept.
  void OnKillActive();
  // Stores the finished stages into the current joystick's configuration and
  // writes the table (the sheet's OK and Apply call this too). Nothing is
  // stored while no stage is finished or no joystick is chosen.
  void Commit();

  uint8_t Pending() const { return m_pending; }
  uint8_t Step() const { return m_step; }
  uint8_t Calibrated() const { return m_calibrated; }
  uint32_t PollFlags() const { return m_pollFlags; }
  bool TimerRunning() const { return m_timer.Running(); }

 private:
  // What the page captured, per calibrated axis X, Y, Z, R.
  enum Axis { kAxisX, kAxisY, kAxisZ, kAxisR, kAxisCount };

  const JoystickRecord* CurrentRecord() const;
  uint32_t HardwareFlags() const;
  void ResetCaptures();
  void TakeFirstReading();
  bool Poll(JoyInfo& info);
  void ShowPrompt(uint32_t stringId);
  uint32_t Reading(AxisSource source) const;
  bool Pressed() const;
  void Widen(Axis axis, uint32_t value);
  void MoveMarker();
  void WorkOnXy(bool pressed);
  void WorkOnBar(uint8_t stage, uint32_t prompt, Axis axis, bool pressed);
  void WorkOnHat(bool pressed);
  void ShowFinished();
  void RedoXy();
  void StepTo(uint32_t id, bool downwards);

  PageCanvas& m_canvas;
  PageControls& m_controls;
  Prompts& m_prompts;
  PageTimer m_timer;
  JoystickRegistry& m_joysticks;
  const StringSource& m_strings;
  AppletState& m_state;

  // Indicators, placed at dialog start.
  PageRect m_xyBox;
  PageRect m_zBar;
  PageRect m_rBar;
  PageRect m_hatBox;

  uint32_t m_pollFlags = kCalPollPlain;
  uint8_t m_pending = 0;
  uint8_t m_step = 0;
  uint8_t m_calibrated = 0;
  uint32_t m_centreX = 0;
  uint32_t m_centreY = 0;
  std::array<uint32_t, kAxisCount> m_min{};
  std::array<uint32_t, kAxisCount> m_max{};
  // Raw hat readings captured forward, right, backward, left.
  std::array<uint32_t, 4> m_hat{};
  int m_lastMarkerX = 0;
  int m_lastMarkerY = 0;
  int m_lastZBar = 0;
  int m_lastRBar = 0;
  JoyInfo m_previous{};
  JoyInfo m_current{};
};

}  // namespace kl
