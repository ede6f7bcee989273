// The picture menus and their commands, the game and profile lists, page
// arrows, active boxes, the pad selector and the window boxes: what each
// asks, draws and writes into the key-file folder and "Setting".
#include <fstream>
#include <iterator>

#include "tests/unit/editor/view_fixture.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

// Item centres of the three drop-downs.
layout::Point Item(int menu, int item) {
  const layout::Rect& r = layout::kMenus[menu - 1].items[item];
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}
constexpr layout::Point kTab[3] = {{320, 25}, {400, 35}, {460, 30}};
constexpr layout::Point kCloseBox{558, 15};

class MenuTest : public test::PadViewTest {
 protected:
  MenuTest() { m_probe = false; }
  void Command(int menu, int item) {
    Click(kTab[menu - 1].x, kTab[menu - 1].y);
    const layout::Point p = Item(menu, item);
    Click(p.x, p.y);
  }
  std::vector<std::string> Asked() const {
    std::vector<std::string> lines;
    for (const std::string& l : m_log) {
      if (l.rfind("prompt ", 0) == 0 || l.rfind("dialog ", 0) == 0) lines.push_back(l);
    }
    return lines;
  }
  GameList Written() {
    GameList list;
    list.LoadGameList(m_fs, m_root + "/GameList.lst");
    return list;
  }
  std::vector<std::string> ProfileNames(const GameList& list, const std::string& game) {
    std::vector<std::string> names;
    if (const GameEntry* g = list.FindGame(game)) {
      for (const ProfileEntry& p : g->profiles) names.push_back(p.name + (p.active ? "*" : ""));
    }
    return names;
  }
  std::vector<uint8_t> Setting() {
    RegKey key = kRegNone;
    std::vector<uint8_t> data(5);
    if (m_registry.OpenKey(kHkeyCurrentUser, "Software\\Vornatek\\GamePad2", kKeyRead, key) !=
        kRegOk) {
      return {};
    }
    uint32_t type = 0;
    uint32_t size = 5;
    const long result = m_registry.QueryValue(key, "Setting", type, data.data(), size);
    m_registry.CloseKey(key);
    if (result != kRegOk) return {};
    data.resize(size);
    return data;
  }
  // Profiles A, B, C ... of DOOM.EXE, the first active, on a ten-button pad.
  void StartWithProfiles(const std::vector<std::string>& names, uint8_t buttons = 10) {
    AddPad(0, buttons);
    GameList list;
    ScriptedPrompts prompts(m_scratch);
    ProfileStore store(m_fs, prompts, list, m_root);
    store.SetPadCount(1);
    store.SetPadButtons(0, buttons);
    store.MakeDefaultTable(0, buttons == 12, false);
    list.AddGame("DOOM.EXE");
    for (const std::string& name : names) ASSERT_NE(store.AppendProfile("DOOM.EXE", name), 255);
    list.SetProfileActive("DOOM.EXE", names.front(), 1);
    ASSERT_TRUE(list.SaveGameList(m_fs, m_root + "/GameList.lst", m_root + "/GameList.TMP"));
    Start();
  }
};

TEST_F(MenuTest, TabsOpenTheirMenusAndAnotherTabSwitches) {
  StartLoaded();
  Click(kTab[0].x, kTab[0].y);
  EXPECT_EQ(m_view->OpenMenu(), 1u);
  EXPECT_TRUE(Logged("bitmap 216 289,11,364,42"));
  EXPECT_TRUE(Logged("bitmap 239 220,42,356,197"));
  EXPECT_TRUE(Logged("bitmap 217 289,11,364,42"));  // the tab face on release
  m_log.clear();
  Click(kTab[1].x, kTab[1].y);
  EXPECT_EQ(m_view->OpenMenu(), 2u);
  // The first menu closes with a repaint, then the second opens over it.
  ASSERT_LT(IndexOf("repaint"), IndexOf("bitmap 240 305,42,441,231"));
  EXPECT_TRUE(Logged("bitmap 221 364,20,430,42"));
  m_log.clear();
  Click(10, 390);  // beside everything: the menu closes
  EXPECT_EQ(m_view->OpenMenu(), kNone);
  EXPECT_EQ(m_log.front(), "repaint");
}

