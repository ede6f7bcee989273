// The tray icon in a process of its own, with a window that outlives it, so
// that what the icon does to the notification area can be seen: Wine drops
// the icons of a window that is destroyed, which would hide a missing delete.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/module.h"
#include "harness/support.h"
#include "mapper/win32/orvo_ids.h"
#include "mapper/win32/tray_icon.h"
#include "orvo/orvo_world.h"

namespace kl::orvotest {
namespace {

std::vector<UINT> g_commands;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) g_commands.push_back(LOWORD(wParam));
  return DefWindowProcA(window, message, wParam, lParam);
}

class TrayIconOnWine : public ::testing::Test {
 protected:
  void SetUp() override {
    m_module = LoadLibraryA((winetest::ProgramFolder() + kOrvoResourceModule).c_str());
    ASSERT_NE(m_module, nullptr);
    AfxSetResourceHandle(m_module);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &OwnerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KlTrayOwner";
    RegisterClassA(&wc);
    m_owner = CreateWindowExA(0, wc.lpszClassName, "owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                              nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(m_owner, nullptr);
    g_commands.clear();
  }
  void TearDown() override {
    DestroyWindow(m_owner);
    AfxSetResourceHandle(nullptr);
    FreeLibrary(m_module);
  }

  HMODULE m_module = nullptr;
  HWND m_owner = nullptr;
};

TEST_F(TrayIconOnWine, AddsChangesAndRemovesItsIcon) {
  TrayIcon icon(kTrayIconId);
  EXPECT_EQ(std::string(icon.Tip()), OrvoString(kTrayIconId));
  icon.SetNotificationWnd(m_owner, WM_USER);

  EXPECT_TRUE(icon.SetIcon(static_cast<HICON>(nullptr))) << "nothing to remove is no failure";
  EXPECT_FALSE(HasTrayIcon(m_owner, kTrayIconId));
  ASSERT_TRUE(icon.SetIcon(kTrayIconId));
  EXPECT_TRUE(icon.HasIcon());
  EXPECT_TRUE(HasTrayIcon(m_owner, kTrayIconId));
  // A second icon for the same id changes the first instead of adding one.
  EXPECT_TRUE(icon.SetIcon(kTrayIconId));
  EXPECT_TRUE(HasTrayIcon(m_owner, kTrayIconId));

  EXPECT_TRUE(icon.SetIcon(0u));
  EXPECT_FALSE(icon.HasIcon());
  EXPECT_FALSE(HasTrayIcon(m_owner, kTrayIconId));
  EXPECT_TRUE(icon.SetIcon(0u));
}

TEST_F(TrayIconOnWine, GoingAwayRemovesTheIcon) {
  {
    TrayIcon icon(kTrayIconId);
    icon.SetNotificationWnd(m_owner, WM_USER);
    ASSERT_TRUE(icon.SetIcon(kTrayIconId));
    ASSERT_TRUE(HasTrayIcon(m_owner, kTrayIconId));
  }
  EXPECT_TRUE(IsWindow(m_owner));
  EXPECT_FALSE(HasTrayIcon(m_owner, kTrayIconId));
}

TEST_F(TrayIconOnWine, LongTipIsCutAndTerminated) {
  TrayIcon icon(kTrayIconId);
  icon.SetNotificationWnd(m_owner, WM_USER);
  const std::string tip(100, 'x');
  ASSERT_TRUE(icon.SetIcon(LoadIconA(nullptr, MAKEINTRESOURCEA(32512)), tip.c_str()));
  EXPECT_EQ(std::string(icon.Tip()), std::string(63, 'x'));
}

TEST_F(TrayIconOnWine, NotificationsForTheIconAloneAndOnlyDoubleClickAndRightButton) {
  TrayIcon icon(kTrayIconId);
  icon.SetNotificationWnd(m_owner, WM_USER);
  struct Case {
    WPARAM id;
    LPARAM mouse;
    LRESULT handled;
    std::vector<UINT> commands;
  };
  const Case cases[] = {
      {kTrayIconId, WM_LBUTTONDBLCLK, 1, {kActivateProgramCommand}},
      {kTrayIconId + 1, WM_LBUTTONDBLCLK, 0, {}},
      {kTrayIconId, WM_LBUTTONDOWN, 0, {}},
      {kTrayIconId, WM_MOUSEMOVE, 0, {}},
      {kTrayIconId, WM_RBUTTONDOWN, 0, {}},
  };
  for (const Case& c : cases) {
    g_commands.clear();
    EXPECT_EQ(icon.OnTrayNotification(c.id, c.mouse), c.handled)
        << "id " << c.id << " message 0x" << std::hex << c.mouse;
    EXPECT_EQ(g_commands, c.commands) << "id " << c.id << " message 0x" << std::hex << c.mouse;
  }
}

TEST_F(TrayIconOnWine, WithoutItsMenuNothingIsHandled) {
  TrayIcon icon(kTrayIconId);
  icon.SetNotificationWnd(m_owner, WM_USER);
  // The test program holds no menu 161.
  AfxSetResourceHandle(GetModuleHandleA(nullptr));
  EXPECT_EQ(icon.OnTrayNotification(kTrayIconId, WM_LBUTTONDBLCLK), 0);
  EXPECT_TRUE(g_commands.empty());
}

}  // namespace
}  // namespace kl::orvotest
