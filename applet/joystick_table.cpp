#include "applet/joystick_table.h"

namespace kl {

bool SameConfiguration(const JoystickTable& a, const JoystickTable& b) {
  for (uint32_t id = 1; id <= kJoystickCount; ++id) {
    const JoystickRecord& x = a.At(id);
    const JoystickRecord& y = b.At(id);
    if (x.oemKey != y.oemKey || x.displayName != y.displayName || x.oemCallout != y.oemCallout ||
        x.present != y.present || x.config != y.config) {
      return false;
    }
  }
  return true;
}

}  // namespace kl
