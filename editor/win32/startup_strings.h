// The texts the editor loads once at start: key, reference, modifier and
// mouse names, input names, and the view's captions, each cut to the
// capacity its row gives (capacity counts the terminating zero, so a row of
// 20 keeps 19 characters). Every other string comes from the resource module
// as asked. Until Load runs, and after Release, the rows' texts are loaded
// (and cut the same way) on demand.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

#include "platform/strings.h"

namespace kl {

class StartupStrings : public StringSource {
 public:
  explicit StartupStrings(const StringSource& module) : m_module(module) {}

  // Loads every row of both tables.
  void Load();
  // Lets go of the loaded rows.
  void Release() { m_loaded.clear(); }
  size_t LoadedCount() const { return m_loaded.size(); }

  std::string Load(uint32_t id) const override;

  // The capacity of string `id`'s row, 0 when it is in no row.
  static size_t Capacity(uint32_t id);

 private:
  const StringSource& m_module;
  std::map<uint32_t, std::string> m_loaded;
};

}  // namespace kl
