// Pad enumeration and reading against the simulated driver and registry.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "gamepad/pads.h"
#include "platform/sim/sim_joystick.h"
#include "platform/sim/sim_pads.h"
#include "platform/sim/sim_registry.h"

namespace kl {
namespace {

// One joystick as a test world describes it.
struct Device {
  uint32_t id = 0;
  std::string oemName;  // empty: no OEM type key at all
  bool plugged = true;
  bool settingsValue = true;  // whether JoystickNOEMName exists
  uint32_t buttons = 12;
};

// A driver, a registry and the pad table over them.
struct World {
  void SetText(const std::string& path, const std::string& name, const std::string& text) {
    RegKey key = kRegNone;
    ASSERT_EQ(m_registry.CreateKey(kHkeyLocalMachine, path, kKeyAllAccess, key), kRegOk);
    ASSERT_EQ(m_registry.SetValue(key, name, kRegSz, reinterpret_cast<const uint8_t*>(text.c_str()),
                                  static_cast<uint32_t>(text.size() + 1)),
              kRegOk);
    m_registry.CloseKey(key);
  }

  // Every device gets its own driver key and OEM type key, as the applet
  // writes them.
  void Add(const Device& d) {
    PadDeclaration pad{"msjstick.drv<" + std::to_string(d.id) + ">",
                       "Pad type " + std::to_string(d.id), std::nullopt, d.buttons,
                       d.settingsValue};
    if (!d.oemName.empty()) pad.displayName = d.oemName;
    ASSERT_TRUE(DeclarePad(m_joystick, m_registry, d.id, pad));
    if (!d.plugged) m_joystick.Unplug(d.id);
  }

  std::vector<uint32_t> Enumerate() {
    const uint8_t count = m_pads.EnumeratePads();
    std::vector<uint32_t> ids;
    for (uint8_t i = 0; i < count && i < kMaxPads; ++i) ids.push_back(m_pads.Slots()[i].joystickId);
    EXPECT_LE(count, kMaxPads);
    return ids;
  }

