// The maker's DOS-box driver as the portable code sees it.
#pragma once

#include <cstdint>

namespace kl {

class DosBoxDriver {
 public:
  using Handle = intptr_t;
  static constexpr Handle kInvalidHandle = -1;

  virtual ~DosBoxDriver() = default;
  // CreateFileA on the device name; kInvalidHandle on failure.
  virtual Handle Open(const char* deviceName) = 0;
  // DeviceIoControl with `code`, `in` as the input buffer, no output buffer;
  // true for a nonzero result.
  virtual bool Control(Handle device, uint32_t code, void* in, uint32_t inSize) = 0;
  // GetLastError.
  virtual uint32_t LastError() = 0;
  // CloseHandle.
  virtual void Close(Handle device) = 0;
  // OutputDebugStringA.
  virtual void DebugString(const char* text) = 0;
};

}  // namespace kl
