// kltool joystick calibrate | testpage: the applet's calibration and test
// pages driven by a script. Every call a page makes into its ports is
// printed as it happens; lines starting with "# " are notes.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "applet/calibration.h"
#include "applet/page_recording.h"
#include "applet/test_view.h"
#include "tools/kltool/joystick_pages.h"
#include "tools/kltool/script_words.h"

namespace kl::tool {

void FailableJoystick::SetFailing(uint32_t number, bool failing) {
  if (failing) {
    m_failing.insert(number);
  } else {
    m_failing.erase(number);
  }
}

uint32_t FailableJoystick::GetPosEx(uint32_t id, JoyInfo& info) {
  if (m_failing.count(id)) return kJoyErrUnplugged;
  return m_inner.GetPosEx(id, info);
}

namespace {

constexpr uint64_t kMaxJoystickNumber = 15;
constexpr uint64_t kMaxTicks = 1000000;

// The pages as their dialog templates place them, in dialog units, turned
// into pixels with the base units of the dialog font: 6 x 13 for the usual
// 8-point font (the test page then takes its large layout), 5 x 11 for a
// smaller one (the small layout).
struct DialogUnits {
  int x;
  int y;
};
struct BaseUnits {
  int x;
  int y;
};
constexpr BaseUnits kLargeFont{6, 13};
constexpr BaseUnits kSmallFont{5, 11};

// MulDiv as the dialog manager rounds it.
int ToPixels(int units, int base, int divisor) {
  return (units * base + divisor / 2) / divisor;
}
Point ToPoint(DialogUnits du, BaseUnits base) {
  return Point{ToPixels(du.x, base.x, 4), ToPixels(du.y, base.y, 8)};
}
// A control's rectangle from its position and size in dialog units.
PageRect ToRect(DialogUnits at, DialogUnits size, BaseUnits base) {
  const Point topLeft = ToPoint(at, base);
  const Point bottomRight = ToPoint(DialogUnits{at.x + size.x, at.y + size.y}, base);
  return PageRect{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

CalibrationLayout CalibrationPageLayout() {
  return CalibrationLayout{ToPoint({14, 182}, kLargeFont), ToPoint({76, 182}, kLargeFont),
                           ToPoint({104, 182}, kLargeFont), ToPoint({134, 182}, kLargeFont)};
}

TestPageLayout TestPageLayoutFor(bool large) {
  const BaseUnits base = large ? kLargeFont : kSmallFont;
  TestPageLayout layout;
  const PageRect topLeft = ToRect({6, 69}, {1, 1}, base);
  const PageRect bottomRight = ToRect({273, 241}, {1, 1}, base);
  layout.pictureArea = PageRect{topLeft.left, topLeft.top, bottomRight.right, bottomRight.bottom};
  layout.xyCaption = ToRect({12, 150}, {40, 9}, base);
  layout.zCaption = ToRect({64, 150}, {20, 9}, base);
  layout.rCaption = ToRect({92, 150}, {20, 9}, base);
  layout.hatCaption = ToRect({124, 150}, {40, 9}, base);
  layout.buttonsCaption = ToRect({12, 166}, {180, 9}, base);
  return layout;
}

class PageWorld {
 public:
  PageWorld(PageKind kind, JoystickRegistry& joysticks, AppletState& state,
            FailableJoystick& failable, SimJoystick* sim)
      : m_kind(kind),
        m_canvas(m_log),
        m_controls(m_log),
        m_prompts(m_log),
        m_timers(m_log),
        m_joysticks(joysticks),
        m_state(state),
        m_failable(failable),
        m_sim(sim) {
    m_controls.SetRepaint([this] { Paint(); });
  }

  bool Run(const std::vector<std::string>& words, std::string& error);
  void Flush() {
    for (const std::string& line : m_log) std::printf("%s\n", line.c_str());
    m_log.clear();
  }

 private:
  bool Current(const std::vector<std::string>& words, std::string& error);
  bool State(const std::vector<std::string>& words, std::string& error);
  bool Press(const std::vector<std::string>& words, std::string& error);
  std::optional<uint32_t> Number(const std::vector<std::string>& words, std::string& error);
  void Create();
  void Activate();
  void Paint();
  void Tick();
  void Deactivate();

  PageKind m_kind;
  PageLog m_log;
  RecordingPageCanvas m_canvas;
  RecordingPageControls m_controls;
  ScriptedPagePrompts m_prompts;
  RecordingPageTimers m_timers;
  JoystickRegistry& m_joysticks;
  AppletState& m_state;
  FailableJoystick& m_failable;
  SimJoystick* m_sim;
  std::unique_ptr<Calibration> m_calibration;
  std::unique_ptr<TestView> m_test;
  bool m_large = true;
  bool m_active = false;
};

void PageWorld::Create() {
  if (m_calibration || m_test) return;
  if (m_kind == PageKind::kCalibration) {
    m_calibration =
        std::make_unique<Calibration>(CalibrationPorts{m_canvas, m_controls, m_prompts, m_timers,
                                                       m_joysticks, m_joysticks.Strings()},
                                      m_state);
    m_calibration->OnInitDialog(CalibrationPageLayout());
    return;
  }
  m_test = std::make_unique<TestView>(
      TestViewPorts{m_canvas, m_controls, m_prompts, m_timers, m_failable, m_joysticks.Strings()},
      m_state);
  m_test->OnInitDialog(TestPageLayoutFor(m_large));
  const Point origin = m_test->PictureOrigin();
  m_log.push_back("# " + std::string(m_test->LargeLayout() ? "large" : "small") +
                  " layout, picture origin " + std::to_string(origin.x) + "," +
                  std::to_string(origin.y));
}

void PageWorld::Activate() {
  Create();
  m_active = true;
  if (m_calibration) {
    m_calibration->OnSetActive();
  } else {
    m_test->OnSetActive();
  }
  Paint();
}

void PageWorld::Paint() {
  if (m_calibration) {
    m_calibration->OnPaint();
  } else {
    m_test->OnPaint();
  }
}

void PageWorld::Tick() {
  // A stopped timer sends no ticks.
  if (!m_timers.Running()) return;
  if (m_calibration) {
    m_calibration->OnTimer(kPageTimerId);
  } else {
    m_test->OnTimer(kPageTimerId);
  }
}

void PageWorld::Deactivate() {
  m_active = false;
  if (m_calibration) {
    m_calibration->OnKillActive();
  } else {
    m_test->OnKillActive();
  }
}

std::optional<uint32_t> PageWorld::Number(const std::vector<std::string>& words,
                                          std::string& error) {
  const std::optional<uint64_t> number =
      words.size() >= 2 ? ParseNumber(words[1], kMaxJoystickNumber) : std::nullopt;
  if (!number) {
    error = "usage: " + words[0] + " N (a multimedia joystick number 0 to 15)";
    return std::nullopt;
  }
  return static_cast<uint32_t>(*number);
}

bool PageWorld::Current(const std::vector<std::string>& words, std::string& error) {
  const std::optional<uint64_t> id =
      words.size() == 2 ? ParseNumber(words[1], kJoystickCount) : std::nullopt;
  if (!id || *id == 0) {
    error = "usage: current ID (a joystick id 1 to 16)";
    return false;
  }
  if (m_active) {
    error = "current is chosen while the page is not active (deactivate first)";
    return false;
  }
  m_state.currentId = static_cast<uint8_t>(*id);
  return true;
}

bool PageWorld::State(const std::vector<std::string>& words, std::string& error) {
  const std::optional<uint32_t> number = Number(words, error);
  if (!number) return false;
  SimJoystick::Device* device = m_sim ? m_sim->Find(*number) : nullptr;
  if (!device) {
    error = "joystick " + std::to_string(*number) +
            " is not a simulated joystick (name it with --answering)";
    return false;
  }
  return ApplyStateFields(words, 2,
                          {{"x", &JoyInfo::dwXpos},
                           {"y", &JoyInfo::dwYpos},
                           {"z", &JoyInfo::dwZpos},
                           {"r", &JoyInfo::dwRpos},
                           {"pov", &JoyInfo::dwPOV},
                           {"buttons", &JoyInfo::dwButtons}},
                          device->state, error);
}

bool PageWorld::Press(const std::vector<std::string>& words, std::string& error) {
  const bool calibration = m_kind == PageKind::kCalibration;
  const std::string which = words.size() == 2 ? words[1] : "";
  int control = 0;
  if (calibration) {
    control = which == "back"        ? kCalBack
              : which == "next"      ? kCalSkip
              : which == "previous"  ? kCalPrevious
              : which == "following" ? kCalFollowing
                                     : 0;
  } else {
    control = which == "previous" ? kTestPrevious : which == "following" ? kTestFollowing : 0;
  }
  if (control == 0) {
    error = calibration ? "usage: press back|next|previous|following"
                        : "usage: press previous|following";
    return false;
  }
  if (!m_active) {
    error = "the page is not active (activate it first)";
    return false;
  }
  if (!m_controls.IsEnabled(control)) {
    m_log.push_back("# " + std::to_string(control) + " is disabled");
    return true;
  }
  if (calibration) {
    if (control == kCalBack) m_calibration->OnBack();
    if (control == kCalSkip) m_calibration->OnSkip();
    if (control == kCalPrevious) m_calibration->OnPreviousJoystick();
    if (control == kCalFollowing) m_calibration->OnFollowingJoystick();
  } else if (control == kTestPrevious) {
    m_test->OnPreviousJoystick();
  } else {
    m_test->OnFollowingJoystick();
  }
  return true;
}

bool PageWorld::Run(const std::vector<std::string>& words, std::string& error) {
  const std::string& command = words[0];
  bool ok = true;
  if (command == "current") {
    ok = Current(words, error);
  } else if (command == "state") {
    ok = State(words, error);
  } else if (command == "fail" || command == "heal") {
    const std::optional<uint32_t> number = words.size() == 2 ? Number(words, error) : std::nullopt;
    if (!number) {
      error = "usage: " + command + " N (a multimedia joystick number 0 to 15)";
      return false;
    }
    m_failable.SetFailing(*number, command == "fail");
  } else if (command == "layout") {
    if (words.size() != 2 || (words[1] != "large" && words[1] != "small")) {
      error = "usage: layout large|small";
      return false;
    }
    if (m_calibration || m_test) {
      error = "layout is chosen before the page first opens";
      return false;
    }
    m_large = words[1] == "large";
  } else if (command == "answer") {
    if (words.size() != 2 || (words[1] != "retry" && words[1] != "cancel")) {
      error = "usage: answer retry|cancel";
      return false;
    }
    m_prompts.QueueAnswer(words[1] == "retry" ? kIdRetry : kIdCancel);
  } else if (command == "activate" || command == "paint" || command == "deactivate") {
    if (words.size() != 1) {
      error = "usage: " + command;
      return false;
    }
    const bool wantActive = command != "activate";
    if (m_active != wantActive) {
      error = wantActive ? "the page is not active (activate it first)" : "the page is active";
      return false;
    }
    if (command == "activate") Activate();
    if (command == "paint") Paint();
    if (command == "deactivate") Deactivate();
  } else if (command == "tick") {
    const std::optional<uint64_t> count = words.size() == 1   ? std::optional<uint64_t>(1)
                                          : words.size() == 2 ? ParseNumber(words[1], kMaxTicks)
                                                              : std::nullopt;
    if (!count) {
      error = "usage: tick [N] (N up to 1000000)";
      return false;
    }
    for (uint64_t i = 0; i < *count; ++i) Tick();
  } else if (command == "press") {
    ok = Press(words, error);
  } else {
    error = "unknown command: " + command;
    return false;
  }
  Flush();
  return ok;
}

}  // namespace

bool RunPageScript(PageKind kind, const std::optional<std::string>& scriptPath,
                   JoystickRegistry& joysticks, AppletState& state, FailableJoystick& failable,
                   SimJoystick* sim, std::string& error) {
  std::string script;
  if (!ReadScript(scriptPath, script, error)) return false;
  // A new simulated device rests centred on every axis.
  for (uint32_t number = 0; sim && number <= kMaxJoystickNumber; ++number) {
    if (SimJoystick::Device* device = sim->Find(number)) {
      device->state.dwZpos = device->state.dwRpos = kJoyCentre;
      device->state.dwUpos = device->state.dwVpos = kJoyCentre;
    }
  }
  PageWorld world(kind, joysticks, state, failable, sim);
  const bool ok = RunScriptText(
      "", scriptPath.value_or("-"), script,
      [&world](const std::string&) -> ScriptCommand {
        return [&world](const std::vector<std::string>& words, std::string& lineError) {
          return world.Run(words, lineError);
        };
      },
      [&world] { world.Flush(); }, [&world] { world.Flush(); }, error);
  std::fflush(stdout);
  return ok;
}

}  // namespace kl::tool
