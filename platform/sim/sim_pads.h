// Declaring a pad in a simulated world: the joystick plugged into the
// driver, and the registry entries the applet writes for it, by which the
// editor and the runtime mapper recognise it. The driver key's current
// settings name the joystick's type ("Joystick<n>OEMName"), and the type's
// key holds its display name ("OEMName"), which makes it one of the maker's
// pads or not. Used by the tests, the benchmarks, the soak run and kltool.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/registry.h"
#include "platform/sim/sim_joystick.h"

namespace kl {

struct PadDeclaration {
  std::string driverKey;  // the driver's key, as GetDevCaps names it
  std::string typeKey;    // the joystick's type key; empty: the joystick has no type
  std::optional<std::string> displayName;  // the type's display name; none: no type key
  uint32_t buttons = 12;
  bool named = true;  // whether the current settings name the type
};

// Plugs joystick `id` in with the declared driver key and buttons and
// writes its registry entries; false when one could not be written.
bool DeclarePad(SimJoystick& joystick, Registry& registry, uint32_t id, const PadDeclaration& pad);

// The registry part alone, for joystick `id`.
bool WritePadType(Registry& registry, uint32_t id, const PadDeclaration& pad);

// A text value under HKEY_LOCAL_MACHINE with its terminator, the key made
// as needed; false when the key cannot be made or the value written.
bool SetMachineText(Registry& registry, const std::string& path, const std::string& name,
                    const std::string& text);

}  // namespace kl
