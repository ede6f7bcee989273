// The Win32 registry adapter against Wine's registry, under a scratch key in
// HKEY_CURRENT_USER, and the simulated registry held to the same answers.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/sim/sim_registry.h"
#include "platform/win32/win32_registry.h"

namespace kl {
namespace {

std::string ScratchPath() {
  return "Software\\KeyLoomTests\\Seams" + std::to_string(GetCurrentProcessId());
}

// Runs one scenario of registry calls and writes down every answer, so that
// two implementations can be compared line by line.
class Scenario {
 public:
  Scenario(Registry& registry, std::string base) : m_registry(registry), m_base(std::move(base)) {}

  std::vector<std::string> Run() {
    RegKey base = Create(kHkeyCurrentUser, m_base, kKeyAllAccess, "create base");
    RegKey deep = Create(base, "Joystick\\Drv<0000>\\CurrentJoystickSettings", kKeyAllAccess,
                         "create three levels");
    Note("close deep", m_registry.CloseKey(deep));
    RegKey other = Open(base, "JOYSTICK\\drv<0000>", kKeyRead, "open in other case");
    Note("close other", m_registry.CloseKey(other));
    Open(base, "Joystick\\Missing", kKeyRead, "open missing");
    Open(kHkeyCurrentUser, "\\" + m_base, kKeyRead, "open with leading backslash");
    RegKey doubled = Open(base, "Joystick\\\\Drv<0000>\\", kKeyRead, "open doubled and trailing");
    Note("close doubled", m_registry.CloseKey(doubled));
    RegKey again = Open(base, "", kKeyRead, "open empty subkey");
    Note("empty subkey gives a new handle", again != base && again != kRegNone);
    Note("close again", m_registry.CloseKey(again));

    const char name[] = "Vornatek GamePad";
    Note("set sz", m_registry.SetValue(base, "OEMName", kRegSz,
                                       reinterpret_cast<const uint8_t*>(name), sizeof name));
    const uint8_t dword[4] = {0x0c, 0, 0, 0};
    Note("set dword", m_registry.SetValue(base, "Setting", kRegDword, dword, 4));
    std::vector<uint8_t> config(112);
    for (size_t i = 0; i < config.size(); ++i) config[i] = static_cast<uint8_t>(i + 1);
    Note("set binary",
         m_registry.SetValue(base, "Joystick1Configuration", kRegBinary, config.data(), 112));
    Note("set empty binary", m_registry.SetValue(base, "Empty", kRegBinary, nullptr, 0));

    Query(base, "OEMName", 0, false, "query sz size only");
    Query(base, "oemname", sizeof name, true, "query sz exact, other case");
    Query(base, "OEMName", sizeof name - 1, true, "query sz one byte short");
    Query(base, "Setting", 4, true, "query dword");
    Query(base, "Joystick1Configuration", 256, true, "query binary in a larger buffer");
    Query(base, "Joystick1Configuration", 111, true, "query binary one byte short");
    Query(base, "Empty", 8, true, "query empty binary");
    Query(base, "Nothing", 8, true, "query missing");
    Query(base, "", 8, true, "query default when unset");
    Note("delete value", m_registry.DeleteValue(base, "Setting"));
    Note("delete it again", m_registry.DeleteValue(base, "SETTING"));
    Query(base, "Setting", 4, true, "query deleted");

    for (const char* child : {"Joy1", "alpha", "Beta"}) {
      RegKey key = Create(base, child, kKeyRead, std::string("create ") + child);
      m_registry.CloseKey(key);
    }
    Enumerate(base, 256, "enumerate");
    Enumerate(base, 5, "enumerate with 5 bytes");  // "alpha" needs 6

    RegKey writeOnly = Open(kHkeyCurrentUser, m_base, kKeyWrite, "open for writing");
    Query(writeOnly, "OEMName", 0, false, "query through a write handle");
    Enumerate(writeOnly, 256, "enumerate through a write handle");
    Note("set through a write handle", m_registry.SetValue(writeOnly, "W", kRegBinary, dword, 1));
    Note("close write handle", m_registry.CloseKey(writeOnly));
    RegKey readOnly = Open(kHkeyCurrentUser, m_base, kKeyRead, "open for reading");
    Note("set through a read handle", m_registry.SetValue(readOnly, "R", kRegBinary, dword, 1));
    Note("delete through a read handle", m_registry.DeleteValue(readOnly, "OEMName"));
    RegKey child = Create(readOnly, "MadeFromRead", kKeyRead, "create through a read handle");
    Note("close child", m_registry.CloseKey(child));
    Note("close read handle", m_registry.CloseKey(readOnly));

    Note("close base", m_registry.CloseKey(base));
    Note("close base twice", m_registry.CloseKey(base));
    uint32_t type = 0, size = 0;
    Note("query a closed handle", m_registry.QueryValue(base, "OEMName", type, nullptr, size));
    Note("close a root", m_registry.CloseKey(kHkeyCurrentUser));
    return m_lines;
  }

