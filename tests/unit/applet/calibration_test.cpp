// The calibration page: which stages run, how a button press moves them on,
// Back and Next, what leaving the page stores, and the page's failures.
#include "applet/calibration.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "page_fixture.h"

namespace kl::test {
namespace {

constexpr CalibrationLayout kLayout{{20, 300}, {110, 300}, {150, 300}, {200, 300}};
constexpr uint32_t kHasAll = kJoyHwsHasZ | kJoyHwsHasR | kJoyHwsHasPov;

struct SourceCase {
  uint32_t flags;
  AxisSources expected;
};

TEST(CalibrationAxisSources, EachAxisReadsFromItsOwnRemappingBits) {
  using enum AxisSource;
  const SourceCase cases[] = {
      {0, {kX, kY, kZ, kR, kZ}},           {0x80, {kY, kY, kZ, kR, kZ}},
      {0x100, {kR, kY, kZ, kR, kZ}},       {0x200, {kZ, kY, kZ, kR, kZ}},
      {0x180, {kX, kY, kZ, kR, kZ}},  // two bits of X: its own reading
      {0x400, {kX, kX, kZ, kR, kZ}},  // Y's bit does not move X
      {0x480, {kY, kX, kZ, kR, kZ}},  // X and Y swapped
      {0x800, {kX, kR, kZ, kR, kZ}},       {0x1000, {kX, kZ, kZ, kR, kZ}},
      {0x2000, {kX, kY, kX, kR, kZ}},      {0x4000, {kX, kY, kY, kR, kZ}},
      {0x8000, {kX, kY, kR, kR, kZ}},      {0x100000, {kX, kY, kZ, kX, kZ}},
      {0x200000, {kX, kY, kZ, kY, kZ}},    {0x400000, {kX, kY, kZ, kZ, kZ}},
      {0x10000, {kX, kY, kZ, kR, kX}},     {0x20000, {kX, kY, kZ, kR, kY}},
      {0x40000, {kX, kY, kZ, kR, kR}},     {0x30000, {kX, kY, kZ, kR, kZ}},
      {kJoyHwsHasR, {kX, kY, kZ, kR, kZ}},  // having R does not move the hat
  };
  for (const SourceCase& c : cases) {
    EXPECT_EQ(AxisSourcesOf(c.flags), c.expected) << std::hex << c.flags;
  }
}

TEST(CalibrationCells, MarkerOffsetsAndBarLengths) {
  struct MarkerCase {
    uint32_t raw;
    int last;
    int offset;
  };
  const MarkerCase markers[] = {
      {37, 0, 3},    {71, 0, 3},    {73, 0, 6},  {719, 0, 57}, {1, 9, 2},  // cell 0 becomes 2
      {36, 9, 9},    {72, 30, 30},  {0, 12, 12},  // boundaries keep the last
      {720, 24, 24}, {40000, 0, 2},               // beyond the cells
  };
  for (const MarkerCase& c : markers) {
    EXPECT_EQ(CalibrationMarkerOffset(c.raw, c.last), c.offset) << c.raw << " after " << c.last;
  }
  const std::pair<uint32_t, int> bars[] = {{0, 0},  {32, 0}, {33, 0},   {34, 4},  {65, 4},
                                           {66, 0}, {67, 8}, {659, 76}, {660, 0}, {65535, 0}};
  for (auto [raw, length] : bars) EXPECT_EQ(CalibrationBarLength(raw), length) << raw;
}

class CalibrationTest : public PageTest {
 protected:
  CalibrationTest() {
    controls.SetRepaint([this] { page.OnPaint(); });
  }
  void Open(uint32_t id) {
    state.currentId = static_cast<uint8_t>(id);
    page.OnInitDialog(kLayout);
    page.OnSetActive();
    page.OnPaint();
  }
  void Tick(int count = 1) {
    for (int i = 0; i < count; ++i) {
      if (timers.Running()) page.OnTimer(kPageTimerId);
    }
  }
  // A button goes down for one tick and up again for the next.
  void Press(uint32_t id, uint32_t buttons = 0x1) {
    Reading(id).dwButtons = buttons;
    Tick();
    Reading(id).dwButtons = 0;
    Tick();
  }
  void Move(uint32_t id, uint32_t x, uint32_t y, uint32_t z, uint32_t r) {
    JoyInfo& reading = Reading(id);
    reading.dwXpos = x;
    reading.dwYpos = y;
    reading.dwZpos = z;
    reading.dwRpos = r;
    Tick();
  }
  void FinishXy(uint32_t id) {
    Press(id);
    Press(id);
  }

