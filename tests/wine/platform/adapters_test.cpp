// The other Win32 seam adapters on Wine: what they answer on a machine
// without a pad or a DOS-box driver, and that they pass calls through.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "platform/sim/sim_dosbox.h"
#include "platform/sim/sim_joystick.h"
#include "platform/win32/module_strings.h"
#include "platform/win32/win32_dosbox.h"
#include "platform/win32/win32_joystick.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_timers.h"

namespace kl {
namespace {

std::string UpperLastComponent(const std::string& path) {
  std::string name = path.substr(path.find_last_of('\\') + 1);
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return name;
}

TEST(Win32Processes, SnapshotListsThisProgram) {
  Win32Processes processes;
  std::vector<std::string> names{"stale"};
  ASSERT_TRUE(processes.Snapshot(names));
  EXPECT_EQ(std::count(names.begin(), names.end(), "stale"), 0);
  EXPECT_TRUE(std::any_of(names.begin(), names.end(), [](const std::string& name) {
    return UpperLastComponent(name) == "WINE_PLATFORM_TEST.EXE";
  }));
}

TEST(Win32DosBox, AbsentDeviceAnswersAsTheSimulatedOne) {
  Win32DosBox device;
  SimDosBox simulated;
  EXPECT_EQ(device.Open(kDosBoxDeviceName), DosBoxDriver::kInvalidHandle);
  EXPECT_EQ(device.LastError(), 2u);
  EXPECT_EQ(simulated.Open(kDosBoxDeviceName), DosBoxDriver::kInvalidHandle);
  EXPECT_EQ(simulated.LastError(), device.LastError());
  char buffer[256] = "untouched";
  EXPECT_FALSE(device.Control(DosBoxDriver::kInvalidHandle, 2, buffer, sizeof buffer));
  EXPECT_STREQ(buffer, "untouched");
  device.DebugString("\n2");
  device.Close(DosBoxDriver::kInvalidHandle);
}

TEST(Win32Joystick, PassesTheDriversCodesThrough) {
  Win32Joystick joystick;
  SimJoystick simulated;
  const uint32_t count = joystick.GetNumDevs();
  ASSERT_GT(count, 0u);
  simulated.SetNumDevs(count);
  // Beyond the driver's ids both refuse the id.
  JoyInfo info;
  info.dwFlags = kJoyReturnAll;
  JoyCaps caps;
  EXPECT_EQ(joystick.GetPosEx(count, info), kJoyErrParms);
  EXPECT_EQ(joystick.GetDevCaps(count, caps), kJoyErrParms);
  EXPECT_EQ(simulated.GetPosEx(count, info), kJoyErrParms);
  // An empty port: Wine refuses the id (165) where Windows reports it
  // unplugged (167); the simulation follows Windows. Both refuse capabilities.
  EXPECT_EQ(joystick.GetPosEx(0, info), kJoyErrParms);
  EXPECT_EQ(simulated.GetPosEx(0, info), kJoyErrUnplugged);
  EXPECT_EQ(joystick.GetDevCaps(0, caps), kJoyErrParms);
  EXPECT_EQ(simulated.GetDevCaps(0, caps), kJoyErrParms);
}

LRESULT CALLBACK QuietWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST(Win32Timers, StartDeliversTicksWithTheIdAndStopEndsThem) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = QuietWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "KlTimerTestWindow";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, "KlTimerTestWindow", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                windowClass.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  Win32Timers timers(window);
  ASSERT_TRUE(timers.Start(7, 10));
  MSG message;
  bool ticked = false;
  while (!ticked && GetMessageA(&message, nullptr, 0, 0) > 0) {
    ticked = message.message == WM_TIMER && message.hwnd == window && message.wParam == 7;
  }
  EXPECT_TRUE(ticked);
  timers.Stop(7);
  EXPECT_FALSE(KillTimer(window, 7)) << "the timer should be gone already";
  DestroyWindow(window);
}

TEST(ModuleStringSource, LoadsWholeTextsOfAnyLength) {
  ModuleStringSource strings(GetModuleHandleA(nullptr));
  EXPECT_EQ(strings.Load(101), "KeyLoom");
  const std::string longText = strings.Load(102);
  ASSERT_EQ(longText.size(), 600u);
  EXPECT_EQ(longText.substr(0, 10), "0123456789");
  EXPECT_EQ(longText.substr(590), "0123456789");
  EXPECT_EQ(strings.Load(103), "");
  EXPECT_EQ(strings.Load(0x10065), "");
}

}  // namespace
}  // namespace kl
