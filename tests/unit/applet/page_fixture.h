// Shared pieces of the calibration and test page tests: the recording ports,
// joysticks configured straight into the working table and answering on the
// simulated driver, and a driver that remembers what each poll asked for and
// can refuse chosen requests.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "applet/page_recording.h"
#include "applet_fixture.h"

namespace kl::test {

class SpyJoystick : public Joystick {
 public:
  explicit SpyJoystick(Joystick& inner) : m_inner(inner) {}
  uint32_t GetNumDevs() override { return m_inner.GetNumDevs(); }
  uint32_t GetDevCaps(uint32_t id, JoyCaps& caps) override { return m_inner.GetDevCaps(id, caps); }
  uint32_t GetPosEx(uint32_t id, JoyInfo& info) override {
    requests.push_back(info.dwFlags);
    if (refused.count(info.dwFlags)) return kJoyErrUnplugged;
    return m_inner.GetPosEx(id, info);
  }
  uint32_t ConfigChanged(uint32_t flags) override { return m_inner.ConfigChanged(flags); }

  std::vector<uint32_t> requests;  // dwFlags of every poll, in order
  std::set<uint32_t> refused;      // requests that fail

 private:
  Joystick& m_inner;
};

class PageTest : public AppletTest {
 protected:
  PageTest() {
    LoadDriverReg();
    strings.Set(kStrJoystickLabel, "Joystick %d");
    strings.Set(kStrRespondingLabel, "Joysticks answering: %d");
  }

  // Joystick `id` configured and answering (multimedia number id - 1), its
  // readings `at` on every axis, the hat centred and no button down.
  JoystickRecord& Configure(uint32_t id, uint32_t flags, uint32_t buttons,
                            const std::string& name = "Custom", uint32_t at = 300) {
    JoystickRecord& record = state.working.At(id);
    record = JoystickRecord{};
    record.present = 1;
    record.status = kStatusAnswers;
    record.displayName = name;
    record.oemKey = "predef1";
    record.config.hws.dwFlags = flags;
    record.config.hws.dwNumButtons = buttons;
    record.config.dwUsageSettings = kJoyUsPresent;
    record.config.dwType = kJoyTypeCustom;
    SimJoystick::Device& device = joystick.Plug(id - 1);
    device.state.dwXpos = device.state.dwYpos = device.state.dwZpos = device.state.dwRpos = at;
    state.applied = state.working;
    return record;
  }
  // A pad of the maker's with `buttons` as the device list recorded them.
  JoystickRecord& ConfigurePad(uint32_t id, uint8_t padButtons) {
    JoystickRecord& record = Configure(id, kJoyHwsIsGamepad, padButtons, kPadName, kJoyCentre);
    record.padButtons = padButtons;
    state.applied = state.working;
    return record;
  }
  JoyInfo& Reading(uint32_t id) { return joystick.Find(id - 1)->state; }

  // The lines logged since the last call.
  std::vector<std::string> Take() {
    std::vector<std::string> lines;
    lines.swap(log);
    return lines;
  }
  static bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  static size_t Count(const std::vector<std::string>& lines, const std::string& prefix) {
    return static_cast<size_t>(std::count_if(
        lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
  }

  // The configuration of joystick `id` as the registry holds it now.
  std::optional<JOYREGHWCONFIG> Stored(uint32_t id) {
    auto bytes = Value(kSettings, "Joystick" + std::to_string(id) + "Configuration");
    if (!bytes || bytes->size() != kJoyConfigSize) return std::nullopt;
    JoyConfigBytes raw{};
    std::copy(bytes->begin(), bytes->end(), raw.begin());
    return DecodeJoystickConfig(raw);
  }

  SpyJoystick spy{joystick};
  JoystickRegistry spied{registry, spy, strings};
  PageLog log;
  RecordingPageCanvas canvas{log};
  RecordingPageControls controls{log};
  ScriptedPagePrompts prompts{log};
  RecordingPageTimers timers{log};
};

}  // namespace kl::test
