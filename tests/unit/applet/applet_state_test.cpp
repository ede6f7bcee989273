// The sheet's Apply, Cancel and OK, and the values it keeps for the user.
#include <gtest/gtest.h>

#include "applet/applet_state.h"
#include "applet/selection.h"
#include "applet_fixture.h"

namespace kl::test {
namespace {

const std::string kJoyPanel = "HKEY_CURRENT_USER\\Control Panel\\Joy";

class Sheet : public AppletTest {
 protected:
  void SetUp() override {
    LoadDriverReg("\"Joystick1Configuration\"=" + Hex(ConfigBytes({{4, 2}, {8, 2}, {104, 2}})) +
                  "\n");
    PlugPad(0, 2);
    OpenSelectionPage(joysticks, state);
  }
};

TEST_F(Sheet, ApplyThenCancelWritesTheTableAsItWasOpened) {
  ASSERT_TRUE(AcceptJoystickType(joysticks, state, TypeChoice{1, 9}));
  ASSERT_TRUE(AcceptJoystickType(joysticks, state, TypeChoice{2, 4}));
  EXPECT_TRUE(IsSheetModified(state));
  ASSERT_TRUE(ApplySheet(joysticks, state));
  EXPECT_FALSE(IsSheetModified(state));
  EXPECT_EQ(Value(kSettings, "Joystick2Configuration"),
            ConfigBytes({{0, 0x20}, {4, 2}, {8, 2}, {104, 4}}));

  ASSERT_TRUE(CancelSheet(joysticks, state));
  EXPECT_EQ(state.working, state.opening);
  EXPECT_EQ(Value(kSettings, "Joystick1Configuration"), ConfigBytes({{4, 2}, {8, 2}, {104, 2}}));
  EXPECT_EQ(Value(kSettings, "Joystick2Configuration"), ConfigBytes({}));
  EXPECT_FALSE(Value(kJoyPanel, "AutoDetect"));
}

TEST_F(Sheet, OkWritesTheTableAndTheAutoDetectChoice) {
  ASSERT_TRUE(AcceptJoystickType(joysticks, state, TypeChoice{1, 9}));
  ApplySheet(joysticks, state);
  EXPECT_FALSE(Value(kJoyPanel, "AutoDetect"));
  for (bool choice : {true, false}) {
    state.autoDetect = choice;
    state.currentId = 3;
    ASSERT_TRUE(OkSheet(joysticks, state));
    uint32_t type = 0;
    EXPECT_EQ(Value(kJoyPanel, "AutoDetect", &type), std::vector<uint8_t>{uint8_t(choice)});
    EXPECT_EQ(type, kRegBinary);
    EXPECT_EQ(state.currentId, 0);
  }
  EXPECT_EQ(Value(kSettings, "Joystick1Configuration"),
            ConfigBytes({{0, 0x20}, {4, 4}, {8, 2}, {104, 9}}));
}

TEST(AutoDetectFlag, ReadFromTheUsersPanelKey) {
  const struct {
    const char* name;
    std::string reg;
    bool before;
    bool after;
  } cases[] = {
      {"no key keeps the flag off", "", false, false},
      {"no key keeps the flag on", "", true, true},
      {"no value turns it on", "[" + kJoyPanel + "]\n", false, true},
      {"zero", "[" + kJoyPanel + "]\n\"AutoDetect\"=hex:00\n", true, false},
      {"one", "[" + kJoyPanel + "]\n\"AutoDetect\"=hex:01\n", false, true},
      {"wrong size turns it on", "[" + kJoyPanel + "]\n\"AutoDetect\"=hex:00,00\n", false, true},
      {"wrong type turns it on", "[" + kJoyPanel + "]\n\"AutoDetect\"=\"0\"\n", false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimRegistry registry;
    std::string error;
    ASSERT_TRUE(registry.LoadText("REGEDIT4\n\n" + c.reg, &error)) << error;
    bool flag = c.before;
    LoadAutoDetectFlag(registry, flag);
    EXPECT_EQ(flag, c.after);
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
  }
}

TEST(AppletPaths, FromTheWorkPathValue) {
  const std::string key = "[HKEY_CURRENT_USER\\Software\\Vornatek\\GamePad2\\WorkPath]\n";
  const struct {
    const char* name;
    std::string reg;
    std::string help;
    std::string animation;
  } cases[] = {
      {"no key keeps the paths", "", "old.hlp", "old.avi"},
      {"a path", key + "\"Path\"=\"C:\\\\GamePad\"\n", "C:\\GamePad\\OSTRA.HLP",
       "C:\\GamePad\\MORVAX.AVI"},
      {"no value empties them", key, "", ""},
      {"too long empties them", key + "\"Path\"=\"" + std::string(300, 'p') + "\"\n", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimRegistry registry;
    std::string error;
    ASSERT_TRUE(registry.LoadText("REGEDIT4\n\n" + c.reg, &error)) << error;
    AppletPaths paths{"old.hlp", "old.avi"};
    LoadAppletPaths(registry, paths);
    EXPECT_EQ(paths.helpFile, c.help);
    EXPECT_EQ(paths.animation, c.animation);
  }
}

}  // namespace
}  // namespace kl::test