  Calibration page{CalibrationPorts{canvas, controls, prompts, timers, spied, strings}, state};
};

TEST_F(CalibrationTest, PollFlagsFollowTheHardwareFlags) {
  const std::pair<uint32_t, uint32_t> cases[] = {
      {0, 0x1FF},
      {kJoyHwsHasZ, 0x1FF},
      {kJoyHwsHasPov, 0x401FF},
      {kJoyHwsHasR, 0x801FF},
      {kJoyHwsHasR | kJoyHwsHasPov, 0x801FF},
  };
  for (auto [flags, expected] : cases) {
    Configure(1, flags, 4);
    spy.requests.clear();
    Open(1);
    Tick();
    EXPECT_EQ(page.PollFlags(), expected) << std::hex << flags;
    ASSERT_EQ(spy.requests.size(), 2u);
    EXPECT_EQ(spy.requests[0], expected);
    EXPECT_EQ(spy.requests[1], expected);
    page.OnKillActive();
  }
}

TEST_F(CalibrationTest, ThePaintSetsUpTheStagesOfTheJoystick) {
  Configure(1, kHasAll, 4);
  Open(1);
  const auto lines = Take();
  for (const char* line :
       {"text 1065 \"Joystick 1\"", "text 1066 \"Joysticks answering: 0\"", "text 1067 \"Custom\"",
        "masked 210 211 60,30", "line 64,45 45,45 45,70", "masked 212 213 30,65",
        "string 1070 57352", "bitmap 221 20,240", "bitmap 225 41,261", "string 1071 57350",
        "bitmap 220 110,210", "string 1072 57351", "bitmap 220 150,210", "string 1073 57353",
        "hat 226", "enable 1061", "prompt 1", "timer start"}) {
    EXPECT_TRUE(Has(lines, line)) << line;
  }
  EXPECT_EQ(page.Pending(), kStageXy | kStageZ | kStageR | kStageHat);
}

TEST_F(CalibrationTest, AWholeCalibrationStoresEveryStage) {
  Configure(1, kHasAll, 4);
  Open(1);
  Move(1, 330, 340, 300, 300);
  Press(1);  // centre
  EXPECT_EQ(controls.StringOf(kCalPrompt), kStrRangePrompt);
  Move(1, 40, 50, 300, 300);
  Move(1, 690, 680, 300, 300);
  Press(1);  // range
  EXPECT_EQ(page.Calibrated(), kJoyIsCalXY);
  EXPECT_EQ(controls.StringOf(kCalPrompt), kStrZPrompt);
  Move(1, 690, 680, 35, 300);
  Move(1, 690, 680, 640, 300);
  Press(1);  // Z
  EXPECT_EQ(controls.StringOf(kCalPrompt), kStrRPrompt);
  Move(1, 690, 680, 640, 90);
  Move(1, 690, 680, 640, 510);
  Press(1);  // R
  EXPECT_EQ(controls.StringOf(kCalPrompt), kStrHatForwardPrompt);
  const uint32_t hat[] = {111, 222, 333, 444};  // forward, right, backward, left (read as Z)
  const uint32_t nextPrompt[] = {kStrHatRightPrompt, kStrHatBackwardPrompt, kStrHatLeftPrompt,
                                 kStrCalibrationDone};
  const std::string picture[] = {"hat 227", "hat 228", "hat 231", "hat 234"};
  for (int k = 0; k < 4; ++k) {
    Take();
    Move(1, 690, 680, hat[k], 510);
    EXPECT_TRUE(Has(Take(), picture[k])) << k;
    Press(1);
    EXPECT_EQ(controls.StringOf(kCalPrompt), nextPrompt[k]) << k;
  }
  EXPECT_EQ(page.Pending(), 0);
  EXPECT_FALSE(controls.IsEnabled(kCalSkip));
  EXPECT_TRUE(Has(log, "default 1060"));
  EXPECT_FALSE(Stored(1)) << "nothing is written before the page is left";

  Take();
  page.OnKillActive();
  const auto lines = Take();
  EXPECT_TRUE(Has(lines, "timer stop"));
  EXPECT_TRUE(Has(lines, "modified"));
  const std::optional<JOYREGHWCONFIG> stored = Stored(1);
  ASSERT_TRUE(stored);
  const JoyRange& range = stored->hwv.jrvHardware;
  EXPECT_EQ(range.jpCenter, (JoyPos{330, 340, (35 + 640) / 2, (90 + 510) / 2, 0, 0}));
  EXPECT_EQ(range.jpMin, (JoyPos{40, 50, 35, 90, 0, 0}));
  EXPECT_EQ(range.jpMax, (JoyPos{690, 680, 640, 510, 0, 0}));
  // Stored forward, backward, left, right.
  EXPECT_EQ(stored->hwv.dwPOVValues, (std::array<uint32_t, 4>{111, 333, 444, 222}));
  EXPECT_EQ(stored->hwv.dwCalFlags, 0x27u);
  EXPECT_EQ(stored->hws.dwFlags, kHasAll);
  EXPECT_EQ(state.working.At(1).config, *stored);
  EXPECT_EQ(joystick.ConfigChangedCount(), 1u);
}

TEST_F(CalibrationTest, SkippingXyAndFinishingZStoresOnlyZ) {
  JoystickRecord& record = Configure(1, kJoyHwsHasZ, 4);
  record.config.hwv.jrvHardware.jpMin = JoyPos{5, 6, 7, 0, 0, 0};
  record.config.hwv.jrvHardware.jpCenter = JoyPos{50, 60, 70, 0, 0, 0};
  record.config.hwv.dwCalFlags = kJoyIsCalXY | kJoyIsCalZ;
  state.applied = state.working;
  Open(1);
  Tick();
  page.OnSkip();
  EXPECT_TRUE(controls.IsEnabled(kCalBack));
  Move(1, 10, 10, 100, 0);
  Move(1, 10, 10, 200, 0);
  Press(1);
  page.OnKillActive();
  const std::optional<JOYREGHWCONFIG> stored = Stored(1);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->hwv.dwCalFlags, 0x2u);
  const JoyRange& range = stored->hwv.jrvHardware;
  EXPECT_EQ(range.jpMin, (JoyPos{5, 6, 100, 0, 0, 0}));
  EXPECT_EQ(range.jpCenter, (JoyPos{50, 60, 150, 0, 0, 0})) << "the middle of Z's range";
  EXPECT_EQ(range.jpMax, (JoyPos{0, 0, 200, 0, 0, 0}));
}

TEST_F(CalibrationTest, AButtonHeldAcrossStagesDoesNotFinishTheNextOne) {
  Configure(1, kJoyHwsHasZ | kJoyHwsHasR, 4);
  Open(1);
  Press(1);
  Reading(1).dwButtons = 0x1;
  Tick();  // the range is taken with button 1, which stays down
  ASSERT_EQ(page.Calibrated(), kJoyIsCalXY);
  Tick(5);
  EXPECT_EQ(page.Pending(), kStageZ | kStageR);
  Reading(1).dwButtons = 0x3;  // a second button goes down while the first is held
  Tick();
  EXPECT_EQ(page.Pending(), kStageR);
  Tick(3);
  EXPECT_EQ(page.Pending(), kStageR);
  Reading(1).dwButtons = 0;
  Tick();
  Press(1);
  EXPECT_EQ(page.Pending(), 0);
}

TEST_F(CalibrationTest, OnlyTheFirstTwelveButtonsAnswer) {
  Configure(1, 0, 16);
  Open(1);
  Press(1, 0x1000);
  Press(1, 0xF000);
  EXPECT_EQ(page.Step(), 0);
  Press(1, 0x800);
  EXPECT_EQ(page.Step(), 1);
}

TEST_F(CalibrationTest, LeavingWithoutAFinishedStageStoresNothing) {
  Configure(1, kHasAll, 4);
  Open(1);
  Press(1);  // centre taken, range not finished
  Take();
  page.OnKillActive();
  EXPECT_FALSE(Stored(1));
  EXPECT_EQ(joystick.ConfigChangedCount(), 0u);
  EXPECT_EQ(Take(), std::vector<std::string>{"timer stop"});
}

// Back from each stage: which stages are pending again and what the page says.
struct BackCase {
  const char* name;
  uint32_t flags;
  int finished;  // stages finished by pressing before Back (1 = X/Y)
  uint8_t pending;
  std::vector<std::string> lines;  // expected among Back's lines
  bool redoesXy;                   // Back disabled again, Next the default button
};

TEST_F(CalibrationTest, BackGoesBackOneStage) {
  const BackCase cases[] = {
      {"finished X/Y only", 0, 1, kStageXy, {"prompt 1"}, true},
      {"at Z", kJoyHwsHasZ, 1, kStageXy | kStageZ, {"prompt 1"}, false},
      {"at R with Z", kJoyHwsHasZ | kJoyHwsHasR, 2, kStageZ | kStageR, {}, false},
      {"at R without Z", kJoyHwsHasR, 1, kStageXy | kStageR, {"prompt 1"}, true},
      {"at the hat with R", kJoyHwsHasR | kJoyHwsHasPov, 2, kStageR | kStageHat, {}, false},
      {"at the hat with Z", kJoyHwsHasZ | kJoyHwsHasPov, 2, kStageZ | kStageHat, {}, false},
      {"at the hat alone", kJoyHwsHasPov, 1, kStageXy | kStageHat, {"prompt 1"}, true},
      {"finished with a hat", kJoyHwsHasZ | kJoyHwsHasPov, 3, kStageHat, {}, false},
      {"finished with R", kJoyHwsHasR, 2, kStageR, {}, false},
  };
  for (const BackCase& c : cases) {
    SCOPED_TRACE(c.name);
    Configure(1, c.flags, 4);
    Open(1);
    FinishXy(1);
    // Z and R take one press; the hat shows its prompt first, then takes four.
    for (int stage = 1; stage < c.finished; ++stage) {
      const bool hat = (page.Pending() & (kStageZ | kStageR)) == 0;
      for (int k = 0; k < (hat ? 5 : 1); ++k) Press(1);
    }
    Take();
    page.OnBack();
    const auto lines = Take();
    EXPECT_EQ(page.Pending(), c.pending);
    EXPECT_EQ(page.Step(), 0);
    EXPECT_TRUE(Has(lines, "enable 1061"));
    for (const std::string& line : c.lines) EXPECT_TRUE(Has(lines, line)) << line;
    EXPECT_EQ(Has(lines, "disable 1060"), c.redoesXy);
    EXPECT_EQ(Has(lines, "default 1061"), c.redoesXy);
    page.OnKillActive();
  }
}

TEST_F(CalibrationTest, BackAtXyStartsItAgainFromTheCentre) {
  Configure(1, kJoyHwsHasZ | kJoyHwsHasPov, 4);
  Open(1);
  FinishXy(1);
  Tick();
  page.OnBack();  // at Z: X/Y again
  Press(1);       // centre taken, the range prompt shows
  ASSERT_EQ(controls.StringOf(kCalPrompt), kStrRangePrompt);
  page.OnBack();
  EXPECT_EQ(page.Step(), 0);
  EXPECT_EQ(controls.StringOf(kCalPrompt), kStrCentrePrompt);
  EXPECT_EQ(page.Pending(), kStageXy | kStageZ | kStageHat);
}

TEST_F(CalibrationTest, JoysticksThatCannotBeCalibratedHereSaySo) {
  struct Case {
    const char* name;
    uint8_t status;
    const char* callout;
    uint8_t currentId;
    uint32_t prompt;
  };
  const Case cases[] = {
      {"own driver", kStatusAnswers, "oem.vxd", 1, kStrOwnDriver},
      {"unplugged", kStatusUnplugged, "", 1, kStrNotAnswering},
      {"failing", kStatusFailed, "", 1, kStrNotAnswering},
      {"not configured", kStatusAnswers, "", 2, kStrNotAnswering},
      {"no joystick chosen", kStatusAnswers, "", kNoJoystick, kStrNotAnswering},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    JoystickRecord& record = Configure(1, kHasAll, 4);
    record.status = c.status;
    record.oemCallout = c.callout;
    Take();
    Open(c.currentId);
    const auto lines = Take();
    EXPECT_TRUE(Has(lines, "prompt " + std::to_string(c.prompt)));
    EXPECT_FALSE(Has(lines, "prompt 1"));
    EXPECT_FALSE(timers.Running());
    EXPECT_EQ(page.Pending(), 0);
    page.OnKillActive();
    EXPECT_FALSE(Stored(1));
  }
}

TEST_F(CalibrationTest, APollingFailureAsksRetryOrCancel) {
  Configure(1, 0, 4);
  Open(1);
  Take();
  spy.refused.insert(kCalPollPlain);
  prompts.QueueAnswer(kIdRetry);
  Tick();
  EXPECT_EQ(Take(), (std::vector<std::string>{"timer stop", "message 12", "timer start"}));
  Tick();  // the default answer is Cancel
  EXPECT_EQ(Take(), (std::vector<std::string>{"timer stop", "message 12"}));
  EXPECT_FALSE(timers.Running());
  spy.refused.clear();
  page.OnPaint();
  EXPECT_TRUE(timers.Running()) << "a repaint starts the calibration again";
}

// A box whose opening repaints the page and lets the timer tick beneath it,
// as the window's message loop does while the box is up.
class RepaintingPrompts : public Prompts {
 public:
  explicit RepaintingPrompts(PageLog& log) : m_log(log) {}
  std::function<void()> whileOpen;
  int MessageBox(uint32_t stringId, uint32_t) override {
    m_log.push_back("message " + std::to_string(stringId));
    // Only the first box repaints beneath itself, so a fault shows as a second box.
    if (whileOpen) std::exchange(whileOpen, nullptr)();
    return kIdCancel;
  }
  std::optional<std::string> OpenFile(const OpenFileRequest&) override { return std::nullopt; }

