// Loading and saving the joystick table, the type list and the probes, on the
// simulated registry and joystick driver.
#include <gtest/gtest.h>

#include "applet/joystick_registry.h"
#include "applet/reg_values.h"
#include "applet/selection.h"
#include "applet_fixture.h"

namespace kl::test {
namespace {

using RegistryLayer = AppletTest;

std::vector<std::string> Keys(const JoystickTypeList& list) {
  std::vector<std::string> keys;
  for (const auto& e : list) keys.push_back(e.oemKey);
  return keys;
}

TEST_F(RegistryLayer, TypeListHasTheFixedTypesThenRegisteredOnesByName) {
  LoadReg(OemType("ZZ", "B", 0x20, 12, "b.vxd") + OemType("AA", "A", 0x1, 4));
  joysticks.BuildJoystickTypeList(state.types);
  joysticks.BuildJoystickTypeList(state.types);  // a second opening lists each once

  ASSERT_EQ(state.types.size(), 14u);
  const std::vector<std::string> fixedKeys = {"",        "predef1", "predef2",  "predef3",
                                              "predef4", "predef5", "predef6",  "predef7",
                                              "predef8", "predef9", "predef10", "predef11"};
  const std::vector<std::string> keys = Keys(state.types);
  EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.begin() + 12), fixedKeys);
  const uint32_t fixedFlags[12] = {0, 0, 0, 0, 0x20, 0x10, 0x11, 0x1, 0x1, 0x20, 0x10, 0x11};
  const uint32_t fixedButtons[12] = {0, 0, 2, 4, 2, 2, 2, 2, 4, 4, 4, 4};
  for (uint32_t i = 0; i < 12; ++i) {
    EXPECT_EQ(state.types[i].displayName, "Type " + std::to_string(22 + i));
    EXPECT_EQ(state.types[i].flags, fixedFlags[i]) << i;
    EXPECT_EQ(state.types[i].buttons, fixedButtons[i]) << i;
    EXPECT_EQ(state.types[i].oemCallout, "");
  }
  EXPECT_EQ(state.types[12], (JoystickTypeEntry{"AA", "A", "", 0x1, 4}));
  EXPECT_EQ(state.types[13], (JoystickTypeEntry{"ZZ", "B", "b.vxd", 0x20, 12}));
  EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST_F(RegistryLayer, MalformedTypeValuesCountAsMissing) {
  LoadReg("[" + kOemKey + "\\Short]\n\"OEMName\"=\"Short data\"\n\"OEMData\"=hex:20,00,00\n" + "[" +
          kOemKey + "\\Dword]\n\"OEMName\"=dword:00000001\n\"OEMData\"=dword:00000020\n" + "[" +
          kOemKey + "\\" + std::string(255, 'k') + "]\n\"OEMName\"=\"Long key\"\n" +
          OemType("Fine", "Fine", 0x20, 10));
  joysticks.BuildJoystickTypeList(state.types);
  ASSERT_EQ(state.types.size(), 16u);
  // A missing name sorts first; a key name of the longest kind still fits.
  EXPECT_EQ(state.types[12], (JoystickTypeEntry{"Dword", "", "", 0, 0}));
  EXPECT_EQ(state.types[13], (JoystickTypeEntry{"Fine", "Fine", "", 0x20, 10}));
  EXPECT_EQ(state.types[14], (JoystickTypeEntry{std::string(255, 'k'), "Long key", "", 0, 0}));
  EXPECT_EQ(state.types[15], (JoystickTypeEntry{"Short", "Short data", "", 0, 0}));
}

TEST_F(RegistryLayer, LoadsRecordsByUsageAndType) {
  LoadDriverReg(
      "\"Joystick1Configuration\"=" + Hex(ConfigBytes({{0, 0x20}, {4, 12}, {8, 4}, {104, 15}})) +
      "\n\"Joystick1OEMName\"=\"PAD\"\n" +
      // A configuration without flags and buttons is no device, even with a type
      // (whose name it still shows).
      "\"Joystick2Configuration\"=" + Hex(ConfigBytes({{8, 2}, {104, 3}})) + "\n" +
      "\"Joystick3Configuration\"=" + Hex(ConfigBytes({{4, 4}, {104, 9}, {60, 500}})) + "\n" +
      // Too short: treated as missing, not read partly.
      "\"Joystick4Configuration\"=hex:20,00,00,00\n" +
      // OEM usage whose type key is missing: names stay empty.
      "\"Joystick5Configuration\"=" + Hex(ConfigBytes({{0, 1}, {8, 4}})) +
      "\n\"Joystick5OEMName\"=\"GONE\"\n" + OemType("PAD", kPadName, 0x20, 12, "pad.vxd"));
  joysticks.BuildJoystickTypeList(state.types);
  ASSERT_TRUE(joysticks.LoadJoystickTable(state.types, state.working));

  const JoystickRecord& pad = state.working.At(1);
  EXPECT_EQ(pad.present, 1);
  EXPECT_EQ(pad.config.dwUsageSettings, kJoyUsIsOem | kJoyUsPresent);
  EXPECT_EQ(pad.oemKey, "PAD");
  EXPECT_EQ(pad.displayName, kPadName);
  EXPECT_EQ(pad.oemCallout, "pad.vxd");

  const JoystickRecord& none = state.working.At(2);
  EXPECT_EQ(none.present, 0);
  EXPECT_EQ(none.config.dwUsageSettings, 2u);
  EXPECT_EQ(none.displayName, "Type 25");

  const JoystickRecord& fixed = state.working.At(3);
  EXPECT_EQ(fixed.present, 1);
  EXPECT_EQ(fixed.displayName, "Type 31");
  EXPECT_EQ(fixed.oemKey, "predef9");
  EXPECT_EQ(fixed.config.hwv.jrvHardware.jpCenter.dwX, 500u);

  EXPECT_EQ(state.working.At(4), JoystickRecord{});

  const JoystickRecord& orphan = state.working.At(5);
  EXPECT_EQ(orphan.present, 1);
  EXPECT_EQ(orphan.oemKey, "GONE");
  EXPECT_EQ(orphan.displayName, "");
  EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST_F(RegistryLayer, LoadWithoutUsableKeysLeavesTheTableAsItWas) {
  const struct {
    const char* name;
    std::string reg;
    bool result;
  } cases[] = {
      {"no joystick key", "", false},
      {"no driver key", "[" + kJoyKey + "]\n", true},
      {"no current settings", "[" + kJoyKey + "\\" + kDriver + "]\n", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimRegistry fresh;
    std::string error;
    ASSERT_TRUE(fresh.LoadText("REGEDIT4\n\n" + c.reg, &error)) << error;
    JoystickRegistry layer(fresh, joystick, strings);
    JoystickTable table;
    table.At(7).displayName = "kept";
    table.At(7).present = 1;
    const JoystickTable before = table;
    EXPECT_EQ(layer.LoadJoystickTable(state.types, table), c.result);
    EXPECT_EQ(table, before);
    EXPECT_EQ(fresh.OpenHandleCount(), 0u);
  }
}

TEST_F(RegistryLayer, SaveWritesEveryIdAndOnlyTheValuesThatApply) {
  LoadDriverReg(
      "\"Joystick2OEMName\"=\"OLD\"\n\"Joystick2OEMCallOut\"=\"old.vxd\"\n"
      "\"Joystick3OEMCallOut\"=\"stale.vxd\"\n");
  JoystickRecord& oem = state.working.At(1);
  oem.present = 1;
  oem.oemKey = "PAD";
  oem.oemCallout = "pad.vxd";
  oem.config.hws = {0x20, 12};
  oem.config.dwUsageSettings = 6;
  oem.config.dwType = 15;
  JoystickRecord& noCallout = state.working.At(3);
  noCallout.present = 1;
  noCallout.oemKey = "STICK";
  noCallout.config.hws = {0x1, 4};
  noCallout.config.dwUsageSettings = 6;
  ClearJoystick(state.working, 2);
  // A pad placed while its type was not registered: no type key.
  JoystickRecord& keyless = state.working.At(4);
  keyless.present = 1;
  keyless.config.hws = {0x20, 0};
  keyless.config.dwUsageSettings = 6;

  EXPECT_TRUE(joysticks.SaveJoystickTable(state.working));
  EXPECT_EQ(joystick.ConfigChangedCount(), 1u);

  EXPECT_EQ(Value(kSettings, "Joystick1Configuration"),
            ConfigBytes({{0, 0x20}, {4, 12}, {8, 6}, {104, 15}}));
  EXPECT_EQ(StringValue(kSettings, "Joystick1OEMName"), "PAD");
  EXPECT_EQ(StringValue(kSettings, "Joystick1OEMCallOut"), "pad.vxd");
  // The removed device: zeros but for the usage, names deleted.
  EXPECT_EQ(Value(kSettings, "Joystick2Configuration"), ConfigBytes({{8, 2}}));
  EXPECT_FALSE(Value(kSettings, "Joystick2OEMName"));
  EXPECT_FALSE(Value(kSettings, "Joystick2OEMCallOut"));
  EXPECT_EQ(StringValue(kSettings, "Joystick3OEMName"), "STICK");
  EXPECT_FALSE(Value(kSettings, "Joystick3OEMCallOut"));
  EXPECT_EQ(StringValue(kSettings, "Joystick4OEMName"), "");
  for (uint32_t id = 5; id <= 16; ++id) {
    EXPECT_EQ(Value(kSettings, JoystickValueName(id, "Configuration")), ConfigBytes({})) << id;
  }
  // The per-type memory exists for the present records only.
  const std::string memory = kJoyKey + "\\" + kDriver + "\\joystickSettings\\";
  EXPECT_EQ(Value(memory + "PAD", "Joystick1Configuration"),
            ConfigBytes({{0, 0x20}, {4, 12}, {8, 6}, {104, 15}}));
  EXPECT_TRUE(Value(memory + "STICK", "Joystick3Configuration"));
  EXPECT_FALSE(Value(memory.substr(0, memory.size() - 1), "Joystick4Configuration"));
  EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST_F(RegistryLayer, SaveThenLoadGivesTheSameTable) {
  LoadDriverReg(OemType("PAD", kPadName, 0x20, 12, "pad.vxd"));
  joysticks.BuildJoystickTypeList(state.types);
  JoystickRecord& pad = state.working.At(2);
  pad.present = 1;
  pad.oemKey = "PAD";
  pad.displayName = kPadName;
  pad.oemCallout = "pad.vxd";
  pad.config.hws = {0x20, 12};
  pad.config.dwUsageSettings = 6;
  pad.config.hwv.jrvHardware.jpMin = {1, 2, 3, 4, 5, 6};
  pad.config.hwv.jrvHardware.jpMax = {60000, 60001, 60002, 60003, 60004, 60005};
  pad.config.hwv.dwPOVValues = {0, 18000, 27000, 9000};
  pad.config.hwv.dwCalFlags = 0x27;
  pad.config.dwType = 15;
  JoystickRecord& fixed = state.working.At(9);
  fixed.present = 1;
  fixed.oemKey = "predef4";
  fixed.displayName = "Type 26";
  fixed.config.hws = {0x20, 2};
  fixed.config.dwUsageSettings = 2;
  fixed.config.dwType = 4;

  ASSERT_TRUE(joysticks.SaveJoystickTable(state.working));
  JoystickTable loaded;
  ASSERT_TRUE(joysticks.LoadJoystickTable(state.types, loaded));
  EXPECT_EQ(loaded, state.working);
}

TEST_F(RegistryLayer, SaveWithoutUsableKeysWritesNothingButTellsTheDriver) {
  const struct {
    const char* name;
    std::string reg;
  } cases[] = {
      {"no joystick key", ""},
      {"no driver key", "[" + kJoyKey + "]\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimRegistry fresh;
    std::string error;
    ASSERT_TRUE(fresh.LoadText("REGEDIT4\n\n" + c.reg, &error)) << error;
    SimJoystick driver;
    JoystickRegistry layer(fresh, driver, strings);
    const std::string before = fresh.DumpText();
    EXPECT_FALSE(layer.SaveJoystickTable(state.working));
    EXPECT_EQ(driver.ConfigChangedCount(), 1u);
    EXPECT_EQ(fresh.DumpText(), before);
    EXPECT_EQ(fresh.OpenHandleCount(), 0u);
  }
}

TEST_F(RegistryLayer, DriverKeyIsTheOneJoystickZeroNamesElseTheLastSubkey) {
  LoadReg("[" + kJoyKey + "\\first]\n[" + kJoyKey + "\\second]\n");
  state.working.At(1).config.dwUsageSettings = 2;

  ASSERT_TRUE(joysticks.SaveJoystickTable(state.working));
  EXPECT_TRUE(Value(kJoyKey + "\\second\\CurrentJoystickSettings", "Joystick1Configuration"));
  EXPECT_FALSE(registry.KeyExists(kJoyKey + "\\first\\CurrentJoystickSettings"));

  PlugPad(0, 12, "first");
  ASSERT_TRUE(joysticks.SaveJoystickTable(state.working));
  EXPECT_TRUE(Value(kJoyKey + "\\first\\CurrentJoystickSettings", "Joystick1Configuration"));
}

TEST_F(RegistryLayer, SavedTypeConfigReplacesTheConfigurationWhenRemembered) {
  const std::string memory = kJoyKey + "\\" + kDriver + "\\JoystickSettings\\predef3";
  LoadDriverReg("[" + memory + "]\n\"Joystick4Configuration\"=" +
                Hex(ConfigBytes({{4, 4}, {8, 2}, {12, 77}, {100, 1}, {104, 3}})) + "\n");
  state.working.At(4).config.hws.dwNumButtons = 9;
  EXPECT_TRUE(joysticks.LoadSavedTypeConfig(state.working, 4, "predef3"));
  EXPECT_EQ(Bytes(state.working.At(4).config),
            ConfigBytes({{4, 4}, {8, 2}, {12, 77}, {100, 1}, {104, 3}}));

  const JoystickTable before = state.working;
  EXPECT_FALSE(joysticks.LoadSavedTypeConfig(state.working, 5, "predef3"));  // no value for id 5
  EXPECT_FALSE(joysticks.LoadSavedTypeConfig(state.working, 4, "predef8"));  // no such type key
  EXPECT_FALSE(joysticks.LoadSavedTypeConfig(state.working, 4, ""));
  EXPECT_FALSE(joysticks.LoadSavedTypeConfig(state.working, 17, "predef3"));
  EXPECT_EQ(state.working, before);
  EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST_F(RegistryLayer, ProbeSetsStatusAndPresenceOfConfiguredRecordsOnly) {
  joystick.SetNumDevs(4);
  PlugPad(0, 12);
  joystick.Plug(1);
  joystick.Unplug(1);
  const struct {
    uint32_t id;
    uint8_t present;
    uint32_t usageBefore;
    uint8_t status;
    uint32_t usageAfter;
  } cases[] = {
      {1, 1, 0, kStatusAnswers, kJoyUsPresent},
      {2, 1, kJoyUsPresent | kJoyUsIsOem, kStatusUnplugged, kJoyUsIsOem},
      {5, 1, kJoyUsPresent, kStatusFailed, 0},               // beyond the driver's ids: 165
      {3, 0, kJoyUsPresent, kStatusAnswers, kJoyUsPresent},  // not configured: untouched
  };
  for (const auto& c : cases) {
    state.working.At(c.id).present = c.present;
    state.working.At(c.id).config.dwUsageSettings = c.usageBefore;
  }
  state.working.At(3).status = 7;
  joysticks.ProbeJoysticks(state.working);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(state.working.At(c.id).config.dwUsageSettings, c.usageAfter);
    if (c.present) {
      EXPECT_EQ(state.working.At(c.id).status, c.status);
    }
  }
  EXPECT_EQ(state.working.At(3).status, 7);
}

TEST_F(RegistryLayer, CountsTheAnsweringNumbers) {
  const struct {
    uint32_t numDevs;
    std::vector<uint32_t> plugged;
    uint8_t count;
  } cases[] = {
      {0, {0, 1}, 0},
      {16, {}, 0},
      {16, {0, 3, 15}, 3},
      {2, {0, 3}, 1},
      {0xFFFFFFFF, {0, 200, 300}, 2},  // an absurd count is bounded, not walked
  };
  for (const auto& c : cases) {
    SimJoystick driver;
    driver.SetNumDevs(c.numDevs);
    for (uint32_t n : c.plugged) driver.Plug(n);
    JoystickRegistry layer(registry, driver, strings);
    EXPECT_EQ(layer.CountRespondingJoysticks(), c.count) << c.numDevs;
  }
}

}  // namespace
}  // namespace kl::test

namespace kl::test {
namespace {

// Raw values as another program might have left them; SetValue stores bytes
// exactly as given, so strings without terminators can be made.
TEST(RegValues, StringsMustBeTextsThatFitTheirBuffer) {
  const struct {
    const char* name;
    uint32_t type;
    std::string bytes;
    std::optional<std::string> read;
  } cases[] = {
      {"terminated", kRegSz, std::string("pad\0", 4), "pad"},
      {"unterminated but short", kRegSz, "pad", "pad"},
      {"cut at the first zero", kRegSz, std::string("pa\0d\0", 5), "pa"},
      {"empty", kRegSz, "", ""},
      {"255 characters and the terminator", kRegSz, std::string(255, 'x') + '\0',
       std::string(255, 'x')},
      {"256 characters without terminator", kRegSz, std::string(256, 'x'), std::nullopt},
      {"longer than the buffer", kRegSz, std::string(300, 'x') + '\0', std::nullopt},
      {"binary", kRegBinary, std::string("pad\0", 4), std::nullopt},
      {"number", kRegDword, std::string("\1\0\0\0", 4), std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimRegistry registry;
    RegKey key = kRegNone;
    ASSERT_EQ(registry.CreateKey(kHkeyLocalMachine, "T", kKeyRead | kKeyWrite, key), kRegOk);
    registry.SetValue(key, "v", c.type, reinterpret_cast<const uint8_t*>(c.bytes.data()),
                      static_cast<uint32_t>(c.bytes.size()));
    EXPECT_EQ(ReadStringValue(registry, key, "v", kJoyNameSize), c.read);
    registry.CloseKey(key);
  }
}

TEST(RegValues, BinaryValuesMustHaveTheExactSize) {
  const struct {
    uint32_t type;
    size_t size;
    bool read;
  } cases[] = {
      {kRegBinary, 112, true}, {kRegBinary, 111, false}, {kRegBinary, 113, false},
      {kRegBinary, 0, false},  {kRegSz, 112, false},
  };
  for (const auto& c : cases) {
    SimRegistry registry;
    RegKey key = kRegNone;
    ASSERT_EQ(registry.CreateKey(kHkeyLocalMachine, "T", kKeyRead | kKeyWrite, key), kRegOk);
    const std::vector<uint8_t> stored(c.size, 0xAB);
    registry.SetValue(key, "v", c.type, stored.data(), static_cast<uint32_t>(stored.size()));
    std::vector<uint8_t> out(112, 0x11);
    EXPECT_EQ(ReadBinaryValue(registry, key, "v", out.data(), out.size()), c.read) << c.size;
    EXPECT_EQ(out, std::vector<uint8_t>(112, c.read ? 0xAB : 0x11)) << c.size;
    registry.CloseKey(key);
  }
}

}  // namespace
}  // namespace kl::test
