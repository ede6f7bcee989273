// Simulated multimedia joystick driver: devices with readings, plugged and
// unplugged at will. Used by the tests and by kltool.
//
// Results follow the platform: an id the driver does not support answers
// kJoyErrParms from every call; a supported id with no device plugged in
// answers kJoyErrUnplugged when polled and kJoyErrParms when asked for its
// capabilities (the driver has none to report).
#pragma once

#include <cstdint>
#include <map>

#include "platform/joystick.h"

namespace kl {

// JOYINFOEX request bits; a poll fills only the fields asked for.
constexpr uint32_t kJoyReturnX = 0x01;
constexpr uint32_t kJoyReturnY = 0x02;
constexpr uint32_t kJoyReturnZ = 0x04;
constexpr uint32_t kJoyReturnR = 0x08;
constexpr uint32_t kJoyReturnU = 0x10;
constexpr uint32_t kJoyReturnV = 0x20;
constexpr uint32_t kJoyReturnPov = 0x40;
constexpr uint32_t kJoyReturnButtons = 0x80;

constexpr uint32_t kJoyPovCentered = 0xFFFF;  // JOY_POVCENTERED

class SimJoystick : public Joystick {
 public:
  struct Device {
    bool plugged = true;
    JoyCaps caps;                          // szRegKey and wNumButtons are what our code reads
    JoyInfo state;                         // returned by GetPosEx (its dwFlags is ignored)
    uint32_t capsResult = kJoyErrNoError;  // forced result of GetDevCaps while plugged
  };

  // Ids at or above the device count answer kJoyErrParms.
  void SetNumDevs(uint32_t count) { m_numDevs = count; }
  // Plugs a device in at `id`. A new device reads centred with no button
  // down; a device that was unplugged comes back with its configuration and
  // last readings, as a pad re-inserted into the same port does.
  Device& Plug(uint32_t id);
  // Pulls the device out; it keeps its configuration for a later Plug.
  void Unplug(uint32_t id);
  // Forgets the device at `id` entirely.
  void Remove(uint32_t id) { m_devices.erase(id); }
  // The device at `id` (plugged or not), or nullptr.
  Device* Find(uint32_t id);
  uint32_t ConfigChangedCount() const { return m_configChanged; }

  uint32_t GetNumDevs() override;
  uint32_t GetDevCaps(uint32_t id, JoyCaps& caps) override;
  uint32_t GetPosEx(uint32_t id, JoyInfo& info) override;
  uint32_t ConfigChanged(uint32_t flags) override;

 private:
  // The plugged device at a supported id, or nullptr.
  const Device* Answering(uint32_t id) const;

  uint32_t m_numDevs = 16;
  std::map<uint32_t, Device> m_devices;
  uint32_t m_configChanged = 0;
};

}  // namespace kl
