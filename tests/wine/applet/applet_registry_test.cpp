// The joystick configuration written into Wine's registry, with the virtual
// pad as the joystick driver: auto-detection from the selection page and from
// kltool.exe places the maker's pad on id 1, and the runtime mapper's pad
// enumeration then recognises it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "applet/selection.h"
#include "gamepad/pads.h"
#include "harness/support.h"
#include "platform/win32/win32_joystick.h"
#include "platform/win32/win32_registry.h"
#include "resources/builtin_strings.h"

namespace {

using kl::winetest::RunHelper;
using kl::winetest::RunResult;

const std::string kJoystickPath = "System\\CurrentControlSet\\Control\\MediaResources\\Joystick";
const std::string kOemPath =
    "System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM";

void Vpadctl(const std::vector<std::string>& args) {
  const RunResult result = RunHelper("vpadctl.exe", args);
  ASSERT_TRUE(result.finished);
  ASSERT_EQ(result.exitCode, 0u) << result.output;
}

// A value straight from the registry, without our adapter in between.
std::vector<BYTE> RawValue(const std::string& path, const char* name, DWORD& type) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return {};
  }
  std::vector<BYTE> data(1024);
  DWORD size = static_cast<DWORD>(data.size());
  const LONG result = RegQueryValueExA(key, name, nullptr, &type, data.data(), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) return {};
  data.resize(size);
  return data;
}

uint32_t Word(const std::vector<BYTE>& bytes, size_t offset) {
  return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
         static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

class AppletOnWine : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string id = std::to_string(GetCurrentProcessId());
    m_driver = "KlAppletTest" + id;
    m_padKey = "KlAppletPad" + id;
    ASSERT_TRUE(CreateKey(kJoystickPath + "\\" + m_driver));
    HKEY type = CreateKey(kOemPath + "\\" + m_padKey);
    ASSERT_TRUE(type);
    const std::string name = m_strings.Load(kl::kPadNameStringId);
    RegSetValueExA(type, "OEMName", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                   static_cast<DWORD>(name.size() + 1));
    const BYTE data[8] = {0x20, 0, 0, 0, 12, 0, 0, 0};
    RegSetValueExA(type, "OEMData", 0, REG_BINARY, data, sizeof data);
    RegCloseKey(type);
    Vpadctl({"reset"});
    Vpadctl({"plug", "0", "buttons=12", "regkey=" + m_driver});
  }
  void TearDown() override {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, (kJoystickPath + "\\" + m_driver).c_str());
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, (kOemPath + "\\" + m_padKey).c_str());
    Vpadctl({"reset"});
  }

  static HKEY CreateKey(const std::string& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
      return nullptr;
    }
    return key;
  }

  std::vector<uint32_t> RecognisedIds() {
    kl::PadAccess pads(m_joystick, m_registry);
    const uint8_t count = pads.EnumeratePads();
    std::vector<uint32_t> ids;
    for (uint8_t i = 0; i < count; ++i) ids.push_back(pads.Slots()[i].joystickId);
    return ids;
  }

  void ExpectPadOnIdOne() {
    const std::string settings = kJoystickPath + "\\" + m_driver + "\\CurrentJoystickSettings";
    DWORD type = 0;
    const std::vector<BYTE> config = RawValue(settings, "Joystick1Configuration", type);
    ASSERT_EQ(config.size(), 112u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(Word(config, 0), 0x20u);
    EXPECT_EQ(Word(config, 4), 12u);
    EXPECT_EQ(Word(config, 8), 6u);
    EXPECT_EQ(Word(config, 104), 15u);
    const std::vector<BYTE> oemKey = RawValue(settings, "Joystick1OEMName", type);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    ASSERT_FALSE(oemKey.empty());
    const std::string keyName(reinterpret_cast<const char*>(oemKey.data()));
    const std::vector<BYTE> name = RawValue(kOemPath + "\\" + keyName, "OEMName", type);
    ASSERT_FALSE(name.empty());
    EXPECT_STREQ(reinterpret_cast<const char*>(name.data()), "Vornatek GamePad");
  }

  std::string m_driver;
  std::string m_padKey;
  kl::Win32Registry m_registry;
  kl::Win32Joystick m_joystick;
  kl::BuiltinStrings m_strings{kl::StringModule::kOstra};
};

