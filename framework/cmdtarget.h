// The root of everything that can receive a command: menu items, buttons
// and accelerators arrive as WM_COMMAND ids and are routed from target to
// target until one of them handles the id.
#pragma once

#include <windows.h>

namespace kl {

class CCmdTarget {
 public:
  CCmdTarget() = default;
  CCmdTarget(const CCmdTarget&) = delete;
  CCmdTarget& operator=(const CCmdTarget&) = delete;
  virtual ~CCmdTarget() = default;

  // bool OnCmdMsg(UINT id): true when this target, or one it routes to, handled command `id`.
  virtual bool OnCmdMsg(UINT id) { return OnCommand(id); }

 protected:
  // bool OnCommand(UINT id): true when this target itself handled command `id`.
  virtual bool OnCommand([[maybe_unused]] UINT id) { return false; }
};

}  // namespace kl
