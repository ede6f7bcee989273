// Every registry access of the joystick applet: loading and saving the joystick
// table under the multimedia joystick keys, the configuration remembered per
// joystick type, the type list from the registered OEM types, and the presence
// probes through the joystick interface. The editor and the runtime mapper read
// the same keys to recognise the pads, so the values keep the platform's layouts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "applet/joystick_table.h"
#include "applet/joystick_types.h"
#include "platform/joystick.h"
#include "platform/registry.h"
#include "platform/registry_keys.h"
#include "platform/strings.h"

namespace kl {

class JoystickRegistry {
 public:
  JoystickRegistry(Registry& registry, Joystick& joystick, const StringSource& strings)
      : m_registry(registry), m_joystick(joystick), m_strings(strings) {}

  Registry& GetRegistry() { return m_registry; }
  Joystick& GetJoystick() { return m_joystick; }
  const StringSource& Strings() const { return m_strings; }

  // Fills `table` from the registry; false when the joystick key is missing.
  // Without a driver key or its current settings the table stays as it was.
  bool LoadJoystickTable(const JoystickTypeList& types, JoystickTable& table);

  // Writes `table` and then tells the driver (always, even when nothing could
  // be written). True when the current settings were written.
  bool SaveJoystickTable(const JoystickTable& table);

  // Replaces the configuration of joystick `id` with the one remembered for the
  // type `typeKey`; true when there was one.
  bool LoadSavedTypeConfig(JoystickTable& table, uint32_t id, const std::string& typeKey);

  // Sets status and the present usage bit of every configured joystick.
  void ProbeJoysticks(JoystickTable& table);

  // How many multimedia joystick numbers answer (one byte, as the pages keep it).
  uint8_t CountRespondingJoysticks();

  // Polls multimedia joystick `number` asking for everything; true when it answers.
  bool IsJoystickResponding(uint32_t number, JoyInfo& info);

  // Empties `types` and fills it: the twelve fixed types, then the registered ones.
  void BuildJoystickTypeList(JoystickTypeList& types);

  // The driver key the values live under: the one the joystick interface names
  // for joystick 0, otherwise the last subkey of the open joystick key.
  std::optional<std::string> ChooseDriverKey(RegKey joystickKey);

 private:
  Registry& m_registry;
  Joystick& m_joystick;
  const StringSource& m_strings;
};

}  // namespace kl