TEST_F(MenuTest, MouseMoveHighlightsAnItemOnce) {
  StartLoaded();
  m_view->OnMouseMove(Item(1, 2));
  EXPECT_TRUE(m_log.empty());  // no menu open
  Click(kTab[0].x, kTab[0].y);
  m_log.clear();
  m_view->OnMouseMove(Item(1, 2));
  EXPECT_EQ(m_log, (PortLog{"bitmap 239 220,42,356,197", "bitmap 302 220,92,356,108"}));
  m_log.clear();
  m_view->OnMouseMove({Item(1, 2).x + 3, Item(1, 2).y});
  EXPECT_TRUE(m_log.empty());
  m_view->OnMouseMove(Item(1, 6));
  EXPECT_EQ(m_log.back(), "bitmap 306 220,173,356,189");
  EXPECT_EQ(m_view->HighlightedItem(), 6);
}

TEST_F(MenuTest, AnItemClickRunsThatItemOnly) {
  StartLoaded();
  // Menu 1's web page item lies over input 0 of the pad: the click must not
  // reach the pad.
  const layout::Point p{228, 168};
  ASSERT_TRUE(layout::kMenus[0].items[5].Contains(p));
  ASSERT_TRUE(layout::kModel10.picture[0].Contains(p));
  Click(kTab[0].x, kTab[0].y);
  m_prompts.QueueAnswer("cancel");
  m_log.clear();
  Click(p.x, p.y);
  EXPECT_EQ(Asked(), (std::vector<std::string>{"dialog web-address"}));
  EXPECT_EQ(m_view->SelectedInput(), kNone);
  EXPECT_EQ(m_view->OpenMenu(), kNone);
}

TEST_F(MenuTest, SimpleCommands) {
  struct Case {
    int menu, item;
    std::vector<std::string> answers;
    std::vector<std::string> lines;  // port lines other than drawing
  };
  const Case cases[] = {
      {1, 2, {}, {"dialog print"}},
      {1, 3, {}, {"window size 0 0", "dialog print-preview"}},
      {1, 4, {}, {"dialog print-setup"}},
      {1, 5, {"ok"}, {"dialog web-address", "shell open \"http://www.vornatek.example/\""}},
      {1, 5, {"www.example.org"}, {"dialog web-address", "shell open \"www.example.org\""}},
      {1, 5, {"cancel"}, {"dialog web-address"}},
      {3, 0, {}, {"shell help 1 1"}},
      {3, 1, {}, {"shell help 11 1"}},
      {3, 2, {}, {"dialog about"}},
      {2, 6, {}, {"prompt 61235"}},  // nothing to paste
      {2, 4, {}, {"prompt 61247"}},  // no input selected
  };
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    m_joystick = SimJoystick();
    StartLoaded();
    for (const std::string& a : c.answers) m_prompts.QueueAnswer(a);
    Command(c.menu, c.item);
    std::vector<std::string> lines;
    for (const std::string& l : m_log) {
      if (l.rfind("bitmap", 0) && l.rfind("text", 0) && l != "repaint") lines.push_back(l);
    }
    EXPECT_EQ(lines, c.lines) << c.menu << "," << c.item;
    EXPECT_EQ(m_view->PreviewWide(), c.menu == 1 && c.item == 3);
  }
}

TEST_F(MenuTest, GameRows) {
  AddPad(0, 10);
  AddGames({"DOOM.EXE", "QUAKE.EXE"}, 10);
  Start();
  Click(60, 57);  // the selected row
  EXPECT_TRUE(m_log.empty());
  Select(4);
  Tap(65);
  m_log.clear();
  m_prompts.QueueAnswer("no");
  Click(60, 72);
  EXPECT_EQ(Asked(), (std::vector<std::string>{"prompt 61241"}));
  EXPECT_EQ(m_view->CurrentGame(), "QUAKE.EXE");
  EXPECT_TRUE(Logged("text 29,50 0xffff00 list \"DOOM\""));
  EXPECT_TRUE(Logged("text 29,65 0x00ffff list \"QUAKE\""));
  EXPECT_EQ(m_view->CurrentProfile(), "GAME1");
  EXPECT_EQ(m_view->DirtyState(), 0);
  // Selecting a profile selects input 10.
  EXPECT_EQ(m_view->SelectedInput(), 10);
  EXPECT_TRUE(Logged("bitmap 421 195,112,242,148"));
}

