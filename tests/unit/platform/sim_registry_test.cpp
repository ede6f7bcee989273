// Handle semantics of the simulated registry: what the platform's registry
// calls answer, so that code tested against it behaves the same on Windows.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/sim/sim_registry.h"
#include "registry_test_util.h"

namespace kl {
namespace {

using test::Bytes;
using test::ReadValue;

class SimRegistryHandles : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_registry.LoadText(
        "REGEDIT4\r\n"
        "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\MediaResources\\Joystick\\"
        "Drv<0000>\\CurrentJoystickSettings]\r\n"
        "\"Joystick1OEMName\"=\"VID_045E\"\r\n"
        "[HKEY_CURRENT_USER\\Software\\Vornatek\\GamePad2]\r\n\"Setting\"=hex:01,02,03,04,05\r\n",
        nullptr));
  }

  RegKey Open(std::string_view path, uint32_t access, RegKey root = kHkeyLocalMachine) {
    RegKey key = kRegNone;
    EXPECT_EQ(m_registry.OpenKey(root, path, access, key), kRegOk) << path;
    return key;
  }

  SimRegistry m_registry;
};

constexpr char kJoystickKey[] = "System\\CurrentControlSet\\Control\\MediaResources\\Joystick";

TEST_F(SimRegistryHandles, OpenCountsHandlesUntilClosed) {
  EXPECT_EQ(m_registry.OpenHandleCount(), 0u);
  RegKey a = Open(kJoystickKey, kKeyRead);
  RegKey b = Open(kJoystickKey, kKeyRead);
  EXPECT_NE(a, b);
  EXPECT_NE(a, kHkeyLocalMachine);
  EXPECT_EQ(m_registry.OpenHandleCount(), 2u);
  EXPECT_EQ(m_registry.CloseKey(a), kRegOk);
  EXPECT_EQ(m_registry.OpenHandleCount(), 1u);
  EXPECT_EQ(m_registry.CloseKey(a), kRegBadHandle);
  EXPECT_EQ(m_registry.CloseKey(b), kRegOk);
  EXPECT_EQ(m_registry.OpenHandleCount(), 0u);
  // The roots are always open and never counted.
  EXPECT_EQ(m_registry.CloseKey(kHkeyLocalMachine), kRegOk);
  EXPECT_EQ(m_registry.OpenHandleCount(), 0u);
}

TEST_F(SimRegistryHandles, ClosedAndUnknownHandlesAreRefusedEverywhere) {
  RegKey closed = Open(kJoystickKey, kKeyAllAccess);
  m_registry.CloseKey(closed);
  for (RegKey bad : {closed, RegKey{kRegNone}, RegKey{999999}}) {
    RegKey out = 77;
    uint32_t type = 0, size = 0;
    std::string name;
    EXPECT_EQ(m_registry.OpenKey(bad, "", kKeyRead, out), kRegBadHandle);
    EXPECT_EQ(out, kRegNone);
    EXPECT_EQ(m_registry.CreateKey(bad, "X", kKeyRead, out), kRegBadHandle);
    EXPECT_EQ(m_registry.QueryValue(bad, "v", type, nullptr, size), kRegBadHandle);
    EXPECT_EQ(m_registry.SetValue(bad, "v", kRegSz, nullptr, 0), kRegBadHandle);
    EXPECT_EQ(m_registry.DeleteValue(bad, "v"), kRegBadHandle);
    EXPECT_EQ(m_registry.EnumKey(bad, 0, name, 256), kRegBadHandle);
    EXPECT_EQ(m_registry.CloseKey(bad), kRegBadHandle);
  }
}

struct PathCase {
  const char* label;
  const char* path;
  long open;  // OpenKey from HKLM
};

class SimRegistryPaths : public SimRegistryHandles, public testing::WithParamInterface<PathCase> {};

