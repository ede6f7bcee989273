#include "applet/win32/joystick_sheet.h"

#include "applet/win32/context_help.h"

namespace kl {

namespace {

// The help file's contents are opened with this context.
constexpr ULONG_PTR kHelpFinderContext = 25;

}  // namespace

bool JoystickSheet::OnInitDialog() {
  m_context.state.currentId = kNoJoystick;
  const LONG_PTR style = GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE);
  SetWindowLongPtrA(m_hWnd, GWL_EXSTYLE, style | WS_EX_CONTEXTHELP);
  // The caption's buttons are drawn from the styles of the moment they change.
  SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  return CPropertySheet::OnInitDialog();
}

void JoystickSheet::OnApplyNow() {
  if (!CommitActivePage()) return;
  ApplySheet(m_context.joysticks, m_context.state);
  for (int i = 0; i < GetPageCount(); ++i) GetPage(i)->SetModified(false);
  HWND apply = GetDlgItem(m_hWnd, static_cast<int>(kIdApplyNow));
  if (apply != nullptr) EnableWindow(apply, FALSE);
}

bool JoystickSheet::OnCommand(UINT id) {
  switch (id) {
    case kIdApplyNow:
      OnApplyNow();
      return true;
    case IDCANCEL:
      CancelSheet(m_context.joysticks, m_context.state);
      return false;
    case IDOK:
      // A page that refuses its commit keeps the sheet open.
      if (!CommitActivePage()) return true;
      OkSheet(m_context.joysticks, m_context.state);
      return false;
    case kIdHelp:
      WinHelpA(m_hWnd, m_context.paths.helpFile.c_str(), HELP_FINDER, kHelpFinderContext);
      return true;
    default:
      return false;
  }
}

bool JoystickSheet::OnHelp(const HELPINFO& info) {
  ShowControlHelp(m_hWnd, info, m_context.paths.helpFile, kSheetHelpIds);
  return true;
}

bool JoystickSheet::OnContextMenu(HWND window, POINT) {
  ShowContextHelp(m_hWnd, window, true, m_context.paths.helpFile, kSheetHelpIds);
  return true;
}

}  // namespace kl
