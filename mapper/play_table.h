// The play table: for every input of every pad slot, the list of steps the
// engine sends and how it sends them. The loader fills it from the running
// game's active profile; the engine only reads it (and moves cycle cursors).
//
// Steps live in storage owned by the table, so discarding a profile is one
// Clear() and playing never allocates. Lists are capped so that a hostile
// key file cannot exhaust memory.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>

#include "profile/keyfile.h"

namespace kl {

constexpr size_t kInputsPerSlot = 32;
constexpr size_t kMaxStepsPerList = 1024;

// Input indexes of the directions; buttons follow from 4.
constexpr uint8_t kInputUp = 0;
constexpr uint8_t kInputDown = 1;
constexpr uint8_t kInputLeft = 2;
constexpr uint8_t kInputRight = 3;
constexpr uint8_t kFirstButtonInput = 4;

// The virtual key of a separator step (no key).
constexpr uint8_t kSeparatorKey = 0xFF;

// How an input plays: the mode byte of the key file without the repeat bit
// (kModeCycle, kModeMouse and kModeUnassigned are the key file's own).
constexpr uint8_t kModeKey = 0;
constexpr uint8_t kModeSequence = 1;

struct PlayStep {
  uint8_t vk = 0;
  uint8_t scan = 0;
  // While loading only: vk is the index of another input of the same slot
  // whose keys play here. None is left once references are expanded.
  bool reference = false;
  PlayStep* next = nullptr;
};

inline bool IsSeparator(const PlayStep& step) {
  return !step.reference && step.vk == kSeparatorKey;
}

template <typename T>
using SlotInputArray = std::array<std::array<T, kInputsPerSlot>, kPadSlots>;

class PlayTable {
 public:
  PlayTable();
  PlayTable(const PlayTable&) = delete;
  PlayTable& operator=(const PlayTable&) = delete;

  // Every list becomes empty and every cursor none; the steps are recycled.
  // Modes, repeat flags, entry counts and the pad count keep their values.
  void Clear();

  // Appends a step to a list; false (and nothing appended) when the list is full.
  bool Append(size_t slot, size_t input, uint8_t vk, uint8_t scan, bool reference = false);
  // Inserts a step after `after` in the same list; nullptr when the list is full.
  PlayStep* InsertAfter(size_t slot, size_t input, PlayStep* after, uint8_t vk, uint8_t scan,
                        bool reference);
  // Unlinks `step` (whose predecessor is `previous`, or nullptr for the head).
  void Remove(size_t slot, size_t input, PlayStep* previous, PlayStep* step);
  // The last step of a list, or nullptr.
  PlayStep* Last(size_t slot, size_t input) const;

  size_t Length(size_t slot, size_t input) const { return m_lengths[slot][input]; }

  SlotInputArray<PlayStep*> lists{};
  SlotInputArray<uint8_t> modes{};
  SlotInputArray<bool> repeat{};
  SlotInputArray<PlayStep*> cursors{};
  std::array<uint8_t, kPadSlots> entryCount{};
  // Pad blocks in the record loaded last (as stored, may exceed kPadSlots).
  uint8_t padCount = 0;

 private:
  PlayStep* NewStep(uint8_t vk, uint8_t scan, bool reference);

  SlotInputArray<uint16_t> m_lengths{};
  std::deque<PlayStep> m_storage;
  PlayStep* m_free = nullptr;
};

}  // namespace kl