TEST_F(MenuTest, SelectingAProfileSelectsInput10OnBothModels) {
  for (uint8_t buttons : {10, 12}) {
    TearDown();
    SetUp();
    m_joystick = SimJoystick();
    StartWithProfiles({"A", "B"}, buttons);
    Click(80, 190);  // profile row 1
    EXPECT_EQ(m_view->CurrentProfile(), "B");
    EXPECT_EQ(m_view->SelectedInput(), 10);
    EXPECT_TRUE(Logged(buttons == 10 ? "bitmap 421 195,112,242,148" : "bitmap 473 247,99,272,116"));
    EXPECT_TRUE(Logged("text 50,182 0x00ffff list \"B\""));
  }
}

TEST_F(MenuTest, GamePagingPastTheEndShowsTheLastPage) {
  AddPad(0, 10);
  AddGames({"A1.EXE", "A2.EXE", "A3.EXE", "A4.EXE", "A5.EXE", "A6.EXE", "A7.EXE"}, 10);
  Start();
  struct Step {
    bool down;
    uint8_t page;
    const char* current;
  };
  const Step steps[] = {
      {true, 1, "A6.EXE"}, {true, 1, "A6.EXE"}, {false, 0, "A1.EXE"}, {false, 0, "A1.EXE"}};
  for (const Step& s : steps) {
    Click(s.down ? 104 : 87, s.down ? 146 : 148);
    EXPECT_EQ(m_view->GamePage(), s.page);
    EXPECT_EQ(m_view->CurrentGame(), s.current);
    EXPECT_EQ(m_view->GameRow(), 0);
    EXPECT_EQ(m_view->CurrentProfile(), "GAME1");
  }
  EXPECT_EQ(m_view->GamesOnPage(), 5);
}

TEST_F(MenuTest, DeleteGame) {
  struct Case {
    std::vector<std::string> games;
    int row;
    std::string answer;
    std::string current;  // after
  };
  const Case cases[] = {
      {{"DOOM.EXE"}, 0, "yes", ""},
      {{"DOOM.EXE"}, 0, "no", "DOOM.EXE"},
      {{"DOOM.EXE", "QUAKE.EXE", "ZORK.EXE"}, 1, "yes", "ZORK.EXE"},
      {{"DOOM.EXE", "QUAKE.EXE"}, 1, "yes", "DOOM.EXE"},  // the last row: the previous one
  };
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    m_joystick = SimJoystick();
    AddPad(0, 10);
    AddGames(c.games, 10);
    Start();
    Click(60, 57 + 15 * c.row);
    const std::string deleted = c.games[c.row];
    m_log.clear();
    m_prompts.QueueAnswer(c.answer);
    Command(1, 1);
    EXPECT_EQ(Asked(), (std::vector<std::string>{"prompt 61243"}));
    EXPECT_EQ(m_view->CurrentGame(), c.current);
    const bool gone = c.answer == "yes";
    EXPECT_EQ(fs::exists(m_root + "/" + deleted.substr(0, deleted.size() - 3) + "key"), !gone);
    EXPECT_EQ(m_view->Games().IsGameListed(deleted), !gone);
    if (gone && c.games.size() == 1) {
      EXPECT_EQ(m_view->GameRow(), kNone);
      EXPECT_TRUE(Logged("bitmap 233 22,50,126,141"));
      EXPECT_TRUE(Logged("bitmap 231 35,165,125,233"));
      // Nothing left to delete.
      m_log.clear();
      Command(1, 1);
      EXPECT_EQ(Asked(), (std::vector<std::string>{"prompt 61232"}));
    }
    if (!c.current.empty()) {
      EXPECT_EQ(m_view->CurrentProfile(), "GAME1");
    }
  }
}

TEST_F(MenuTest, AddGameStartsANewProfileOfTheNewGame) {
  AddPad(0, 10);
  AddGames({"QUAKE.EXE"}, 10);
  Start();
  m_prompts.QueueAnswer("C:\\Games\\doom.exe");
  Command(1, 0);
  EXPECT_EQ(m_view->CurrentGame(), "DOOM.EXE");
  EXPECT_EQ(m_view->GameRow(), 0);
  EXPECT_TRUE(m_view->NewProfilePending());
  EXPECT_EQ(m_view->DirtyState(), 1);
  Select(5);
  Tap(66);
  m_prompts.QueueAnswer(" fast  run");  // ten characters, as the dialog gives
  m_log.clear();
  Command(2, 1);  // save
  EXPECT_EQ(Asked(), (std::vector<std::string>{"dialog profile-name"}));
  EXPECT_EQ(m_view->CurrentProfile(), "FAST RUN");
  EXPECT_EQ(m_view->DirtyState(), 0);
  EXPECT_FALSE(m_view->NewProfilePending());
  const GameList written = Written();
  EXPECT_EQ(ProfileNames(written, "DOOM.EXE"), (std::vector<std::string>{"FAST RUN*"}));
  EXPECT_EQ(ProfileNames(written, "QUAKE.EXE"), (std::vector<std::string>{"GAME1"}));
  // The same program again is refused.
  m_log.clear();
  m_prompts.QueueAnswer("D:\\DOOM.EXE");
  Command(1, 0);
  EXPECT_EQ(Asked(), (std::vector<std::string>{"dialog open-game", "prompt 61228"}));
}

