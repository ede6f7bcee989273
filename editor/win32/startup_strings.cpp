#include "editor/win32/startup_strings.h"

#include <array>

namespace kl {

namespace {

struct Rows {
  uint32_t first;
  uint32_t last;
  uint16_t capacity;
};

// Both tables by id range: names and captions of 20 or 50 bytes, and the
// empty text, print formats, pad caption and mouse names of 20 and 256.
constexpr std::array<Rows, 13> kRows{{
    {61250, 61261, 50},   // input names, both models
    {61264, 61265, 20},   // short input names 14 and 15
    {61266, 61272, 50},   // mode names
    {61273, 61339, 20},   // key names
    {61340, 61357, 20},   // reference names 0..17
    {61358, 61363, 20},   // modifier names
    {61364, 61364, 20},   // the empty text
    {61365, 61367, 20},   // assignment table titles
    {61368, 61368, 20},   // reference name 18
    {61369, 61370, 50},   // input names of the last two rows
    {61371, 61374, 256},  // print formats and the pad caption
    {61375, 61378, 50},   // input names of the 12-button pad
    {61379, 61400, 20},   // mouse names (256), key name 61386, short input names
}};

size_t CapacityOf(uint32_t id) {
  if (id >= 61379 && id <= 61385) {
    return 256;  // mouse action names
  }
  for (const Rows& rows : kRows) {
    if (id >= rows.first && id <= rows.last) {
      return rows.capacity;
    }
  }
  return 0;
}

std::string Cut(std::string text, size_t capacity) {
  if (capacity > 0 && text.size() > capacity - 1) {
    text.resize(capacity - 1);
  }
  return text;
}

}  // namespace

size_t StartupStrings::Capacity(uint32_t id) {
  return CapacityOf(id);
}

void StartupStrings::Load() {
  for (const Rows& rows : kRows) {
    for (uint32_t id = rows.first; id <= rows.last; ++id) {
      m_loaded[id] = Cut(m_module.Load(id), CapacityOf(id));
    }
  }
}

std::string StartupStrings::Load(uint32_t id) const {
  auto found = m_loaded.find(id);
  if (found != m_loaded.end()) {
    return found->second;
  }
  return Cut(m_module.Load(id), CapacityOf(id));
}

}  // namespace kl
