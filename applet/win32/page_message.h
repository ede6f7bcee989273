// The applet's plain message boxes: a text of the resource module, with the
// application's name as caption, owned by the sheet the page lives in.
#pragma once

#include <windows.h>

#include <cstdint>

namespace kl {

class CPropertyPage;

// The button chosen, or 0 when the module has no such text (nothing is shown).
int ShowPageMessage(const CPropertyPage& page, uint32_t stringId, UINT type = MB_OK);

}  // namespace kl
