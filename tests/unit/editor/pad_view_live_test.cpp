// The view's timers: live feedback from the real pad, re-counting pads, the
// watch timer and the logo; tooltips, the assignment table and the import of
// key files copied into the folder.
#include <fstream>

#include "tests/unit/editor/view_fixture.h"

namespace kl {
namespace {

class LiveTest : public test::PadViewTest {
 protected:
  void State(uint32_t x, uint32_t y, uint32_t buttons) {
    JoyInfo& state = m_joystick.Find(0)->state;
    state.dwXpos = x;
    state.dwYpos = y;
    state.dwButtons = buttons;
  }
  void Tick() { m_view->OnTimer(kTimerPoll); }
  size_t Count(const std::string& line) const {
    return static_cast<size_t>(std::count(m_log.begin(), m_log.end(), line));
  }
  // Writes a file of raw bytes into the key-file folder.
  void WriteFile(const std::string& name, const std::string& bytes) {
    std::ofstream(m_root + "/" + name, std::ios::binary) << bytes;
  }
  static constexpr uint32_t kC = kJoyCentre;
};

TEST_F(LiveTest, PressesSelectReleasesAndHoldsDoNot) {
  struct Reading {
    uint32_t x, y, buttons;
  };
  struct Case {
    const char* name;
    std::vector<Reading> readings;  // one poll each
    uint8_t selected;
    size_t pressedDrawn;  // how often the selected input's pressed picture was drawn
  };
  const Case cases[] = {
      {"up held for three polls", {{kC, 0, 0}, {kC, 0, 0}, {kC, 0, 0}}, 0, 1},
      {"down, then centred", {{kC, 65535, 0}, {kC, kC, 0}}, 1, 1},
      {"left", {{0, kC, 0}}, 2, 1},
      {"right", {{65535, kC, 0}}, 3, 1},
      {"two buttons at once: the higher wins", {{kC, kC, 0x3}}, 5, 1},
      {"releasing one of two held buttons", {{kC, kC, 0x1}, {kC, kC, 0x3}, {kC, kC, 0x2}}, 5, 1},
      {"a button bit the model does not have", {{kC, kC, 0x400}}, kNone, 0},
  };
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    m_joystick = SimJoystick();
    LiveTest::StartLoaded();
    for (const Reading& r : c.readings) {
      State(r.x, r.y, r.buttons);
      Tick();
    }
    EXPECT_EQ(m_view->SelectedInput(), c.selected) << c.name;
    if (c.selected != kNone) {
      const layout::Rect& r = layout::kModel10.picture[c.selected];
      char line[64];
      std::snprintf(line, sizeof line, "bitmap %d %d,%d,%d,%d", 411 + c.selected, r.left, r.top,
                    r.right, r.bottom);
      EXPECT_EQ(Count(line), c.pressedDrawn) << c.name;
    }
  }
}

TEST_F(LiveTest, OnlyPressesRecordReferences) {
  StartLoaded();
  Select(4);
  Click(330, 360);  // sequence mode 1
  Click(150, 312);  // record
  const struct {
    uint32_t y, buttons;
  } polls[] = {
      {0, 0},     // up: a reference
      {0, 0},     // up held
      {kC, 0},    // centred
      {kC, 0x4},  // button 3: a reference
      {kC, 0x6},  // button 2 joins: a reference
      {kC, 0x2},  // button 3 let go while button 2 is held
      {kC, 0x0},  //
      {kC, 0x8},  // button 4: a reference
  };
  for (const auto& p : polls) {
    State(kC, p.y, p.buttons);
    Tick();
  }
  // Polls that fail leave the last two readings: they must not count again.
  m_flaky.FailEverySecondPoll(true);  // the pad answers the count, not the poll
  Tick();
  Tick();
  m_flaky.FailEverySecondPoll(false);
  Click(190, 312);  // stop
  ASSERT_NE(Entry(4), nullptr);
  EXPECT_EQ(Entry(4)->keys,
            (std::vector<KeyStroke>{
                {0x80, 0}, {0, 0}, {0x80, 6}, {0, 0}, {0x80, 5}, {0, 0}, {0x80, 7}, {0, 0}}));
}

TEST_F(LiveTest, UnplugAndPlugRebuildAndReload) {
  StartLoaded();
  Select(4);
  Tap(65);
  ASSERT_EQ(m_view->DirtyState(), 1);
  m_joystick.Unplug(0);
  m_prompts.QueueAnswer("no");
  m_log.clear();
  Tick();
  EXPECT_EQ(m_view->PadCount(), 0);
  EXPECT_TRUE(Logged("prompt 61241"));
  EXPECT_EQ(m_view->SelectedInput(), kNone);
  EXPECT_TRUE(Logged("repaint"));
  EXPECT_FALSE(Logged("bitmap 201 141,53,463,294"));
  // The unsaved key is gone, the saved profile is back.
  EXPECT_EQ(m_view->DirtyState(), 0);
  EXPECT_EQ(Entry(4)->mode, kModeUnassigned);

  m_joystick.Plug(0);
  m_log.clear();
  Tick();
  EXPECT_EQ(m_view->PadCount(), 1);
  EXPECT_FALSE(Logged("prompt 61241"));
  EXPECT_TRUE(Logged("bitmap 201 141,53,463,294"));
  EXPECT_EQ(Entry(0)->keys, (std::vector<KeyStroke>{{0, 38}}));
}

TEST_F(LiveTest, RecountAsksBeforeDroppingARecording) {
  StartLoaded();
  Select(4);
  Click(330, 360);
  Click(150, 312);
  Tap(65);
  m_joystick.Unplug(0);
  m_prompts.QueueAnswer("yes");
  Tick();
  EXPECT_FALSE(m_view->Recording());
  // The recording was stored and saved before the tables were rebuilt.
  GameList list;
  ASSERT_TRUE(list.LoadGameList(m_fs, m_root + "/GameList.lst"));
  ProfileStore store(m_fs, m_prompts, list, m_root);
  store.SetPadCount(1);
  ASSERT_EQ(store.LoadProfile("DOOM.EXE", "GAME1"), LoadResult::kLoaded);
  ASSERT_NE(store.Table(0).Find(4), nullptr);
  EXPECT_EQ(store.Table(0).Find(4)->keys, (std::vector<KeyStroke>{{0, 65}}));
}

TEST_F(LiveTest, WatchTimerPausesPollingAndTheLogo) {
  m_probe = false;
  StartLoaded();
  struct Step {
    const char* name;
    bool active;
    bool openMenu;
    std::vector<std::string> lines;
  };
  const Step steps[] = {
      {"active, no menu: as started", true, false, {}},
      {"menu open", true, true, {"timer stop 1"}},
      {"editor in the background", false, true, {"timer stop 3"}},
      {"menu closed", false, false, {"timer start 1 20"}},
      {"active again", true, false, {"timer start 3 220"}},
  };
  for (const Step& s : steps) {
    m_shell.SetActive(s.active);
    if (s.openMenu && m_view->OpenMenu() == kNone) Click(320, 25);
    if (!s.openMenu && m_view->OpenMenu() != kNone) Click(10, 390);
    m_log.clear();
    m_view->OnTimer(kTimerWatch);
    EXPECT_EQ(m_log, s.lines) << s.name;
  }
}

TEST_F(LiveTest, LogoCyclesThroughItsFrames) {
  StartLoaded();
  for (int i = 0; i < 29; ++i) m_view->OnTimer(kTimerLogo);
  ASSERT_EQ(m_log.size(), 29u);
  EXPECT_EQ(m_log[0], "bitmap 500 38,367,151,397");
  EXPECT_EQ(m_log[27], "bitmap 527 38,367,151,397");
  EXPECT_EQ(m_log[28], "bitmap 500 38,367,151,397");
}

TEST_F(LiveTest, TooltipTextOnlyWhenTheLabelCannotShowIt) {
  struct Case {
    const char* name;
    uint32_t tool;
    std::vector<KeyStroke> keys;  // on the tool's input, in a cycle
    std::optional<std::string> text;
  };
  // Cycle steps "A,B,C,D,E" are 9 characters, each further step adds 2;
  // F1 (0x70) is a two-character step.
  auto steps = [](int n) {
    std::vector<KeyStroke> keys;
    for (int i = 0; i < n; ++i) {
      if (i) keys.push_back({0, 255});
      keys.push_back({0, static_cast<uint8_t>('A' + i % 26)});
    }
    return keys;
  };
  // Seventeen steps of Space fill all 33 strokes: 101 characters.
  auto spaces = [](int n) {
    std::vector<KeyStroke> keys;
    for (int i = 0; i < n; ++i) {
      if (i) keys.push_back({0, 255});
      keys.push_back({0, 0x20});
    }
    return keys;
  };
  const Case cases[] = {
      {"10 characters",
       26,
       {{0, 0x70}, {0, 255}, {0, 'B'}, {0, 255}, {0, 'C'}, {0, 255}, {0, 'D'}, {0, 255}, {0, 'E'}},
       std::nullopt},
      {"11 characters", 26, steps(6), "A,B,C,D,E,F"},
      {"cut at 78", 26, spaces(17),
       "Space,Space,Space,Space,Space,Space,Space,Space,Space,Space,Space,Space,Space,"},
      {"tool 34 is input 13", 34, steps(6), "A,B,C,D,E,F"},
      {"tool 36 on a model 10 pad", 36, steps(6), std::nullopt},
      {"not a tool of the view", 99, steps(6), std::nullopt},
  };
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    m_joystick = SimJoystick();
    StartLoaded();
    const uint8_t input = c.tool == 34                   ? 13
                          : c.tool >= 36 && c.tool <= 37 ? c.tool - 22
                                                         : (c.tool - 22) & 15;
    PadKeyTable& table = m_view->Store().Table(0);
    ASSERT_LE(c.keys.size(), static_cast<size_t>(kMaxStrokes));
    KeySequence sequence{};
    for (size_t i = 0; i < c.keys.size(); ++i) {
      sequence.flags[i] = c.keys[i].flags;
      sequence.code[i] = c.keys[i].vk;
    }
    sequence.count = static_cast<uint8_t>(c.keys.size());
    RemoveKeyEntry(table, input);
    InsertKeyEntry(table, input, kModeCycle, &sequence);
    EXPECT_EQ(m_view->TooltipText(c.tool), c.text) << c.name;
  }
}