TEST_F(AppletOnWine, SelectionPageAutoDetectionIsRecognisedByThePadAccess) {
  EXPECT_TRUE(RecognisedIds().empty());
  kl::JoystickRegistry joysticks(m_registry, m_joystick, m_strings);
  kl::AppletState state;
  state.autoDetect = true;
  const std::vector<kl::DeviceRow> rows = kl::OpenSelectionPage(joysticks, state);

  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].image, kl::DeviceImage::kPad12);
  ExpectPadOnIdOne();
  EXPECT_EQ(RecognisedIds(), std::vector<uint32_t>{0});
}

TEST_F(AppletOnWine, KltoolJoystickWorksOnTheRealRegistry) {
  const RunResult autodetect = RunHelper("kltool.exe", {"joystick", "autodetect"});
  ASSERT_TRUE(autodetect.finished);
  ASSERT_EQ(autodetect.exitCode, 0u) << autodetect.output;
  ExpectPadOnIdOne();
  EXPECT_EQ(RecognisedIds(), std::vector<uint32_t>{0});

  const RunResult show = RunHelper("kltool.exe", {"joystick", "show", "--json"});
  ASSERT_EQ(show.exitCode, 0u) << show.output;
  EXPECT_NE(show.output.find("{\"id\":1,\"present\":true,\"status\":0,"), std::string::npos)
      << show.output;
  EXPECT_NE(show.output.find("\"name\":\"Vornatek GamePad\",\"callout\":\"\",\"padButtons\":12,"),
            std::string::npos)
      << show.output;

  const RunResult remove = RunHelper("kltool.exe", {"joystick", "remove", "1"});
  ASSERT_EQ(remove.exitCode, 0u) << remove.output;
  EXPECT_TRUE(RecognisedIds().empty());
}

// The calibration and test pages through kltool.exe, with Wine's registry and
// the virtual pad as the joystick driver (no --registry, no --answering).
TEST_F(AppletOnWine, KltoolRunsThePagesOnTheRealDriver) {
  const RunResult autodetect = RunHelper("kltool.exe", {"joystick", "autodetect"});
  ASSERT_EQ(autodetect.exitCode, 0u) << autodetect.output;
  Vpadctl({"press", "0", "11"});
  const std::string script = kl::winetest::TempPath("pages-script.txt");
  HANDLE file = CreateFileA(script.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  const char text[] = "current 1\nactivate\ntick\ndeactivate\n";
  DWORD written = 0;
  WriteFile(file, text, sizeof text - 1, &written, nullptr);
  CloseHandle(file);

  const RunResult test = RunHelper("kltool.exe", {"joystick", "testpage", script});
  ASSERT_EQ(test.exitCode, 0u) << test.output;
  const std::vector<std::string> lines = kl::winetest::Lines(test.output);
  auto has = [&lines](const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  };
  EXPECT_TRUE(has("picture 400 0,0,379,264")) << test.output;
  EXPECT_TRUE(has("picture 421 279,40,314,74")) << "button 12 is held\n" << test.output;

  const RunResult calibrate = RunHelper("kltool.exe", {"joystick", "calibrate", script});
  ASSERT_EQ(calibrate.exitCode, 0u) << calibrate.output;
  EXPECT_NE(calibrate.output.find("string 1067 57349\n"), std::string::npos) << calibrate.output;
  EXPECT_NE(calibrate.output.find("prompt 1\ntimer start\n"), std::string::npos)
      << calibrate.output;
  EXPECT_EQ(calibrate.output.find("modified"), std::string::npos) << "nothing was finished";
  DeleteFileA(script.c_str());
}

TEST_F(AppletOnWine, KltoolRefusesBadInputWithOneLine) {
  const RunResult result = RunHelper("kltool.exe", {"joystick", "set", "17", "2"});
  ASSERT_TRUE(result.finished);
  EXPECT_EQ(result.exitCode, 1u);
  EXPECT_EQ(result.output.rfind("kltool: ", 0), 0u) << result.output;
}

}  // namespace
