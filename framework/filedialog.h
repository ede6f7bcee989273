// The common dialog for picking a file to open.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace kl {

struct OpenFileOptions {
  // Pairs "description|pattern|" as a string table holds them; '|' becomes the
  // terminator the dialog wants.
  std::string filter;
  std::string defaultExtension;  // without the point
  std::string initialName;       // shown in the name box, e.g. "*.exe"
};

// Shows the open-file dialog for `owner` (the file must exist); the full
// path chosen, or none when the user cancelled or the dialog failed.
std::optional<std::string> OpenFileDialog(HWND owner, const OpenFileOptions& options);

}  // namespace kl
