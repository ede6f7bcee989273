// The test game as other tests use it: started with a log file, brought to
// the front, then fed synthetic keys and clicks; every message it receives
// is a line of its log, written at once.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness/support.h"

namespace {

using kl::winetest::Lines;
using kl::winetest::ReadWholeFile;
using kl::winetest::WaitUntil;

class TestGame : public ::testing::Test {
 protected:
  void SetUp() override {
    m_log = kl::winetest::TempPath("testgame-" + std::to_string(GetCurrentProcessId()) + ".log");
    DeleteFileA(m_log.c_str());
    ASSERT_TRUE(m_game.Start(kl::winetest::Quote(kl::winetest::ProgramFolder() + "testgame.exe") +
                             " " + kl::winetest::Quote(m_log)));
    ASSERT_TRUE(WaitUntil([&] { return Has("# ready", 0); })) << ReadWholeFile(m_log);
    m_window = FindWindowA(nullptr, "Test Game");
    ASSERT_NE(m_window, nullptr);
    SetForegroundWindow(m_window);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == m_window; }));
  }
  void TearDown() override {
    if (m_window != nullptr) {
      PostMessageA(m_window, WM_CLOSE, 0, 0);
      DWORD code = 1;
      EXPECT_TRUE(m_game.WaitForExit(10000, &code));
      EXPECT_EQ(code, 0u);
      EXPECT_TRUE(Has("# closed", 0));
    }
    DeleteFileA(m_log.c_str());
  }

  std::vector<std::string> Log() const { return Lines(ReadWholeFile(m_log)); }
  size_t Mark() const { return Log().size(); }
  // Whether a line from `from` on starts with `prefix`.
  bool Has(const std::string& prefix, size_t from) const {
    std::vector<std::string> lines = Log();
    for (size_t i = from; i < lines.size(); ++i) {
      if (lines[i].rfind(prefix, 0) == 0) {
        return true;
      }
    }
    return false;
  }

  std::string m_log;
  kl::winetest::Started m_game;
  HWND m_window = nullptr;
};

INPUT Key(WORD vk, WORD scan, DWORD flags) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = scan;
  input.ki.dwFlags = flags;
  return input;
}

TEST_F(TestGame, LogsKeysSentWithSendInputAndKeybdEvent) {
  struct Case {
    const char* name;
    void (*send)();
    std::vector<std::string> expected;  // line prefixes, each must appear
  };
  const Case cases[] = {
      {"letter through SendInput",
       [] {
         INPUT keys[] = {Key('A', 0x1E, 0), Key('A', 0x1E, KEYEVENTF_KEYUP)};
         SendInput(2, keys, sizeof(INPUT));
       },
       {"WM_KEYDOWN vk=0x41 scan=0x1e ext=0 alt=0 repeat=1 prev=0", "WM_CHAR char=0x61 scan=0x1e",
        "WM_KEYUP vk=0x41 scan=0x1e ext=0 alt=0 repeat=1 prev=1"}},
      {"right Ctrl through keybd_event",
       [] {
         keybd_event(VK_CONTROL, 0x1D, KEYEVENTF_EXTENDEDKEY, 0);
         keybd_event(VK_CONTROL, 0x1D, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
       },
       {"WM_KEYDOWN vk=0x11 scan=0x1d ext=1", "WM_KEYUP vk=0x11 scan=0x1d ext=1"}},
      {"Alt is a system key",
       [] {
         keybd_event(VK_MENU, 0x38, 0, 0);
         keybd_event(VK_MENU, 0x38, KEYEVENTF_KEYUP, 0);
       },
       {"WM_SYSKEYDOWN vk=0x12 scan=0x38 ext=0 alt=1", "WM_SYSKEYUP vk=0x12 scan=0x38 ext=0"}},
      {"function key after Alt still reaches the game",
       [] {
         keybd_event(VK_F5, 0x3F, 0, 0);
         keybd_event(VK_F5, 0x3F, KEYEVENTF_KEYUP, 0);
       },
       {"WM_KEYDOWN vk=0x74 scan=0x3f ext=0", "WM_KEYUP vk=0x74 scan=0x3f ext=0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    size_t mark = Mark();
    c.send();
    for (const std::string& line : c.expected) {
      EXPECT_TRUE(WaitUntil([&] { return Has(line, mark); }, 5000))
          << "missing: " << line << "\nlog:\n"
          << ReadWholeFile(m_log);
    }
  }
}

TEST_F(TestGame, LogsMouseMessagesWithCoordinatesButtonsAndWheel) {
  struct Case {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    const char* expected;
  };
  const Case cases[] = {
      {WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 30), "WM_LBUTTONDOWN x=40 y=30 buttons=0x0001"},
      {WM_RBUTTONUP, MK_SHIFT, MAKELPARAM(7, 9), "WM_RBUTTONUP x=7 y=9 buttons=0x0004"},
      {WM_MOUSEMOVE, 0, MAKELPARAM(-3, 600), "WM_MOUSEMOVE x=-3 y=600 buttons=0x0000"},
      {WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), MAKELPARAM(300, 200),
       "WM_MOUSEWHEEL x=300 y=200 buttons=0x0000 delta=-120"},
      {WM_XBUTTONDOWN, MAKEWPARAM(MK_XBUTTON1, XBUTTON1), MAKELPARAM(1, 2),
       "WM_XBUTTONDOWN x=1 y=2 buttons=0x0020 xbutton=1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    size_t mark = Mark();
    PostMessageA(m_window, c.message, c.wParam, c.lParam);
    EXPECT_TRUE(WaitUntil([&] { return Has(c.expected, mark); }, 5000)) << ReadWholeFile(m_log);
  }
}

TEST_F(TestGame, LogsSyntheticClicksAndMoves) {
  // The pointer starts in the middle of the screen, over the game's window.
  size_t mark = Mark();
  mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
  mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
  auto has = [&](const char* kind, const char* buttons) {
    for (const std::string& line : Log()) {
      if (line.rfind(kind, 0) == 0 && line.find(buttons) != std::string::npos) {
        return true;
      }
    }
    return false;
  };
  EXPECT_TRUE(WaitUntil([&] { return has("WM_LBUTTONDOWN x=", "buttons=0x0001"); }, 5000))
      << ReadWholeFile(m_log);
  EXPECT_TRUE(WaitUntil([&] { return has("WM_LBUTTONUP x=", "buttons=0x0000"); }, 5000))
      << ReadWholeFile(m_log);
  mark = Mark();
  mouse_event(MOUSEEVENTF_MOVE, 5, 3, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return Has("WM_MOUSEMOVE x=", mark); }, 5000))
      << ReadWholeFile(m_log);
}

}  // namespace
