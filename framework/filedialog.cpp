#include "framework/filedialog.h"

#include <commdlg.h>

#include <vector>

namespace kl {

std::optional<std::string> OpenFileDialog(HWND owner, const OpenFileOptions& options) {
  std::string filter = options.filter;
  for (char& c : filter) {
    if (c == '|') {
      c = '\0';
    }
  }
  filter.push_back('\0');
  std::vector<char> name(MAX_PATH, '\0');
  options.initialName.copy(name.data(), name.size() - 1);
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = name.data();
  dialog.nMaxFile = static_cast<DWORD>(name.size());
  dialog.lpstrDefExt =
      options.defaultExtension.empty() ? nullptr : options.defaultExtension.c_str();
  dialog.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER;
  if (!GetOpenFileNameA(&dialog)) {
    return std::nullopt;
  }
  return std::string(name.data());
}

}  // namespace kl
