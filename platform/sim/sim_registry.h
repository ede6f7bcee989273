// Simulated registry: an in-memory tree with the two roots we use, loadable
// from and dumpable to the text that regedit exports (REGEDIT4, or
// "Windows Registry Editor Version 5.00"; UTF-8, or UTF-16 with a BOM).
//
// Handles behave like the platform's: each open or create gives a new
// handle that must be closed; a closed or unknown handle gives kRegBadHandle;
// a handle whose key was deleted gives kRegKeyDeleted. Handles carry their
// access: querying needs KEY_QUERY_VALUE, setting and deleting values
// KEY_SET_VALUE, enumerating KEY_ENUMERATE_SUB_KEYS, or kRegAccessDenied.
// Key and value names compare without regard to case and keep the case they
// were made with; subkeys enumerate in the platform's order (by upper-cased
// name). Paths use backslashes; empty components are skipped and a leading
// backslash is kRegBadPathname. String data is kept as the bytes given (the
// text form holds them as UTF-8).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "platform/sim/reg_text.h"

namespace kl {

constexpr long kRegInvalidParameter = 87;  // ERROR_INVALID_PARAMETER
constexpr long kRegBadPathname = 161;      // ERROR_BAD_PATHNAME
constexpr long kRegKeyDeleted = 1018;      // ERROR_KEY_DELETED

class SimRegistry : public Registry {
 public:
  SimRegistry();
  ~SimRegistry() override;
  SimRegistry(const SimRegistry&) = delete;
  SimRegistry& operator=(const SimRegistry&) = delete;

  // Merges a .reg text into the tree; false with a message ("line N: ...")
  // on a malformed text, and then the tree is left exactly as it was.
  bool LoadText(std::string_view text, std::string* error);
  bool LoadFile(const std::string& path, std::string* error);
  // The whole tree as REGEDIT4 text (keys sorted, full paths from the roots).
  std::string DumpText() const;
  // Writes DumpText to `path` through a temporary file renamed over it, so
  // an existing file is replaced whole or not at all.
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
  struct Handle {
    Node* node = nullptr;  // null once the key is deleted
    uint32_t access = 0;
  };

  // The node behind `key` with the rights in `need`, or an error code.
  long Resolve(RegKey key, uint32_t need, Node*& node) const;
  RegKey NewHandle(Node* node, uint32_t access);
  Node& Root(RegRoot root) const;
  // The node at `path` below `root`, made when missing and `create` is set.
  Node* Walk(RegRoot root, const std::vector<std::string>& path, bool create);
  void Apply(const RegTextOp& op);
  void DeleteSubtree(Node* parent, const std::string& childKey);

  std::unique_ptr<Node> m_localMachine;
  std::unique_ptr<Node> m_currentUser;
  std::map<RegKey, Handle> m_handles;
  RegKey m_nextHandle = 100;
};

}  // namespace kl
