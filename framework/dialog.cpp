#include "framework/dialog.h"

#include "framework/module.h"
#include "framework/winapp.h"

namespace kl {

namespace {

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