TEST_F(LiveTest, TooltipsFollowThePadModel) {
  m_probe = false;
  AddPad(0, 10);
  AddPad(1, 12);
  AddGames({"DOOM.EXE"}, 10);
  Start();
  EXPECT_EQ(m_shell.Tools().size(), 14u);
  EXPECT_EQ(m_shell.Tools().front().id, 22u);
  Click(520, 165);  // pad selector row 1: the twelve-button pad
  ASSERT_EQ(m_view->CurrentPad(), 1);
  ASSERT_EQ(m_shell.Tools().size(), 16u);
  EXPECT_EQ(m_shell.Tools()[15].id, 37u);
  const layout::Rect r = m_shell.Tools()[15].rect;
  EXPECT_EQ((std::vector<int>{r.left, r.top, r.right, r.bottom}),
            (std::vector<int>{390, 76, 459, 93}));
  // No tip while a menu is open.
  Click(320, 25);
  EXPECT_EQ(m_view->TooltipText(22), std::nullopt);
}

TEST_F(LiveTest, AssignmentTableHasOneRowPerEntry) {
  for (uint8_t buttons : {10, 12}) {
    TearDown();
    SetUp();
    m_joystick = SimJoystick();
    m_probe = false;
    StartLoaded(buttons);
    Select(4);
    Key(17, true);
    Tap(67);
    Key(17, false);
    Click(400, 35);   // menu 2
    Click(350, 215);  // item 8
    std::vector<std::string> rows;
    for (const std::string& line : m_log) {
      if (line.rfind("row ", 0) == 0) rows.push_back(line);
    }
    ASSERT_TRUE(Logged("dialog assignment-table"));
    ASSERT_EQ(rows.size(), buttons == 10 ? 14u : 16u);
    EXPECT_EQ(rows[0], "row \"Up\" \"Key\" \"Up\"");
    EXPECT_EQ(rows[4], "row \"Btn 1\" \"Key\" \"LCtrl+C\"");
    EXPECT_EQ(rows[5], "row \"Btn 2\" \"Not assigned\" \"(none)\"");
    if (buttons == 12) {
      EXPECT_EQ(rows[15], "row \"Btn 12\" \"Not assigned\" \"(none)\"");
    }
  }
}

