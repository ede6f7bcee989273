#include "platform/sim/sim_pads.h"

#include "platform/registry_keys.h"

namespace kl {

bool SetMachineText(Registry& registry, const std::string& path, const std::string& name,
                    const std::string& text) {
  RegKey key = kRegNone;
  if (registry.CreateKey(kHkeyLocalMachine, path, kKeyAllAccess, key) != kRegOk) return false;
  const long result =
      registry.SetValue(key, name, kRegSz, reinterpret_cast<const uint8_t*>(text.c_str()),
                        static_cast<uint32_t>(text.size() + 1));
  registry.CloseKey(key);
  return result == kRegOk;
}

bool WritePadType(Registry& registry, uint32_t id, const PadDeclaration& pad) {
  if (pad.typeKey.empty()) return true;
  bool written = true;
  if (pad.named) {
    written = SetMachineText(registry, CurrentSettingsPath(pad.driverKey),
                             JoystickValueName(id + 1, kOemNameValue), pad.typeKey);
  }
  if (pad.displayName) {
    written = SetMachineText(registry, OemTypePath(pad.typeKey), kOemNameValue, *pad.displayName) &&
              written;
  }
  return written;
}

bool DeclarePad(SimJoystick& joystick, Registry& registry, uint32_t id, const PadDeclaration& pad) {
  SimJoystick::Device& device = joystick.Plug(id);
  device.caps.szRegKey = pad.driverKey;
  device.caps.wNumButtons = pad.buttons;
  device.caps.wMaxButtons = pad.buttons;
  return WritePadType(registry, id, pad);
}

}  // namespace kl
