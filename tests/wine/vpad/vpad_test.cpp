// The virtual pad seen the way our programs see a joystick: through the
// import of winmm.dll, which the harness points at the virtual pad's DLL.
// vpadctl (run as its own process) sets the devices.
#include <windows.h>

#include <mmsystem.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "harness/support.h"
#include "tools/vpad/vpad_block.h"

extern "C" MMRESULT WINAPI joyConfigChanged(DWORD flags);

namespace {

using kl::winetest::RunHelper;

constexpr UINT kUnplugged = 167;

void Vpadctl(const std::vector<std::string>& args) {
  kl::winetest::RunResult result = RunHelper("vpadctl.exe", args);
  ASSERT_TRUE(result.finished);
  ASSERT_EQ(result.exitCode, 0u) << result.output;
}

JOYINFOEX ReadAll(UINT id, MMRESULT& result) {
  JOYINFOEX info = {};
  info.dwSize = sizeof info;
  info.dwFlags = JOY_RETURNALL;
  result = joyGetPosEx(id, &info);
  return info;
}

class VirtualPad : public ::testing::Test {
 protected:
  void SetUp() override { Vpadctl({"reset"}); }
};

TEST_F(VirtualPad, TheProcessUsesTheVirtualPadsWinmm) {
  HMODULE winmm = GetModuleHandleA("winmm.dll");
  ASSERT_NE(winmm, nullptr);
  auto version = reinterpret_cast<DWORD(WINAPI*)()>(
      reinterpret_cast<void*>(GetProcAddress(winmm, "VpadVersion")));
  ASSERT_NE(version, nullptr) << "winmm.dll is not the virtual pad: is winmm=n,b set?";
  EXPECT_EQ(version(), kl::vpad::kVersion);
}

TEST_F(VirtualPad, EveryOtherWinmmCallIsForwardedToWinesOwn) {
  DWORD before = GetTickCount();
  DWORD time = timeGetTime();
  DWORD after = GetTickCount();
  // Both clocks count milliseconds since the same start.
  EXPECT_LE(before - 50, time);
  EXPECT_LE(time, after + 50);
  EXPECT_NE(GetModuleHandleA("winmm_real.dll"), nullptr);
  TIMECAPS caps = {};
  EXPECT_EQ(timeGetDevCaps(&caps, sizeof caps), static_cast<MMRESULT>(MMSYSERR_NOERROR));
  EXPECT_GT(caps.wPeriodMax, 0u);
}

TEST_F(VirtualPad, ReadingsFollowVpadctlStepByStep) {
  struct Step {
    std::vector<std::string> command;
    DWORD x, y, buttons, buttonNumber;
  };
  const Step steps[] = {
      {{"plug", "0"}, 32668, 32668, 0x0, 0},
      {{"state", "0", "x=0", "y=65535", "buttons=0x3"}, 0, 65535, 0x3, 2},
      {{"press", "0", "4"}, 0, 65535, 0x13, 3},
      {{"release", "0", "0"}, 0, 65535, 0x12, 2},
      // A field left out keeps its value.
      {{"state", "0", "x=100"}, 100, 65535, 0x12, 2},
      {{"state", "0", "buttons=0xFFFFFFFF"}, 100, 65535, 0xFFFFFFFF, 32},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.command[0] + " " + (step.command.size() > 2 ? step.command[2] : ""));
    Vpadctl(step.command);
    MMRESULT result;
    JOYINFOEX info = ReadAll(0, result);
    ASSERT_EQ(result, static_cast<MMRESULT>(JOYERR_NOERROR));
    EXPECT_EQ(info.dwXpos, step.x);
    EXPECT_EQ(info.dwYpos, step.y);
    EXPECT_EQ(info.dwButtons, step.buttons);
    EXPECT_EQ(info.dwButtonNumber, step.buttonNumber);
    EXPECT_EQ(info.dwPOV, static_cast<DWORD>(JOY_POVCENTERED));
  }
}

TEST_F(VirtualPad, UnpluggedAndUnknownIdsAnswerAsTheDriverDoes) {
  EXPECT_EQ(joyGetNumDevs(), 16u);
  Vpadctl({"plug", "1"});
  MMRESULT result;
  ReadAll(1, result);
  EXPECT_EQ(result, static_cast<MMRESULT>(JOYERR_NOERROR));

  Vpadctl({"unplug", "1"});
  struct Case {
    UINT id;
    MMRESULT expected;
  };
  const Case cases[] = {{1, kUnplugged}, {0, kUnplugged}, {15, kUnplugged}, {16, JOYERR_PARMS}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    ReadAll(c.id, result);
    EXPECT_EQ(result, c.expected);
    JOYCAPSA caps = {};
    EXPECT_EQ(joyGetDevCapsA(c.id, &caps, sizeof caps), c.expected);
    JOYINFO info = {};
    EXPECT_EQ(joyGetPos(c.id, &info), c.expected);
  }
  // Plugged in again, it has kept what it was plugged with.
  Vpadctl({"plug", "1"});
  ReadAll(1, result);
  EXPECT_EQ(result, static_cast<MMRESULT>(JOYERR_NOERROR));
}