TEST_F(MenuTest, SaveNeedsChangesAndANonEmptyName) {
  struct Case {
    const char* name;
    bool change;
    std::vector<std::string> answers;
    std::vector<std::string> prompts;
    bool saved;
  };
  const Case cases[] = {
      {"loaded, unchanged", false, {}, {"prompt 61234"}, false},
      {"changed: saved over itself", true, {}, {}, true},
  };
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    m_joystick = SimJoystick();
    StartLoaded();
    if (c.change) {
      Select(4);
      Tap(65);
    }
    for (const std::string& a : c.answers) m_prompts.QueueAnswer(a);
    m_log.clear();
    Command(2, 1);
    EXPECT_EQ(Asked(), c.prompts) << c.name;
    GameList list;
    ScriptedPrompts prompts(m_scratch);
    ASSERT_TRUE(list.LoadGameList(m_fs, m_root + "/GameList.lst"));
    ProfileStore store(m_fs, prompts, list, m_root);
    ASSERT_EQ(store.LoadProfile("DOOM.EXE", "GAME1"), LoadResult::kLoaded);
    EXPECT_EQ(store.Table(0).Find(4)->keys.size(), c.saved ? 1u : 0u) << c.name;
  }

  // A new profile whose name is blank is not saved and stays pending.
  TearDown();
  SetUp();
  m_joystick = SimJoystick();
  StartLoaded();
  Command(2, 0);
  m_prompts.QueueAnswer("   ");
  m_log.clear();
  Command(2, 1);
  EXPECT_EQ(Asked(), (std::vector<std::string>{"dialog profile-name"}));
  EXPECT_EQ(m_view->DirtyState(), 1);
  EXPECT_TRUE(m_view->NewProfilePending());
  EXPECT_EQ(ProfileNames(Written(), "DOOM.EXE"), (std::vector<std::string>{"GAME1"}));
}

TEST_F(MenuTest, ProfileCommandsNeedWhatTheyActOn) {
  // After New profile nothing is selected to delete: the old profile stays.
  StartWithProfiles({"A", "B"});
  Command(2, 0);
  m_log.clear();
  m_prompts.QueueAnswer("yes");
  Command(2, 3);
  EXPECT_EQ(Asked(), (std::vector<std::string>{"prompt 61233"}));
  EXPECT_EQ(m_view->Games().FindGame("DOOM.EXE")->profiles.size(), 2u);

  // A game without profiles has nothing loaded: nothing to save either.
  TearDown();
  SetUp();
  m_joystick = SimJoystick();
  AddPad(0, 10);
  GameList list;
  list.AddGame("DOOM.EXE");
  ASSERT_TRUE(list.SaveGameList(m_fs, m_root + "/GameList.lst", m_root + "/GameList.TMP"));
  Start();
  ASSERT_EQ(m_view->DirtyState(), kNone);
  m_log.clear();
  Command(2, 1);
  EXPECT_EQ(Asked(), (std::vector<std::string>{"prompt 61234"}));
}

TEST_F(MenuTest, SaveAsAnExistingName) {
  struct Case {
    const char* name;
    std::vector<std::string> answers;
    std::vector<std::string> prompts;
    std::vector<std::string> profiles;  // written, '*' active
    uint8_t dirty;
  };
  const Case cases[] = {
      {"replace", {"b", "yes"}, {"dialog profile-name", "prompt 61240"}, {"A", "B*"}, 0},
      {"another name",
       {"b", "no", "c"},
       {"dialog profile-name", "prompt 61240", "dialog profile-name"},
       {"A", "B", "C*"},
       0},
      {"cancelled the second time: the edits stay",
       {"b", "no", "cancel"},
       {"dialog profile-name", "prompt 61240", "dialog profile-name"},
       {"A*", "B"},
       1},
  };
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    m_joystick = SimJoystick();
    StartWithProfiles({"A", "B"});
    Select(4);
    Tap(65);
    for (const std::string& a : c.answers) m_prompts.QueueAnswer(a);
    m_log.clear();
    Command(2, 2);
    EXPECT_EQ(Asked(), c.prompts) << c.name;
    EXPECT_EQ(ProfileNames(Written(), "DOOM.EXE"), c.profiles) << c.name;
    EXPECT_EQ(m_view->DirtyState(), c.dirty) << c.name;
    EXPECT_EQ(Entry(4)->keys, (std::vector<KeyStroke>{{0, 65}})) << c.name;
  }
}

