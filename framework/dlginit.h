// Dialog initialisation data: the list and combo box items a dialog template
// brings along as a resource of its own (type 240, named by the template's
// id). Each record is a control id, a message (the 16-bit numbers of
// LB_ADDSTRING, 0x0401, and CB_ADDSTRING, 0x0403, as the resource compilers
// keep them), a byte length and that many bytes of text; a zero control id
// ends the data.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace kl {

constexpr WORD kRtDlgInit = 240;

// Calls `visit(controlId, message, text)` for every whole record of `data`,
// the text ending at its first zero byte or at its length. Stops at the
// closing zero or at a record that does not fit in `size`; true when the data
// ended properly.
bool ForEachDlgInitRecord(const uint8_t* data, size_t size,
                          const std::function<void(WORD, WORD, const std::string&)>& visit);

// Adds the items of template `templateId`'s initialisation data (from the
// resource module) to the controls of `dialog`. Records for other messages or
// missing controls are skipped. False when the data are missing or malformed
// (the items before the fault are added).
bool ExecuteDlgInit(HWND dialog, UINT templateId);

}  // namespace kl
