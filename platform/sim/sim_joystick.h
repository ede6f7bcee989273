// Simulated multimedia joystick driver: devices with readings, plugged and
// unplugged at will. Used by the tests and by kltool.
#pragma once

#include <cstdint>
#include <map>

#include "platform/joystick.h"

namespace kl {

class SimJoystick : public Joystick {
 public:
  struct Device {
    bool plugged = true;
    JoyCaps caps;    // szRegKey and wNumButtons are what our code reads
    JoyInfo state;   // returned by GetPosEx (its dwFlags is ignored)
    uint32_t capsResult = kJoyErrNoError;  // forced result of GetDevCaps while plugged
  };

  // Ids at or above the device count answer kJoyErrParms; ids below it
  // without a plugged device answer kJoyErrUnplugged.
  void SetNumDevs(uint32_t count) { m_numDevs = count; }
  // Adds (or replaces) the device at `id`; a new device reads centred.
  Device& Plug(uint32_t id);
  void Unplug(uint32_t id);
  // The device at `id`, or nullptr.
  Device* Find(uint32_t id);
  uint32_t ConfigChangedCount() const { return m_configChanged; }

  uint32_t GetNumDevs() override;
  uint32_t GetDevCaps(uint32_t id, JoyCaps& caps) override;
  uint32_t GetPosEx(uint32_t id, JoyInfo& info) override;
  uint32_t ConfigChanged(uint32_t flags) override;

 private:
  uint32_t m_numDevs = 16;
  std::map<uint32_t, Device> m_devices;
  uint32_t m_configChanged = 0;
};

}  // namespace kl
