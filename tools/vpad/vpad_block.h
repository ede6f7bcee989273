// The virtual pad's state: up to sixteen joystick devices (one per
// multimedia joystick id) in a named block of shared memory, backed by a
// file in the temporary folder so that it outlives the programs that set
// it. vpadctl writes it; the virtual pad's winmm.dll reads it at every call,
// so a change is seen by the next joyGetPosEx.
//
// KLVPAD_NAME in the environment picks the block (letters, digits, '-',
// '_' and '.', at most 64), so that tests running at once each have their
// own; programs started by a test inherit it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace kl::vpad {

constexpr uint32_t kMagic = 0x50564C4B;  // "KLVP"
constexpr uint32_t kVersion = 1;
constexpr uint32_t kDeviceCount = 16;
constexpr uint32_t kCentre = 32668;
constexpr uint32_t kPovCentred = 0xFFFF;
constexpr uint32_t kMaxButtons = 32;
constexpr uint32_t kMaxAxes = 6;
constexpr size_t kTextSize = 32;

// One device. Fixed-width fields only: 32- and 64-bit programs share it.
struct Device {
  uint32_t configured;  // plugged at least once since the block was reset
  uint32_t plugged;
  uint32_t numButtons;
  uint32_t numAxes;
  uint32_t hasPov;
  uint32_t mid;
  uint32_t pid;
  uint32_t axes[kMaxAxes];  // X, Y, Z, R, U, V
  uint32_t buttons;
  uint32_t pov;
  char regKey[kTextSize];
  char name[kTextSize];
};

struct Block {
  uint32_t magic;
  uint32_t version;
  volatile LONG sequence;       // odd while a writer is changing the devices
  volatile LONG configChanged;  // joyConfigChanged calls seen
  Device devices[kDeviceCount];
};

// The block name KLVPAD_NAME chooses, or "default".
std::string BlockName();

// A device as a new plug makes it: centred, no buttons down, hat centred.
Device NewDevice();

// Bounds a device read from shared memory: terminated texts, counts in range.
Device Sanitised(const Device& device);

class SharedBlock {
 public:
  SharedBlock() = default;
  SharedBlock(const SharedBlock&) = delete;
  SharedBlock& operator=(const SharedBlock&) = delete;
  ~SharedBlock();

  // Opens the block, creating its file when missing. False on failure.
  bool Open();
  bool IsOpen() const { return m_block != nullptr; }

  // A consistent copy of device `id`; false for an id out of range or a
  // block not yet written by vpadctl (every device then counts as absent).
  bool Read(uint32_t id, Device& device) const;

  // Changes the devices under the writers' lock; `change` gets every device.
  // A block of another layout is reset first. False when not open or locked out.
  template <typename Change>
  bool Update(Change change) {
    if (!BeginWrite()) {
      return false;
    }
    change(m_block->devices);
    EndWrite();
    return true;
  }

  void NoteConfigChanged();
  LONG ConfigChangedCount() const;

 private:
  bool BeginWrite();
  void EndWrite();

  HANDLE m_file = INVALID_HANDLE_VALUE;
  HANDLE m_mapping = nullptr;
  HANDLE m_mutex = nullptr;
  Block* m_block = nullptr;
};

}  // namespace kl::vpad
