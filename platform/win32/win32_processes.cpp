#include "platform/win32/win32_processes.h"

#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <cstring>
#include <vector>

namespace kl {

bool Win32Processes::Snapshot(std::vector<std::string>& exeNames) {
  exeNames.clear();
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 entry;
  std::memset(&entry, 0, sizeof entry);
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    exeNames.emplace_back(entry.szExeFile, strnlen(entry.szExeFile, sizeof entry.szExeFile));
  }
  CloseHandle(snapshot);
  return true;
}

bool Win32Processes::Count(uint32_t& count) {
  count = 0;
  // The list is complete only when it does not fill the buffer.
  std::vector<DWORD> ids(1024);
  for (;;) {
    DWORD bytes = 0;
    const DWORD size = static_cast<DWORD>(ids.size() * sizeof(DWORD));
    if (!EnumProcesses(ids.data(), size, &bytes)) return false;
    if (bytes < size) {
      count = bytes / sizeof(DWORD);
      return true;
    }
    if (ids.size() >= (1u << 20)) return false;
    ids.resize(ids.size() * 2);
  }
}

}  // namespace kl