 private:
  PageLog& m_log;
};

TEST_F(CalibrationTest, TicksUnderTheRetryBoxDoNotOpenAnother) {
  RepaintingPrompts repainting(log);
  Calibration boxed(CalibrationPorts{canvas, controls, repainting, timers, spied, strings}, state);
  Configure(1, 0, 4);
  state.currentId = 1;
  boxed.OnInitDialog(kLayout);
  boxed.OnSetActive();
  boxed.OnPaint();
  spy.refused.insert(kCalPollPlain);
  repainting.whileOpen = [&] {
    boxed.OnPaint();
    boxed.OnTimer(kPageTimerId);
    boxed.OnTimer(kPageTimerId);
  };
  Take();
  boxed.OnTimer(kPageTimerId);
  EXPECT_EQ(Count(Take(), "message "), 1u);
}

TEST_F(CalibrationTest, SteppingBetweenJoysticksKeepsEachOnesCalibration) {
  Configure(1, 0, 4);
  Configure(3, 0, 4);
  Configure(5, 0, 4);
  Configure(4, 0, 4).status = kStatusUnplugged;
  state.applied = state.working;
  Open(3);
  EXPECT_TRUE(controls.IsEnabled(kCalPrevious));
  EXPECT_TRUE(controls.IsEnabled(kCalFollowing));
  Move(3, 100, 100, 0, 0);
  FinishXy(3);
  Take();
  page.OnFollowingJoystick();
  auto lines = Take();
  EXPECT_EQ(state.currentId, 5);
  EXPECT_TRUE(Has(lines, "repaint"));
  EXPECT_TRUE(Has(lines, "text 1065 \"Joystick 5\""));
  EXPECT_TRUE(Has(lines, "modified"));
  EXPECT_TRUE(Has(lines, "disable 1063"));
  EXPECT_TRUE(Has(lines, "default 1062"));
  EXPECT_EQ(page.Calibrated(), 0) << "the new joystick starts afresh";
  ASSERT_TRUE(Stored(3));
  EXPECT_EQ(Stored(3)->hwv.dwCalFlags, kJoyIsCalXY);
  EXPECT_EQ(Stored(3)->hwv.jrvHardware.jpCenter.dwX, 100u);

  page.OnPreviousJoystick();  // 4 does not answer
  EXPECT_EQ(state.currentId, 3);
  page.OnPreviousJoystick();
  lines = Take();
  EXPECT_EQ(state.currentId, 1);
  EXPECT_TRUE(Has(lines, "disable 1062"));
  EXPECT_TRUE(Has(lines, "default 1063"));
  page.OnPreviousJoystick();  // nothing below 1: nothing changes
  EXPECT_EQ(state.currentId, 1);
  EXPECT_TRUE(Take().empty());
  page.OnKillActive();
  EXPECT_EQ(Stored(5)->hwv.dwCalFlags, 0u);
  EXPECT_EQ(Stored(1)->hwv.dwCalFlags, 0u);
}

TEST_F(CalibrationTest, OkAndApplyKeepTheCalibration) {
  Configure(1, 0, 4);
  Open(1);
  Move(1, 200, 210, 0, 0);
  FinishXy(1);
  // Apply: the page keeps its work, then the sheet saves and takes its snapshot.
  page.Commit();
  ApplySheet(spied, state);
  EXPECT_EQ(Stored(1)->hwv.dwCalFlags, kJoyIsCalXY);
  Take();
  page.Commit();
  EXPECT_FALSE(Has(Take(), "modified")) << "nothing changed since Apply";
  // OK: the page keeps its work before the sheet forgets the current joystick.
  page.Commit();
  OkSheet(spied, state);
  page.OnKillActive();
  EXPECT_EQ(state.currentId, 0);
  EXPECT_EQ(Stored(1)->hwv.jrvHardware.jpCenter.dwX, 200u);
  EXPECT_EQ(Stored(1)->hwv.dwCalFlags, kJoyIsCalXY);
}

}  // namespace
}  // namespace kl::test
