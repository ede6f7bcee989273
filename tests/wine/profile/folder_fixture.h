// A fresh folder in the prefix's temporary folder for one test, removed with
// its files afterwards.
#pragma once

#include <windows.h>

#include <string>

#include "harness/support.h"

namespace kl::winetest {

class ScratchFolder {
 public:
  ScratchFolder() {
    static int counter = 0;
    m_path = TempPath("kl-profile-" + std::to_string(GetCurrentProcessId()) + "-" +
                      std::to_string(++counter)) +
             "\\";
    CreateDirectoryA(m_path.c_str(), nullptr);
  }
  ~ScratchFolder() {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((m_path + "*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::string name = data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          if (name != "." && name != "..") RemoveDirectoryA((m_path + name).c_str());
        } else {
          DeleteFileA((m_path + name).c_str());
        }
      } while (FindNextFileA(find, &data));
      FindClose(find);
    }
    RemoveDirectoryA(m_path.c_str());
  }
  const std::string& Path() const { return m_path; }  // ends with a backslash
  std::string operator/(const std::string& name) const { return m_path + name; }

 private:
  std::string m_path;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD put = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
  CloseHandle(h);
}

inline bool IsFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace kl::winetest
