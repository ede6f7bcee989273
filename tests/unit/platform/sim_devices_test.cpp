// The simulated joystick driver, DOS-box driver, process list and timers.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/sim/recording_timers.h"
#include "platform/sim/sim_dosbox.h"
#include "platform/sim/sim_joystick.h"
#include "platform/sim/sim_processes.h"

namespace kl {
namespace {

struct JoystickCase {
  const char* label;
  std::function<void(SimJoystick&)> setup;
  uint32_t id;
  uint32_t posResult;
  uint32_t capsResult;
};

class SimJoystickResults : public testing::TestWithParam<JoystickCase> {};

TEST_P(SimJoystickResults, AnswerWithThePlatformCodes) {
  const JoystickCase& c = GetParam();
  SimJoystick joystick;
  c.setup(joystick);
  JoyInfo info;
  info.dwFlags = kJoyReturnAll;
  info.dwXpos = 1234;
  JoyCaps caps;
  caps.wNumButtons = 99;
  EXPECT_EQ(joystick.GetPosEx(c.id, info), c.posResult);
  EXPECT_EQ(joystick.GetDevCaps(c.id, caps), c.capsResult);
  // A failed call leaves the caller's record as it was.
  if (c.posResult != kJoyErrNoError) {
    EXPECT_EQ(info.dwXpos, 1234u);
  }
  if (c.capsResult != kJoyErrNoError) {
    EXPECT_EQ(caps.wNumButtons, 99u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Codes, SimJoystickResults,
    testing::Values(JoystickCase{"plugged", [](SimJoystick& j) { j.Plug(2); }, 2, kJoyErrNoError,
                                 kJoyErrNoError},
                    JoystickCase{"nothing_at_id", [](SimJoystick& j) { j.Plug(2); }, 1,
                                 kJoyErrUnplugged, kJoyErrParms},
                    JoystickCase{"unplugged",
                                 [](SimJoystick& j) {
                                   j.Plug(0);
                                   j.Unplug(0);
                                 },
                                 0, kJoyErrUnplugged, kJoyErrParms},
                    JoystickCase{"removed",
                                 [](SimJoystick& j) {
                                   j.Plug(0);
                                   j.Remove(0);
                                 },
                                 0, kJoyErrUnplugged, kJoyErrParms},
                    JoystickCase{"beyond_device_count", [](SimJoystick& j) { j.Plug(16); }, 16,
                                 kJoyErrParms, kJoyErrParms},
                    JoystickCase{"count_lowered",
                                 [](SimJoystick& j) {
                                   j.Plug(3);
                                   j.SetNumDevs(3);
                                 },
                                 3, kJoyErrParms, kJoyErrParms},
                    JoystickCase{"no_driver",
                                 [](SimJoystick& j) {
                                   j.Plug(0);
                                   j.SetNumDevs(0);
                                 },
                                 0, kJoyErrParms, kJoyErrParms},
                    JoystickCase{"caps_forced_to_fail",
                                 [](SimJoystick& j) { j.Plug(1).capsResult = kJoyErrNoCanDo; }, 1,
                                 kJoyErrNoError, kJoyErrNoCanDo}),
    [](const testing::TestParamInfo<JoystickCase>& info) { return info.param.label; });

TEST(SimJoystick, NewDeviceReadsCentredAndAReplugKeepsItsConfiguration) {
  SimJoystick joystick;
  SimJoystick::Device& pad = joystick.Plug(0);
  pad.caps.wNumButtons = 12;
  pad.caps.szRegKey = "DRV<0000>";
  JoyInfo info;
  info.dwFlags = kJoyReturnAll;
  ASSERT_EQ(joystick.GetPosEx(0, info), kJoyErrNoError);
  EXPECT_EQ(info.dwXpos, kJoyCentre);
  EXPECT_EQ(info.dwYpos, kJoyCentre);
  EXPECT_EQ(info.dwButtons, 0u);
  EXPECT_EQ(info.dwFlags, kJoyReturnAll);

  pad.state.dwXpos = 0;
  pad.state.dwButtons = 0x5;
  joystick.Unplug(0);
  joystick.Plug(0);
  ASSERT_EQ(joystick.GetPosEx(0, info), kJoyErrNoError);
  EXPECT_EQ(info.dwXpos, 0u);
  EXPECT_EQ(info.dwButtons, 0x5u);
  JoyCaps caps;
  ASSERT_EQ(joystick.GetDevCaps(0, caps), kJoyErrNoError);
  EXPECT_EQ(caps.wNumButtons, 12u);
  EXPECT_EQ(caps.szRegKey, "DRV<0000>");
}

TEST(SimJoystick, PollFillsOnlyTheFieldsAskedFor) {
  SimJoystick joystick;
  SimJoystick::Device& pad = joystick.Plug(0);
  pad.state.dwXpos = 10;
  pad.state.dwYpos = 20;
  pad.state.dwButtons = 0x3;
  JoyInfo info;
  info.dwFlags = 0x01 | 0x80;  // X and buttons
  info.dwYpos = 777;
  ASSERT_EQ(joystick.GetPosEx(0, info), kJoyErrNoError);
  EXPECT_EQ(info.dwXpos, 10u);
  EXPECT_EQ(info.dwYpos, 777u);
  EXPECT_EQ(info.dwButtons, 0x3u);
}

TEST(SimJoystick, CountsConfigurationChanges) {
  SimJoystick joystick;
  EXPECT_EQ(joystick.ConfigChanged(0), kJoyErrNoError);
  EXPECT_EQ(joystick.ConfigChanged(0), kJoyErrNoError);
  EXPECT_EQ(joystick.ConfigChangedCount(), 2u);
}

TEST(SimDosBox, AbsentDeviceAndWrongNamesDoNotOpen) {
  SimDosBox dosbox;
  EXPECT_EQ(dosbox.Open("\\\\.\\QUORIX"), DosBoxDriver::kInvalidHandle);
  EXPECT_EQ(dosbox.LastError(), 2u);
  dosbox.SetProgram("C:\\GAMES\\DOOM.EXE");
  EXPECT_EQ(dosbox.Open("QUORIX"), DosBoxDriver::kInvalidHandle);
  EXPECT_EQ(dosbox.Open(nullptr), DosBoxDriver::kInvalidHandle);
  EXPECT_EQ(dosbox.openHandles, 0);
  DosBoxDriver::Handle device = dosbox.Open("\\\\.\\quorix");
  EXPECT_NE(device, DosBoxDriver::kInvalidHandle);
  EXPECT_EQ(dosbox.openHandles, 1);
  dosbox.Close(device);
  EXPECT_EQ(dosbox.openHandles, 0);
}

TEST(SimDosBox, CodeTwoCopiesTheAnswerIntoTheCallersBufferOnly) {
  SimDosBox dosbox;
  dosbox.SetProgram("C:\\GAMES\\DOOM.EXE");
  DosBoxDriver::Handle device = dosbox.Open(kDosBoxDeviceName);
  uint8_t word[4] = {};
  EXPECT_TRUE(dosbox.Control(device, 1, word, sizeof word));

  char buffer[300];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_TRUE(dosbox.Control(device, 2, buffer, 256));
  EXPECT_STREQ(buffer, "C:\\GAMES\\DOOM.EXE");

  // An answer longer than the buffer is cut at the buffer's end.
  dosbox.answer.assign(280, 'A');
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_TRUE(dosbox.Control(device, 2, buffer, 256));
  EXPECT_EQ(buffer[255], 'A');
  EXPECT_EQ(buffer[256], 'x');

  EXPECT_FALSE(dosbox.Control(device, 2, nullptr, 256));
  EXPECT_FALSE(dosbox.Control(device, 7, buffer, 256));
  EXPECT_EQ(dosbox.LastError(), 1u);
  dosbox.Close(device);
  EXPECT_FALSE(dosbox.Control(device, 2, buffer, 256));
  EXPECT_EQ(dosbox.LastError(), 6u);
  EXPECT_EQ(dosbox.controlCodes, (std::vector<uint32_t>{1, 2, 2, 2, 7, 2}));
}

TEST(SimDosBox, AFailingAnswerReportsItsErrorAndWritesNothing) {
  SimDosBox dosbox;
  dosbox.SetProgram("GAME.EXE");
  dosbox.answerSucceeds = false;
  dosbox.failureError = 31;
  DosBoxDriver::Handle device = dosbox.Open(kDosBoxDeviceName);
  char buffer[16] = "unchanged";
  EXPECT_FALSE(dosbox.Control(device, 2, buffer, sizeof buffer));
  EXPECT_EQ(dosbox.LastError(), 31u);
  EXPECT_STREQ(buffer, "unchanged");
  dosbox.DebugString("\n31");
  EXPECT_EQ(dosbox.debugLines, (std::vector<std::string>{"\n31"}));
}

TEST(SimProcesses, SnapshotsFollowStartsKillsAndFailures) {
  SimProcesses processes;
  processes.Start("C:\\WINDOWS\\EXPLORER.EXE");
  processes.Start("doom.exe");
  processes.Start("doom.exe");
  std::vector<std::string> names{"stale"};
  ASSERT_TRUE(processes.Snapshot(names));
  EXPECT_EQ(names, (std::vector<std::string>{"C:\\WINDOWS\\EXPLORER.EXE", "doom.exe", "doom.exe"}));
  EXPECT_TRUE(processes.Kill("doom.exe"));
  EXPECT_FALSE(processes.Kill("DOOM.EXE"));
  ASSERT_TRUE(processes.Snapshot(names));
  EXPECT_EQ(names.size(), 2u);
  processes.SetFailing(true);
  EXPECT_FALSE(processes.Snapshot(names));
  EXPECT_TRUE(names.empty());
  EXPECT_EQ(processes.SnapshotCount(), 3u);
}

TEST(RecordingTimers, RecordsCallsAndKnowsWhichRun) {
  RecordingTimers timers;
  EXPECT_TRUE(timers.Start(1, 40));
  EXPECT_TRUE(timers.Start(2, 1500));
  EXPECT_TRUE(timers.Start(1, 20));  // restarting replaces the period
  timers.Stop(2);
  timers.Stop(7);
  EXPECT_TRUE(timers.IsRunning(1));
  EXPECT_EQ(timers.PeriodOf(1), 20u);
  EXPECT_FALSE(timers.IsRunning(2));
  EXPECT_EQ(timers.PeriodOf(2), 0u);
  timers.SetFailing(true);
  EXPECT_FALSE(timers.Start(3, 30));
  EXPECT_FALSE(timers.IsRunning(3));
  EXPECT_EQ(timers.Calls(),
            (std::vector<std::string>{"timer start 1 40", "timer start 2 1500", "timer start 1 20",
                                      "timer stop 2", "timer stop 7", "timer start 3 30"}));
}

}  // namespace
}  // namespace kl