TEST_F(VirtualPad, CapabilitiesShowButtonCountRegistryKeyAndName) {
  Vpadctl(
      {"plug", "2", "buttons=10", "regkey=MSJSTICK", "name=Vornatek GamePad", "axes=3", "hat=1"});
  JOYCAPSA caps = {};
  ASSERT_EQ(joyGetDevCapsA(2, &caps, sizeof caps), static_cast<MMRESULT>(JOYERR_NOERROR));
  EXPECT_EQ(caps.wNumButtons, 10u);
  EXPECT_STREQ(caps.szRegKey, "MSJSTICK");
  EXPECT_STREQ(caps.szPname, "Vornatek GamePad");
  EXPECT_EQ(caps.wNumAxes, 3u);
  EXPECT_EQ(caps.wCaps & (JOYCAPS_HASZ | JOYCAPS_HASPOV), JOYCAPS_HASZ | JOYCAPS_HASPOV);
  EXPECT_EQ(caps.wXmax, 65535u);

  JOYCAPSW wide = {};
  ASSERT_EQ(joyGetDevCapsW(2, &wide, sizeof wide), static_cast<MMRESULT>(JOYERR_NOERROR));
  EXPECT_EQ(wide.wNumButtons, 10u);
  EXPECT_STREQ(wide.szRegKey, L"MSJSTICK");

  // A second plug changes only what it names.
  Vpadctl({"plug", "2", "buttons=12"});
  ASSERT_EQ(joyGetDevCapsA(2, &caps, sizeof caps), static_cast<MMRESULT>(JOYERR_NOERROR));
  EXPECT_EQ(caps.wNumButtons, 12u);
  EXPECT_STREQ(caps.szRegKey, "MSJSTICK");
}

TEST_F(VirtualPad, NothingIsWrittenBeyondWhatTheCallerAskedFor) {
  Vpadctl({"plug", "3", "buttons=12"});
  Vpadctl({"state", "3", "x=1", "y=2", "buttons=0x4"});

  // A caps record given as 4 bytes gets 4 bytes.
  unsigned char bytes[sizeof(JOYCAPSA)];
  std::memset(bytes, 0xAB, sizeof bytes);
  EXPECT_EQ(joyGetDevCapsA(3, reinterpret_cast<JOYCAPSA*>(bytes), 4),
            static_cast<MMRESULT>(JOYERR_NOERROR));
  for (size_t i = 4; i < sizeof bytes; ++i) {
    ASSERT_EQ(bytes[i], 0xAB) << "byte " << i;
  }

  // Only the fields asked for are filled in.
  JOYINFOEX info = {};
  info.dwSize = sizeof info;
  info.dwFlags = JOY_RETURNX | JOY_RETURNBUTTONS;
  info.dwYpos = 777;
  info.dwPOV = 888;
  ASSERT_EQ(joyGetPosEx(3, &info), static_cast<MMRESULT>(JOYERR_NOERROR));
  EXPECT_EQ(info.dwXpos, 1u);
  EXPECT_EQ(info.dwButtons, 0x4u);
  EXPECT_EQ(info.dwYpos, 777u);
  EXPECT_EQ(info.dwPOV, 888u);

  // A record whose size is not set is refused and left alone.
  JOYINFOEX unsized = {};
  unsized.dwFlags = JOY_RETURNALL;
  unsized.dwXpos = 555;
  EXPECT_EQ(joyGetPosEx(3, &unsized), static_cast<MMRESULT>(MMSYSERR_INVALPARAM));
  EXPECT_EQ(unsized.dwXpos, 555u);
  EXPECT_EQ(joyGetPosEx(3, nullptr), static_cast<MMRESULT>(MMSYSERR_INVALPARAM));
  EXPECT_EQ(joyGetDevCapsA(3, nullptr, sizeof(JOYCAPSA)),
            static_cast<MMRESULT>(MMSYSERR_INVALPARAM));
}

TEST_F(VirtualPad, ConfigChangedCallsAreCountedForTests) {
  auto count = [] {
    kl::winetest::RunResult shown = RunHelper("vpadctl.exe", {"show"});
    size_t at = shown.output.find("configchanged=");
    return at == std::string::npos ? -1 : std::atoi(shown.output.c_str() + at + 14);
  };
  int before = count();
  ASSERT_GE(before, 0);
  EXPECT_EQ(joyConfigChanged(0), static_cast<MMRESULT>(JOYERR_NOERROR));
  EXPECT_EQ(joyConfigChanged(0), static_cast<MMRESULT>(JOYERR_NOERROR));
  EXPECT_EQ(count(), before + 2);
}

