// The OK of the joystick type dialog and of the custom joystick dialog.
#include <gtest/gtest.h>

#include "applet/selection.h"
#include "applet_fixture.h"

namespace kl::test {
namespace {

class TypeDialog : public AppletTest {
 protected:
  void SetUp() override {
    LoadDriverReg(OemType("B_STICK", "Beta stick", 0x80001, 6, "beta.vxd") +
                  OemType("A_STICK", "Alpha stick", 0x1, 3));
    joysticks.BuildJoystickTypeList(state.types);
  }
  std::string Memory(const std::string& key) {
    return kJoyKey + "\\" + kDriver + "\\joystickSettings\\" + key;
  }
};

TEST_F(TypeDialog, AssignsTheChosenType) {
  const struct {
    uint32_t type;
    uint8_t present;
    std::string name;
    std::string key;
    std::string callout;
    uint32_t flags;
    uint32_t buttons;
    uint32_t usage;
  } cases[] = {
      {0, 0, "Type 22", "", "", 0, 0, 2},
      {2, 1, "Type 24", "predef2", "", 0, 2, 2},
      {6, 1, "Type 28", "predef6", "", 0x11, 2, 2},
      {11, 1, "Type 33", "predef11", "", 0x11, 4, 2},
      {12, 1, "Alpha stick", "A_STICK", "", 0x1, 3, 6},
      {13, 1, "Beta stick", "B_STICK", "beta.vxd", 0x80001, 6, 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    state.working.At(5).config.hwv.dwCalFlags = 0x27;  // an earlier type's calibration goes
    state.currentId = 5;
    ASSERT_TRUE(AcceptJoystickType(joysticks, state, TypeChoice{5, c.type, 0, 2}));
    const JoystickRecord& r = state.working.At(5);
    EXPECT_EQ(r.present, c.present);
    EXPECT_EQ(r.displayName, c.name);
    EXPECT_EQ(r.oemKey, c.key);
    EXPECT_EQ(r.oemCallout, c.callout);
    EXPECT_EQ(r.config.hws.dwFlags, c.flags);
    EXPECT_EQ(r.config.hws.dwNumButtons, c.buttons);
    EXPECT_EQ(r.config.dwUsageSettings, c.usage);
    EXPECT_EQ(r.config.dwType, c.type);
    EXPECT_EQ(r.config.hwv.dwCalFlags, 0u);
    EXPECT_EQ(state.currentId, kNoJoystick);
  }
}

TEST_F(TypeDialog, ATypeChosenAgainGetsItsRememberedCalibration) {
  // Calibrated as the registered type, then saved: the per-type memory.
  ASSERT_TRUE(AcceptJoystickType(joysticks, state, TypeChoice{3, 13}));
  state.working.At(3).config.hwv.jrvHardware.jpCenter.dwX = 512;
  state.working.At(3).config.hwv.dwCalFlags = 1;
  joysticks.SaveJoystickTable(state.working);
  // Another type in between, then the registered type again.
  ASSERT_TRUE(AcceptJoystickType(joysticks, state, TypeChoice{3, 4}));
  EXPECT_EQ(state.working.At(3).config.hwv.dwCalFlags, 0u);
  joysticks.SaveJoystickTable(state.working);
  ASSERT_TRUE(AcceptJoystickType(joysticks, state, TypeChoice{3, 13}));
  const JoystickRecord& r = state.working.At(3);
  EXPECT_EQ(r.config.hwv.jrvHardware.jpCenter.dwX, 512u);
  EXPECT_EQ(r.config.hwv.dwCalFlags, 1u);
  EXPECT_EQ(r.config.dwUsageSettings, 6u);
  EXPECT_EQ(r.config.dwType, 13u);
}

TEST_F(TypeDialog, CustomTypeKeepsItsCalibrationOnlyForTheSameAxesAndButtons) {
  ASSERT_TRUE(AcceptJoystickType(joysticks, state, TypeChoice{2, 1, 0x3, 8}));
  EXPECT_EQ(state.working.At(2).oemKey, "predef1");
  state.working.At(2).config.hwv.dwCalFlags = 0x21;
  joysticks.SaveJoystickTable(state.working);
  EXPECT_TRUE(Value(Memory("predef1"), "Joystick2Configuration"));

  const struct {
    uint32_t flags;
    uint32_t buttons;
    uint32_t calFlags;
  } cases[] = {
      {0x3, 8, 0x21},  // the same: remembered calibration back
      {0x3, 6, 0},     // other buttons: a fresh record
      {0x1, 8, 0},     // other flags: a fresh record
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.buttons);
    ASSERT_TRUE(AcceptJoystickType(joysticks, state, TypeChoice{2, 1, c.flags, c.buttons}));
    const JoystickRecord& r = state.working.At(2);
    EXPECT_EQ(r.present, 1);
    EXPECT_EQ(r.displayName, "Type 23");
    EXPECT_EQ(r.oemKey, "predef1");
    EXPECT_EQ(r.config.hws.dwFlags, c.flags);
    EXPECT_EQ(r.config.hws.dwNumButtons, c.buttons);
    EXPECT_EQ(r.config.dwUsageSettings, 2u);
    EXPECT_EQ(r.config.dwType, 1u);
    EXPECT_EQ(r.config.hwv.dwCalFlags, c.calFlags);
  }
}

TEST_F(TypeDialog, RefusesIdsAndTypesOutsideTheLists) {
  const JoystickTable before = state.working;
  state.currentId = 4;
  EXPECT_FALSE(AcceptJoystickType(joysticks, state, TypeChoice{0, 2}));
  EXPECT_FALSE(AcceptJoystickType(joysticks, state, TypeChoice{17, 2}));
  EXPECT_FALSE(AcceptJoystickType(joysticks, state, TypeChoice{1, 14}));
  EXPECT_FALSE(AcceptJoystickType(joysticks, state, TypeChoice{1, 0xFFFFFFFF}));
  EXPECT_EQ(state.working, before);
  EXPECT_EQ(state.currentId, 4);
}

TEST_F(TypeDialog, CommitWritesAndComparesWithTheAppliedTable) {
  state.applied = state.working;
  ASSERT_TRUE(AcceptJoystickType(joysticks, state, TypeChoice{1, 3}));
  const TypeDialogOutcome outcome = CommitJoystickType(joysticks, state);
  EXPECT_TRUE(outcome.modified);
  ASSERT_EQ(outcome.rows.size(), 1u);
  EXPECT_EQ(outcome.rows[0].name, "Type 25");
  EXPECT_EQ(Value(kSettings, "Joystick1Configuration"), ConfigBytes({{4, 4}, {8, 2}, {104, 3}}));

  // Probing alone (status, pad buttons) does not count as a change.
  state.applied = state.working;
  PlugPad(0, 4);
  EXPECT_FALSE(CommitJoystickType(joysticks, state).modified);
}

TEST_F(TypeDialog, OpensOnTheCurrentJoystickOrTheFirstFreeId) {
  state.working.At(1).present = 1;
  state.working.At(2).present = 1;
  EXPECT_EQ(InitialTypeSelection(state).comboIndex, 2u);
  EXPECT_EQ(InitialTypeSelection(state).typeIndex, 0u);

  state.working.At(6).config.dwType = 9;
  state.currentId = 6;
  EXPECT_EQ(InitialTypeSelection(state).comboIndex, 5u);
  EXPECT_EQ(InitialTypeSelection(state).typeIndex, 9u);

  // An auto-detected pad selects its registered type.
  JoystickRecord& pad = state.working.At(6);
  pad.oemKey = "B_STICK";
  pad.config.dwUsageSettings = 6;
  pad.config.dwType = 15;
  EXPECT_EQ(InitialTypeSelection(state).typeIndex, 13u);
}

TEST(CustomJoystickDialog, FlagsAndButtonsFromTheControls) {
  const struct {
    CustomJoystickChoice choice;
    uint32_t flags;
    uint32_t buttons;
  } cases[] = {
      {{0, 0, false, false, SpecialKind::kNone}, 0, 2},
      {{1, 2, false, false, SpecialKind::kNone}, 0x1, 4},
      {{2, 0, true, false, SpecialKind::kYoke}, 0x80003, 2},  // kind ignored while unchecked
      {{0, 1, false, true, SpecialKind::kCarController}, 0x40, 3},
      {{1, 0, true, true, SpecialKind::kGamepad}, 0x23, 2},
      {{2, 8, false, true, SpecialKind::kYoke}, 0x80011, 10},
      {{5, 0, false, true, SpecialKind::kNone}, 0, 2},
  };
  for (const auto& c : cases) {
    const CustomJoystickResult result = AcceptCustomJoystick(c.choice);
    EXPECT_EQ(result.flags, c.flags) << c.choice.axesEntry << " " << c.choice.buttonEntry;
    EXPECT_EQ(result.buttons, c.buttons);
  }
}

}  // namespace
}  // namespace kl::test