  SimJoystick m_joystick;
  SimRegistry m_registry;
  PadAccess m_pads{m_joystick, m_registry};
};

class PadsTest : public ::testing::Test, protected World {};

struct EnumerateCase {
  const char* name;
  std::vector<Device> devices;
  std::vector<uint32_t> slots;  // joystick ids of the recognised pads, slot order
};

TEST_F(PadsTest, EnumerateRecognisesPadsByOemNameInIdOrder) {
  const std::vector<EnumerateCase> cases = {
      {"pads around another joystick",
       {{0, "Vornatek GamePad"}, {1, "Acme Flight Stick"}, {2, "Brontal GamePad"}},
       {0, 2}},
      {"unplugged pad with registry entries",
       {{0, "Vornatek GamePad", false}, {1, "Vornatek GamePad"}},
       {1}},
      {"name differing in case", {{0, "Vornatek Gamepad"}, {1, "Brontal GamePad"}}, {1}},
      {"no OEM type key", {{0, ""}, {3, "Vornatek GamePad"}}, {3}},
      {"settings value missing after a recognised pad",
       {{0, "Vornatek GamePad"}, {1, "Vornatek GamePad", true, false}},
       {0}},
      {"settings value missing before a recognised pad",
       {{0, "Vornatek GamePad", true, false}, {1, "Brontal GamePad"}},
       {1}},
      {"five pads fill four slots",
       {{1, "Vornatek GamePad"},
        {2, "Vornatek GamePad"},
        {4, "Brontal GamePad"},
        {7, "Vornatek GamePad"},
        {9, "Vornatek GamePad"}},
       {1, 2, 4, 7}},
      {"the last id the driver supports", {{15, "Vornatek GamePad"}}, {15}},
      {"nothing attached", {}, {}},
  };
  for (const EnumerateCase& c : cases) {
    SCOPED_TRACE(c.name);
    World world;
    for (const Device& d : c.devices) world.Add(d);
    EXPECT_EQ(world.Enumerate(), c.slots);
    EXPECT_EQ(world.m_registry.OpenHandleCount(), 0u);
  }
}

TEST_F(PadsTest, EnumerateAsksOnlyTheIdsTheDriverSupports) {
  Add({0, "Vornatek GamePad"});
  Add({3, "Vornatek GamePad"});
  m_joystick.SetNumDevs(2);
  EXPECT_EQ(Enumerate(), std::vector<uint32_t>{0});
  m_joystick.SetNumDevs(0);
  EXPECT_EQ(Enumerate(), std::vector<uint32_t>{});
}

TEST_F(PadsTest, EnumerateAsksNoIdBeyondTheSixteenADriverHas) {
  // A driver claiming every id would otherwise keep the walk going for hours.
  Add({0, "Vornatek GamePad"});
  Add({20, "Vornatek GamePad"});
  m_joystick.SetNumDevs(0xFFFFFFFFu);
  EXPECT_EQ(Enumerate(), std::vector<uint32_t>{0});
}

TEST_F(PadsTest, AnEmptyTypeNameDoesNotNameTheOemKeyItself) {
  Add({0, "Vornatek GamePad"});
  SetText(
      "System\\CurrentControlSet\\Control\\MediaResources\\Joystick\\msjstick.drv<0>\\"
      "CurrentJoystickSettings",
      "Joystick1OEMName", "");
  SetText("System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM",
          "OEMName", "Vornatek GamePad");
  std::string name;
  EXPECT_EQ(m_pads.ReadOemName(0, name), kJoyErrNoCanDo);
  EXPECT_EQ(Enumerate(), std::vector<uint32_t>{});
}

TEST_F(PadsTest, EnumerateKeepsSlotsBeyondTheCountAsTheyWere) {
  Add({5, "Vornatek GamePad"});
  m_pads.Slots()[1].joystickId = 9;
  EXPECT_EQ(m_pads.EnumeratePads(), 1);
  EXPECT_EQ(m_pads.Slots()[0].joystickId, 5u);
  EXPECT_EQ(m_pads.Slots()[1].joystickId, 9u);
}

TEST_F(PadsTest, ReadOemNameResults) {
  Add({0, "Brontal GamePad"});
  Add({1, "Vornatek GamePad", true, false});
  Add({2, ""});
  m_joystick.SetNumDevs(4);

  struct Case {
    uint32_t id;
    uint32_t result;
    std::string name;
  };
  const std::vector<Case> cases = {
      {0, kJoyErrNoError, "Brontal GamePad"},
      {1, kJoyErrNoCanDo, ""},  // no settings value
      {2, kJoyErrNoCanDo, ""},  // no OEM type key
      {3, kJoyErrNoCanDo, ""},  // supported id, no device
      {4, kJoyErrNoCanDo, ""},  // beyond the driver's ids
      {0xFFFFFFFFu, kJoyErrNoCanDo, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    std::string name = "left over from an earlier device";
    EXPECT_EQ(m_pads.ReadOemName(c.id, name), c.result);
    EXPECT_EQ(name, c.name);
    EXPECT_EQ(m_registry.OpenHandleCount(), 0u);
  }
}

TEST_F(PadsTest, ReadOemNameRefusesNamesThatDoNotFitItsBuffer) {
  Add({0, std::string(255, 'x')});
  Add({1, std::string(256, 'y')});
  std::string name;
  EXPECT_EQ(m_pads.ReadOemName(0, name), kJoyErrNoError);
  EXPECT_EQ(name, std::string(255, 'x'));
  EXPECT_EQ(m_pads.ReadOemName(1, name), kJoyErrNoCanDo);
  EXPECT_EQ(name, "");
  EXPECT_EQ(m_registry.OpenHandleCount(), 0u);
}

TEST_F(PadsTest, ReadPadReturnsEveryFieldOrFails) {
  Add({2, "Vornatek GamePad"});
  SimJoystick::Device* device = m_joystick.Find(2);
  device->state.dwXpos = 0;
  device->state.dwYpos = 65535;
  device->state.dwButtons = 0x801;

  JoyInfo info;
  info.dwButtons = 0xDEAD;
  ASSERT_TRUE(m_pads.ReadPad(2, info));
  EXPECT_EQ(info.dwXpos, 0u);
  EXPECT_EQ(info.dwYpos, 65535u);
  EXPECT_EQ(info.dwButtons, 0x801u);

  m_joystick.Unplug(2);
  EXPECT_FALSE(m_pads.ReadPad(2, info));
  EXPECT_FALSE(m_pads.ReadPad(40, info));
}

TEST_F(PadsTest, ReadButtonCountLeavesTheOutputAloneOnFailure) {
  Add({0, "Vornatek GamePad", true, true, 10});
  uint32_t count = 77;
  ASSERT_TRUE(m_pads.ReadButtonCount(0, count));
  EXPECT_EQ(count, 10u);

  count = 77;
  m_joystick.Find(0)->capsResult = kJoyErrNoCanDo;
  EXPECT_FALSE(m_pads.ReadButtonCount(0, count));
  EXPECT_FALSE(m_pads.ReadButtonCount(1, count));
  EXPECT_EQ(count, 77u);
}

}  // namespace
}  // namespace kl
