// What every Windows test relies on: a display to create windows on, the
// virtual desktop of the build folder's prefix, and the Wine settings the
// harness promises.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Environment(const char* name) {
  char buffer[1024] = {};
  DWORD length = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

TEST(WineHarness, RunsInTheBuildFoldersPrefixWithWinedbgDisabled) {
  EXPECT_NE(Environment("WINEPREFIX").find("/wineprefix"), std::string::npos);
  EXPECT_EQ(Environment("WINEDEBUG"), "-all");
  EXPECT_NE(Environment("WINEDLLOVERRIDES").find("winedbg.exe=d"), std::string::npos);
}

TEST(WineHarness, WindowsCanBeCreatedShownAndFound) {
  HWND window = CreateWindowExA(0, "STATIC", "KL harness probe", WS_OVERLAPPEDWINDOW, 10, 10, 200,
                                100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  ShowWindow(window, SW_SHOW);
  EXPECT_EQ(FindWindowA(nullptr, "KL harness probe"), window);
  EXPECT_TRUE(IsWindowVisible(window));
  DestroyWindow(window);
}

TEST(WineHarness, TheScreenIsTheVirtualDesktop) {
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
}

}  // namespace
