// kltool joystick calibrate and testpage: the applet's calibration and test
// pages against a scripted world, over the joystick table that kltool
// joystick loads (from a .reg file and simulated joysticks, or the system's).
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>

#include "applet/applet_state.h"
#include "applet/joystick_registry.h"
#include "platform/joystick.h"
#include "platform/sim/sim_joystick.h"

namespace kl::tool {

// A joystick driver whose polls of chosen joysticks fail on request (the
// scripts' "fail N"), passing everything else on.
class FailableJoystick : public Joystick {
 public:
  explicit FailableJoystick(Joystick& inner) : m_inner(inner) {}
  void SetFailing(uint32_t number, bool failing);

  uint32_t GetNumDevs() override { return m_inner.GetNumDevs(); }
  uint32_t GetDevCaps(uint32_t id, JoyCaps& caps) override { return m_inner.GetDevCaps(id, caps); }
  uint32_t GetPosEx(uint32_t id, JoyInfo& info) override;
  uint32_t ConfigChanged(uint32_t flags) override { return m_inner.ConfigChanged(flags); }

 private:
  Joystick& m_inner;
  std::set<uint32_t> m_failing;
};

enum class PageKind { kCalibration, kTest };

// Runs the script (a file, or standard input without one) against the page.
// `state` holds the table as loaded; `joysticks` works through `failable`;
// `sim` is the simulated driver behind it, or nullptr for the system's.
// Prints the page's port calls; false with `error` set on a mistake.
bool RunPageScript(PageKind kind, const std::optional<std::string>& scriptPath,
                   JoystickRegistry& joysticks, AppletState& state, FailableJoystick& failable,
                   SimJoystick* sim, std::string& error);

}  // namespace kl::tool
