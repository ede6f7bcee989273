// kltool: the command-line companion. Dispatches to one command per word.
#include <cstdio>
#include <cstring>
#include <exception>

#include "tools/kltool/commands.h"

namespace kl::tool {

int UserError(const std::string& message) {
  std::fprintf(stderr, "kltool: %s\n", message.c_str());
  return 1;
}

namespace {

struct Command {
  const char* name;
  int (*run)(const Args&);
};

// A command whose part of the suite is not built yet is left out of the table.
constexpr Command kCommands[] = {
#ifdef KL_TOOL_HAS_PROFILE
    {"keyfile", RunKeyfile}, {"gamelist", RunGamelist}, {"game", RunGame},
    {"profile", RunProfile}, {"text", RunText},
#endif
#ifdef KL_TOOL_HAS_STRINGS
    {"string", RunString},
#endif
#ifdef KL_TOOL_HAS_MAPPER
    {"simulate", RunSimulate},
#endif
#ifdef KL_TOOL_HAS_EDITOR
    {"editor", RunEditor},
#endif
#ifdef KL_TOOL_HAS_JOYSTICK
    {"joystick", RunJoystick},
#endif
    {nullptr, nullptr},
};

int Usage() {
  std::fprintf(stderr, "usage: kltool COMMAND ...\ncommands:");
  for (const Command& c : kCommands) {
    if (c.name) std::fprintf(stderr, " %s", c.name);
  }
  std::fprintf(stderr, "\n");
  return 1;
}

}  // namespace
}  // namespace kl::tool

int main(int argc, char** argv) {
  using namespace kl::tool;
  if (argc < 2) return Usage();
  Args args(argv + 2, argv + argc);
  for (const Command& c : kCommands) {
    if (c.name && std::strcmp(c.name, argv[1]) == 0) {
      try {
        return c.run(args);
      } catch (const std::exception& e) {
        return UserError(e.what());
      }
    }
  }
  return Usage();
}
