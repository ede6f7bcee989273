#include "platform/sim/sim_joystick.h"

namespace kl {

SimJoystick::Device& SimJoystick::Plug(uint32_t id) {
  auto [it, inserted] = m_devices.try_emplace(id);
  Device& device = it->second;
  if (inserted) {
    device.state.dwXpos = kJoyCentre;
    device.state.dwYpos = kJoyCentre;
    device.state.dwPOV = kJoyPovCentered;
  }
  device.plugged = true;
  return device;
}

void SimJoystick::Unplug(uint32_t id) {
  if (Device* device = Find(id)) device->plugged = false;
}

SimJoystick::Device* SimJoystick::Find(uint32_t id) {
  auto it = m_devices.find(id);
  return it == m_devices.end() ? nullptr : &it->second;
}

const SimJoystick::Device* SimJoystick::Answering(uint32_t id) const {
  if (id >= m_numDevs) return nullptr;
  auto it = m_devices.find(id);
  if (it == m_devices.end() || !it->second.plugged) return nullptr;
  return &it->second;
}

uint32_t SimJoystick::GetNumDevs() {
  return m_numDevs;
}

uint32_t SimJoystick::GetDevCaps(uint32_t id, JoyCaps& caps) {
  const Device* device = Answering(id);
  if (!device) return kJoyErrParms;
  if (device->capsResult != kJoyErrNoError) return device->capsResult;
  caps = device->caps;
  return kJoyErrNoError;
}

uint32_t SimJoystick::GetPosEx(uint32_t id, JoyInfo& info) {
  if (id >= m_numDevs) return kJoyErrParms;
  const Device* device = Answering(id);
  if (!device) return kJoyErrUnplugged;
  const JoyInfo& s = device->state;
  const uint32_t ask = info.dwFlags;
  if (ask & kJoyReturnX) info.dwXpos = s.dwXpos;
  if (ask & kJoyReturnY) info.dwYpos = s.dwYpos;
  if (ask & kJoyReturnZ) info.dwZpos = s.dwZpos;
  if (ask & kJoyReturnR) info.dwRpos = s.dwRpos;
  if (ask & kJoyReturnU) info.dwUpos = s.dwUpos;
  if (ask & kJoyReturnV) info.dwVpos = s.dwVpos;
  if (ask & kJoyReturnPov) info.dwPOV = s.dwPOV;
  if (ask & kJoyReturnButtons) {
    info.dwButtons = s.dwButtons;
    info.dwButtonNumber = s.dwButtonNumber;
  }
  return kJoyErrNoError;
}

uint32_t SimJoystick::ConfigChanged(uint32_t) {
  ++m_configChanged;
  return kJoyErrNoError;
}

}  // namespace kl
