// ORVO.EXE end to end under Wine: started from an installation folder with
// the virtual pad configured as the maker's pad, it notices the registered
// program running, loads its active profile and types into it as the pad's
// buttons go down and up.
#include <windows.h>

#include <gtest/gtest.h>

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
  void TearDown() override { RemovePad(); }

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

}  // namespace
}  // namespace kl::orvotest
