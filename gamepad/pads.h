// Finding the maker's pads among the multimedia joystick devices and reading
// them. A pad is recognised by the OEM display name its joystick configuration
// carries in the registry, never by its capabilities. The editor and the
// runtime mapper each keep their own pad table.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/joystick.h"
#include "platform/registry.h"

namespace kl {

constexpr size_t kMaxPads = 4;

// The joystick ids we ask about: the driver reports at most this many.
// Bounding the walk keeps a driver that claims billions of ids from hanging us.
constexpr uint32_t kMaxJoystickIds = 16;

// ReadOemName reads into a buffer of this size; longer names are not names.
constexpr size_t kOemNameBuffer = 256;

struct PadSlot {
  uint32_t joystickId = 0;
  uint32_t buttonCount = 0;  // wNumButtons: 10 or 12 for the supported pads
  uint32_t polledState = 0;  // the editor's polled values; unused by the mapper
};

using PadTable = std::array<PadSlot, kMaxPads>;

class PadAccess {
 public:
  PadAccess(Joystick& joystick, Registry& registry) : m_joystick(joystick), m_registry(registry) {}

  // Walks the joystick ids in ascending order and writes the id of every
  // answering device with a recognised OEM name into the next pad slot.
  // Returns the number of recognised pads; pads beyond the fourth are ignored.
  uint8_t EnumeratePads();

  // The OEM display name of joystick `id`: 0 with the name in `name`, or
  // kJoyErrNoCanDo (with `name` empty) on any failure.
  uint32_t ReadOemName(uint32_t id, std::string& name);

  // joyGetPosEx with every field asked for; true only for JOYERR_NOERROR.
  bool ReadPad(uint32_t id, JoyInfo& info);

  // wNumButtons of joystick `id` into `count`; `count` is untouched on failure.
  bool ReadButtonCount(uint32_t id, uint32_t& count);

  PadTable& Slots() { return m_slots; }
  const PadTable& Slots() const { return m_slots; }

 private:
  Joystick& m_joystick;
  Registry& m_registry;
  PadTable m_slots{};
};

// Whether `name` is one of the OEM display names of the maker's pads.
bool IsRecognisedPadName(const std::string& name);

}  // namespace kl
