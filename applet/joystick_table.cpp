#include "applet/joystick_table.h"

namespace kl {

namespace {

// The configuration without the presence bit that every probe sets or clears.
JOYREGHWCONFIG WithoutProbe(JOYREGHWCONFIG config) {
  config.dwUsageSettings &= ~kJoyUsPresent;
  return config;
}

}  // namespace

bool SameConfiguration(const JoystickTable& a, const JoystickTable& b) {
  for (uint32_t id = 1; id <= kJoystickCount; ++id) {
    const JoystickRecord& x = a.At(id);
    const JoystickRecord& y = b.At(id);
    if (x.oemKey != y.oemKey || x.displayName != y.displayName || x.oemCallout != y.oemCallout ||
        x.present != y.present || WithoutProbe(x.config) != WithoutProbe(y.config)) {
      return false;
    }
  }
  return true;
}

}  // namespace kl
