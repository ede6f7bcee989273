#include "platform/win32/win32_processes.h"

#include <windows.h>

#include <tlhelp32.h>

#include <cstring>

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

}  // namespace kl