TEST_F(VirtualPad, ThresholdsAreKept) {
  UINT threshold = 1;
  EXPECT_EQ(joySetThreshold(4, 250), static_cast<MMRESULT>(JOYERR_NOERROR));
  EXPECT_EQ(joyGetThreshold(4, &threshold), static_cast<MMRESULT>(JOYERR_NOERROR));
  EXPECT_EQ(threshold, 250u);
  EXPECT_EQ(joySetThreshold(16, 1), static_cast<MMRESULT>(JOYERR_PARMS));
}

TEST_F(VirtualPad, WrongVpadctlCommandsFailAndChangeNothing) {
  Vpadctl({"plug", "0", "buttons=10", "regkey=KEEP"});
  Vpadctl({"state", "0", "x=11", "y=22", "buttons=0x1"});
  const std::vector<std::string> wrong[] = {
      {"plug", "16"},
      {"plug", "-1"},
      {"plug", "0", "buttons=33"},
      {"plug", "0", "regkey=" + std::string(32, 'K')},
      {"plug", "0", "x=5"},
      {"state", "0", "x=abc"},
      {"state", "0", "x=0x100000000"},
      {"state", "0", "x="},
      {"state", "0", "buttons"},
      {"state", "0", "regkey=OTHER"},
      {"state", "0", "x=1", "bogus=2"},
      {"press", "0", "32"},
      {"press", "0"},
      {"release", "0", "1", "2"},
      {"unplug", "0", "now"},
      {"unplug"},
      {"show", "0"},
      {"frobnicate", "0"},
  };
  for (const auto& args : wrong) {
    std::string shown;
    for (const std::string& arg : args) {
      shown += arg + " ";
    }
    SCOPED_TRACE(shown);
    kl::winetest::RunResult result = RunHelper("vpadctl.exe", args);
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 1u);
    EXPECT_EQ(result.output.rfind("vpadctl: ", 0), 0u) << result.output;
  }
  MMRESULT read;
  JOYINFOEX info = ReadAll(0, read);
  ASSERT_EQ(read, static_cast<MMRESULT>(JOYERR_NOERROR));
  EXPECT_EQ(info.dwXpos, 11u);
  EXPECT_EQ(info.dwYpos, 22u);
  EXPECT_EQ(info.dwButtons, 0x1u);
  JOYCAPSA caps = {};
  ASSERT_EQ(joyGetDevCapsA(0, &caps, sizeof caps), static_cast<MMRESULT>(JOYERR_NOERROR));
  EXPECT_EQ(caps.wNumButtons, 10u);
  EXPECT_STREQ(caps.szRegKey, "KEEP");
}

// The block's file written by hand, as a damaged or foreign file would be.
class DamagedBlock : public VirtualPad {
 protected:
  void Write(const kl::vpad::Block& block) {
    std::string path = kl::winetest::TempPath("klvpad-" + kl::vpad::BlockName() + ".bin");
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, &block, sizeof block, &written, nullptr));
    EXPECT_EQ(written, sizeof block);
    CloseHandle(file);
  }
};

TEST_F(DamagedBlock, OverlongTextsAndCountsAreBounded) {
  kl::vpad::Block block = {};
  block.magic = kl::vpad::kMagic;
  block.version = kl::vpad::kVersion;
  kl::vpad::Device& device = block.devices[5];
  device.configured = 1;
  device.plugged = 7;
  device.numButtons = 0xFFFFFFFF;
  device.numAxes = 99;
  std::memset(device.regKey, 'R', sizeof device.regKey);
  std::memset(device.name, 'N', sizeof device.name);
  Write(block);

  unsigned char bytes[sizeof(JOYCAPSA) + 16];
  std::memset(bytes, 0xAB, sizeof bytes);
  auto* caps = reinterpret_cast<JOYCAPSA*>(bytes);
  ASSERT_EQ(joyGetDevCapsA(5, caps, sizeof(JOYCAPSA)), static_cast<MMRESULT>(JOYERR_NOERROR));
  EXPECT_EQ(caps->wNumButtons, 32u);
  EXPECT_EQ(caps->wNumAxes, 6u);
  EXPECT_EQ(std::strlen(caps->szRegKey), 31u);
  EXPECT_EQ(std::strlen(caps->szPname), 31u);
  for (size_t i = sizeof(JOYCAPSA); i < sizeof bytes; ++i) {
    ASSERT_EQ(bytes[i], 0xAB);
  }
}

TEST_F(DamagedBlock, ABlockOfAnotherLayoutMeansNoDevices) {
  Vpadctl({"plug", "0"});
  kl::vpad::Block block = {};
  block.magic = 0x12345678;
  block.version = kl::vpad::kVersion;
  block.devices[0].configured = 1;
  block.devices[0].plugged = 1;
  Write(block);
  MMRESULT result;
  ReadAll(0, result);
  EXPECT_EQ(result, kUnplugged);
  // vpadctl starts such a block afresh.
  Vpadctl({"plug", "0"});
  ReadAll(0, result);
  EXPECT_EQ(result, static_cast<MMRESULT>(JOYERR_NOERROR));
}

}  // namespace
