// Files and folders through the Win32 API: the FileSystem the Windows
// programs use. Replacing a file is MoveFileExA with REPLACE_EXISTING and
// WRITE_THROUGH, and a file opened for reading lets that rename happen, so a
// reader never blocks the editor's save.
#pragma once

#include "platform/filesystem.h"

namespace kl {

class Win32FileSystem : public FileSystem {
 public:
  std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override;
  bool Exists(const std::string& path) override;
  std::optional<uint64_t> LastWriteTime(const std::string& path) override;
  bool Remove(const std::string& path) override;
  bool Rename(const std::string& from, const std::string& to) override;
  std::vector<std::string> List(const std::string& folder, const std::string& suffix) override;
  char Separator() const override { return '\\'; }
};

}  // namespace kl
