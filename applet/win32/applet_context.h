// What the applet's sheet, pages and dialogs work with, handed to each by
// reference: the joystick configuration through its registry layer, the
// state they share, the work folder's files and the module-wide texts.
#pragma once

#include <cstdint>
#include <string>

#include "applet/applet_state.h"
#include "applet/selection.h"

namespace kl {

class Registry;

struct AppletContext {
  JoystickRegistry& joysticks;
  Registry& registry;  // for the current user's values
  AppletState& state;
  AppletPaths& paths;
  // The module-wide text `id` loaded at start (empty for any other id).
  std::string (*text)(uint32_t id);
};

}  // namespace kl
