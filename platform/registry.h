// The registry as the portable code sees it: the calls of the platform's
// registry API that our programs make, with the platform's result codes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kl {

// An open key. The two roots are fixed handles; others come from Open/Create.
using RegKey = uint32_t;
constexpr RegKey kRegNone = 0;
constexpr RegKey kHkeyLocalMachine = 1;
constexpr RegKey kHkeyCurrentUser = 2;

constexpr long kRegOk = 0;               // ERROR_SUCCESS
constexpr long kRegNotFound = 2;         // ERROR_FILE_NOT_FOUND
constexpr long kRegAccessDenied = 5;     // ERROR_ACCESS_DENIED
constexpr long kRegBadHandle = 6;        // ERROR_INVALID_HANDLE
constexpr long kRegMoreData = 234;       // ERROR_MORE_DATA
constexpr long kRegNoMoreItems = 259;    // ERROR_NO_MORE_ITEMS

constexpr uint32_t kRegSz = 1;      // REG_SZ
constexpr uint32_t kRegBinary = 3;  // REG_BINARY
constexpr uint32_t kRegDword = 4;   // REG_DWORD

// Access masks as the platform defines them.
constexpr uint32_t kKeyQueryValue = 0x0001;
constexpr uint32_t kKeyRead = 0x20019;
constexpr uint32_t kKeyWrite = 0x20006;
constexpr uint32_t kKeyAllAccess = 0xF003F;

class Registry {
 public:
  virtual ~Registry() = default;
  // RegOpenKeyExA: opens an existing subkey (an empty path reopens `parent`).
  virtual long OpenKey(RegKey parent, std::string_view subkey, uint32_t access, RegKey& out) = 0;
  // RegCreateKeyExA: opens the subkey, creating every missing level.
  virtual long CreateKey(RegKey parent, std::string_view subkey, uint32_t access, RegKey& out) = 0;
  // RegQueryValueExA: `size` holds the buffer size and receives the value's size.
  // A value larger than the buffer gives kRegMoreData and fills nothing; a null
  // buffer asks only for type and size.
  virtual long QueryValue(RegKey key, std::string_view name, uint32_t& type, uint8_t* data,
                          uint32_t& size) = 0;
  // RegSetValueExA.
  virtual long SetValue(RegKey key, std::string_view name, uint32_t type, const uint8_t* data,
                        uint32_t size) = 0;
  // RegDeleteValueA.
  virtual long DeleteValue(RegKey key, std::string_view name) = 0;
  // RegEnumKeyA: the name of subkey `index`; a name that does not fit into
  // `bufferSize` bytes (terminator included) gives kRegMoreData.
  virtual long EnumKey(RegKey key, uint32_t index, std::string& name, uint32_t bufferSize) = 0;
  // RegCloseKey.
  virtual long CloseKey(RegKey key) = 0;
};

}  // namespace kl
