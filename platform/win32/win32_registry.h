// The Win32 registry behind the Registry seam. Our RegKey handles map to
// HKEYs; the two roots are HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER. Keys
// still open when the adapter goes away are closed then.
#pragma once

#include <map>

#include "platform/registry.h"

struct HKEY__;

namespace kl {

class Win32Registry : public Registry {
 public:
  Win32Registry() = default;
  ~Win32Registry() override;
  Win32Registry(const Win32Registry&) = delete;
  Win32Registry& operator=(const Win32Registry&) = delete;

  size_t OpenHandleCount() const { return m_keys.size(); }

  long OpenKey(RegKey parent, std::string_view subkey, uint32_t access, RegKey& out) override;
  long CreateKey(RegKey parent, std::string_view subkey, uint32_t access, RegKey& out) override;
  // Reads into a buffer of its own first, so that a value larger than the
  // caller's buffer leaves that buffer untouched.
  long QueryValue(RegKey key, std::string_view name, uint32_t& type, uint8_t* data,
                  uint32_t& size) override;
  long SetValue(RegKey key, std::string_view name, uint32_t type, const uint8_t* data,
                uint32_t size) override;
  long DeleteValue(RegKey key, std::string_view name) override;
  long EnumKey(RegKey key, uint32_t index, std::string& name, uint32_t bufferSize) override;
  long CloseKey(RegKey key) override;

 private:
  HKEY__* Find(RegKey key) const;
  RegKey Remember(HKEY__* hkey);

  std::map<RegKey, HKEY__*> m_keys;
  RegKey m_nextHandle = 100;
};

}  // namespace kl
