#include "platform/win32/win32_registry.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace kl {

namespace {

// Key names are at most 255 characters; a larger buffer gains nothing.
constexpr uint32_t kLongestKeyBuffer = 1024;

}  // namespace

Win32Registry::~Win32Registry() {
  for (auto& [handle, hkey] : m_keys) RegCloseKey(hkey);
}

HKEY Win32Registry::Find(RegKey key) const {
  if (key == kHkeyLocalMachine) return HKEY_LOCAL_MACHINE;
  if (key == kHkeyCurrentUser) return HKEY_CURRENT_USER;
  auto it = m_keys.find(key);
  return it == m_keys.end() ? nullptr : it->second;
}

RegKey Win32Registry::Remember(HKEY hkey) {
  while (m_nextHandle == kRegNone || m_nextHandle == kHkeyLocalMachine ||
         m_nextHandle == kHkeyCurrentUser || m_keys.count(m_nextHandle) != 0) {
    ++m_nextHandle;
  }
  RegKey handle = m_nextHandle++;
  m_keys[handle] = hkey;
  return handle;
}

long Win32Registry::OpenKey(RegKey parent, std::string_view subkey, uint32_t access, RegKey& out) {
  out = kRegNone;
  HKEY base = Find(parent);
  if (!base) return kRegBadHandle;
  HKEY opened = nullptr;
  LONG result = RegOpenKeyExA(base, std::string(subkey).c_str(), 0, access, &opened);
  if (result != ERROR_SUCCESS) return result;
  out = Remember(opened);
  return kRegOk;
}

long Win32Registry::CreateKey(RegKey parent, std::string_view subkey, uint32_t access,
                              RegKey& out) {
  out = kRegNone;
  HKEY base = Find(parent);
  if (!base) return kRegBadHandle;
  HKEY created = nullptr;
  LONG result = RegCreateKeyExA(base, std::string(subkey).c_str(), 0, nullptr,
                                REG_OPTION_NON_VOLATILE, access, nullptr, &created, nullptr);
  if (result != ERROR_SUCCESS) return result;
  out = Remember(created);
  return kRegOk;
}

long Win32Registry::QueryValue(RegKey key, std::string_view name, uint32_t& type, uint8_t* data,
                               uint32_t& size) {
  HKEY hkey = Find(key);
  if (!hkey) return kRegBadHandle;
  const std::string valueName(name);
  DWORD rawType = 0;
  DWORD rawSize = size;
  if (!data) {
    rawSize = 0;
    LONG result = RegQueryValueExA(hkey, valueName.c_str(), nullptr, &rawType, nullptr, &rawSize);
    if (result == ERROR_SUCCESS) {
      type = rawType;
      size = rawSize;
    }
    return result;
  }
  std::vector<BYTE> scratch(std::max<DWORD>(rawSize, 1));
  LONG result =
      RegQueryValueExA(hkey, valueName.c_str(), nullptr, &rawType, scratch.data(), &rawSize);
  if (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
    type = rawType;
    size = rawSize;
  }
  if (result == ERROR_SUCCESS && rawSize != 0) std::memcpy(data, scratch.data(), rawSize);
  return result;
}

long Win32Registry::SetValue(RegKey key, std::string_view name, uint32_t type, const uint8_t* data,
                             uint32_t size) {
  HKEY hkey = Find(key);
  if (!hkey) return kRegBadHandle;
  return RegSetValueExA(hkey, std::string(name).c_str(), 0, type, data, size);
}

long Win32Registry::DeleteValue(RegKey key, std::string_view name) {
  HKEY hkey = Find(key);
  if (!hkey) return kRegBadHandle;
  return RegDeleteValueA(hkey, std::string(name).c_str());
}

long Win32Registry::EnumKey(RegKey key, uint32_t index, std::string& name, uint32_t bufferSize) {
  HKEY hkey = Find(key);
  if (!hkey) return kRegBadHandle;
  std::vector<char> buffer(std::min(bufferSize, kLongestKeyBuffer) + 1, '\0');
  LONG result = RegEnumKeyA(hkey, index, buffer.data(), std::min(bufferSize, kLongestKeyBuffer));
  if (result == ERROR_SUCCESS) name.assign(buffer.data());
  return result;
}

long Win32Registry::CloseKey(RegKey key) {
  if (key == kHkeyLocalMachine || key == kHkeyCurrentUser) return kRegOk;
  auto it = m_keys.find(key);
  if (it == m_keys.end()) return kRegBadHandle;
  LONG result = RegCloseKey(it->second);
  m_keys.erase(it);
  return result;
}

}  // namespace kl
