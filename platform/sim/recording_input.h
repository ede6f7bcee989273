// Simulated input: records every keybd_event, mouse_event and Sleep as a
// transcript, and maps virtual keys as the US-English layout does on Windows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/input.h"

namespace kl {

// MapVirtualKeyA map types.
constexpr uint32_t kMapVkToScan = 0;  // MAPVK_VK_TO_VSC
constexpr uint32_t kMapVkToChar = 2;  // MAPVK_VK_TO_CHAR

struct InputEvent {
  enum class Kind { kKey, kMouse, kSleep };
  Kind kind = Kind::kKey;
  uint8_t vk = 0;             // kKey
  uint8_t scan = 0;           // kKey
  uint32_t flags = 0;         // kKey: KEYEVENTF_*; kMouse: MOUSEEVENTF_*
  int32_t dx = 0;             // kMouse
  int32_t dy = 0;             // kMouse
  uintptr_t extra = 0;        // kKey, kMouse
  uint32_t milliseconds = 0;  // kSleep
  uint32_t data = 0;          // kMouse: the wheel or button data

  bool operator==(const InputEvent&) const = default;
};

// The line kltool prints for an event: "key down vk=0x11 scan=0x1d",
// "mouse flags=0x0001 dx=-2 dy=0", "sleep 5".
std::string FormatInputEvent(const InputEvent& event);

// MapVirtualKeyA of the US-English layout: type 0 virtual key to scan code,
// type 2 virtual key to character (upper-case letters); 0 when unmapped, for
// codes above 255 and for the other map types.
uint32_t UsMapVirtualKey(uint32_t code, uint32_t mapType);

class RecordingInput : public Input {
 public:
  const std::vector<InputEvent>& Events() const { return m_events; }
  void Clear() { m_events.clear(); }
  // The transcript as kltool lines, one per event, each ending in "\n".
  std::string Transcript() const;
  // The value GetMessageExtraInfo returns (tests set it to see it passed on).
  void SetExtraInfo(uintptr_t value) { m_extraInfo = value; }

  void KeybdEvent(uint8_t vk, uint8_t scan, uint32_t flags, uintptr_t extra) override;
  void MouseEvent(uint32_t flags, int32_t dx, int32_t dy, uint32_t data, uintptr_t extra) override;
  uint32_t MapVirtualKey(uint32_t code, uint32_t mapType) override;
  uintptr_t GetMessageExtraInfo() override { return m_extraInfo; }
  void Sleep(uint32_t milliseconds) override;

 private:
  std::vector<InputEvent> m_events;
  uintptr_t m_extraInfo = 0;
};

}  // namespace kl
