#include "platform/win32/program_folder.h"

#include <windows.h>

#include <vector>

namespace kl {

namespace {

// The longest path Windows hands out.
constexpr size_t kLongestPath = 32768;

}  // namespace

std::string ProgramFolder(HINSTANCE__* module) {
  // Grows the buffer until the whole path fits: a cut path would point the
  // program at another folder.
  std::vector<char> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameA(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      std::string folder(path.data(), length);
      const size_t slash = folder.find_last_of("\\/");
      return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
    }
    if (path.size() >= kLongestPath) return {};
    path.resize(path.size() * 2);
  }
}

}  // namespace kl
