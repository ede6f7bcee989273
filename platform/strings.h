// Where a program's texts come from: the resource module on Windows, the
// built-in copy of the same string table in kltool and the unit tests.
#pragma once

#include <cstdint>
#include <string>

namespace kl {

class StringSource {
 public:
  virtual ~StringSource() = default;
  // The text of string `id`, or an empty text when the module has none.
  virtual std::string Load(uint32_t id) const = 0;
};

}  // namespace kl
