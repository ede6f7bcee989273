// ORVO.EXE end to end under Wine: started from an installation folder with
// the virtual pad configured as the maker's pad, it notices the registered
// program running, loads its active profile and types into it as the pad's
// buttons go down and up.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "harness/support.h"
#include "orvo/orvo_world.h"

namespace kl::orvotest {
namespace {

using winetest::WaitUntil;

constexpr int kUnassigned = 255;
constexpr int kKeyMode = 0;
constexpr int kTapMode = 1;
constexpr int kCycleMode = 2;
constexpr int kMouseMode = 4;
constexpr int kLeftButton = 1;
constexpr int kPointerUp = 8;
constexpr int kPointerRight = 64;
constexpr int kShiftFlag = 0x10;
constexpr int kSeparator = 0xFF;
constexpr size_t kEntries = 16;  // a 12-button pad: 4 directions, 12 buttons
// Long enough for several 40 ms polls, so that a release is seen before the
// next press.
constexpr DWORD kSettle = 400;

void Pump(DWORD milliseconds) {
  WaitUntil([] { return false; }, milliseconds);
}

// Input 4 + b is button b.
std::vector<Entry> Profile(const std::vector<std::pair<size_t, Entry>>& assigned) {
  std::vector<Entry> entries(kEntries, Entry{kUnassigned, {}});
  for (const auto& [input, entry] : assigned) entries[input] = entry;
  return entries;
}

std::vector<Entry> NotepadProfile() {
  return Profile({
      {4, {kKeyMode, {{0, 'K'}}}},
      {5, {kKeyMode, {{kShiftFlag, 'K'}}}},
      {6, {kTapMode, {{0, 'H'}, {0, 'I'}}}},
      {7, {kCycleMode, {{0, 'A'}, {0, kSeparator}, {0, 'B'}, {0, kSeparator}, {0, 'C'}}}},
  });
}

class OrvoOnWine : public ::testing::Test {
 protected:
  void SetUp() override {
    for (HWND left : WindowsOfClass("MyOrvoClass")) PostMessageA(left, WM_CLOSE, 0, 0);
    WaitUntil([] { return WindowsOfClass("MyOrvoClass").empty(); });
    std::string error;
    ASSERT_TRUE(Install(error)) << error;
    ASSERT_TRUE(ConfigurePad(error)) << error;
    ASSERT_TRUE(SetPad(0));
  }
  void TearDown() override {
    // A stand-in editor the mapper started would outlive the test.
    for (HWND editor : WindowsOfClass("KlEditorStandIn")) PostMessageA(editor, WM_CLOSE, 0, 0);
    WaitUntil([] { return WindowsOfClass("KlEditorStandIn").empty(); });
    RemovePad();
  }

