// Where a program was started from: the folder of a loaded module, with its
// trailing backslash. The programs find their resource module, the editor
// and the key files beside themselves through it.
#pragma once

#include <string>

struct HINSTANCE__;

namespace kl {

// The folder of `module` (nullptr: the running executable), however long
// its path; empty when Windows cannot name it.
std::string ProgramFolder(HINSTANCE__* module = nullptr);

}  // namespace kl
