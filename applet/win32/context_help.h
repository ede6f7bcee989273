// Context help of the applet's sheet, pages and dialogs: each window has a
// table of control id and help context id (ending with a zero pair) that
// F1 (WM_HELP) and a right click (WM_CONTEXTMENU) hand to WinHelpA with the
// work folder's help file. Pages and dialogs give theirs to the framework's
// dialog help; the sheet, no dialog of the framework, answers with these.
#pragma once

#include <windows.h>

#include <string>

namespace kl {

// The tables, as WinHelpA takes them.
extern const DWORD kSheetHelpIds[];
extern const DWORD kSelectTabHelpIds[];
extern const DWORD kCalibrateTabHelpIds[];
extern const DWORD kTestTabHelpIds[];
extern const DWORD kJoystickTypeHelpIds[];
extern const DWORD kCustomJoystickHelpIds[];

// WM_HELP to `owner`: help for the control the request came from (its topic
// by id, HELP_CONTEXT, when the viewer refuses HELP_WM_HELP); true when it
// was a control's (context type "window").
bool ShowControlHelp(HWND owner, const HELPINFO& info, const std::string& helpFile,
                     const DWORD* table);

// WM_CONTEXTMENU on `clicked`: the help menu for it. `self` is the window
// answering; when `skipSelf` is set a click on it shows nothing.
void ShowContextHelp(HWND self, HWND clicked, bool skipSelf, const std::string& helpFile,
                     const DWORD* table);

}  // namespace kl
