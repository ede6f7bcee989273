// Work in progress: the profile store's commands.
#include "tools/kltool/commands.h"

namespace kl::tool {
int RunKeyfile(const Args&) {
  return UserError("keyfile: not built yet");
}
int RunGamelist(const Args&) {
  return UserError("gamelist: not built yet");
}
int RunGame(const Args&) {
  return UserError("game: not built yet");
}
int RunProfile(const Args&) {
  return UserError("profile: not built yet");
}
}  // namespace kl::tool
