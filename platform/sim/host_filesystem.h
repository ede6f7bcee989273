// The files of the machine we run on, through the C++ standard library.
// Used natively by kltool and the tests (on real temporary folders).
#pragma once

#include "platform/filesystem.h"

namespace kl {

class HostFileSystem : public FileSystem {
 public:
  std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override;
  bool Exists(const std::string& path) override;
  std::optional<uint64_t> LastWriteTime(const std::string& path) override;
  bool Remove(const std::string& path) override;
  bool Rename(const std::string& from, const std::string& to) override;
  std::vector<std::string> List(const std::string& folder, const std::string& suffix) override;
  char Separator() const override;
};

}  // namespace kl
