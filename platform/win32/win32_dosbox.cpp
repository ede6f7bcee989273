#include "platform/win32/win32_dosbox.h"

#include <windows.h>

namespace kl {

DosBoxDriver::Handle Win32DosBox::Open(const char* deviceName) {
  HANDLE device =
      CreateFileA(deviceName, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                  FILE_FLAG_WRITE_THROUGH | FILE_FLAG_OVERLAPPED, nullptr);
  if (device == INVALID_HANDLE_VALUE) return kInvalidHandle;
  return reinterpret_cast<Handle>(device);
}

bool Win32DosBox::Control(Handle device, uint32_t code, void* in, uint32_t inSize) {
  // Without an OVERLAPPED record Windows NT writes the byte count through
  // this pointer, so it must be a real one even though nobody reads it.
  DWORD returned = 0;
  return DeviceIoControl(reinterpret_cast<HANDLE>(device), code, in, inSize, nullptr, 0, &returned,
                         nullptr) != FALSE;
}

uint32_t Win32DosBox::LastError() {
  return GetLastError();
}

void Win32DosBox::Close(Handle device) {
  if (device != kInvalidHandle) CloseHandle(reinterpret_cast<HANDLE>(device));
}

void Win32DosBox::DebugString(const char* text) {
  OutputDebugStringA(text ? text : "");
}

}  // namespace kl
