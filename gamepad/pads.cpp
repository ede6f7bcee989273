#include "gamepad/pads.h"

#include <cstring>
#include <string_view>

#include "platform/registry_keys.h"

namespace kl {

namespace {

// The registry holds text values in a fixed buffer; a value that does not fit
// fails, and the text ends at its first NUL or at the end of the data.
bool QueryText(Registry& registry, RegKey key, std::string_view valueName, std::string& text) {
  uint8_t buffer[kOemNameBuffer] = {};
  uint32_t type = 0;
  uint32_t size = sizeof(buffer);
  if (registry.QueryValue(key, valueName, type, buffer, size) != kRegOk) return false;
  if (size > sizeof(buffer)) size = sizeof(buffer);
  const void* nul = std::memchr(buffer, 0, size);
  size_t length = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - buffer) : size;
  // A name that fills the whole buffer has no room for its terminator.
  if (length >= sizeof(buffer)) return false;
  text.assign(reinterpret_cast<const char*>(buffer), length);
  return true;
}

}  // namespace

bool IsRecognisedPadName(const std::string& name) {
  return name == "Vornatek GamePad" || name == "Brontal GamePad";
}

uint8_t PadAccess::EnumeratePads() {
  uint8_t count = 0;
  if (m_joystick.GetNumDevs() == 0) return 0;
  for (uint32_t id = 0; id < kMaxJoystickIds && id < m_joystick.GetNumDevs(); ++id) {
    JoyInfo info;
    if (!ReadPad(id, info)) continue;
    std::string name;
    if (ReadOemName(id, name) != kJoyErrNoError) continue;
    if (!IsRecognisedPadName(name)) continue;
    if (count < kMaxPads) {
      m_slots[count].joystickId = id;
      ++count;
    }
  }
  return count;
}

uint32_t PadAccess::ReadOemName(uint32_t id, std::string& name) {
  name.clear();
  if (m_joystick.GetNumDevs() < static_cast<uint64_t>(id) + 1) return kJoyErrNoCanDo;

  // The result is not checked: for an absent device the lookups below fail.
  JoyCaps caps;
  m_joystick.GetDevCaps(id, caps);

  const std::string settingsPath = CurrentSettingsPath(caps.szRegKey);
  // Read access is all we need; asking for more fails for ordinary users on
  // later systems and the pad would then never be recognised.
  RegKey settings = kRegNone;
  if (m_registry.OpenKey(kHkeyLocalMachine, settingsPath, kKeyRead, settings) != kRegOk) {
    return kJoyErrNoCanDo;
  }
  std::string typeName;
  const std::string valueName = JoystickValueName(id + 1, kOemNameValue);
  bool found = QueryText(m_registry, settings, valueName, typeName);
  m_registry.CloseKey(settings);
  if (!found || typeName.empty()) return kJoyErrNoCanDo;

  const std::string typePath = OemTypePath(typeName);
  RegKey type = kRegNone;
  if (m_registry.OpenKey(kHkeyLocalMachine, typePath, kKeyRead, type) != kRegOk) {
    return kJoyErrNoCanDo;
  }
  found = QueryText(m_registry, type, kOemNameValue, name);
  m_registry.CloseKey(type);
  if (!found) {
    name.clear();
    return kJoyErrNoCanDo;
  }
  return kJoyErrNoError;
}

bool PadAccess::ReadPad(uint32_t id, JoyInfo& info) {
  info = JoyInfo{};
  info.dwFlags = kJoyReturnAll;
  return m_joystick.GetPosEx(id, info) == kJoyErrNoError;
}

bool PadAccess::ReadButtonCount(uint32_t id, uint32_t& count) {
  JoyCaps caps;
  if (m_joystick.GetDevCaps(id, caps) != kJoyErrNoError) return false;
  count = caps.wNumButtons;
  return true;
}

}  // namespace kl
