#include "framework/dialog.h"

#include <vector>

#include "framework/module.h"
#include "framework/winapp.h"

namespace kl {

namespace {

// A control's messages go to the framework's procedure, except WM_HELP,
// which the default procedure hands to the parent dialog.
LRESULT CALLBACK HelpRoutingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_HELP) {
    return DefWindowProcA(window, message, wParam, lParam);
  }
  return CallWindowProcA(CWnd::FrameworkProc(), window, message, wParam, lParam);
}

BOOL CALLBACK RouteChildHelp(HWND child, LPARAM) {
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(child, GWLP_WNDPROC)) == CWnd::FrameworkProc()) {
    SetWindowLongPtrA(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HelpRoutingProc));
  }
  return TRUE;
}

const char* HelpFile() {
  CWinApp* app = AfxGetApp();
  return app != nullptr && !app->m_helpFilePath.empty() ? app->m_helpFilePath.c_str() : nullptr;
}

// Messages whose answer a dialog procedure returns itself instead of
// through DWLP_MSGRESULT.
bool AnswersDirectly(UINT message) {
  switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
      return true;
    default:
      return false;
  }
}

}  // namespace

INT_PTR CDialog::DoModal() {
  if (m_hWnd != nullptr) {
    return -1;
  }
  HWND parent = m_parent;
  CWinApp* app = AfxGetApp();
  if (parent == nullptr && app != nullptr && app->m_pMainWnd != nullptr) {
    parent = app->m_pMainWnd->m_hWnd;
  }
  return DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_templateId), parent,
                         &DialogProc, reinterpret_cast<LPARAM>(this));
}

void CDialog::EndDialog(INT_PTR result) {
  if (m_hWnd != nullptr) {
    ::EndDialog(m_hWnd, result);
  }
}

bool CDialog::OnCmdMsg(UINT id) {
  if (OnCommand(id)) {
    return true;
  }
  if (id == IDOK) {
    OnOK();
    return true;
  }
  if (id == IDCANCEL) {
    OnCancel();
    return true;
  }
  return false;
}

std::string CDialog::GetItemText(UINT id) const {
  HWND item = DlgItem(id);
  if (item == nullptr) {
    return {};
  }
  int length = GetWindowTextLengthA(item);
  if (length <= 0) {
    return {};
  }
  std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
  int got = GetWindowTextA(item, text.data(), length + 1);
  return std::string(text.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

void CDialog::SetItemText(UINT id, const std::string& text) {
  SetDlgItemTextA(m_hWnd, static_cast<int>(id), text.c_str());
}

void CDialog::LimitText(UINT id, UINT characters) {
  SendDlgItemMessageA(m_hWnd, static_cast<int>(id), EM_LIMITTEXT, characters, 0);
}

void CDialog::SetSelection(UINT id, int start, int end, bool scrollCaret) {
  SendDlgItemMessageA(m_hWnd, static_cast<int>(id), EM_SETSEL, static_cast<WPARAM>(start),
                      static_cast<LPARAM>(end));
  if (scrollCaret) {
    SendDlgItemMessageA(m_hWnd, static_cast<int>(id), EM_SCROLLCARET, 0, 0);
  }
}

void AskControlHelp(HWND owner, const char* file, const DWORD* table, const HELPINFO& info) {
  if (WinHelpA(static_cast<HWND>(info.hItemHandle), file, HELP_WM_HELP,
               reinterpret_cast<ULONG_PTR>(table))) {
    return;
  }
  // A help viewer that refuses control help still shows the control's topic
  // when asked for it by its id.
  for (const DWORD* pair = table; pair[0] != 0 || pair[1] != 0; pair += 2) {
    if (pair[0] == static_cast<DWORD>(info.iCtrlId) && pair[1] != 0) {
      WinHelpA(owner, file, HELP_CONTEXT, pair[1]);
      return;
    }
  }
}

void CDialog::RouteHelpToParent() {
  if (m_hWnd != nullptr) {
    EnumChildWindows(m_hWnd, &RouteChildHelp, 0);
  }
}

bool CDialog::OnHelp(const HELPINFO& info) {
  const char* file = HelpFile();
  if (m_helpIds == nullptr || file == nullptr || info.iContextType != HELPINFO_WINDOW) {
    return false;
  }
  AskControlHelp(m_hWnd, file, m_helpIds, info);
  return true;
}

bool CDialog::OnContextMenu(HWND window, POINT) {
  const char* file = HelpFile();
  if (m_helpIds == nullptr || file == nullptr) {
    return false;
  }
  WinHelpA(window, file, HELP_CONTEXTMENU, reinterpret_cast<ULONG_PTR>(m_helpIds));
  return true;
}

bool CDialog::OnInitDialog() {
  return true;
}
void CDialog::OnOK() {
  EndDialog(IDOK);
}
void CDialog::OnCancel() {
  EndDialog(IDCANCEL);
}

// The dialog manager does the default processing once the procedure
// answers "not handled".
LRESULT CDialog::DefaultProc(UINT, WPARAM, LPARAM) {
  return 0;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<CDialog*>(GetWindowLongPtrA(window, DWLP_USER));
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<CDialog*>(lParam);
    if (self == nullptr) {
      return FALSE;
    }
    self->m_hWnd = window;
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    bool focus = true;
    try {
      focus = self->OnInitDialog();
    } catch (...) {
      ::EndDialog(window, -1);
    }
    return focus ? TRUE : FALSE;
  }
  return RouteMessage(self, window, message, wParam, lParam);
}

INT_PTR CDialog::RouteMessage(CDialog* self, HWND window, UINT message, WPARAM wParam,
                              LPARAM lParam) {
  if (self == nullptr) {
    return FALSE;
  }
  LRESULT result = 0;
  bool handled = false;
  try {
    handled = self->OnWndMsg(message, wParam, lParam, result);
  } catch (...) {
    handled = false;
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, DWLP_USER, 0);
    self->AfterNcDestroy();
    return FALSE;
  }
  if (!handled) {
    return FALSE;
  }
  if (AnswersDirectly(message)) {
    return static_cast<INT_PTR>(result);
  }
  SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace kl
