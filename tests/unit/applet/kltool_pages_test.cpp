// kltool joystick calibrate and testpage: scripts run as a user runs them,
// the page's lines they print and the .reg file they leave.
#include <gtest/gtest.h>

#include <string>

#include "kltool_fixture.h"

namespace kl::test {
namespace {

// Joystick 1: a custom joystick with four buttons and the hardware flags
// given (Z by default); joystick 2: the maker's pad, registered as an OEM type.
std::string TwoJoysticks(uint32_t flags = kJoyHwsHasZ) {
  return "[" + kSettings + "]\n\"Joystick1Configuration\"=" +
         Hex(ConfigBytes({{0, flags}, {4, 4}, {8, 2}, {104, 1}})) +
         "\n\"Joystick2Configuration\"=" +
         Hex(ConfigBytes({{0, 0x20}, {4, 12}, {8, 6}, {104, 12}})) +
         "\n\"Joystick2OEMName\"=\"VPAD\"\n" + OemType("VPAD", kPadName, 0x20, 12);
}

class KltoolPages : public KltoolJoystick {
 protected:
  std::string Script(const std::string& text) {
    const std::string path = (m_dir / "script.txt").string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  static bool Has(const std::string& out, const std::string& line) {
    return ("\n" + out).find("\n" + line + "\n") != std::string::npos;
  }
};

TEST_F(KltoolPages, CalibrateStoresWhatThePageCaptured) {
  WriteReg(TwoJoysticks());
  const std::string script = Script(
      "current 1\n"
      "activate\n"
      "state 0 x=300 y=310 z=50\n"
      "tick\n"
      "state 0 buttons=1   # the centre\n"
      "tick\n"
      "state 0 buttons=0 x=20 y=30\n"
      "tick\n"
      "state 0 x=700 y=690 buttons=8   # the range\n"
      "tick 2\n"
      "state 0 buttons=0 z=600\n"
      "tick\n"
      "state 0 buttons=2   # Z\n"
      "tick\n"
      "deactivate\n");
  const ToolRun run = Kltool("calibrate --registry " + m_reg + " --answering 0:4,1:12 " + script);
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* line : {"prompt 1", "timer start", "prompt 2", "enable 1060", "prompt 3",
                           "prompt 57354", "disable 1061", "timer stop", "modified"}) {
    EXPECT_TRUE(Has(run.out, line)) << line << "\n" << run.out;
  }
  const JoystickTable table = Reload();
  const JoystickRecord& record = table.At(1);
  const JoyRange& range = record.config.hwv.jrvHardware;
  EXPECT_EQ(range.jpCenter, (JoyPos{300, 310, (50 + 600) / 2, 0, 0, 0}));
  EXPECT_EQ(range.jpMin, (JoyPos{20, 30, 50, 0, 0, 0}));
  EXPECT_EQ(range.jpMax, (JoyPos{700, 690, 600, 0, 0, 0}));
  EXPECT_EQ(record.config.hwv.dwCalFlags, 0x3u);
}

TEST_F(KltoolPages, LeavingTheCalibrationUnfinishedLeavesTheFileAlone) {
  WriteReg(TwoJoysticks());
  const std::string before = ReadFile(m_reg);
  const ToolRun run = Kltool("calibrate --registry " + m_reg + " --answering 0:4 " +
                             Script("current 1\nactivate\nstate 0 buttons=1\ntick 3\n"
                                    "press back\npress next\ndeactivate\n"));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Has(run.out, "# 1060 is disabled")) << run.out;
  EXPECT_TRUE(Has(run.out, "enable 1060")) << "Next skips X/Y and enables Back\n" << run.out;
  EXPECT_FALSE(Has(run.out, "modified"));
  EXPECT_EQ(ReadFile(m_reg), before);
}

TEST_F(KltoolPages, APollingFailureAsksAndRetryPollsAgain) {
  WriteReg(TwoJoysticks());
  const ToolRun run = Kltool("calibrate --registry " + m_reg + " --answering 0:4,1:12 " +
                             Script("current 2\nactivate\nfail 1\nanswer retry\ntick\n"
                                    "tick\nheal 1\ntick 5\npaint\ncurrent 1\n"));
  ASSERT_NE(run.status, 0) << "current cannot change while the page is active";
  EXPECT_NE(run.err.find(":10: "), std::string::npos) << run.err;
  const std::string expected =
      "timer stop\nmessage 12\ntimer start\n"  // retry
      "timer stop\nmessage 12\n";              // cancel: ticks stop
  EXPECT_NE(run.out.find(expected), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("message 12\ntext 1065"), std::string::npos)
      << "nothing happens until the repaint\n"
      << run.out;
  EXPECT_TRUE(Has(run.out, "string 1067 57349")) << "the 12-button pad\n" << run.out;
}

TEST_F(KltoolPages, TheTestPageLightsThePadsButtons) {
  WriteReg(TwoJoysticks(kJoyHwsHasZ | kJoyHwsHasPov));
  const ToolRun large = Kltool("testpage --registry " + m_reg + " --answering 0:4,1:12 " +
                               Script("current 2\nactivate\ntick\nstate 1 buttons=0x800\ntick\n"
                                      "state 1 buttons=0\ntick\n"));
  ASSERT_EQ(large.status, 0) << large.err;
  EXPECT_TRUE(Has(large.out, "picture 400 0,0,379,264")) << large.out;
  EXPECT_NE(large.out.find("picture 401 94,65,158,124\npicture 421 279,40,314,74\n"
                           "picture 433 279,40,314,74\n"),
            std::string::npos)
      << large.out;

  const ToolRun small = Kltool("testpage --registry " + m_reg + " --answering 0:4,1:12 " +
                               Script("layout small\ncurrent 2\nactivate\nstate 1 x=0 buttons=1\n"
                                      "tick\npress previous\nstate 0 pov=4500\ntick\n"
                                      "state 0 pov=4499\ntick\ndeactivate\n"));
  ASSERT_EQ(small.status, 0) << small.err;
  for (const char* line : {"picture 450 0,0,304,206", "picture 460 180,82,199,100",
                           "picture 454 80,68,87,81", "masked 212 213 30,65", "hat 229"}) {
    EXPECT_TRUE(Has(small.out, line)) << line << "\n" << small.out;
  }
  EXPECT_EQ(small.out.find("hat 229"), small.out.rfind("hat 2")) << "4499 draws no hat picture";
}

TEST_F(KltoolPages, MistakesAreUserErrorsAndTheFileStays) {
  WriteReg(TwoJoysticks());
  const std::string before = ReadFile(m_reg);
  const struct {
    const char* command;
    const char* script;
    const char* message;
  } cases[] = {
      {"calibrate", "activate\nbounce\n", "2: unknown command: bounce"},
      {"calibrate", "paint\n", "1: the page is not active"},
      {"calibrate", "current 17\n", "1: usage: current ID"},
      {"calibrate", "state 5 x=1\n", "1: joystick 5 is not a simulated joystick"},
      {"calibrate", "state 0 w=1\n", "1: expected x=, y=, z=, r=, pov= or buttons="},
      {"testpage", "activate\npress back\n", "2: usage: press previous|following"},
      {"testpage", "activate\nlayout small\n", "2: layout is chosen before the page first opens"},
      {"testpage", "tick 1000001\n", "1: usage: tick [N]"},
      {"testpage", "answer maybe\n", "1: usage: answer retry|cancel"},
      {"testpage", "activate\nactivate\n", "2: the page is active"},
  };
  for (const auto& c : cases) {
    const ToolRun run = Kltool(std::string(c.command) + " --registry " + m_reg +
                               " --answering 0:4 " + Script(c.script));
    EXPECT_EQ(run.status, 1) << c.script;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << c.script << run.err;
    EXPECT_EQ(ReadFile(m_reg), before) << c.script;
  }
  const ToolRun extra = Kltool("testpage --registry " + m_reg + " one two");
  EXPECT_EQ(extra.status, 1);
  EXPECT_NE(extra.err.find("usage: kltool joystick"), std::string::npos) << extra.err;
}

}  // namespace
}  // namespace kl::test
