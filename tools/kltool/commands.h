// kltool's commands. Each takes the words after the command's own name and
// returns the exit status: 0 success, 1 a user error (one line on stderr).
#pragma once

#include <string>
#include <vector>

namespace kl::tool {

using Args = std::vector<std::string>;

int RunKeyfile(const Args& args);   // keyfile show FILE [--json]
int RunGamelist(const Args& args);  // gamelist show FOLDER [--json]
int RunGame(const Args& args);      // game add|remove FOLDER GAME
int RunProfile(const Args& args);   // profile save|delete|activate ...
int RunString(const Args& args);    // string MODULE ID
int RunText(const Args& args);      // text FILE PROFILE [--pad N]
int RunSimulate(const Args& args);  // simulate FOLDER [SCRIPT]
// The simulation of a script held in memory against FOLDER, output as
// RunSimulate prints it; false with `error` ("-:LINE: error") on a mistake.
bool SimulateScript(const std::string& folder, const std::string& script, std::string& error);
int RunEditor(const Args& args);    // editor FOLDER [SCRIPT]
int RunJoystick(const Args& args);  // joystick show|autodetect|set|remove ...

// Writes "kltool: MESSAGE" to stderr and returns 1.
int UserError(const std::string& message);

}  // namespace kl::tool
