#include "platform/sim/host_filesystem.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace kl {
namespace {

namespace stdfs = std::filesystem;

// Seconds between 1601-01-01 (the FILETIME epoch) and 1970-01-01.
constexpr int64_t kFileTimeEpochSeconds = 11644473600;

int SeekTo(FILE* f, uint64_t offset) {
#ifdef _WIN32
  return _fseeki64(f, static_cast<int64_t>(offset), SEEK_SET);
#else
  return fseeko(f, static_cast<off_t>(offset), SEEK_SET);
#endif
}

int64_t Position(FILE* f) {
#ifdef _WIN32
  return _ftelli64(f);
#else
  return ftello(f);
#endif
}

bool SyncToDisk(FILE* f) {
#ifdef _WIN32
  return _commit(_fileno(f)) == 0;
#else
  return fsync(fileno(f)) == 0;
#endif
}

// A C stream in binary mode. The C library wants a positioning call between
// reading and writing on one stream, so the last direction is remembered.
class HostFile : public File {
 public:
  explicit HostFile(FILE* f) : m_file(f) {}
  ~HostFile() override {
    if (m_file) std::fclose(m_file);
  }

  size_t Read(void* buffer, size_t size) override {
    if (!m_file || size == 0) return 0;
    if (m_lastWasWrite && std::fflush(m_file) != 0) return 0;
    m_lastWasWrite = false;
    return std::fread(buffer, 1, size, m_file);
  }

  bool ReadFailed() const override { return m_file && std::ferror(m_file) != 0; }

  bool Write(const void* buffer, size_t size) override {
    if (!m_file) return false;
    if (size == 0) return true;
    if (!m_lastWasWrite && std::fseek(m_file, 0, SEEK_CUR) != 0) return false;
    m_lastWasWrite = true;
    return std::fwrite(buffer, 1, size, m_file) == size;
  }

  bool Flush() override { return m_file && std::fflush(m_file) == 0 && SyncToDisk(m_file); }

  bool Seek(uint64_t offset) override {
    if (!m_file) return false;
    m_lastWasWrite = false;
    return SeekTo(m_file, offset) == 0;
  }

  uint64_t Tell() override {
    if (!m_file) return 0;
    int64_t position = Position(m_file);
    return position < 0 ? 0 : static_cast<uint64_t>(position);
  }

  bool Close() override {
    if (!m_file) return false;
    int result = std::fclose(m_file);
    m_file = nullptr;
    return result == 0;
  }

 private:
  FILE* m_file;
  bool m_lastWasWrite = false;
};

}  // namespace

std::unique_ptr<File> HostFileSystem::Open(const std::string& path, OpenMode mode) {
  FILE* f = nullptr;
  switch (mode) {
    case OpenMode::kRead:
      f = std::fopen(path.c_str(), "rb");
      break;
    case OpenMode::kWrite:
      f = std::fopen(path.c_str(), "wb");
      break;
    case OpenMode::kAppend:
      f = std::fopen(path.c_str(), "ab");
      break;
    case OpenMode::kReadWrite:
      f = std::fopen(path.c_str(), "r+b");
      if (!f && !Exists(path)) f = std::fopen(path.c_str(), "w+b");
      break;
  }
  if (!f) return nullptr;
  // A folder opens for reading on some systems; it is not a file.
  std::error_code ec;
  if (stdfs::is_directory(path, ec)) {
    std::fclose(f);
    return nullptr;
  }
  return std::make_unique<HostFile>(f);
}

bool HostFileSystem::Exists(const std::string& path) {
  std::error_code ec;
  return stdfs::is_regular_file(path, ec);
}

std::optional<uint64_t> HostFileSystem::LastWriteTime(const std::string& path) {
  std::error_code ec;
  if (!stdfs::is_regular_file(path, ec)) return std::nullopt;
  stdfs::file_time_type written = stdfs::last_write_time(path, ec);
  if (ec) return std::nullopt;
  using Ticks = std::chrono::duration<int64_t, std::ratio<1, 10000000>>;
  auto sinceUnixEpoch = std::chrono::duration_cast<Ticks>(
      std::chrono::file_clock::to_sys(written).time_since_epoch());
  int64_t ticks = sinceUnixEpoch.count() + kFileTimeEpochSeconds * 10000000;
  return ticks < 0 ? 0 : static_cast<uint64_t>(ticks);
}

bool HostFileSystem::Remove(const std::string& path) {
  std::error_code ec;
  if (!stdfs::is_regular_file(path, ec)) return false;
  return stdfs::remove(path, ec) && !ec;
}

bool HostFileSystem::Rename(const std::string& from, const std::string& to) {
  std::error_code ec;
  stdfs::rename(from, to, ec);
  return !ec;
}

std::vector<std::string> HostFileSystem::List(const std::string& folder,
                                              const std::string& suffix) {
  std::vector<std::string> names;
  std::error_code ec;
  for (stdfs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    std::string name = it->path().filename().string();
    if (EndsWithIgnoringCase(name, suffix)) names.push_back(name);
  }
  // Directory order is arbitrary; a sorted listing makes callers repeatable.
  std::sort(names.begin(), names.end());
  return names;
}

char HostFileSystem::Separator() const {
  return '/';
}

}  // namespace kl