 private:
  void Note(const std::string& what, long result) {
    m_lines.push_back(what + " -> " + std::to_string(result));
  }

  RegKey Open(RegKey parent, const std::string& path, uint32_t access, const std::string& what) {
    RegKey key = 12345;
    Note(what, m_registry.OpenKey(parent, path, access, key));
    Note(what + ": handle set", key != kRegNone);
    return key;
  }

  RegKey Create(RegKey parent, const std::string& path, uint32_t access, const std::string& what) {
    RegKey key = 12345;
    Note(what, m_registry.CreateKey(parent, path, access, key));
    Note(what + ": handle set", key != kRegNone);
    return key;
  }

  void Query(RegKey key, const std::string& name, uint32_t bufferSize, bool withBuffer,
             const std::string& what) {
    std::vector<uint8_t> buffer(bufferSize + 1, 0xEE);
    uint32_t type = 0;
    uint32_t size = bufferSize;
    long result =
        m_registry.QueryValue(key, name, type, withBuffer ? buffer.data() : nullptr, size);
    std::string line = what;
    line.append(" -> ").append(std::to_string(result));
    line.append(" type ").append(std::to_string(type));
    line.append(" size ").append(std::to_string(size));
    if (withBuffer) {
      size_t filled = 0;
      while (filled < buffer.size() && buffer[filled] != 0xEE) ++filled;
      line.append(" filled ").append(std::to_string(filled));
      if (result == kRegOk) {
        line.append(" bytes ");
        line.append(reinterpret_cast<const char*>(buffer.data()), size);
      }
    }
    m_lines.push_back(line);
  }

  void Enumerate(RegKey key, uint32_t bufferSize, const std::string& what) {
    std::string line = what;
    line.append(":");
    for (uint32_t index = 0; index < 10; ++index) {
      std::string name = "-";
      long result = m_registry.EnumKey(key, index, name, bufferSize);
      line.append(" ").append(std::to_string(result)).append("/").append(name);
      if (result == kRegNoMoreItems || result == kRegAccessDenied) break;
    }
    m_lines.push_back(line);
  }

  Registry& m_registry;
  std::string m_base;
  std::vector<std::string> m_lines;
};

class Win32RegistryTest : public testing::Test {
 protected:
  void TearDown() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, ScratchPath().c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\KeyLoomTests");
  }
};

TEST_F(Win32RegistryTest, AnswersLikeTheSimulatedRegistry) {
  Win32Registry windows;
  std::vector<std::string> real = Scenario(windows, ScratchPath()).Run();
  EXPECT_EQ(windows.OpenHandleCount(), 0u);
  SimRegistry simulated;
  std::vector<std::string> sim = Scenario(simulated, ScratchPath()).Run();
  EXPECT_EQ(simulated.OpenHandleCount(), 0u);
  ASSERT_EQ(real.size(), sim.size());
  for (size_t i = 0; i < real.size(); ++i) EXPECT_EQ(sim[i], real[i]);
}

TEST_F(Win32RegistryTest, WritesWhatOtherProgramsReadBack) {
  Win32Registry registry;
  RegKey key = kRegNone;
  ASSERT_EQ(registry.CreateKey(kHkeyCurrentUser, ScratchPath() + "\\Control Panel\\Joy",
                               kKeyAllAccess, key),
            kRegOk);
  const uint8_t flag = 1;
  ASSERT_EQ(registry.SetValue(key, "AutoDetect", kRegBinary, &flag, 1), kRegOk);
  ASSERT_EQ(registry.CloseKey(key), kRegOk);

  HKEY raw = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (ScratchPath() + "\\Control Panel\\Joy").c_str(), 0,
                          KEY_READ, &raw),
            ERROR_SUCCESS);
  BYTE data[4] = {};
  DWORD type = 0, size = sizeof data;
  EXPECT_EQ(RegQueryValueExA(raw, "AutoDetect", nullptr, &type, data, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(size, 1u);
  EXPECT_EQ(data[0], 1);
  RegCloseKey(raw);
}

TEST_F(Win32RegistryTest, HandleToADeletedKeySaysSo) {
  Win32Registry registry;
  RegKey key = kRegNone;
  ASSERT_EQ(registry.CreateKey(kHkeyCurrentUser, ScratchPath() + "\\Doomed", kKeyAllAccess, key),
            kRegOk);
  ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, (ScratchPath() + "\\Doomed").c_str()), ERROR_SUCCESS);
  uint32_t type = 0, size = 0;
  EXPECT_EQ(registry.QueryValue(key, "x", type, nullptr, size), kRegKeyDeleted);
  EXPECT_EQ(registry.CloseKey(key), kRegOk);
}

}  // namespace
}  // namespace kl
