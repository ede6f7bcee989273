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

constexpr Command kCommands[] = {
    {"keyfile", RunKeyfile},   {"gamelist", RunGamelist}, {"game", RunGame},
    {"profile", RunProfile},   {"text", RunText},         {"string", RunString},
    {"simulate", RunSimulate}, {"editor", RunEditor},     {"joystick", RunJoystick},
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
