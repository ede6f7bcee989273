#include "applet/applet_state.h"

#include "applet/reg_values.h"
#include "platform/registry_keys.h"

namespace kl {
namespace {

constexpr const char* kJoyKeyPath = "Control Panel\\Joy";
constexpr const char* kAutoDetectName = "AutoDetect";
// "Path" is read into a 256-byte buffer with its terminator.
constexpr size_t kWorkPathSize = 256;

}  // namespace

bool IsSheetModified(const AppletState& state) {
  return !SameConfiguration(state.working, state.applied);
}

bool ApplySheet(JoystickRegistry& joysticks, AppletState& state) {
  const bool stored = joysticks.SaveJoystickTable(state.working);
  state.applied = state.working;
  return stored;
}

bool CancelSheet(JoystickRegistry& joysticks, AppletState& state) {
  state.working = state.opening;
  return joysticks.SaveJoystickTable(state.working);
}

bool OkSheet(JoystickRegistry& joysticks, AppletState& state) {
  const bool stored = joysticks.SaveJoystickTable(state.working);
  state.currentId = 0;
  const bool flagStored = StoreAutoDetectFlag(joysticks.GetRegistry(), state.autoDetect);
  return stored && flagStored;
}

void LoadAutoDetectFlag(Registry& registry, bool& autoDetect) {
  ScopedRegKey key(registry);
  if (!key.Open(kHkeyCurrentUser, kJoyKeyPath, kKeyQueryValue)) return;
  uint8_t flag = 0;
  autoDetect = ReadBinaryValue(registry, key.Get(), kAutoDetectName, &flag, 1) ? flag != 0 : true;
}

bool StoreAutoDetectFlag(Registry& registry, bool autoDetect) {
  ScopedRegKey key(registry);
  if (!key.Create(kHkeyCurrentUser, kJoyKeyPath, kKeyWrite)) return false;
  const uint8_t flag = autoDetect ? 1 : 0;
  return registry.SetValue(key.Get(), kAutoDetectName, kRegBinary, &flag, 1) == kRegOk;
}

void LoadAppletPaths(Registry& registry, AppletPaths& paths) {
  ScopedRegKey key(registry);
  if (!key.Open(kHkeyCurrentUser, kWorkPathKey, kKeyQueryValue)) return;
  if (auto path = ReadStringValue(registry, key.Get(), "Path", kWorkPathSize)) {
    paths.helpFile = *path + "\\OSTRA.HLP";
    paths.animation = *path + "\\MORVAX.AVI";
  } else {
    paths.helpFile.clear();
    paths.animation.clear();
  }
}

}  // namespace kl