TEST_F(LiveTest, ImportKeyFiles) {
  // A key file: the 40-byte header, then records of one pad block each.
  auto record = [](const std::string& name) {
    std::string r = "[PROFILE]" + std::string(255 - name.size(), ' ') + name;
    const uint16_t block = 3 + 14 * 2;
    const uint16_t length = 102 + block;
    r += std::string{'\0', '\1', '\0', static_cast<char>(length >> 8),
                     static_cast<char>(length & 0xFF)};
    r += std::string(100, '\0');
    r += std::string{static_cast<char>(block >> 8), static_cast<char>(block & 0xFF), 14};
    for (int i = 0; i < 14; ++i) r += std::string{'\xFF', '\0'};
    return r;
  };
  const std::string header = "VORNATEK GAMEPAD0101" + std::string(20, '\0');
  m_probe = false;
  AddPad(0, 10);
  AddGames({"QUAKE.EXE"}, 10);
  WriteFile("DOOM.key", header + record("FAST") + record("SLOW"));
  WriteFile("BAD.key", "NOT A KEY FILE AT ALL, NOT EVEN CLOSE TO ONE");
  WriteFile("QUAKE.key", header + record("GAME1") + record("OTHER"));  // registered already
  WriteFile("odd  name.key", header + record("X"));  // a name the list cannot carry
  Start();
  ASSERT_EQ(m_view->CurrentGame(), "QUAKE.EXE");
  Click(60, 147);
  EXPECT_TRUE(Logged("bitmap 327 52,142,67,153"));
  EXPECT_TRUE(Logged("repaint"));
  const auto& games = m_view->Games().Games();
  ASSERT_EQ(games.size(), 3u);
  EXPECT_EQ(games[0].name, "BAD.EXE");
  EXPECT_TRUE(games[0].profiles.empty());
  EXPECT_EQ(games[1].name, "DOOM.EXE");
  ASSERT_EQ(games[1].profiles.size(), 2u);
  EXPECT_EQ(games[1].profiles[0].name, "FAST");
  EXPECT_EQ(games[1].profiles[0].active, 1);
  EXPECT_EQ(games[1].profiles[1].active, 0);
  EXPECT_EQ(games[2].profiles.size(), 1u);  // QUAKE's list untouched
  // The current game moved to row 2 and stays selected.
  EXPECT_EQ(m_view->GameRow(), 2);
  EXPECT_TRUE(Logged("text 29,80 0x00ffff list \"QUAKE\""));
  // Written at exit.
  Click(558, 15);
  GameList written;
  ASSERT_TRUE(written.LoadGameList(m_fs, m_root + "/GameList.lst"));
  EXPECT_EQ(written.Games().size(), 3u);
}

}  // namespace
}  // namespace kl
