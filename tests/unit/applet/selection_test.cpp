// The selection page's work on the table: auto-detection, dead devices, the
// device list rows and the OK of the two type dialogs.
#include <gtest/gtest.h>

#include "applet/selection.h"
#include "applet_fixture.h"

namespace kl::test {
namespace {

class Selection : public AppletTest {
 protected:
  // Registered pad type, driver key, and the type list built.
  void SetUpPadType() {
    LoadDriverReg(OemType("VPAD", kPadName, 0x20, 12, "") + OemType("OTHER", "Flight", 0x11, 4));
    joysticks.BuildJoystickTypeList(state.types);
  }
  // A pad the user configured on `id`, calibrated.
  void MakeTableWithPadOn(uint32_t id) {
    JoystickRecord& r = state.working.At(id);
    r.present = 1;
    r.displayName = kPadName;
    r.oemKey = "VPAD";
    r.config.hws = {0x20, 12};
    r.config.dwUsageSettings = 6;
    r.config.hwv.dwCalFlags = 1;
    r.config.dwType = 15;
  }
  JoystickRecord Other(uint32_t buttons) {
    JoystickRecord r;
    r.present = 1;
    r.displayName = "Type 25";
    r.oemKey = "predef3";
    r.config.hws = {0, buttons};
    r.config.dwUsageSettings = 2;
    r.config.dwType = 3;
    return r;
  }
};

void ExpectPadRecord(const JoystickRecord& r, const std::string& key, uint32_t flags,
                     uint32_t buttons) {
  EXPECT_EQ(r.present, 1);
  EXPECT_EQ(r.displayName, kPadName);
  EXPECT_EQ(r.oemKey, key);
  EXPECT_EQ(r.config.hws.dwFlags, flags);
  EXPECT_EQ(r.config.hws.dwNumButtons, buttons);
  EXPECT_EQ(r.config.dwUsageSettings, 6u);
  EXPECT_EQ(r.config.dwType, 15u);
}

void ExpectEmptied(const JoystickRecord& r) {
  JoystickRecord expected;
  expected.config.dwUsageSettings = 2;
  EXPECT_EQ(r, expected);
}

TEST_F(Selection, AutoDetectOnAnEmptyTablePlacesTheAnsweringPads) {
  SetUpPadType();
  PlugPad(0, 12);
  PlugPad(1, 10);
  AutoDetectPads(joysticks, state);

  EXPECT_EQ(state.respondingCount, 2);
  ExpectPadRecord(state.working.At(1), "VPAD", 0x20, 12);
  ExpectPadRecord(state.working.At(2), "VPAD", 0x20, 12);
  ExpectEmptied(state.working.At(3));
  ExpectEmptied(state.working.At(4));
  for (uint32_t id = 5; id <= 16; ++id) EXPECT_EQ(state.working.At(id), JoystickRecord{}) << id;

  // What the registry now says, byte for byte.
  EXPECT_EQ(Value(kSettings, "Joystick1Configuration"),
            ConfigBytes({{0, 0x20}, {4, 12}, {8, 6}, {104, 15}}));
  EXPECT_EQ(StringValue(kSettings, "Joystick2OEMName"), "VPAD");
  EXPECT_EQ(Value(kSettings, "Joystick3Configuration"), ConfigBytes({{8, 2}}));
  EXPECT_FALSE(Value(kSettings, "Joystick3OEMName"));
}

TEST_F(Selection, AutoDetectMovesOtherDevicesToTheFirstFreeIds) {
  SetUpPadType();
  PlugPad(0, 12);
  PlugPad(1, 4);
  state.working.At(2) = Other(4);
  AutoDetectPads(joysticks, state);

  ExpectPadRecord(state.working.At(1), "VPAD", 0x20, 12);
  ExpectPadRecord(state.working.At(2), "VPAD", 0x20, 12);
  EXPECT_EQ(state.working.At(3), Other(4));
  ExpectEmptied(state.working.At(4));
  EXPECT_EQ(Value(kSettings, "Joystick3Configuration"), ConfigBytes({{4, 4}, {8, 2}, {104, 3}}));
}

TEST_F(Selection, AutoDetectKeepsPadsConfiguredBefore) {
  SetUpPadType();
  PlugPad(0, 12);
  // A pad on id 3 that does not answer stays: it was configured by the user.
  MakeTableWithPadOn(3);
  AutoDetectPads(joysticks, state);
  ExpectPadRecord(state.working.At(1), "VPAD", 0x20, 12);
  ExpectEmptied(state.working.At(2));
  EXPECT_EQ(state.working.At(3).config.hwv.dwCalFlags, 1u);
  ExpectEmptied(state.working.At(4));
}

TEST_F(Selection, AutoDetectDoesNothingWithFourPadsBeyondIdFour) {
  SetUpPadType();
  PlugPad(0, 12);
  for (uint32_t id = 5; id <= 8; ++id) MakeTableWithPadOn(id);
  state.working.At(1) = Other(2);
  const JoystickTable before = state.working;
  AutoDetectPads(joysticks, state);
  EXPECT_EQ(state.working, before);
  EXPECT_EQ(joystick.ConfigChangedCount(), 0u);
}

TEST_F(Selection, AutoDetectWithoutThePadTypeGivesBarePadRecords) {
  LoadDriverReg();
  joysticks.BuildJoystickTypeList(state.types);
  PlugPad(0, 12);
  AutoDetectPads(joysticks, state);
  ExpectPadRecord(state.working.At(1), "", 0, 0);
}

TEST_F(Selection, AutoDetectDropsDisplacedDevicesWithoutAFreeId) {
  SetUpPadType();
  for (uint32_t n = 0; n < 4; ++n) PlugPad(n, 12);
  for (uint32_t id = 1; id <= 16; ++id) state.working.At(id) = Other(id);
  AutoDetectPads(joysticks, state);
  for (uint32_t id = 1; id <= 4; ++id) ExpectPadRecord(state.working.At(id), "VPAD", 0x20, 12);
  for (uint32_t id = 5; id <= 16; ++id) EXPECT_EQ(state.working.At(id), Other(id)) << id;
}

TEST_F(Selection, DeadDevicesGoUnlessTheyArePlainGamepads) {
  LoadDriverReg();
  const struct {
    uint32_t id;
    uint8_t status;
    uint32_t flags;
    bool kept;
  } cases[] = {
      {1, kStatusAnswers, 0x1, true},     {2, kStatusUnplugged, 0x20, true},
      {3, kStatusUnplugged, 0x21, false}, {4, kStatusFailed, 0x0, false},
      {5, kStatusFailed, 0x20, true},     {6, kStatusUnplugged, 0x10, false},
  };
  for (const auto& c : cases) {
    JoystickRecord& r = state.working.At(c.id);
    r.present = 1;
    r.displayName = "device";
    r.status = c.status;
    r.config.hws = {c.flags, 4};
  }
  RemoveDeadDevices(joysticks, state);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    if (c.kept) {
      EXPECT_EQ(state.working.At(c.id).displayName, "device");
    } else {
      ExpectEmptied(state.working.At(c.id));
      EXPECT_EQ(Value(kSettings, JoystickValueName(c.id, "Configuration")), ConfigBytes({{8, 2}}));
    }
  }
}

TEST_F(Selection, OpeningThePageLoadsProbesAndRemovesDeadDevices) {
  LoadDriverReg("\"Joystick1Configuration\"=" + Hex(ConfigBytes({{4, 2}, {8, 2}, {104, 2}})) +
                "\n\"Joystick2Configuration\"=" + Hex(ConfigBytes({{4, 4}, {8, 2}, {104, 3}})) +
                "\n");
  PlugPad(0, 2);
  state.working.At(9).displayName = "left from an earlier opening";
  const std::vector<DeviceRow> rows = OpenSelectionPage(joysticks, state);

  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].name, "Type 24");
  EXPECT_EQ(state.opening.At(2).displayName, "Type 25");  // the snapshot is taken before
  ExpectEmptied(state.working.At(2));
  EXPECT_EQ(Value(kSettings, "Joystick2Configuration"), ConfigBytes({{8, 2}}));
  EXPECT_EQ(state.working.At(9), JoystickRecord{});
}