  // Holds button `button` down until the text reads `expected` (or the wait
  // runs out), then lets it go and gives the mapper time to see that.
  std::string Press(const Notepad& notepad, int button, const std::string& expected) {
    EXPECT_TRUE(SetPad(1u << button));
    WaitUntil([&] { return notepad.Text().size() >= expected.size(); }, 15000);
    EXPECT_TRUE(SetPad(0));
    Pump(kSettle);
    return notepad.Text();
  }
};

TEST_F(OrvoOnWine, TypesKeysTapsCyclesAndCapitalsIntoNotepad) {
  std::string error;
  ASSERT_TRUE(SaveProfile(KeyFolder(), "NOTEPAD.EXE", "Typing", NotepadProfile(), error)) << error;
  Orvo orvo;
  ASSERT_TRUE(orvo.Start(error)) << error;
  Notepad notepad;
  ASSERT_TRUE(notepad.Start(error)) << error;
  ASSERT_TRUE(BringToFront(notepad.Window()));

  struct Step {
    int button;
    const char* text;  // notepad's whole text afterwards
  };
  const Step steps[] = {
      {0, "k"},        // key mode
      {1, "kK"},       // key mode with Shift
      {2, "kKhi"},     // a tapped sequence: two letters from one press
      {3, "kKhia"},    // a cycle: one group per press, round again after the last
      {3, "kKhiab"},   //
      {3, "kKhiabc"},  //
      {3, "kKhiabca"},
  };
  for (const Step& step : steps) {
    ASSERT_EQ(Press(notepad, step.button, step.text), step.text) << "button " << step.button;
  }
  // Every key the mapper pressed is up again.
  const int keys[] = {VK_SHIFT, 'K', 'H', 'I', 'A', 'B', 'C'};
  for (int vk : keys) {
    EXPECT_EQ(GetAsyncKeyState(vk) & 0x8000, 0) << "key 0x" << std::hex << vk << " is down";
  }
  const std::string shot = SaveScreenshot(notepad.Window(), "notepad-typed");
  EXPECT_FALSE(shot.empty());
  RecordProperty("screenshot", shot);
  notepad.Kill();
}

// Sends one key press (down and up) from this process, as a user would.
void TypeKey(BYTE vk) {
  keybd_event(vk, static_cast<BYTE>(MapVirtualKeyA(vk, 0)), 0, 0);
  keybd_event(vk, static_cast<BYTE>(MapVirtualKeyA(vk, 0)), KEYEVENTF_KEYUP, 0);
}

// Opens the icon's menu with a right click and waits until it is shown and
// its program is in front, where the menu reads the keyboard.
HWND OpenIconMenu(Orvo& orvo) {
  orvo.Notify(WM_RBUTTONUP);
  const DWORD process = ProcessOf(orvo.Window());
  const HWND menu = WaitForProcessWindow(process, "#32768");
  const bool ready = menu != nullptr && WaitUntil([&] {
                       DWORD front = 0;
                       GetWindowThreadProcessId(GetForegroundWindow(), &front);
                       return IsWindowVisible(menu) && front == process;
                     });
  return ready ? menu : nullptr;
}

bool IsDown(int vk) {
  return (GetAsyncKeyState(vk) & 0x8000) != 0;
}

bool IsRunning(HANDLE process) {
  return WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
}

TEST_F(OrvoOnWine, SecondStartLeavesTheFirstCopyAlone) {
  std::string error;
  Orvo first;
  ASSERT_TRUE(first.Start(error)) << error;

  winetest::Started second;
  ASSERT_TRUE(second.Start(winetest::Quote(InstallFolder() + "ORVO.EXE")));
  EXPECT_TRUE(second.WaitForExit(20000)) << "the second copy kept running";

  EXPECT_EQ(WindowsOfClass("MyOrvoClass"), std::vector<HWND>{first.Window()});
  EXPECT_TRUE(IsRunning(first.Process()));
  EXPECT_TRUE(HasTrayIcon(first.Window(), 150));
}

TEST_F(OrvoOnWine, CloseFromTheIconMenuRemovesTheIconAndEndsTheProgram) {
  std::string error;
  Orvo orvo;
  ASSERT_TRUE(orvo.Start(error)) << error;
  const HWND window = orvo.Window();

  const HWND menu = OpenIconMenu(orvo);
  ASSERT_NE(menu, nullptr) << "no pop-up menu in front";
  RecordProperty("screenshot", SaveScreenshot(menu, "tray-menu"));
  TypeKey('C');  // "&Close"

  ASSERT_TRUE(orvo.WaitForExit(20000)) << "ORVO.EXE still runs after Close";
  EXPECT_FALSE(HasTrayIcon(window, 150));
  EXPECT_TRUE(WindowsOfClass("MyOrvoClass").empty());
}

TEST_F(OrvoOnWine, CloseLetsGoOfTheKeysItHolds) {
  std::string error;
  ASSERT_TRUE(SaveProfile(KeyFolder(), "NOTEPAD.EXE", "Typing", NotepadProfile(), error)) << error;
  Orvo orvo;
  ASSERT_TRUE(orvo.Start(error)) << error;
  Notepad notepad;
  ASSERT_TRUE(notepad.Start(error)) << error;
  ASSERT_TRUE(BringToFront(notepad.Window()));

  ASSERT_TRUE(SetPad(1u << 1));  // Shift+K, held
  ASSERT_TRUE(WaitUntil([&] { return notepad.Text() == "K"; }, 15000)) << notepad.Text();
  EXPECT_TRUE(IsDown(VK_SHIFT));
  EXPECT_TRUE(IsDown('K'));

  ASSERT_TRUE(orvo.Close());
  EXPECT_FALSE(IsDown(VK_SHIFT));
  EXPECT_FALSE(IsDown('K'));
  SetPad(0);
  notepad.Kill();
}

TEST_F(OrvoOnWine, ActivateProgramWithoutAPadShowsTheMessageInstead) {
  RemovePad();
  std::string error;
  Orvo orvo;
  ASSERT_TRUE(orvo.Start(error)) << error;
  const std::string expected = OrvoString(61227);
  ASSERT_FALSE(expected.empty());

  orvo.Notify(WM_LBUTTONDBLCLK);  // the same as "Activate &Program"
  const HWND box = WaitForProcessWindow(ProcessOf(orvo.Window()), "#32770");
  ASSERT_NE(box, nullptr) << "no message box";
  // The box is found as soon as it exists; its text follows.
  EXPECT_TRUE(WaitUntil([&] {
    const std::vector<std::string> texts = ChildTexts(box, "Static");
    return std::find(texts.begin(), texts.end(), expected) != texts.end();
  })) << "the box does not show string 61227";
  RecordProperty("screenshot", SaveScreenshot(box, "no-pad-message"));
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  // The editor was not started.
  EXPECT_EQ(FindWindowA(nullptr, "KeyLoom"), nullptr);
  EXPECT_EQ(GetFileAttributesA((InstallFolder() + "kloom-standin.log").c_str()),
            INVALID_FILE_ATTRIBUTES);
}

TEST_F(OrvoOnWine, EditorFromTheIconPausesPlayWhileInFront) {
  std::string error;
  ASSERT_TRUE(SaveProfile(KeyFolder(), "NOTEPAD.EXE", "Typing", NotepadProfile(), error)) << error;
  Orvo orvo;
  ASSERT_TRUE(orvo.Start(error)) << error;
  Notepad notepad;
  ASSERT_TRUE(notepad.Start(error)) << error;
  ASSERT_TRUE(BringToFront(notepad.Window()));
  ASSERT_EQ(Press(notepad, 0, "k"), "k");

  // Double-clicking the icon starts KLOOM.EXE from the mapper's folder; the
  // stand-in there is a window titled "KeyLoom", as the editor's is.
  orvo.Notify(WM_LBUTTONDBLCLK);
  HWND editor = nullptr;
  ASSERT_TRUE(
      WaitUntil([&] { return (editor = FindWindowA(nullptr, "KeyLoom")) != nullptr; }, 20000))
      << "the editor did not start";
  ASSERT_TRUE(BringToFront(editor));
  const std::string log = InstallFolder() + "kloom-standin.log";
  ASSERT_TRUE(WaitUntil([&] { return winetest::ReadWholeFile(log) == "# ready\n"; }))
      << "no stand-in editor started from " << InstallFolder();

  // One monitor period (1.5 s) and a little: play has stopped.
  Pump(2000);
  ASSERT_TRUE(SetPad(1u << 0));
  Pump(1000);
  ASSERT_TRUE(SetPad(0));
  Pump(kSettle);
  EXPECT_EQ(winetest::ReadWholeFile(log), "# ready\n") << "the editor got keys";
  EXPECT_EQ(notepad.Text(), "k");

  // The editor leaves the front: the next monitor tick resumes play.
  ASSERT_TRUE(BringToFront(notepad.Window()));
  EXPECT_EQ(Press(notepad, 0, "kk"), "kk");
  PostMessageA(editor, WM_CLOSE, 0, 0);
  notepad.Kill();
}

// Replaces a file of the key-file folder with one of `from`, written anew
// beside it and renamed over it, as the editor saves.
bool ReplaceFromFolder(const std::string& from, const std::string& name) {
  const std::string bytes = winetest::ReadWholeFile(from + name);
  if (bytes.empty()) return false;
  const std::string temporary = KeyFolder() + "replace.tmp";
  HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool wrote =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size();
  CloseHandle(file);
  return wrote && MoveFileExA(temporary.c_str(), (KeyFolder() + name).c_str(),
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

TEST_F(OrvoOnWine, RewrittenGameListReloadsTheRunningGamesProfile) {
  std::string error;
  ASSERT_TRUE(SaveProfile(KeyFolder(), "NOTEPAD.EXE", "Typing", NotepadProfile(), error)) << error;
  // The changed profile is made before anything runs: a program started
  // while the mapper watches would make it look for games anew, and that
  // would reload the profile whether or not the list is watched.
  const std::string staging = InstallFolder() + "staging\\";
  CreateDirectoryA(staging.c_str(), nullptr);
  DeleteFileA((staging + "NOTEPAD.key").c_str());
  DeleteFileA((staging + "GameList.lst").c_str());
  ASSERT_TRUE(
      SaveProfile(staging, "NOTEPAD.EXE", "Typing", Profile({{4, {kKeyMode, {{0, 'Q'}}}}}), error))
      << error;

  Orvo orvo;
  ASSERT_TRUE(orvo.Start(error)) << error;
  Notepad notepad;
  ASSERT_TRUE(notepad.Start(error)) << error;
  ASSERT_TRUE(BringToFront(notepad.Window()));
  ASSERT_EQ(Press(notepad, 0, "k"), "k");

  ASSERT_TRUE(ReplaceFromFolder(staging, "NOTEPAD.key"));
  ASSERT_TRUE(ReplaceFromFolder(staging, "GameList.lst"));
  // The next monitor tick, within 1.5 s, reloads.
  Pump(2000);
  EXPECT_EQ(Press(notepad, 0, "kq"), "kq");
  notepad.Kill();
}

TEST_F(OrvoOnWine, PlayStopsWhenTheGameEnds) {
  std::string error;
  ASSERT_TRUE(SaveProfile(KeyFolder(), "NOTEPAD.EXE", "Typing", NotepadProfile(), error)) << error;
  Orvo orvo;
  ASSERT_TRUE(orvo.Start(error)) << error;
  {
    Notepad notepad;
    ASSERT_TRUE(notepad.Start(error)) << error;
    ASSERT_TRUE(BringToFront(notepad.Window()));
    ASSERT_EQ(Press(notepad, 0, "k"), "k");
    notepad.Kill();
  }
  // The mapper looks for games only when the number of processes changed:
  // the game's end and the next program's start must not fall between the
  // same two looks, or it would not notice (a monitor period is 1.5 s).
  Pump(2000);

  // A program that is no game takes the front and logs what it gets.
  const std::string log = winetest::TempPath("orvo-witness.log");
  DeleteFileA(log.c_str());
  winetest::Started witness;
  ASSERT_TRUE(witness.Start(winetest::Quote(winetest::ProgramFolder() + "testgame.exe") + " " +
                            winetest::Quote(log)));
  ASSERT_TRUE(
      WaitUntil([&] { return winetest::ReadWholeFile(log).find("# ready") != std::string::npos; }));
  const HWND witnessWindow = WaitForProcessWindow(GetProcessId(witness.Process()), "KlTestGame");
  ASSERT_TRUE(BringToFront(witnessWindow));
  // One monitor period and a little: the mapper has looked for games again.
  Pump(2000);
  ASSERT_TRUE(SetPad(1u << 0));
  Pump(1000);
  ASSERT_TRUE(SetPad(0));
  Pump(kSettle);
  EXPECT_EQ(winetest::ReadWholeFile(log).find("WM_KEYDOWN vk=0x4b"), std::string::npos)
      << "keys after the game ended:\n"
      << winetest::ReadWholeFile(log);

  // The game again: play resumes.
  Notepad again;
  ASSERT_TRUE(again.Start(error)) << error;
  ASSERT_TRUE(BringToFront(again.Window()));
  EXPECT_EQ(Press(again, 0, "k"), "k");
  again.Kill();
}

struct Move {
  int x = 0;
  int y = 0;
  bool injected = false;  // synthetic input, as the mapper's
};

// Every pointer move the system sees, in order, from a low-level mouse hook:
// under Wine the X server's own motion reports come in between the mapper's
// moves, so only the hook shows how far each of them went.
std::vector<Move> g_moves;

LRESULT CALLBACK RecordMoves(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == WM_MOUSEMOVE) {
    const auto* info = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
    g_moves.push_back({info->pt.x, info->pt.y, (info->flags & LLMHF_INJECTED) != 0});
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// How far each injected move went from the position before it; the first
// from `start`.
std::vector<Move> InjectedSteps(const std::vector<Move>& moves, POINT start) {
  std::vector<Move> steps;
  Move before{start.x, start.y, false};
  for (const Move& move : moves) {
    if (move.injected) steps.push_back({move.x - before.x, move.y - before.y, true});
    before = move;
  }
  return steps;
}

size_t CountOf(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
    ++count;
  }
  return count;
}

TEST_F(OrvoOnWine, MouseModeMovesThePointerTheHeldWayFasterAndClicks) {
  std::string error;
  ASSERT_TRUE(SaveProfile(KeyFolder(), "TESTGAME.EXE", "Mouse",
                          Profile({
                              {0, {kMouseMode, {{0, kPointerUp}}}},
                              {3, {kMouseMode, {{0, kPointerRight}}}},
                              {4, {kMouseMode, {{0, kLeftButton}}}},
                          }),
                          error))
      << error;
  Orvo orvo;
  ASSERT_TRUE(orvo.Start(error)) << error;
  const std::string log = winetest::TempPath("orvo-testgame.log");
  DeleteFileA(log.c_str());
  winetest::Started game;
  ASSERT_TRUE(game.Start(winetest::Quote(winetest::ProgramFolder() + "testgame.exe") + " " +
                         winetest::Quote(log)));
  const HWND window = WaitForProcessWindow(GetProcessId(game.Process()), "KlTestGame");
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(BringToFront(window));

  HHOOK hook = SetWindowsHookExA(WH_MOUSE_LL, &RecordMoves, GetModuleHandleA(nullptr), 0);
  ASSERT_NE(hook, nullptr);
  struct Hold {
    const char* direction;
    uint32_t x;
    uint32_t y;
    Move unit;  // the way the pointer must go
  };
  const Hold holds[] = {
      {"Right", 65535, 32668, {1, 0}},
      {"Up", 32668, 0, {0, -1}},
  };
  for (const Hold& hold : holds) {
    POINT at = {20, 300};  // in the game's client area, room all round
    ClientToScreen(window, &at);
    SetCursorPos(at.x, at.y);
    Pump(kSettle);
    g_moves.clear();
    ASSERT_TRUE(SetPad(0, hold.x, hold.y));
    WaitUntil([&] { return InjectedSteps(g_moves, at).size() >= 6; }, 15000);
    ASSERT_TRUE(SetPad(0));
    Pump(kSettle);

    const std::vector<Move> moves = InjectedSteps(g_moves, at);
    ASSERT_GE(moves.size(), 6u) << hold.direction;
    std::vector<int> steps;
    std::string shown;
    for (const Move& move : moves) {
      EXPECT_EQ(hold.unit.x == 0 ? move.x : move.y, 0) << hold.direction << ": off its way";
      steps.push_back(hold.unit.x != 0 ? move.x * hold.unit.x : move.y * hold.unit.y);
      shown += std::to_string(steps.back()) + " ";
    }
    // From 2 after a release, one unit more at every poll. Wine moves its
    // pointer back and forth as the X server reports it, so only the start
    // and the growth are held to.
    EXPECT_EQ(steps.front(), 2) << hold.direction << ": " << shown;
    EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end())) << hold.direction << ": " << shown;
    EXPECT_GT(steps.back(), steps.front()) << hold.direction << ": " << shown;
    RecordProperty(std::string("steps") + hold.direction, shown);
  }
  UnhookWindowsHookEx(hook);

  const size_t before = winetest::ReadWholeFile(log).size();
  ASSERT_TRUE(SetPad(1u << 0));
  EXPECT_TRUE(WaitUntil(
      [&] {
        return winetest::ReadWholeFile(log).find("WM_LBUTTONDOWN", before) != std::string::npos;
      },
      15000));
  Pump(kSettle);
  ASSERT_TRUE(SetPad(0));
  EXPECT_TRUE(WaitUntil([&] {
    return winetest::ReadWholeFile(log).find("WM_LBUTTONUP", before) != std::string::npos;
  }));
  const std::string clicks = winetest::ReadWholeFile(log).substr(before);
  EXPECT_EQ(CountOf(clicks, "WM_LBUTTONDOWN"), 1u) << clicks;
  EXPECT_EQ(CountOf(clicks, "WM_LBUTTONUP"), 1u) << clicks;
  RecordProperty("screenshot", SaveScreenshot(window, "testgame-mouse"));
  PostMessageA(window, WM_CLOSE, 0, 0);
  game.WaitForExit(10000);
}

TEST_F(OrvoOnWine, WithoutItsResourceModuleItEndsSilently) {
  ASSERT_TRUE(DeleteFileA((InstallFolder() + "ORVO_RS.DLL").c_str()));
  // The working folder it inherits, this test's, holds one: not its own.
  ASSERT_NE(GetFileAttributesA((winetest::ProgramFolder() + "ORVO_RS.DLL").c_str()),
            INVALID_FILE_ATTRIBUTES);
  Process orvo;
  ASSERT_TRUE(
      orvo.Start(InstallFolder() + "ORVO.EXE", winetest::Quote(InstallFolder() + "ORVO.EXE")));
  // A message box would keep it running until someone answered it.
  EXPECT_TRUE(orvo.WaitForExit(20000)) << "ORVO.EXE kept running";
  EXPECT_TRUE(WindowsOfClass("MyOrvoClass").empty());
}

TEST_F(OrvoOnWine, AboutFromTheIconMenuShowsTheAboutBox) {
  std::string error;
  Orvo orvo;
  ASSERT_TRUE(orvo.Start(error)) << error;
  ASSERT_NE(OpenIconMenu(orvo), nullptr) << "no pop-up menu in front";
  TypeKey('A');  // "&About"
  const HWND about = WaitForProcessWindow(ProcessOf(orvo.Window()), "#32770");
  ASSERT_NE(about, nullptr) << "no About box";
  EXPECT_TRUE(WaitUntil([&] { return WindowText(about) == "About KeyLoom Mapper"; }))
      << WindowText(about);
  RecordProperty("screenshot", SaveScreenshot(about, "about"));
  PostMessageA(about, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
  EXPECT_TRUE(IsRunning(orvo.Process()));
}

TEST_F(OrvoOnWine, RunsAtNormalPriorityWhateverItWasStartedWith) {
  Process orvo;
  ASSERT_TRUE(orvo.Start(InstallFolder() + "ORVO.EXE",
                         winetest::Quote(InstallFolder() + "ORVO.EXE"), IDLE_PRIORITY_CLASS));
  const HWND window = WaitForProcessWindow(GetProcessId(orvo.Handle()), "MyOrvoClass");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return GetPriorityClass(orvo.Handle()) == NORMAL_PRIORITY_CLASS; }))
      << "priority class 0x" << std::hex << GetPriorityClass(orvo.Handle());
  PostMessageA(window, WM_COMMAND, 32772, 0);
  EXPECT_TRUE(orvo.WaitForExit(20000));
}

