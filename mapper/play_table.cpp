#include "mapper/play_table.h"

namespace kl {

PlayTable::PlayTable() {
  for (auto& slot : modes) slot.fill(kModeUnassigned);
}

void PlayTable::Clear() {
  for (auto& slot : lists) slot.fill(nullptr);
  for (auto& slot : cursors) slot.fill(nullptr);
  for (auto& slot : m_lengths) slot.fill(0);
  m_storage.clear();
  m_free = nullptr;
}

PlayStep* PlayTable::NewStep(uint8_t vk, uint8_t scan, bool reference) {
  PlayStep* step = nullptr;
  if (m_free) {
    step = m_free;
    m_free = m_free->next;
  } else {
    step = &m_storage.emplace_back();
  }
  *step = PlayStep{vk, scan, reference, nullptr};
  return step;
}

bool PlayTable::Append(size_t slot, size_t input, uint8_t vk, uint8_t scan, bool reference) {
  if (m_lengths[slot][input] >= kMaxStepsPerList) return false;
  PlayStep* step = NewStep(vk, scan, reference);
  if (PlayStep* last = Last(slot, input)) {
    last->next = step;
  } else {
    lists[slot][input] = step;
  }
  ++m_lengths[slot][input];
  return true;
}

PlayStep* PlayTable::InsertAfter(size_t slot, size_t input, PlayStep* after, uint8_t vk,
                                 uint8_t scan, bool reference) {
  if (m_lengths[slot][input] >= kMaxStepsPerList) return nullptr;
  PlayStep* step = NewStep(vk, scan, reference);
  step->next = after->next;
  after->next = step;
  ++m_lengths[slot][input];
  return step;
}

void PlayTable::Remove(size_t slot, size_t input, PlayStep* previous, PlayStep* step) {
  if (previous) {
    previous->next = step->next;
  } else {
    lists[slot][input] = step->next;
  }
  if (cursors[slot][input] == step) cursors[slot][input] = step->next;
  step->next = m_free;
  m_free = step;
  --m_lengths[slot][input];
}

PlayStep* PlayTable::Last(size_t slot, size_t input) const {
  PlayStep* step = lists[slot][input];
  if (!step) return nullptr;
  while (step->next) step = step->next;
  return step;
}

}  // namespace kl