TEST_P(SimRegistryPaths, OpenAnswersAsThePlatform) {
  RegKey key = 55;
  EXPECT_EQ(m_registry.OpenKey(kHkeyLocalMachine, GetParam().path, kKeyRead, key), GetParam().open);
  if (GetParam().open == kRegOk) {
    EXPECT_EQ(m_registry.CloseKey(key), kRegOk);
  } else {
    EXPECT_EQ(key, kRegNone);
  }
  EXPECT_EQ(m_registry.OpenHandleCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SimRegistryPaths,
    testing::Values(PathCase{"exact", kJoystickKey, kRegOk},
                    PathCase{"other_case", "SYSTEM\\currentcontrolset\\CONTROL", kRegOk},
                    PathCase{"trailing_backslash", "System\\", kRegOk},
                    PathCase{"doubled_backslash", "System\\\\CurrentControlSet", kRegOk},
                    PathCase{"empty_reopens", "", kRegOk},
                    PathCase{"missing", "System\\NoSuchKey", kRegNotFound},
                    PathCase{"missing_below_missing", "Nope\\Deeper", kRegNotFound},
                    PathCase{"leading_backslash", "\\System", kRegBadPathname},
                    PathCase{"prefix_is_not_a_key", "Sys", kRegNotFound}),
    [](const testing::TestParamInfo<PathCase>& info) { return info.param.label; });

TEST_F(SimRegistryHandles, CreateMakesEveryMissingLevelAndKeepsTheirCase) {
  RegKey key = kRegNone;
  ASSERT_EQ(
      m_registry.CreateKey(kHkeyLocalMachine,
                           std::string(kJoystickKey) + "\\Drv<0000>\\JoystickSettings\\Predef4",
                           kKeyWrite, key),
      kRegOk);
  EXPECT_TRUE(m_registry.KeyExists(
      "HKLM\\System\\CurrentControlSet\\Control\\MediaResources\\Joystick\\drv<0000>\\"
      "JOYSTICKSETTINGS\\predef4"));
  m_registry.CloseKey(key);
  // Creating an existing key opens it; a second name in another case is the same key.
  RegKey settings = kRegNone;
  ASSERT_EQ(m_registry.CreateKey(kHkeyLocalMachine,
                                 std::string(kJoystickKey) + "\\Drv<0000>\\joystickSettings",
                                 kKeyRead, settings),
            kRegOk);
  std::string name;
  EXPECT_EQ(m_registry.EnumKey(settings, 0, name, 256), kRegOk);
  EXPECT_EQ(name, "Predef4");
  EXPECT_EQ(m_registry.EnumKey(settings, 1, name, 256), kRegNoMoreItems);
  m_registry.CloseKey(settings);
}

TEST_F(SimRegistryHandles, EnumKeyInPlatformOrderWithMoreDataWhenTheNameDoesNotFit) {
  RegKey parent = kRegNone;
  ASSERT_EQ(m_registry.CreateKey(kHkeyCurrentUser, "Order", kKeyAllAccess, parent), kRegOk);
  for (const char* child : {"zed", "A_", "AB", "b"}) {
    RegKey key = kRegNone;
    ASSERT_EQ(m_registry.CreateKey(parent, child, kKeyRead, key), kRegOk);
    m_registry.CloseKey(key);
  }
  std::vector<std::string> seen;
  std::string name;
  uint32_t index = 0;
  long result;
  while ((result = m_registry.EnumKey(parent, index, name, 256)) == kRegOk) {
    seen.push_back(name);
    ++index;
  }
  EXPECT_EQ(result, kRegNoMoreItems);
  // Upper-cased order: 'B' (0x42) sorts before '_' (0x5F).
  EXPECT_EQ(seen, (std::vector<std::string>{"AB", "A_", "b", "zed"}));

  name = "untouched";
  EXPECT_EQ(m_registry.EnumKey(parent, 3, name, 3), kRegMoreData);  // "zed" needs 4 bytes
  EXPECT_EQ(name, "untouched");
  EXPECT_EQ(m_registry.EnumKey(parent, 3, name, 4), kRegOk);
  EXPECT_EQ(name, "zed");
  EXPECT_EQ(m_registry.EnumKey(parent, 3, name, 0), kRegMoreData);
  m_registry.CloseKey(parent);
}

TEST_F(SimRegistryHandles, EnumKeyAnswersAnyIndexOrderAfterKeysComeAndGo) {
  RegKey parent = kRegNone;
  ASSERT_EQ(m_registry.CreateKey(kHkeyCurrentUser, "Walk", kKeyAllAccess, parent), kRegOk);
  auto add = [&](const char* child) {
    RegKey key = kRegNone;
    ASSERT_EQ(m_registry.CreateKey(parent, child, kKeyRead, key), kRegOk);
    m_registry.CloseKey(key);
  };
  auto at = [&](uint32_t index) {
    std::string name = "-";
    long result = m_registry.EnumKey(parent, index, name, 256);
    return result == kRegOk ? name : std::to_string(result);
  };
  for (const char* child : {"b", "d", "f"}) add(child);
  EXPECT_EQ(at(2), "f");
  EXPECT_EQ(at(0), "b");  // backwards after a later index
  EXPECT_EQ(at(1), "d");
  add("c");  // lands between entries already walked
  EXPECT_EQ(at(1), "c");
  EXPECT_EQ(at(2), "d");
  ASSERT_TRUE(m_registry.LoadText("REGEDIT4\r\n[-HKCU\\Walk\\b]\r\n", nullptr));
  EXPECT_EQ(at(0), "c");
  EXPECT_EQ(at(2), "f");
  EXPECT_EQ(at(3), std::to_string(kRegNoMoreItems));
  m_registry.CloseKey(parent);
}

TEST_F(SimRegistryHandles, QueryValueSizesAndMoreData) {
  RegKey key = Open("Software\\Vornatek\\GamePad2", kKeyRead, kHkeyCurrentUser);
  uint32_t type = 0, size = 0;
  // A null buffer asks for type and size only.
  EXPECT_EQ(m_registry.QueryValue(key, "SETTING", type, nullptr, size), kRegOk);
  EXPECT_EQ(type, kRegBinary);
  EXPECT_EQ(size, 5u);

  uint8_t buffer[8];
  std::memset(buffer, 0xEE, sizeof buffer);
  size = 4;
  EXPECT_EQ(m_registry.QueryValue(key, "Setting", type, buffer, size), kRegMoreData);
  EXPECT_EQ(size, 5u);
  for (uint8_t b : buffer) EXPECT_EQ(b, 0xEE);  // nothing filled

  size = sizeof buffer;
  EXPECT_EQ(m_registry.QueryValue(key, "Setting", type, buffer, size), kRegOk);
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(buffer[4], 0x05);
  EXPECT_EQ(buffer[5], 0xEE);

  EXPECT_EQ(m_registry.QueryValue(key, "Missing", type, buffer, size), kRegNotFound);
  EXPECT_EQ(m_registry.QueryValue(key, "", type, nullptr, size), kRegNotFound);
  m_registry.CloseKey(key);
}

TEST_F(SimRegistryHandles, SetReplacesDataKeepsTheFirstNameAndDeleteRemoves) {
  RegKey key = Open("Software\\Vornatek\\GamePad2", kKeyAllAccess, kHkeyCurrentUser);
  const std::vector<uint8_t> text = Bytes("Brontal GamePad", true);
  EXPECT_EQ(m_registry.SetValue(key, "setting", kRegSz, text.data(), 16), kRegOk);
  EXPECT_EQ(ReadValue(m_registry, kHkeyCurrentUser, "Software\\Vornatek\\GamePad2", "Setting").data,
            text);
  EXPECT_NE(m_registry.DumpText().find("\"Setting\"=\"Brontal GamePad\""), std::string::npos);

  EXPECT_EQ(m_registry.SetValue(key, "Empty", kRegBinary, nullptr, 0), kRegOk);
  EXPECT_EQ(m_registry.SetValue(key, "NullData", kRegBinary, nullptr, 4), kRegInvalidParameter);
  EXPECT_EQ(m_registry.DeleteValue(key, "SETTING"), kRegOk);
  EXPECT_EQ(m_registry.DeleteValue(key, "Setting"), kRegNotFound);
  EXPECT_EQ(
      ReadValue(m_registry, kHkeyCurrentUser, "Software\\Vornatek\\GamePad2", "Setting").result,
      kRegNotFound);
  m_registry.CloseKey(key);
}

struct AccessCase {
  const char* label;
  uint32_t access;
  long query, set, remove, enumerate, create;
};

class SimRegistryAccess : public SimRegistryHandles,
                          public testing::WithParamInterface<AccessCase> {};

TEST_P(SimRegistryAccess, HandleRightsDecideWhatItMayDo) {
  const AccessCase& c = GetParam();
  RegKey key = Open("Software\\Vornatek\\GamePad2", c.access, kHkeyCurrentUser);
  uint32_t type = 0, size = 0;
  std::string name;
  const uint8_t one = 1;
  RegKey child = kRegNone;
  EXPECT_EQ(m_registry.QueryValue(key, "Setting", type, nullptr, size), c.query);
  EXPECT_EQ(m_registry.SetValue(key, "New", kRegBinary, &one, 1), c.set);
  EXPECT_EQ(m_registry.DeleteValue(key, "Setting"), c.remove);
  EXPECT_EQ(m_registry.CreateKey(key, "Child", kKeyRead, child), c.create);
  EXPECT_EQ(m_registry.EnumKey(key, 0, name, 256), c.enumerate);
  m_registry.CloseKey(child);
  m_registry.CloseKey(key);
}

INSTANTIATE_TEST_SUITE_P(
    Rights, SimRegistryAccess,
    testing::Values(
        AccessCase{"all", kKeyAllAccess, kRegOk, kRegOk, kRegOk, kRegOk, kRegOk},
        AccessCase{"read", kKeyRead, kRegOk, kRegAccessDenied, kRegAccessDenied, kRegOk, kRegOk},
        // KEY_WRITE neither queries nor enumerates: code that reads through
        // such a handle fails on Windows NT and later too.
        AccessCase{"write", kKeyWrite, kRegAccessDenied, kRegOk, kRegOk, kRegAccessDenied, kRegOk},
        AccessCase{"query_only", kKeyQueryValue, kRegOk, kRegAccessDenied, kRegAccessDenied,
                   kRegAccessDenied, kRegOk},
        AccessCase{"generic_read", 0x80000000u, kRegOk, kRegAccessDenied, kRegAccessDenied, kRegOk,
                   kRegOk},
        AccessCase{"maximum_allowed", 0x02000000u, kRegOk, kRegOk, kRegOk, kRegOk, kRegOk}),
    [](const testing::TestParamInfo<AccessCase>& info) { return info.param.label; });

TEST_F(SimRegistryHandles, HandlesToADeletedKeyReportItDeleted) {
  RegKey deep =
      Open(std::string(kJoystickKey) + "\\Drv<0000>\\CurrentJoystickSettings", kKeyAllAccess);
  RegKey sibling = Open("System", kKeyRead);
  ASSERT_TRUE(m_registry.LoadText(
      "REGEDIT4\r\n[-HKEY_LOCAL_MACHINE\\System\\CurrentControlSet]\r\n", nullptr));
  uint32_t type = 0, size = 0;
  EXPECT_EQ(m_registry.QueryValue(deep, "Joystick1OEMName", type, nullptr, size), kRegKeyDeleted);
  const uint8_t one = 1;
  EXPECT_EQ(m_registry.SetValue(deep, "x", kRegBinary, &one, 1), kRegKeyDeleted);
  std::string name;
  EXPECT_EQ(m_registry.EnumKey(sibling, 0, name, 256), kRegNoMoreItems);
  EXPECT_EQ(m_registry.CloseKey(deep), kRegOk);
  EXPECT_EQ(m_registry.CloseKey(sibling), kRegOk);
  EXPECT_EQ(m_registry.OpenHandleCount(), 0u);
}

TEST_F(SimRegistryHandles, RefusesNamesThePlatformOrTheTextFormCannotHold) {
  RegKey key = kRegNone;
  EXPECT_EQ(m_registry.CreateKey(kHkeyCurrentUser, std::string(256, 'n'), kKeyRead, key),
            kRegInvalidParameter);
  EXPECT_EQ(key, kRegNone);
  EXPECT_EQ(m_registry.CreateKey(kHkeyCurrentUser, std::string(255, 'n'), kKeyRead, key), kRegOk);
  m_registry.CloseKey(key);
  EXPECT_EQ(m_registry.CreateKey(kHkeyCurrentUser, "line\nbreak", kKeyRead, key),
            kRegInvalidParameter);
  std::string tooDeep;
  for (int i = 0; i < 513; ++i) tooDeep += "k\\";
  EXPECT_EQ(m_registry.CreateKey(kHkeyCurrentUser, tooDeep, kKeyRead, key), kRegInvalidParameter);
  EXPECT_EQ(m_registry.OpenHandleCount(), 0u);
}

TEST(SimRegistryFiles, SaveThenLoadGivesTheSameTreeAndAMissingFileIsAnError) {
  const std::string path = testing::TempDir() + "/sim_registry_files.reg";
  SimRegistry registry;
  ASSERT_TRUE(registry.LoadText(
      "REGEDIT4\r\n[HKCU\\Control Panel\\Joy]\r\n\"AutoDetect\"=hex:01\r\n", nullptr));
  ASSERT_TRUE(registry.SaveFile(path));
  SimRegistry loaded;
  std::string error;
  ASSERT_TRUE(loaded.LoadFile(path, &error)) << error;
  EXPECT_EQ(loaded.DumpText(), registry.DumpText());

  EXPECT_FALSE(loaded.LoadFile(path + ".missing", &error));
  EXPECT_NE(error.find(".missing"), std::string::npos);
  EXPECT_FALSE(registry.SaveFile(testing::TempDir() + "/no/such/folder/x.reg"));
}

}  // namespace
}  // namespace kl
