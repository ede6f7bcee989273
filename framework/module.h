// The program's module state: its own instance handle and the resource
// handle every string, icon, menu, cursor and dialog template is loaded
// from. A program makes its resource module the resource handle at start;
// the application gives the program's own instance back at exit.
#pragma once

#include <windows.h>

#include <string>

namespace kl {

// The executable's instance handle.
HINSTANCE AfxGetInstanceHandle();
// Where resources come from; the executable itself until a program says otherwise.
HINSTANCE AfxGetResourceHandle();
// A null handle means the executable itself.
void AfxSetResourceHandle(HINSTANCE resources);
// Called once by AfxWinMain.
void AfxSetInstanceHandle(HINSTANCE instance);

// String `id` of the resource module, empty when it has none.
std::string AfxLoadString(UINT id);
// Icon, cursor or menu `id` of the resource module, or null.
HICON AfxLoadIcon(UINT id);
HCURSOR AfxLoadCursor(UINT id);
HMENU AfxLoadMenu(UINT id);

// A message box showing string `stringId` of the resource module, with the
// application's name as its caption and its main window as owner. Returns
// the button chosen (IDOK, IDYES, ...), or 0 when the string is missing:
// the box is then not shown, so no caller takes an empty box for an answer.
int AfxMessageBox(UINT stringId, UINT type = MB_OK);
// The same for a text the caller has already formed.
int AfxMessageBox(const std::string& text, UINT type = MB_OK);

}  // namespace kl
