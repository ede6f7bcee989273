// A program's texts from its resource module: a StringSource over
// LoadStringA on the module handle given to the constructor.
#pragma once

#include "platform/strings.h"

struct HINSTANCE__;

namespace kl {

class ModuleStringSource : public StringSource {
 public:
  explicit ModuleStringSource(HINSTANCE__* module) : m_module(module) {}

  // The whole text, however long; empty when the module has no such string.
  std::string Load(uint32_t id) const override;

 private:
  HINSTANCE__* m_module;
};

}  // namespace kl
