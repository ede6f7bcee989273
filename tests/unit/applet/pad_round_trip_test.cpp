// What the applet writes is what the editor and the runtime mapper read: after
// the selection page auto-detects the maker's pads, the mapper's own pad
// enumeration recognises them by the OEM name under the driver key.
#include <gtest/gtest.h>

#include "applet/selection.h"
#include "applet_fixture.h"
#include "gamepad/pads.h"
#include "resources/builtin_strings.h"

namespace kl::test {
namespace {

class PadRoundTrip : public ::testing::Test {
 protected:
  PadRoundTrip() : joysticks(registry, joystick, strings), pads(joystick, registry) {}

  void LoadReg(const std::string& body) {
    std::string error;
    ASSERT_TRUE(registry.LoadText("REGEDIT4\n\n" + body, &error)) << error;
  }
  // The pad type registered under the name of the applet's own string table.
  std::string PadType() {
    return OemType("VPAD", strings.Load(kPadNameStringId), kJoyHwsIsGamepad, 12);
  }
  void Plug(uint32_t number, uint32_t buttons, const std::string& regKey) {
    SimJoystick::Device& device = joystick.Plug(number);
    device.caps.wNumButtons = buttons;
    device.caps.szRegKey = regKey;
  }
  std::vector<uint32_t> RecognisedIds() {
    const uint8_t count = pads.EnumeratePads();
    std::vector<uint32_t> ids;
    for (uint8_t i = 0; i < count; ++i) ids.push_back(pads.Slots()[i].joystickId);
    return ids;
  }

  SimRegistry registry;
  SimJoystick joystick;
  BuiltinStrings strings{StringModule::kOstra};
  JoystickRegistry joysticks;
  PadAccess pads;
  AppletState state;
};

TEST_F(PadRoundTrip, AutoDetectedPadOnIdOneIsRecognisedByTheMapper) {
  LoadReg("[" + kJoyKey + "\\" + kDriver + "]\n" + PadType());
  Plug(0, 12, kDriver);
  EXPECT_TRUE(RecognisedIds().empty());

  state.autoDetect = true;
  OpenSelectionPage(joysticks, state);

  EXPECT_EQ(state.working.At(1).displayName, "Vornatek GamePad");
  EXPECT_EQ(RecognisedIds(), std::vector<uint32_t>{0});
}

TEST_F(PadRoundTrip, PadsAreFoundUnderTheDriverKeyTheJoystickInterfaceNames) {
  // Several driver keys: the applet writes under the one joystick 0 reports,
  // which is where the mapper looks.
  LoadReg("[" + kJoyKey + "\\alpha]\n[" + kJoyKey + "\\" + kDriver + "]\n[" + kJoyKey +
          "\\zulu]\n" + PadType());
  Plug(0, 12, kDriver);
  Plug(1, 10, kDriver);
  Plug(2, 4, kDriver);
  state.working.Clear();
  joysticks.BuildJoystickTypeList(state.types);
  AutoDetectPads(joysticks, state);
  // Three answer, so three pad records; the third device is no pad to the
  // mapper only once the user gives it its own type.
  EXPECT_EQ(RecognisedIds(), (std::vector<uint32_t>{0, 1, 2}));

  ASSERT_TRUE(AcceptJoystickType(joysticks, state, TypeChoice{3, 3}));
  ASSERT_TRUE(joysticks.SaveJoystickTable(state.working));
  EXPECT_EQ(RecognisedIds(), (std::vector<uint32_t>{0, 1}));

  ClearJoystick(state.working, 1);
  ASSERT_TRUE(joysticks.SaveJoystickTable(state.working));
  EXPECT_EQ(RecognisedIds(), (std::vector<uint32_t>{1}));
}

}  // namespace
}  // namespace kl::test