TEST_F(OrvoOnWine, ADosBoxWithoutItsDriverLeavesTheWindowsGamePlayed) {
  // The DOS-box host module runs, but the driver that names its program does
  // not exist here: the query fails and the Windows game is found anyway.
  const std::string host = InstallFolder() + "WINOA386.MOD";
  ASSERT_TRUE(CopyFileA((winetest::ProgramFolder() + "testgame.exe").c_str(), host.c_str(), FALSE));
  Process dosBox;
  ASSERT_TRUE(dosBox.Start(
      host, winetest::Quote(host) + " " + winetest::Quote(winetest::TempPath("orvo-dosbox.log")),
      CREATE_NO_WINDOW));
  ASSERT_TRUE(WaitUntil([] {
    for (std::string name : ProcessNames()) {
      std::transform(name.begin(), name.end(), name.begin(), ::toupper);
      if (name.size() >= 12 && name.compare(name.size() - 12, 12, "WINOA386.MOD") == 0) return true;
    }
    return false;
  })) << "the DOS-box host does not show up as a process";

  std::string error;
  ASSERT_TRUE(SaveProfile(KeyFolder(), "NOTEPAD.EXE", "Typing", NotepadProfile(), error)) << error;
  Orvo orvo;
  ASSERT_TRUE(orvo.Start(error)) << error;
  Notepad notepad;
  ASSERT_TRUE(notepad.Start(error)) << error;
  ASSERT_TRUE(BringToFront(notepad.Window()));
  EXPECT_EQ(Press(notepad, 1, "K"), "K");
  notepad.Kill();
}

}  // namespace
}  // namespace kl::orvotest
