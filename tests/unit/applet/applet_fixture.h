// Shared pieces of the applet tests: a simulated registry and joystick driver,
// a small string table, and helpers that build registry fixtures from the
// documented layout of the joystick configuration (offset and 32-bit value).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "applet/applet_state.h"
#include "applet/joystick_registry.h"
#include "platform/sim/sim_joystick.h"
#include "platform/sim/sim_registry.h"
#include "platform/strings.h"

namespace kl::test {

inline const std::string kJoyKey =
    "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\MediaResources\\Joystick";
inline const std::string kOemKey =
    "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\"
    "Joystick\\OEM";
inline const std::string kDriver = "msjstick.drv<0000>";
inline const std::string kSettings = kJoyKey + "\\" + kDriver + "\\CurrentJoystickSettings";
inline const std::string kPadName = "Vornatek GamePad";

// Texts chosen here, so the tests do not depend on the resource module's wording.
class FakeStrings : public StringSource {
 public:
  FakeStrings() {
    for (uint32_t id = 22; id <= 33; ++id) m_texts[id] = "Type " + std::to_string(id);
    m_texts[20] = "Ready";
    m_texts[21] = "Not connected";
    m_texts[57347] = kPadName;
  }
  std::string Load(uint32_t id) const override {
    auto it = m_texts.find(id);
    return it == m_texts.end() ? std::string() : it->second;
  }
  void Set(uint32_t id, std::string text) { m_texts[id] = std::move(text); }

 private:
  std::map<uint32_t, std::string> m_texts;
};

// 112 configuration bytes with the given 32-bit words at their byte offsets.
inline std::vector<uint8_t> ConfigBytes(std::initializer_list<std::pair<size_t, uint32_t>> words) {
  std::vector<uint8_t> bytes(112, 0);
  for (auto [offset, value] : words) {
    for (int i = 0; i < 4; ++i) bytes.at(offset + i) = uint8_t(value >> (8 * i));
  }
  return bytes;
}

inline std::vector<uint8_t> Bytes(const JOYREGHWCONFIG& config) {
  const JoyConfigBytes bytes = EncodeJoystickConfig(config);
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

// A .reg "hex:" value.
inline std::string Hex(const std::vector<uint8_t>& bytes) {
  std::string text = "hex:";
  char digits[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(digits, sizeof digits, "%02x", bytes[i]);
    if (i) text += ",";
    text += digits;
  }
  return text;
}

// A registered OEM type as the registry holds it.
inline std::string OemType(const std::string& key, const std::string& name, uint32_t flags,
                           uint32_t buttons, const std::string& callout = "") {
  std::string text = "[" + kOemKey + "\\" + key + "]\n\"OEMName\"=\"" + name + "\"\n";
  std::vector<uint8_t> data(8, 0);
  for (int i = 0; i < 4; ++i) {
    data[i] = uint8_t(flags >> (8 * i));
    data[4 + i] = uint8_t(buttons >> (8 * i));
  }
  text += "\"OEMData\"=" + Hex(data) + "\n";
  if (!callout.empty()) text += "\"OEMCallout\"=\"" + callout + "\"\n";
  return text;
}

class AppletTest : public ::testing::Test {
 protected:
  AppletTest() : joysticks(registry, joystick, strings) {}

  void LoadReg(const std::string& body) {
    std::string error;
    ASSERT_TRUE(registry.LoadText("REGEDIT4\n\n" + body, &error)) << error;
  }
  // The usual start: the joystick key with one driver key and its settings.
  void LoadDriverReg(const std::string& more = "") {
    LoadReg("[" + kJoyKey + "]\n[" + kSettings + "]\n" + more);
  }

  // The raw bytes of a value, or nothing.
  std::optional<std::vector<uint8_t>> Value(const std::string& path, const std::string& name,
                                            uint32_t* typeOut = nullptr) {
    std::string sub = path.substr(std::string("HKEY_LOCAL_MACHINE\\").size());
    RegKey root = kHkeyLocalMachine;
    if (path.rfind("HKEY_CURRENT_USER\\", 0) == 0) {
      sub = path.substr(std::string("HKEY_CURRENT_USER\\").size());
      root = kHkeyCurrentUser;
    }
    RegKey key = kRegNone;
    if (registry.OpenKey(root, sub, kKeyRead, key) != kRegOk) return std::nullopt;
    std::vector<uint8_t> data(4096);
    uint32_t type = 0;
    uint32_t size = static_cast<uint32_t>(data.size());
    const long result = registry.QueryValue(key, name, type, data.data(), size);
    registry.CloseKey(key);
    if (result != kRegOk) return std::nullopt;
    data.resize(size);
    if (typeOut) *typeOut = type;
    return data;
  }
  std::optional<std::string> StringValue(const std::string& path, const std::string& name) {
    uint32_t type = 0;
    auto data = Value(path, name, &type);
    if (!data || type != kRegSz) return std::nullopt;
    std::string text(data->begin(), data->end());
    if (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
  }

  // A device answering at multimedia number `number`.
  SimJoystick::Device& PlugPad(uint32_t number, uint32_t buttons, const std::string& regKey = "") {
    SimJoystick::Device& device = joystick.Plug(number);
    device.caps.wNumButtons = buttons;
    device.caps.szRegKey = regKey;
    return device;
  }

  SimRegistry registry;
  SimJoystick joystick;
  FakeStrings strings;
  JoystickRegistry joysticks;
  AppletState state;
};

}  // namespace kl::test
