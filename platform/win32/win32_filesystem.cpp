#include "platform/win32/win32_filesystem.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

namespace kl {
namespace {

class Win32File : public File {
 public:
  Win32File(HANDLE handle, bool append) : m_handle(handle), m_append(append) {}
  ~Win32File() override {
    if (m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
  }

  size_t Read(void* buffer, size_t size) override {
    size_t done = 0;
    while (m_handle != INVALID_HANDLE_VALUE && done < size) {
      const DWORD want = static_cast<DWORD>(std::min<size_t>(size - done, 1u << 30));
      DWORD got = 0;
      if (!ReadFile(m_handle, static_cast<char*>(buffer) + done, want, &got, nullptr)) {
        m_readFailed = true;
        break;
      }
      if (got == 0) break;
      done += got;
    }
    return done;
  }

  bool ReadFailed() const override { return m_readFailed; }

  bool Write(const void* buffer, size_t size) override {
    if (m_handle == INVALID_HANDLE_VALUE) return false;
    if (m_append) {
      LARGE_INTEGER zero = {};
      if (!SetFilePointerEx(m_handle, zero, nullptr, FILE_END)) return false;
    }
    size_t done = 0;
    while (done < size) {
      const DWORD want = static_cast<DWORD>(std::min<size_t>(size - done, 1u << 30));
      DWORD put = 0;
      if (!WriteFile(m_handle, static_cast<const char*>(buffer) + done, want, &put, nullptr) ||
          put == 0) {
        return false;
      }
      done += put;
    }
    return true;
  }

  bool Flush() override {
    return m_handle != INVALID_HANDLE_VALUE && FlushFileBuffers(m_handle) != 0;
  }

  bool Seek(uint64_t offset) override {
    if (m_handle == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(m_handle, to, nullptr, FILE_BEGIN) != 0;
  }

  uint64_t Tell() override {
    LARGE_INTEGER zero = {};
    LARGE_INTEGER at = {};
    if (m_handle == INVALID_HANDLE_VALUE || !SetFilePointerEx(m_handle, zero, &at, FILE_CURRENT)) {
      return 0;
    }
    return static_cast<uint64_t>(at.QuadPart);
  }

  bool Close() override {
    if (m_handle == INVALID_HANDLE_VALUE) return false;
    const bool closed = CloseHandle(m_handle) != 0;
    m_handle = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE m_handle;
  bool m_append;
  bool m_readFailed = false;
};

// Names with wildcards would make FindFirstFileA answer for another file.
bool HasWildcard(const std::string& path) {
  return path.find_first_of("*?") != std::string::npos;
}

}  // namespace

std::unique_ptr<File> Win32FileSystem::Open(const std::string& path, OpenMode mode) {
  DWORD access = GENERIC_READ;
  DWORD share = FILE_SHARE_READ;
  DWORD disposition = OPEN_EXISTING;
  switch (mode) {
    case OpenMode::kRead:
      // Readers let writers replace or remove the file under them.
      share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
      break;
    case OpenMode::kWrite:
      access = GENERIC_WRITE;
      disposition = CREATE_ALWAYS;
      break;
    case OpenMode::kAppend:
      access = GENERIC_WRITE;
      disposition = OPEN_ALWAYS;
      break;
    case OpenMode::kReadWrite:
      access = GENERIC_READ | GENERIC_WRITE;
      disposition = OPEN_ALWAYS;
      break;
  }
  HANDLE handle = CreateFileA(path.c_str(), access, share, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE && (share & FILE_SHARE_DELETE) &&
      GetLastError() == ERROR_INVALID_PARAMETER) {
    // Windows 95 and 98 know no FILE_SHARE_DELETE.
    handle = CreateFileA(path.c_str(), access, share & ~FILE_SHARE_DELETE, nullptr, disposition,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32File>(handle, mode == OpenMode::kAppend);
}

bool Win32FileSystem::Exists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<uint64_t> Win32FileSystem::LastWriteTime(const std::string& path) {
  if (HasWildcard(path)) return std::nullopt;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(path.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return std::nullopt;
  FindClose(find);
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
  return (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
         data.ftLastWriteTime.dwLowDateTime;
}

bool Win32FileSystem::Remove(const std::string& path) {
  return DeleteFileA(path.c_str()) != 0;
}

bool Win32FileSystem::Rename(const std::string& from, const std::string& to) {
  // The runtime mapper opens the game list for a moment now and then; while
  // it reads, the target cannot be replaced. A few short retries ride that out.
  constexpr int kAttempts = 5;
  constexpr DWORD kPauseMs = 20;
  for (int attempt = 1;; ++attempt) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    const DWORD error = GetLastError();
    if (attempt == kAttempts ||
        (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION)) {
      return false;
    }
    Sleep(kPauseMs);
  }
}

std::vector<std::string> Win32FileSystem::List(const std::string& folder,
                                               const std::string& suffix) {
  std::vector<std::string> names;
  if (HasWildcard(folder)) return names;
  std::string pattern = folder;
  if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::string name = data.cFileName;
    if (EndsWithIgnoringCase(name, suffix)) names.push_back(name);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  // Directory order differs between file systems; sorted, callers repeat.
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace kl
