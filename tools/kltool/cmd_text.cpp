// Work in progress: the profile store's commands.
#include "tools/kltool/commands.h"

namespace kl::tool {
int RunText(const Args&) {
  return UserError("text: not built yet");
}
}  // namespace kl::tool
