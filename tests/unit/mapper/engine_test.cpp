// The mapping engine against a simulated pad, with the recorded input
// transcript as the expectation.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "gamepad/pads.h"
#include "mapper/engine.h"
#include "mapper/play_table.h"
#include "platform/sim/recording_input.h"
#include "platform/sim/sim_joystick.h"
#include "platform/sim/sim_registry.h"

namespace kl {
namespace {

using Lines = std::vector<std::string>;

// Steps with their US scan codes.
struct Key {
  uint8_t vk;
  uint8_t scan;
};
constexpr Key kCtrl{0x11, 0x1d};
constexpr Key kShift{0x10, 0x2a};
constexpr Key kA{0x41, 0x1e};
constexpr Key kB{0x42, 0x30};
constexpr Key kC{0x43, 0x2e};
constexpr Key kUpArrow{0x26, 0x48};
constexpr Key kDownArrow{0x28, 0x50};
constexpr Key kLeftArrow{0x25, 0x4b};
constexpr Key kRightArrow{0x27, 0x4d};
constexpr Key kSep{0xFF, 0x00};

std::string Down(Key k) {
  char line[40];
  std::snprintf(line, sizeof(line), "key down vk=0x%02x scan=0x%02x", k.vk, k.scan);
  return line;
}
std::string Up(Key k) {
  char line[40];
  std::snprintf(line, sizeof(line), "key up vk=0x%02x scan=0x%02x", k.vk, k.scan);
  return line;
}
std::string Mouse(uint32_t flags, int dx = 0, int dy = 0) {
  char line[60];
  std::snprintf(line, sizeof(line), "mouse flags=0x%04x dx=%d dy=%d", flags, dx, dy);
  return line;
}
std::string Sleep(uint32_t ms) {
  return "sleep " + std::to_string(ms);
}

constexpr uint32_t kCentre = 32668;
constexpr uint32_t kLow = 0;
constexpr uint32_t kHigh = 65535;

// One pad with twelve buttons at joystick id 3, in pad slot 0, and a play
// table of sixteen entries with nothing assigned.
struct EngineWorld {
  EngineWorld() {
    m_joystick.Plug(3).caps.wNumButtons = 12;
    m_pads.Slots()[0] = PadSlot{3, 12, 0};
    m_table.entryCount[0] = 16;
  }

  void Assign(size_t input, uint8_t mode, bool repeat, std::vector<Key> steps, size_t slot = 0) {
    m_table.modes[slot][input] = mode;
    m_table.repeat[slot][input] = repeat;
    for (Key k : steps) ASSERT_TRUE(m_table.Append(slot, input, k.vk, k.scan));
    // A cycle list starts with a separator; its cursor is the step after it.
    if (mode == kModeCycle && m_table.lists[slot][input]) {
      m_table.cursors[slot][input] = m_table.lists[slot][input]->next;
    }
  }

  void Set(uint32_t x, uint32_t y, uint32_t buttons, uint32_t id = 3) {
    JoyInfo& state = m_joystick.Find(id)->state;
    state.dwXpos = x;
    state.dwYpos = y;
    state.dwButtons = buttons;
  }

  Lines Take() {
    Lines lines;
    std::istringstream in(m_input.Transcript());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    m_input.Clear();
    return lines;
  }

  // One poll with the pad reading (x, y, buttons); the lines it sent.
  Lines Poll(uint32_t x, uint32_t y, uint32_t buttons) {
    Set(x, y, buttons);
    m_engine.PlayPad(0);
    return Take();
  }

