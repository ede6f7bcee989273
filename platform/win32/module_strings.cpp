#include "platform/win32/module_strings.h"

#include <windows.h>

#include <vector>

namespace kl {

namespace {

// A string table entry holds at most 65535 characters.
constexpr int kLongestString = 65536;

}  // namespace

std::string ModuleStringSource::Load(uint32_t id) const {
  if (id > 0xFFFF) return {};
  // LoadStringA cuts a text that does not fit; a full buffer may mean that,
  // so try again with a larger one.
  for (int capacity = 256;; capacity *= 2) {
    std::vector<char> buffer(static_cast<size_t>(capacity));
    int length = LoadStringA(m_module, id, buffer.data(), capacity);
    if (length <= 0) return {};
    if (length < capacity - 1 || capacity >= kLongestString) {
      return std::string(buffer.data(), static_cast<size_t>(length));
    }
  }
}

}  // namespace kl