TEST_F(MenuTest, DeleteProfileSelectsTheNextAndMakesItActive) {
  StartWithProfiles({"A", "B", "C"});
  Click(80, 190);  // B
  Select(4);
  Tap(65);  // unsaved edits of B
  m_prompts.QueueAnswer("yes");
  m_log.clear();
  Command(2, 3);
  // No save question for a profile that is gone.
  EXPECT_EQ(Asked(), (std::vector<std::string>{"prompt 61244"}));
  EXPECT_EQ(m_view->CurrentProfile(), "C");
  EXPECT_TRUE(Logged("bitmap 238 36,183,48,195"));
  EXPECT_EQ(m_view->Games().FindGame("DOOM.EXE")->profiles.size(), 2u);
  EXPECT_EQ(m_view->Games().FindGame("DOOM.EXE")->profiles[1].active, 1);
  GameList list;
  ScriptedPrompts prompts(m_scratch);
  ProfileStore store(m_fs, prompts, list, m_root);
  EXPECT_EQ(store.LoadProfile("DOOM.EXE", "B"), LoadResult::kNotFound);
  // Deleting the last one leaves a new profile.
  Click(60, 175);
  m_prompts.QueueAnswer("yes");
  Command(2, 3);
  m_prompts.QueueAnswer("yes");
  Command(2, 3);
  EXPECT_EQ(m_view->Games().FindGame("DOOM.EXE")->profiles.size(), 0u);
  EXPECT_TRUE(m_view->NewProfilePending());
  EXPECT_FALSE(fs::exists(m_root + "/DOOM.key"));
  m_log.clear();
  Command(2, 3);
  EXPECT_EQ(Asked(), (std::vector<std::string>{"prompt 61233"}));
}

TEST_F(MenuTest, ActiveBoxesToggleTheActiveProfile) {
  StartWithProfiles({"A", "B"});
  Click(40, 190);  // B's box: B selected and active
  auto marks = [this] {
    std::vector<std::string> names;
    for (const ProfileEntry& p : m_view->Games().FindGame("DOOM.EXE")->profiles) {
      names.push_back(p.name + (p.active ? "*" : ""));
    }
    return names;
  };
  EXPECT_EQ(marks(), (std::vector<std::string>{"A", "B*"}));
  EXPECT_EQ(m_view->CurrentProfile(), "B");
  EXPECT_TRUE(Logged("bitmap 237 36,168,48,180"));
  EXPECT_TRUE(Logged("bitmap 238 36,183,48,195"));
  Click(40, 190);  // again: no active profile
  EXPECT_EQ(marks(), (std::vector<std::string>{"A", "B"}));
  // With unsaved edits the click saves first and does not toggle.
  Select(4);
  Tap(65);
  m_prompts.QueueAnswer("yes");
  Click(40, 175);  // A's box
  EXPECT_EQ(m_view->CurrentProfile(), "A");
  EXPECT_EQ(marks(), (std::vector<std::string>{"A", "B"}));  // B saved to the end, unmarked
}

TEST_F(MenuTest, ClickedProfileIsFoundAgainAfterTheSaveMovesTheList) {
  StartWithProfiles({"A", "B", "C"});
  Select(4);
  Tap(65);  // A changed
  m_prompts.QueueAnswer("yes");
  Click(80, 190);  // row 1: B
  EXPECT_EQ(m_view->CurrentProfile(), "B");
  EXPECT_EQ(m_view->ProfileRow(), 0);
  EXPECT_EQ(ProfileNames(Written(), "DOOM.EXE"), (std::vector<std::string>{"B", "C", "A*"}));
}

