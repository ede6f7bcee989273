#include "applet/joystick_registry.h"

#include "applet/reg_values.h"

namespace kl {
namespace {

// Read and write access: writing operations must also enumerate the driver keys.
constexpr uint32_t kKeyReadWrite = kKeyRead | kKeyWrite;

bool ReadConfig(Registry& registry, RegKey key, const std::string& name, JOYREGHWCONFIG& config) {
  JoyConfigBytes bytes{};
  if (!ReadBinaryValue(registry, key, name, bytes.data(), bytes.size())) return false;
  config = DecodeJoystickConfig(bytes);
  return true;
}

long WriteConfig(Registry& registry, RegKey key, const std::string& name,
                 const JOYREGHWCONFIG& config) {
  const JoyConfigBytes bytes = EncodeJoystickConfig(config);
  return registry.SetValue(key, name, kRegBinary, bytes.data(),
                           static_cast<uint32_t>(bytes.size()));
}

}  // namespace

std::optional<std::string> JoystickRegistry::ChooseDriverKey(RegKey joystickKey) {
  JoyCaps caps;
  if (m_joystick.GetNumDevs() > 0 && m_joystick.GetDevCaps(0, caps) == kJoyErrNoError &&
      !caps.szRegKey.empty() && caps.szRegKey.size() < kJoyNameSize) {
    return caps.szRegKey;
  }
  std::optional<std::string> last;
  ForEachSubkey(m_registry, joystickKey, kJoyNameSize, [&](const std::string& name) {
    if (!name.empty()) last = name;
  });
  return last;
}

bool JoystickRegistry::LoadJoystickTable(const JoystickTypeList& types, JoystickTable& table) {
  ScopedRegKey joystickKey(m_registry);
  if (!joystickKey.Open(kHkeyLocalMachine, kJoystickKeyPath, kKeyRead)) return false;
  const std::optional<std::string> driver = ChooseDriverKey(joystickKey.Get());
  if (!driver) return true;
  ScopedRegKey settings(m_registry);
  if (!settings.Open(joystickKey.Get(), *driver + "\\" + kCurrentSettingsName, kKeyRead)) {
    return true;
  }
  for (uint32_t id = 1; id <= kJoystickCount; ++id) {
    JoystickRecord& record = table.At(id);
    record = JoystickRecord{};
    ReadConfig(m_registry, settings.Get(), JoystickValueName(id, "Configuration"), record.config);
    JOYREGHWCONFIG& config = record.config;
    if (config.hws.dwFlags != 0 || config.hws.dwNumButtons != 0) {
      record.present = 1;
      config.dwUsageSettings |= kJoyUsPresent;
    }
    if (config.dwUsageSettings & kJoyUsIsOem) {
      record.oemKey = ReadStringValue(m_registry, settings.Get(),
                                      JoystickValueName(id, kOemNameValue), kJoyNameSize)
                          .value_or("");
      // An empty name would open the OEM key itself rather than a type's key.
      if (record.oemKey.empty()) continue;
      ScopedRegKey type(m_registry);
      if (type.Open(kHkeyLocalMachine, OemTypePath(record.oemKey), kKeyRead)) {
        record.displayName =
            ReadStringValue(m_registry, type.Get(), kOemNameValue, kJoyNameSize).value_or("");
        record.oemCallout =
            ReadStringValue(m_registry, type.Get(), "OEMCallout", kJoyNameSize).value_or("");
      }
    } else if (config.dwType >= 1) {
      if (auto match = FindJoystickType(types, "", config.dwType)) {
        record.displayName = match->displayName;
        if (match->oemKey) record.oemKey = *match->oemKey;
      }
    }
  }
  return true;
}

bool JoystickRegistry::SaveJoystickTable(const JoystickTable& table) {
  bool stored = false;
  ScopedRegKey joystickKey(m_registry);
  if (joystickKey.Open(kHkeyLocalMachine, kJoystickKeyPath, kKeyReadWrite)) {
    const std::optional<std::string> driver = ChooseDriverKey(joystickKey.Get());
    ScopedRegKey settings(m_registry);
    if (driver &&
        settings.Create(joystickKey.Get(), *driver + "\\" + kCurrentSettingsName, kKeyReadWrite)) {
      stored = true;
      for (uint32_t id = 1; id <= kJoystickCount; ++id) {
        const JoystickRecord& record = table.At(id);
        const std::string configName = JoystickValueName(id, "Configuration");
        const std::string oemName = JoystickValueName(id, kOemNameValue);
        const std::string calloutName = JoystickValueName(id, "OEMCallOut");
        if (WriteConfig(m_registry, settings.Get(), configName, record.config) != kRegOk) {
          stored = false;
        }
        m_registry.DeleteValue(settings.Get(), oemName);
        m_registry.DeleteValue(settings.Get(), calloutName);
        if (record.config.dwUsageSettings & kJoyUsIsOem) {
          if (WriteStringValue(m_registry, settings.Get(), oemName, record.oemKey) != kRegOk) {
            stored = false;
          }
          if (!record.oemCallout.empty() &&
              WriteStringValue(m_registry, settings.Get(), calloutName, record.oemCallout) !=
                  kRegOk) {
            stored = false;
          }
        }
        // The per-type memory; a record without a type key has no place for it.
        if (record.present && !record.oemKey.empty()) {
          ScopedRegKey memory(m_registry);
          if (memory.Create(joystickKey.Get(), *driver + "\\joystickSettings\\" + record.oemKey,
                            kKeyWrite)) {
            WriteConfig(m_registry, memory.Get(), configName, record.config);
          }
        }
      }
    }
  }
  m_joystick.ConfigChanged(0);
  return stored;
}

bool JoystickRegistry::LoadSavedTypeConfig(JoystickTable& table, uint32_t id,
                                           const std::string& typeKey) {
  if (!IsJoystickId(id) || typeKey.empty()) return false;
  ScopedRegKey joystickKey(m_registry);
  if (!joystickKey.Open(kHkeyLocalMachine, kJoystickKeyPath, kKeyReadWrite)) return false;
  const std::optional<std::string> driver = ChooseDriverKey(joystickKey.Get());
  if (!driver) return false;
  ScopedRegKey memory(m_registry);
  if (!memory.Open(joystickKey.Get(), *driver + "\\JoystickSettings\\" + typeKey, kKeyRead)) {
    return false;
  }
  return ReadConfig(m_registry, memory.Get(), JoystickValueName(id, "Configuration"),
                    table.At(id).config);
}

bool JoystickRegistry::IsJoystickResponding(uint32_t number, JoyInfo& info) {
  info = JoyInfo{};
  info.dwFlags = kJoyReturnAll;
  return m_joystick.GetPosEx(number, info) == kJoyErrNoError;
}

void JoystickRegistry::ProbeJoysticks(JoystickTable& table) {
  for (uint32_t id = 1; id <= kJoystickCount; ++id) {
    JoystickRecord& record = table.At(id);
    if (!record.present) continue;
    JoyInfo info;
    info.dwFlags = kJoyReturnAll;
    const uint32_t result = m_joystick.GetPosEx(id - 1, info);
    if (result == kJoyErrNoError) {
      record.status = kStatusAnswers;
      record.config.dwUsageSettings |= kJoyUsPresent;
    } else {
      record.status = result == kJoyErrUnplugged ? kStatusUnplugged : kStatusFailed;
      record.config.dwUsageSettings &= ~kJoyUsPresent;
    }
  }
}

uint8_t JoystickRegistry::CountRespondingJoysticks() {
  // The interface numbers joysticks with small integers; the bound keeps a
  // driver that reports an absurd count from stalling the page's timer.
  constexpr uint32_t kMaxNumbers = 256;
  uint32_t count = 0;
  for (uint32_t number = 0; number < kMaxNumbers && number < m_joystick.GetNumDevs(); ++number) {
    JoyInfo info;
    if (IsJoystickResponding(number, info)) ++count;
  }
  return static_cast<uint8_t>(count > 255 ? 255 : count);
}

void JoystickRegistry::BuildJoystickTypeList(JoystickTypeList& types) {
  types.clear();
  ScopedRegKey oemKey(m_registry);
  if (oemKey.Open(kHkeyLocalMachine, kOemTypesKeyPath, kKeyRead)) {
    ForEachSubkey(m_registry, oemKey.Get(), kJoyNameSize, [&](const std::string& name) {
      if (name.empty()) return;
      ScopedRegKey type(m_registry);
      if (!type.Open(oemKey.Get(), name, kKeyRead)) return;
      JoystickTypeEntry entry;
      entry.oemKey = name;
      entry.displayName =
          ReadStringValue(m_registry, type.Get(), kOemNameValue, kJoyNameSize).value_or("");
      entry.oemCallout =
          ReadStringValue(m_registry, type.Get(), "OEMCallout", kJoyNameSize).value_or("");
      uint8_t data[8] = {};
      if (ReadBinaryValue(m_registry, type.Get(), "OEMData", data, sizeof data)) {
        entry.flags = uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 |
                      uint32_t(data[3]) << 24;
        entry.buttons = uint32_t(data[4]) | uint32_t(data[5]) << 8 | uint32_t(data[6]) << 16 |
                        uint32_t(data[7]) << 24;
      }
      InsertTypeSorted(types, entry);
    });
  }
  for (uint32_t position = 0; position < kFixedTypeCount; ++position) {
    const FixedJoystickType& fixed = kFixedJoystickTypes[position];
    JoystickTypeEntry entry;
    entry.oemKey = fixed.oemKey;
    entry.displayName = m_strings.Load(fixed.nameId);
    if (entry.displayName.size() >= kJoyNameSize) entry.displayName.resize(kJoyNameSize - 1);
    entry.flags = fixed.flags;
    entry.buttons = fixed.buttons;
    InsertTypeAt(types, entry, position);
  }
}

}  // namespace kl
