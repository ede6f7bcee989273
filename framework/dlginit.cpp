#include "framework/dlginit.h"

#include <cstring>

#include "framework/module.h"

namespace kl {

namespace {

// Control id and message (2 bytes each), then the byte length (4 bytes).
constexpr size_t kRecordHeader = 8;
// The data keep the 16-bit numbers of the two messages.
constexpr WORD kOldListAddString = 0x0401;
constexpr WORD kOldComboAddString = 0x0403;

// The message to send for a record's message, or 0 for one that is not supported.
UINT AddStringMessage(WORD message) {
  switch (message) {
    case kOldListAddString:
    case LB_ADDSTRING:
      return LB_ADDSTRING;
    case kOldComboAddString:
    case CB_ADDSTRING:
      return CB_ADDSTRING;
    default:
      return 0;
  }
}

uint32_t Little(const uint8_t* bytes, size_t count) {
  uint32_t value = 0;
  for (size_t i = count; i > 0; --i) value = value << 8 | bytes[i - 1];
  return value;
}

}  // namespace

bool ForEachDlgInitRecord(const uint8_t* data, size_t size,
                          const std::function<void(WORD, WORD, const std::string&)>& visit) {
  size_t at = 0;
  while (data != nullptr && at + 2 <= size) {
    const auto control = static_cast<WORD>(Little(data + at, 2));
    if (control == 0) return true;
    if (size - at < kRecordHeader) return false;
    const auto message = static_cast<WORD>(Little(data + at + 2, 2));
    const uint32_t length = Little(data + at + 4, 4);
    at += kRecordHeader;
    if (length > size - at) return false;
    const auto* text = reinterpret_cast<const char*>(data + at);
    const void* end = std::memchr(text, 0, length);
    const size_t textLength =
        end != nullptr ? static_cast<size_t>(static_cast<const char*>(end) - text) : length;
    visit(control, message, std::string(text, textLength));
    at += length;
  }
  return false;
}

bool ExecuteDlgInit(HWND dialog, UINT templateId) {
  HINSTANCE module = AfxGetResourceHandle();
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(templateId), MAKEINTRESOURCEA(kRtDlgInit));
  if (found == nullptr) return false;
  HGLOBAL loaded = LoadResource(module, found);
  const auto* data =
      static_cast<const uint8_t*>(loaded != nullptr ? LockResource(loaded) : nullptr);
  if (data == nullptr) return false;
  return ForEachDlgInitRecord(data, SizeofResource(module, found),
                              [dialog](WORD control, WORD message, const std::string& text) {
                                HWND item = GetDlgItem(dialog, control);
                                const UINT add = AddStringMessage(message);
                                if (item == nullptr || add == 0) return;
                                SendMessageA(item, add, 0, reinterpret_cast<LPARAM>(text.c_str()));
                              });
}

}  // namespace kl