TEST_F(MenuTest, ClipboardsAndPresets) {
  StartLoaded();
  Select(0);      // Up by default
  Command(2, 4);  // copy input
  Select(5);
  Command(2, 6);  // paste
  EXPECT_EQ(Entry(5)->keys, (std::vector<KeyStroke>{{0, 38}}));
  EXPECT_EQ(m_view->DirtyState(), 1);
  Select(6);
  m_log.clear();
  Command(2, 4);  // an unassigned input
  EXPECT_EQ(Asked(), (std::vector<std::string>{"prompt 61248"}));

  m_prompts.QueueAnswer("ok");
  Command(1, 6);  // mouse preset
  const uint8_t actions[7] = {8, 16, 32, 64, 1, 4, 2};
  for (uint8_t i = 0; i < 7; ++i) {
    EXPECT_EQ(Entry(i)->mode, kModeMouse);
    EXPECT_EQ(Entry(i)->keys, (std::vector<KeyStroke>{{0, actions[i]}}));
  }
  Command(2, 5);  // copy pad
  Command(2, 7);  // reset pad
  EXPECT_EQ(Entry(0)->mode, 0);
  EXPECT_EQ(Entry(5)->mode, kModeUnassigned);
  Command(2, 6);  // paste the pad
  EXPECT_EQ(Entry(6)->mode, kModeMouse);
  EXPECT_EQ(m_view->Store().Table(0).entries.size(), 14u);
}

TEST_F(MenuTest, ClosingWritesTheListAndSetting) {
  struct Case {
    const char* name;
    std::vector<std::string> answers;
    bool newProfile;
    bool closed;
    std::vector<uint8_t> setting;
  };
  const Case cases[] = {
      {"unchanged", {}, false, true, {0, 0, 0, 1, 0}},
      {"new profile given up: the remembered row", {"no"}, true, true, {0, 0, 0, 1, 0}},
      {"new profile, save cancelled: stays open", {"yes", "cancel"}, true, false, {}},
  };
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    m_joystick = SimJoystick();
    StartWithProfiles({"A", "B"});
    Click(80, 190);  // row 1
    if (c.newProfile) Command(2, 0);
    {
      RegKey key = kRegNone;
      if (m_registry.OpenKey(kHkeyCurrentUser, "Software\\Vornatek\\GamePad2", kKeyAllAccess,
                             key) == kRegOk) {
        m_registry.DeleteValue(key, "Setting");
        m_registry.CloseKey(key);
      }
    }
    fs::remove(m_root + "/GameList.lst");
    for (const std::string& a : c.answers) m_prompts.QueueAnswer(a);
    m_log.clear();
    Click(kCloseBox.x, kCloseBox.y);
    EXPECT_TRUE(Logged("bitmap 223 549,9,567,25")) << c.name;
    EXPECT_EQ(Logged("window close"), c.closed) << c.name;
    EXPECT_EQ(Setting(), c.setting) << c.name;
    EXPECT_EQ(fs::exists(m_root + "/GameList.lst"), c.closed) << c.name;
    if (c.closed) {
      EXPECT_TRUE(Logged("setting 0 0 0 1 0"));
    }
  }
}

TEST_F(MenuTest, AFailedSaveKeepsTheProgramOpen) {
  StartLoaded();
  Select(4);
  Tap(65);
  // The key file cannot be replaced: a folder stands where the new file goes.
  fs::create_directory(m_root + "/kbMap.TMP");
  m_prompts.QueueAnswer("yes");
  Click(545, 369);  // the exit button
  EXPECT_TRUE(Logged("prompt 61237"));
  EXPECT_FALSE(Logged("window close"));
  EXPECT_EQ(m_view->DirtyState(), 1);
  EXPECT_TRUE(Logged("bitmap 224 501,354,592,384"));
}

TEST_F(MenuTest, PadSelectorShowsTheOtherPad) {
  AddPad(0, 10);
  AddPad(1, 12);
  AddGames({"DOOM.EXE"}, 10);
  Start();
  Click(520, 165);
  EXPECT_EQ(m_view->CurrentPad(), 1);
  EXPECT_TRUE(Logged("repaint"));
  EXPECT_TRUE(Logged("bitmap 202 141,53,463,294"));
  // The profile is selected again, so input 10 of the twelve-button pad.
  EXPECT_EQ(m_view->SelectedInput(), 10);
  // The record held one pad: the second gets its own model's sixteen defaults.
  EXPECT_EQ(m_view->Store().Table(1).entries.size(), 16u);
  m_log.clear();
  Click(520, 185);  // no third pad
  EXPECT_TRUE(m_log.empty());
  Click(540, 15);  // minimise
  EXPECT_EQ(m_log, (PortLog{"bitmap 222 530,9,548,25", "window minimize"}));
}

}  // namespace
}  // namespace kl
