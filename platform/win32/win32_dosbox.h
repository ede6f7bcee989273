// The maker's DOS-box driver behind the DosBoxDriver seam: the device is
// opened with CreateFileA and asked with DeviceIoControl.
#pragma once

#include "platform/dosbox.h"

namespace kl {

class Win32DosBox : public DosBoxDriver {
 public:
  // CreateFileA for reading and writing, shared for reading, opening an
  // existing device only, write-through and overlapped.
  Handle Open(const char* deviceName) override;
  bool Control(Handle device, uint32_t code, void* in, uint32_t inSize) override;
  uint32_t LastError() override;
  void Close(Handle device) override;
  void DebugString(const char* text) override;
};

}  // namespace kl