  SimJoystick m_joystick;
  SimRegistry m_registry;
  RecordingInput m_input;
  PadAccess m_pads{m_joystick, m_registry};
  PlayTable m_table;
  Engine m_engine{m_input, m_pads, m_table};
};

class EngineTest : public ::testing::Test, public EngineWorld {};

struct PollCase {
  uint32_t x, y, buttons;
  Lines expected;
};

struct Scenario {
  const char* name;
  std::function<void(EngineWorld&)> setup;
  std::vector<PollCase> polls;
};

TEST(EngineScenarios, PlaysEachPollAsTheTableSays) {
  const Lines none;
  const Lines ctrlCDown = {Down(kCtrl), Down(kC)};
  const Lines ctrlCUp = {Up(kCtrl), Up(kC)};
  const std::vector<Scenario> scenarios = {
      {"Y jumps from Up to Down: Up released before Down pressed",
       [](EngineWorld& t) {
         t.Assign(kInputUp, kModeKey, false, {kUpArrow});
         t.Assign(kInputDown, kModeKey, false, {kDownArrow});
       },
       {{kCentre, kLow, 0, {Down(kUpArrow)}},
        {kCentre, kLow, 0, none},
        {kCentre, kHigh, 0, {Up(kUpArrow), Down(kDownArrow)}}}},
      {"an exactly centred reading releases and presses nothing",
       [](EngineWorld& t) { t.Assign(kInputRight, kModeKey, false, {kRightArrow}); },
       {{40000, kCentre, 0, {Down(kRightArrow)}},
        {kCentre, kCentre, 0, {Up(kRightArrow)}},
        {kCentre, kCentre, 0, none}}},
      {"a move inside a zone counts as a change",
       [](EngineWorld& t) { t.Assign(kInputRight, kModeKey, false, {kRightArrow}); },
       {{40000, kCentre, 0, {Down(kRightArrow)}},
        {40000, kCentre, 0, none},
        {50000, kCentre, 0, {Up(kRightArrow), Down(kRightArrow)}}}},
      {"key mode button held for several polls: one down, one up",
       [](EngineWorld& t) {
         t.Assign(4, kModeKey, false, {kCtrl, kC});
       },
       {{kCentre, kCentre, 0, none},
        {kCentre, kCentre, 1, ctrlCDown},
        {kCentre, kCentre, 1, none},
        {kCentre, kCentre, 1, none},
        {kCentre, kCentre, 0, ctrlCUp},
        {kCentre, kCentre, 0, none}}},
      {"repeating key mode on a direction: ups then downs every poll",
       [](EngineWorld& t) {
         t.Assign(kInputLeft, kModeKey, true, {kCtrl, kLeftArrow});
       },
       {{kLow, kCentre, 0, {Down(kCtrl), Down(kLeftArrow)}},
        {kLow, kCentre, 0, {Up(kCtrl), Up(kLeftArrow), Down(kCtrl), Down(kLeftArrow)}},
        {kCentre, kCentre, 0, {Up(kCtrl), Up(kLeftArrow)}}}},
      {"repeating key mode on a button: a tap every poll, no extra up at release",
       [](EngineWorld& t) { t.Assign(5, kModeKey, true, {kA}); },
       {{kCentre, kCentre, 2, {Down(kA), Sleep(5), Up(kA)}},
        {kCentre, kCentre, 2, {Down(kA), Sleep(5), Up(kA)}},
        {kCentre, kCentre, 0, {Up(kA)}},
        {kCentre, kCentre, 0, none}}},
      {"holding one button while another goes down and up",
       [](EngineWorld& t) {
         t.Assign(4, kModeKey, false, {kA});
         t.Assign(6, kModeKey, false, {kB});
       },
       {{kCentre, kCentre, 0x1, {Down(kA)}},
        {kCentre, kCentre, 0x5, {Down(kB)}},
        {kCentre, kCentre, 0x1, {Up(kB)}},
        {kCentre, kCentre, 0x0, {Up(kA)}}}},
      {"sequence mode taps every step in turn, once per press",
       [](EngineWorld& t) {
         t.Assign(4, kModeSequence, false, {kCtrl, kC});
       },
       {{kCentre, kCentre, 1, {Down(kCtrl), Sleep(5), Up(kCtrl), Down(kC), Sleep(5), Up(kC)}},
        {kCentre, kCentre, 1, none},
        {kCentre, kCentre, 0, none}}},
      {"repeating sequence mode taps on every poll it is held",
       [](EngineWorld& t) { t.Assign(kInputDown, kModeSequence, true, {kB}); },
       {{kCentre, kHigh, 0, {Down(kB), Sleep(5), Up(kB)}},
        {kCentre, kHigh, 0, {Down(kB), Sleep(5), Up(kB)}},
        {kCentre, kCentre, 0, none}}},
      {"cycle mode plays one group per press and comes round again",
       [](EngineWorld& t) {
         t.Assign(4, kModeCycle, false, {kSep, kA, kSep, kB, kSep, kC, kSep});
       },
       {{kCentre, kCentre, 1, {Down(kA), Sleep(10), Up(kA)}},
        {kCentre, kCentre, 1, none},
        {kCentre, kCentre, 0, none},
        {kCentre, kCentre, 1, {Down(kB), Sleep(10), Up(kB)}},
        {kCentre, kCentre, 0, none},
        {kCentre, kCentre, 1, {Down(kC), Sleep(10), Up(kC)}},
        {kCentre, kCentre, 0, none},
        {kCentre, kCentre, 1, {Down(kA), Sleep(10), Up(kA)}}}},
      {"a cycle group of several steps goes down together and up in the same order",
       [](EngineWorld& t) {
         t.Assign(kInputUp, kModeCycle, false, {kSep, kCtrl, kC, kSep, kShift, kA, kSep});
       },
       {{kCentre, kLow, 0, {Down(kCtrl), Down(kC), Sleep(10), Up(kCtrl), Up(kC)}},
        {kCentre, kCentre, 0, none},
        {kCentre, kLow, 0, {Down(kShift), Down(kA), Sleep(10), Up(kShift), Up(kA)}},
        {kCentre, kCentre, 0, none},
        {kCentre, kLow, 0, {Down(kCtrl), Down(kC), Sleep(10), Up(kCtrl), Up(kC)}}}},
      {"empty cycle groups are passed over",
       [](EngineWorld& t) {
         t.Assign(4, kModeCycle, false, {kSep, kA, kSep, kSep, kB, kSep, kSep});
       },
       {{kCentre, kCentre, 1, {Down(kA), Sleep(10), Up(kA)}},
        {kCentre, kCentre, 0, none},
        {kCentre, kCentre, 1, {Down(kB), Sleep(10), Up(kB)}},
        {kCentre, kCentre, 0, none},
        {kCentre, kCentre, 1, {Down(kA), Sleep(10), Up(kA)}}}},
      {"a cycle list of separators only plays nothing",
       [](EngineWorld& t) {
         t.Assign(4, kModeCycle, false, {kSep, kSep, kSep});
       },
       {{kCentre, kCentre, 1, none}, {kCentre, kCentre, 0, none}, {kCentre, kCentre, 1, none}}},
      {"a cycle list with no keys has no cursor and plays nothing",
       [](EngineWorld& t) { t.Assign(4, kModeCycle, false, {kSep}); },
       {{kCentre, kCentre, 1, none}}},
      {"pointer right accelerates while held and starts again after release",
       [](EngineWorld& t) {
         t.Assign(kInputRight, kModeMouse, false, {{kMouseActionRightward, 0}});
       },
       {{kHigh, kCentre, 0, {Mouse(kMouseMove, 2, 0)}},
        {kHigh, kCentre, 0, {Mouse(kMouseMove, 3, 0)}},
        {kHigh, kCentre, 0, {Mouse(kMouseMove, 4, 0)}},
        {kCentre, kCentre, 0, none},
        {kHigh, kCentre, 0, {Mouse(kMouseMove, 2, 0)}}}},
      {"up and down share one counter",
       [](EngineWorld& t) {
         t.Assign(kInputUp, kModeMouse, false, {{kMouseActionUp, 0}});
         t.Assign(kInputDown, kModeMouse, false, {{kMouseActionDown, 0}});
       },
       {{kCentre, kLow, 0, {Mouse(kMouseMove, 0, -2)}},
        {kCentre, kLow, 0, {Mouse(kMouseMove, 0, -3)}},
        {kCentre, kHigh, 0, {Mouse(kMouseMove, 0, 2)}}}},
      {"a mouse button on a pad button: down at the press, up at the release",
       [](EngineWorld& t) {
         t.Assign(4, kModeMouse, false, {{kMouseActionLeft, 0}});
       },
       {{kCentre, kCentre, 1, {Mouse(kMouseLeftDown)}},
        {kCentre, kCentre, 1, none},
        {kCentre, kCentre, 1, none},
        {kCentre, kCentre, 0, {Mouse(kMouseLeftUp)}},
        {kCentre, kCentre, 0, none}}},
      {"a pointer move on a pad button moves once per press",
       [](EngineWorld& t) {
         t.Assign(7, kModeMouse, false, {{kMouseActionLeftward, 0}});
       },
       {{kCentre, kCentre, 8, {Mouse(kMouseMove, -2, 0)}},
        {kCentre, kCentre, 8, none},
        {kCentre, kCentre, 0, none},
        {kCentre, kCentre, 8, {Mouse(kMouseMove, -2, 0)}}}},
      {"a mouse button on a direction goes down again every poll",
       [](EngineWorld& t) {
         t.Assign(kInputDown, kModeMouse, false, {{kMouseActionRight, 0}});
       },
       {{kCentre, kHigh, 0, {Mouse(kMouseRightDown)}},
        {kCentre, kHigh, 0, {Mouse(kMouseRightDown)}},
        {kCentre, kCentre, 0, {Mouse(kMouseRightUp)}}}},
      {"unknown mouse codes and unknown modes send nothing",
       [](EngineWorld& t) {
         t.Assign(4, kModeMouse, false, {{3, 0}});
         t.Assign(5, 7, false, {kA});
         t.Assign(6, kModeUnassigned, false, {kB});
       },
       {{kCentre, kCentre, 7, none}, {kCentre, kCentre, 0, none}}},
      {"an input without steps sends nothing in any mode",
       [](EngineWorld& t) {
         t.Assign(4, kModeKey, true, {});
         t.Assign(5, kModeSequence, true, {});
         t.Assign(6, kModeMouse, false, {});
         t.Assign(kInputLeft, kModeKey, true, {});
       },
       {{kLow, kCentre, 7, none}, {kLow, kCentre, 7, none}, {kCentre, kCentre, 0, none}}},
      {"buttons beyond the entries of the pad block are never played",
       [](EngineWorld& t) {
         t.m_table.entryCount[0] = 14;
         t.Assign(13, kModeKey, false, {kA});
         t.Assign(14, kModeKey, false, {kB});
         t.Assign(15, kModeKey, false, {kC});
       },
       {{kCentre, kCentre, 0xE00, {Down(kA)}}, {kCentre, kCentre, 0, {Up(kA)}}}},
      {"buttons beyond the pad's own button count are never played",
       [](EngineWorld& t) {
         t.m_pads.Slots()[0].buttonCount = 10;
         t.Assign(13, kModeKey, false, {kA});
         t.Assign(14, kModeKey, false, {kB});
       },
       {{kCentre, kCentre, 0x600, {Down(kA)}}}},
      {"buttons first, then X, then Y",
       [](EngineWorld& t) {
         t.Assign(kInputUp, kModeKey, false, {kUpArrow});
         t.Assign(kInputRight, kModeKey, false, {kRightArrow});
         t.Assign(4, kModeKey, false, {kA});
         t.Assign(9, kModeKey, false, {kB});
       },
       {{kHigh, kLow, 0x21, {Down(kA), Down(kB), Down(kRightArrow), Down(kUpArrow)}}}},
  };

  for (const Scenario& s : scenarios) {
    SCOPED_TRACE(s.name);
    EngineWorld t;
    // Start from a centred pad so the first poll of each case shows only its own change.
    t.Poll(kCentre, kCentre, 0);
    s.setup(t);
    for (size_t i = 0; i < s.polls.size(); ++i) {
      SCOPED_TRACE("poll " + std::to_string(i + 1));
      const PollCase& p = s.polls[i];
      EXPECT_EQ(t.Poll(p.x, p.y, p.buttons), p.expected);
    }
  }
}

TEST_F(EngineTest, FirstPollComparesWithZeroReadings) {
  Assign(kInputUp, kModeKey, false, {kUpArrow});
  Assign(kInputLeft, kModeKey, false, {kLeftArrow});
  Assign(kInputDown, kModeKey, false, {kDownArrow});
  EXPECT_EQ(Poll(kCentre, kCentre, 0), (Lines{Up(kLeftArrow), Up(kUpArrow)}));
  EXPECT_EQ(Poll(kCentre, kCentre, 0), Lines{});
}

TEST_F(EngineTest, FailedReadSkipsThePollAndKeepsTheLastGoodReading) {
  Assign(4, kModeKey, false, {kA});
  Poll(kCentre, kCentre, 0);
  EXPECT_EQ(Poll(kCentre, kCentre, 1), Lines{Down(kA)});
  m_joystick.Unplug(3);
  EXPECT_EQ(Poll(kCentre, kCentre, 0), Lines{});
  EXPECT_EQ(m_engine.Current(0).buttons, 1u);
  m_joystick.Plug(3);
  EXPECT_EQ(Poll(kCentre, kCentre, 1), Lines{});
  EXPECT_EQ(Poll(kCentre, kCentre, 0), Lines{Up(kA)});
}

TEST_F(EngineTest, SlotsPlayTheirOwnPadAndTable) {
  m_joystick.Plug(5).caps.wNumButtons = 10;
  m_pads.Slots()[1] = PadSlot{5, 10, 0};
  m_table.entryCount[1] = 14;
  Assign(4, kModeKey, false, {kA}, 0);
  Assign(4, kModeKey, false, {kB}, 1);
  Poll(kCentre, kCentre, 0);
  Set(kCentre, kCentre, 0, 5);
  m_engine.PlayPad(1);
  Take();

  Set(kCentre, kCentre, 1, 5);
  m_engine.PlayPad(0);
  m_engine.PlayPad(1);
  EXPECT_EQ(Take(), Lines{Down(kB)});
  m_engine.PlayPad(4);
  EXPECT_EQ(Take(), Lines{});
}

TEST_F(EngineTest, MouseEventsCarryTheMessageExtraInfo) {
  m_input.SetExtraInfo(0x5150);
  Assign(4, kModeMouse, false, {{kMouseActionMiddle, 0}});
  Assign(kInputUp, kModeMouse, false, {{kMouseActionUp, 0}});
  Poll(kCentre, kCentre, 0);
  for (uint32_t y : {kLow, kCentre}) {
    Set(kCentre, y, y == kLow ? 1 : 0);
    m_engine.PlayPad(0);
  }
  ASSERT_EQ(m_input.Events().size(), 3u);
  m_engine.MouseAction(kMouseActionMiddle, true);
  for (const InputEvent& e : m_input.Events()) {
    EXPECT_EQ(e.kind, InputEvent::Kind::kMouse);
    EXPECT_EQ(e.extra, 0x5150u);
  }
  m_input.Clear();
  Assign(5, kModeKey, false, {kA});
  Set(kCentre, kCentre, 2);
  m_engine.PlayPad(0);
  ASSERT_EQ(m_input.Events().size(), 1u);
  EXPECT_EQ(m_input.Events()[0].extra, 0u);
}

TEST_F(EngineTest, PrimitivesSendSeparatorsLikeAnyStep) {
  Assign(4, kModeKey, false, {kA, kSep, kB});
  const PlayStep* list = m_table.lists[0][4];
  m_engine.PressAll(list);
  EXPECT_EQ(Take(), (Lines{Down(kA), Down(kSep), Down(kB)}));
  m_engine.ReleaseAll(list);
  EXPECT_EQ(Take(), (Lines{Up(kA), Up(kSep), Up(kB)}));
  m_engine.TapAll(list);
  EXPECT_EQ(Take(), (Lines{Down(kA), Sleep(5), Up(kA), Down(kSep), Sleep(5), Up(kSep), Down(kB),
                           Sleep(5), Up(kB)}));
}

TEST_F(EngineTest, ReleaseHeldLetsGoOfEverythingStillDownInTheOrderItWentDown) {
  Assign(4, kModeKey, false, {kCtrl, kC});
  Assign(5, kModeKey, false, {kShift});
  Assign(6, kModeMouse, false, {{kMouseActionRight, 0}});
  Assign(7, kModeKey, false, {kA});
  Assign(kInputUp, kModeKey, false, {kUpArrow});
  Poll(kCentre, kCentre, 0);
  Poll(kCentre, kCentre, 0x2);  // Shift
  Poll(kCentre, kLow, 0x6);     // right button, Up
  Poll(kCentre, kLow, 0xF);     // Ctrl C, A
  Poll(kCentre, kLow, 0x7);     // A up again
  m_engine.ReleaseHeld();
  EXPECT_EQ(Take(), (Lines{Up(kShift), Mouse(kMouseRightUp), Up(kUpArrow), Up(kCtrl), Up(kC)}));
  m_engine.ReleaseHeld();
  EXPECT_EQ(Take(), Lines{});
}

TEST_F(EngineTest, ReleaseHeldForgetsKeysAlreadyReleasedAndPressedTwice) {
  Assign(kInputLeft, kModeMouse, false, {{kMouseActionLeft, 0}});
  Assign(4, kModeKey, false, {kA});
  Assign(5, kModeKey, false, {kA});
  Poll(kCentre, kCentre, 0);
  Poll(kLow, kCentre, 0x3);  // A down twice, left button down
  Poll(kLow, kCentre, 0x3);  // left button down again
  Take();
  m_engine.ReleaseHeld();
  EXPECT_EQ(Take(), (Lines{Up(kA), Mouse(kMouseLeftUp)}));
}

}  // namespace
}  // namespace kl
