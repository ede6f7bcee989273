// The registry keys and values the programs meet at. The applet writes the
// multimedia joystick configuration; the editor and the runtime mapper read
// it to recognise the maker's pads. The editor keeps its "Setting" value and
// the applet finds the key-file folder under the maker's key of the user.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kl {

// Under HKEY_LOCAL_MACHINE: one key per joystick driver, each holding the
// current settings of its joysticks.
constexpr const char* kJoystickKeyPath =
    "System\\CurrentControlSet\\Control\\MediaResources\\Joystick";
constexpr const char* kCurrentSettingsName = "CurrentJoystickSettings";
// Under HKEY_LOCAL_MACHINE: one key per registered joystick type.
constexpr const char* kOemTypesKeyPath =
    "System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM";
// A joystick type's display name, the value its key holds.
constexpr const char* kOemNameValue = "OEMName";

// Under HKEY_CURRENT_USER: the editor's key and the value it remembers its
// state in, and the applet's key of the key-file folder.
constexpr const char* kSettingKey = "Software\\Vornatek\\GamePad2";
constexpr const char* kSettingValue = "Setting";
constexpr const char* kWorkPathKey = "Software\\Vornatek\\GamePad2\\WorkPath";

// The current settings of a driver: "<joystick key>\<driver>\CurrentJoystickSettings".
inline std::string CurrentSettingsPath(std::string_view driverKey) {
  return std::string(kJoystickKeyPath)
      .append("\\")
      .append(driverKey)
      .append("\\")
      .append(kCurrentSettingsName);
}

// A registered joystick type's key: "<OEM key>\<type>".
inline std::string OemTypePath(std::string_view typeKey) {
  return std::string(kOemTypesKeyPath).append("\\").append(typeKey);
}

// "Joystick<n>" + suffix: a value of joystick number n (1 for the first
// joystick) in the current settings, e.g. "Joystick1OEMName".
inline std::string JoystickValueName(uint32_t number, const char* suffix) {
  return std::string("Joystick").append(std::to_string(number)).append(suffix);
}

}  // namespace kl