TEST_F(Selection, DeviceRowsShowIdNameStateAndPadModel) {
  SetUpPadType();
  const struct {
    uint32_t id;
    std::string name;
    bool plugged;
    uint32_t buttons;
    DeviceImage image;
    uint8_t padButtons;
    std::string state;
  } cases[] = {
      {1, kPadName, true, 10, DeviceImage::kPad10, 10, "Ready"},
      {2, "Brontal GamePad II", true, 12, DeviceImage::kPad12, 12, "Ready"},
      {3, kPadName, false, 12, DeviceImage::kPadNotAnswering, 0, "Not connected"},
      {4, kPadName, true, 11, DeviceImage::kOther, 0, "Ready"},
      {12, "Flight", true, 12, DeviceImage::kOther, 0, "Ready"},
  };
  for (const auto& c : cases) {
    JoystickRecord& r = state.working.At(c.id);
    r.present = 1;
    r.displayName = c.name;
    r.config.hws = {0x20, c.buttons};
    PlugPad(c.id - 1, c.buttons);
    if (!c.plugged) joystick.Unplug(c.id - 1);
  }
  const std::vector<DeviceRow> rows = FillDeviceList(joysticks, state);
  ASSERT_EQ(rows.size(), std::size(cases));
  for (size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(cases[i].id);
    EXPECT_EQ(rows[i].id, cases[i].id);
    EXPECT_EQ(rows[i].idText, " " + std::to_string(cases[i].id));
    EXPECT_EQ(rows[i].name, cases[i].name);
    EXPECT_EQ(rows[i].state, cases[i].state);
    EXPECT_EQ(rows[i].image, cases[i].image);
    EXPECT_EQ(state.working.At(cases[i].id).padButtons, cases[i].padButtons);
  }
}

TEST_F(Selection, DeviceRowTextsAreCutToTheirColumns) {
  LoadDriverReg();
  strings.Set(21, std::string(80, 's'));
  JoystickRecord& r = state.working.At(16);
  r.present = 1;
  r.displayName = std::string(255, 'n');
  const std::vector<DeviceRow> rows = FillDeviceList(joysticks, state);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].idText, " 16");
  EXPECT_EQ(rows[0].name, std::string(99, 'n'));
  EXPECT_EQ(rows[0].state, std::string(49, 's'));
}

}  // namespace
}  // namespace kl::test
