// Simulated registry: an in-memory tree with the two roots we use, loadable
// from and dumpable to the text that regedit exports (REGEDIT4, or
// "Windows Registry Editor Version 5.00"; UTF-8, or UTF-16 with a BOM).
// Key names compare without regard to case, as on Windows.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace kl {

class SimRegistry : public Registry {
 public:
  SimRegistry();
  ~SimRegistry() override;

  // Merges a .reg text into the tree; false with a message on a malformed text.
  bool LoadText(std::string_view text, std::string* error);
  bool LoadFile(const std::string& path, std::string* error);
  // The whole tree as REGEDIT4 text (keys sorted, full paths from the roots).
  std::string DumpText() const;
  bool SaveFile(const std::string& path) const;

  // For tests: whether a key path such as "HKEY_LOCAL_MACHINE\Software\X" exists,
  // and how many handles are open right now (every open must be closed).
  bool KeyExists(std::string_view fullPath) const;
  size_t OpenHandleCount() const;

  long OpenKey(RegKey parent, std::string_view subkey, uint32_t access, RegKey& out) override;
  long CreateKey(RegKey parent, std::string_view subkey, uint32_t access, RegKey& out) override;
  long QueryValue(RegKey key, std::string_view name, uint32_t& type, uint8_t* data,
                  uint32_t& size) override;
  long SetValue(RegKey key, std::string_view name, uint32_t type, const uint8_t* data,
                uint32_t size) override;
  long DeleteValue(RegKey key, std::string_view name) override;
  long EnumKey(RegKey key, uint32_t index, std::string& name, uint32_t bufferSize) override;
  long CloseKey(RegKey key) override;

 private:
  struct Node;
  std::unique_ptr<Node> m_localMachine;
  std::unique_ptr<Node> m_currentUser;
  std::map<RegKey, Node*> m_handles;
  RegKey m_nextHandle = 100;
};

}  // namespace kl
