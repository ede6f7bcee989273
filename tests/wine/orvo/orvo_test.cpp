// ORVO.EXE end to end under Wine: started from an installation folder with
// the virtual pad configured as the maker's pad, it notices the registered
// program running, loads its active profile and types into it as the pad's
// buttons go down and up.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
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

  orvo.Notify(WM_RBUTTONUP);
  const HWND menu = WaitForProcessWindow(ProcessOf(window), "#32768");
  ASSERT_NE(menu, nullptr) << "no pop-up menu";
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(menu) != FALSE; }));
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
  const std::vector<std::string> texts = ChildTexts(box, "Static");
  EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end())
      << "the box does not show string 61227";
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

}  // namespace
}  // namespace kl::orvotest
