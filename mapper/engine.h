// The mapping engine: at every poll it reads the pads in play, compares each
// reading with the previous one and turns the differences into synthetic key
// and mouse input as the play table prescribes.
//
// It also remembers every key and mouse button it has pressed and not yet
// released, so that whoever stops play can let go of them (ReleaseHeld);
// otherwise a held Ctrl would stay down in every other program. Nothing here
// allocates: the poll path runs every 40 ms.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "gamepad/pads.h"
#include "mapper/play_table.h"
#include "platform/input.h"

namespace kl {

// Mouse action codes of a mouse-mode input.
constexpr uint8_t kMouseActionLeft = 1;
constexpr uint8_t kMouseActionRight = 2;
constexpr uint8_t kMouseActionMiddle = 4;
constexpr uint8_t kMouseActionUp = 8;
constexpr uint8_t kMouseActionDown = 16;
constexpr uint8_t kMouseActionLeftward = 32;
constexpr uint8_t kMouseActionRightward = 64;

// The pauses of the play primitives, in milliseconds.
constexpr uint32_t kTapPause = 5;
constexpr uint32_t kCyclePause = 10;

// One pad slot's readings, as joyGetPosEx returns them.
struct PadReading {
  uint32_t buttons = 0;
  uint32_t x = 0;
  uint32_t y = 0;
};

class Engine {
 public:
  Engine(Input& input, PadAccess& pads, PlayTable& table)
      : m_input(input), m_pads(pads), m_table(table) {}

  // One poll of pad slot `slot`: read it, then play buttons, X and Y.
  void PlayPad(size_t slot);
  void PlayButtons(size_t slot, uint32_t oldMask, uint32_t newMask);
  void PlayAxis(size_t slot, uint8_t lowInput, uint8_t highInput, uint32_t oldReading,
                uint32_t newReading);

  // The primitives, each over a whole list in list order.
  void PressAll(const PlayStep* first);
  void ReleaseAll(const PlayStep* first);
  void TapAll(const PlayStep* first);
  // Plays the group of steps at `cursor` and moves the cursor to the next
  // group, back to the first after the last. `list` starts with a separator.
  void CycleStep(const PlayStep* list, PlayStep*& cursor);
  void MouseAction(uint8_t code, bool press);

  // Sends the key-ups and mouse-button-ups for everything pressed and not yet
  // released, in the order it went down.
  void ReleaseHeld();

  // Back to the state of a program that has just started.
  void Reset();

  const PadReading& Previous(size_t slot) const { return m_previous[slot]; }
  const PadReading& Current(size_t slot) const { return m_current[slot]; }

 private:
  struct HeldInput {
    bool mouse = false;
    uint8_t vk = 0;
    uint8_t scan = 0;
    uint32_t mouseUpFlags = 0;
  };
  // Enough for every virtual key with each of its scan codes and the three
  // mouse buttons.
  static constexpr size_t kMaxHeld = 512;

  void KeyDown(uint8_t vk, uint8_t scan);
  void KeyUp(uint8_t vk, uint8_t scan);
  void MouseButton(uint32_t flags, uint32_t upFlags, bool press);
  void MouseMove(int32_t dx, int32_t dy);
  void Forget(size_t index);
  void ReleaseInput(size_t slot, uint8_t input, bool changed);
  void PressInput(size_t slot, uint8_t input, bool changed);

  Input& m_input;
  PadAccess& m_pads;
  PlayTable& m_table;

  std::array<PadReading, kPadSlots> m_previous{};
  std::array<PadReading, kPadSlots> m_current{};
  JoyInfo m_reading;
  uint16_t m_verticalCount = 1;
  uint16_t m_horizontalCount = 1;
  // Bit b: the mouse action of button b of that slot is held.
  std::array<uint32_t, kPadSlots> m_mouseHeld{};

  std::array<HeldInput, kMaxHeld> m_held{};
  size_t m_heldCount = 0;
};

}  // namespace kl
