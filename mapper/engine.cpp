#include "mapper/engine.h"

#include <cmath>

#include "platform/joystick.h"

namespace kl {

namespace {

// The pointer speeds up by one unit per poll; the distance is the move
// counter raised to this power.
constexpr double kAccelerationExponent = 1.0;

int32_t MoveDistance(uint16_t counter) {
  return static_cast<int32_t>(std::pow(static_cast<double>(counter), kAccelerationExponent));
}

}  // namespace

void Engine::PlayPad(size_t slot) {
  if (slot >= kPadSlots) return;
  if (!m_pads.ReadPad(m_pads.Slots()[slot].joystickId, m_reading)) return;
  m_previous[slot] = m_current[slot];
  m_current[slot] = PadReading{m_reading.dwButtons, m_reading.dwXpos, m_reading.dwYpos};
  PlayButtons(slot, m_previous[slot].buttons, m_current[slot].buttons);
  PlayAxis(slot, kInputLeft, kInputRight, m_previous[slot].x, m_current[slot].x);
  PlayAxis(slot, kInputUp, kInputDown, m_previous[slot].y, m_current[slot].y);
}

void Engine::PlayButtons(size_t slot, uint32_t oldMask, uint32_t newMask) {
  if (slot >= kPadSlots) return;
  const uint32_t entries = m_table.entryCount[slot];
  if (entries <= kFirstButtonInput) return;
  uint64_t buttons = m_pads.Slots()[slot].buttonCount;
  if (buttons > entries - kFirstButtonInput) buttons = entries - kFirstButtonInput;

  for (uint32_t b = 0; b < buttons; ++b) {
    const size_t input = kFirstButtonInput + b;
    const PlayStep* list = m_table.lists[slot][input];
    if (!list) continue;
    const uint32_t bit = 1u << b;
    const bool changed = ((oldMask ^ newMask) & bit) != 0;
    const bool repeats = m_table.repeat[slot][input];
    const uint8_t mode = m_table.modes[slot][input];
    bool tapped = false;

    if (newMask & bit) {
      switch (mode) {
        case kModeKey:
          if (repeats) {
            PressAll(list);
            m_input.Sleep(kTapPause);
            ReleaseAll(list);
            tapped = true;
          } else if (changed) {
            PressAll(list);
          }
          break;
        case kModeSequence:
          if (repeats || changed) TapAll(list);
          break;
        case kModeCycle:
          if (changed) CycleStep(list, m_table.cursors[slot][input]);
          break;
        case kModeMouse:
          if (!(m_mouseHeld[slot] & bit)) {
            MouseAction(list->vk, true);
            m_mouseHeld[slot] |= bit;
          }
          break;
        default:
          break;
      }
    }

    if (mode == kModeKey) {
      if ((oldMask & bit) && !tapped && (repeats || changed)) ReleaseAll(list);
    } else if (mode == kModeMouse) {
      if (changed && !(newMask & bit) && (m_mouseHeld[slot] & bit)) {
        MouseAction(list->vk, false);
        m_mouseHeld[slot] &= ~bit;
      }
    }
  }
}

void Engine::PlayAxis(size_t slot, uint8_t lowInput, uint8_t highInput, uint32_t oldReading,
                      uint32_t newReading) {
  if (slot >= kPadSlots || lowInput >= kInputsPerSlot || highInput >= kInputsPerSlot) return;
  const bool changed = oldReading != newReading;
  if (oldReading < kJoyCentre) ReleaseInput(slot, lowInput, changed);
  if (oldReading > kJoyCentre) ReleaseInput(slot, highInput, changed);
  if (newReading == kJoyCentre) return;
  PressInput(slot, newReading < kJoyCentre ? lowInput : highInput, changed);
}

void Engine::ReleaseInput(size_t slot, uint8_t input, bool changed) {
  const PlayStep* list = m_table.lists[slot][input];
  if (!list) return;
  switch (m_table.modes[slot][input]) {
    case kModeKey:
      if (m_table.repeat[slot][input] || changed) ReleaseAll(list);
      break;
    case kModeMouse:
      if (changed) MouseAction(list->vk, false);
      break;
    default:
      break;
  }
}

void Engine::PressInput(size_t slot, uint8_t input, bool changed) {
  const PlayStep* list = m_table.lists[slot][input];
  if (!list) return;
  const bool repeats = m_table.repeat[slot][input];
  switch (m_table.modes[slot][input]) {
    case kModeKey:
      if (repeats || changed) PressAll(list);
      break;
    case kModeSequence:
      if (repeats || changed) TapAll(list);
      break;
    case kModeCycle:
      if (changed) CycleStep(list, m_table.cursors[slot][input]);
      break;
    case kModeMouse:
      // Every poll: a held direction keeps the pointer moving, faster each time.
      MouseAction(list->vk, true);
      break;
    default:
      break;
  }
}

void Engine::PressAll(const PlayStep* first) {
  for (const PlayStep* step = first; step; step = step->next) KeyDown(step->vk, step->scan);
}

void Engine::ReleaseAll(const PlayStep* first) {
  for (const PlayStep* step = first; step; step = step->next) KeyUp(step->vk, step->scan);
}

void Engine::TapAll(const PlayStep* first) {
  for (const PlayStep* step = first; step; step = step->next) {
    KeyDown(step->vk, step->scan);
    m_input.Sleep(kTapPause);
    KeyUp(step->vk, step->scan);
  }
}

void Engine::CycleStep(const PlayStep* list, PlayStep*& cursor) {
  if (!list || !cursor) return;
  PlayStep* const firstGroup = list->next;

  // Find the group to play: skip empty groups (separators in a row), coming
  // round to the first group at most twice so a list without keys ends.
  PlayStep* begin = cursor;
  int wraps = 0;
  while (wraps < 2) {
    if (!begin) {
      begin = firstGroup;
      ++wraps;
    } else if (IsSeparator(*begin)) {
      begin = begin->next;
    } else {
      break;
    }
  }
  if (wraps >= 2 || !begin) return;

  PlayStep* end = begin;
  while (end && !IsSeparator(*end)) end = end->next;
  for (const PlayStep* step = begin; step != end; step = step->next) KeyDown(step->vk, step->scan);
  m_input.Sleep(kCyclePause);
  for (const PlayStep* step = begin; step != end; step = step->next) KeyUp(step->vk, step->scan);

  // The first step of the next group, or the first group after the closing
  // separator.
  cursor = (end && end->next) ? end->next : firstGroup;
}

void Engine::MouseAction(uint8_t code, bool press) {
  switch (code) {
    case kMouseActionLeft:
      MouseButton(press ? kMouseLeftDown : kMouseLeftUp, kMouseLeftUp, press);
      break;
    case kMouseActionRight:
      MouseButton(press ? kMouseRightDown : kMouseRightUp, kMouseRightUp, press);
      break;
    case kMouseActionMiddle:
      MouseButton(press ? kMouseMiddleDown : kMouseMiddleUp, kMouseMiddleUp, press);
      break;
    case kMouseActionUp:
    case kMouseActionDown:
      if (!press) {
        m_verticalCount = 1;
      } else {
        ++m_verticalCount;
        const int32_t d = MoveDistance(m_verticalCount);
        MouseMove(0, code == kMouseActionUp ? -d : d);
      }
      break;
    case kMouseActionLeftward:
    case kMouseActionRightward:
      if (!press) {
        m_horizontalCount = 1;
      } else {
        ++m_horizontalCount;
        const int32_t d = MoveDistance(m_horizontalCount);
        MouseMove(code == kMouseActionLeftward ? -d : d, 0);
      }
      break;
    default:
      break;
  }
}

void Engine::ReleaseHeld() {
  // Take the list first: the ups below must not reorder it while we walk it.
  const size_t count = m_heldCount;
  m_heldCount = 0;
  for (size_t i = 0; i < count; ++i) {
    const HeldInput& held = m_held[i];
    if (held.mouse) {
      m_input.MouseEvent(held.mouseUpFlags, 0, 0, 0, m_input.GetMessageExtraInfo());
    } else {
      m_input.KeybdEvent(held.vk, held.scan, kKeyEventKeyUp, 0);
    }
  }
}

void Engine::Reset() {
  m_previous = {};
  m_current = {};
  m_verticalCount = 1;
  m_horizontalCount = 1;
  m_mouseHeld = {};
  m_heldCount = 0;
}

void Engine::KeyDown(uint8_t vk, uint8_t scan) {
  m_input.KeybdEvent(vk, scan, 0, 0);
  for (size_t i = 0; i < m_heldCount; ++i) {
    if (!m_held[i].mouse && m_held[i].vk == vk && m_held[i].scan == scan) return;
  }
  if (m_heldCount < kMaxHeld) m_held[m_heldCount++] = HeldInput{false, vk, scan, 0};
}

void Engine::KeyUp(uint8_t vk, uint8_t scan) {
  m_input.KeybdEvent(vk, scan, kKeyEventKeyUp, 0);
  for (size_t i = 0; i < m_heldCount; ++i) {
    if (!m_held[i].mouse && m_held[i].vk == vk && m_held[i].scan == scan) {
      Forget(i);
      return;
    }
  }
}

void Engine::MouseButton(uint32_t flags, uint32_t upFlags, bool press) {
  m_input.MouseEvent(flags, 0, 0, 0, m_input.GetMessageExtraInfo());
  for (size_t i = 0; i < m_heldCount; ++i) {
    if (m_held[i].mouse && m_held[i].mouseUpFlags == upFlags) {
      if (!press) Forget(i);
      return;
    }
  }
  if (press && m_heldCount < kMaxHeld) m_held[m_heldCount++] = HeldInput{true, 0, 0, upFlags};
}

void Engine::MouseMove(int32_t dx, int32_t dy) {
  m_input.MouseEvent(kMouseMove, dx, dy, 0, m_input.GetMessageExtraInfo());
}

void Engine::Forget(size_t index) {
  for (size_t i = index + 1; i < m_heldCount; ++i) m_held[i - 1] = m_held[i];
  --m_heldCount;
}

}  // namespace kl
