#include "framework/propsheet.h"

#include "framework/module.h"

namespace kl {

namespace {

// The sheet PropertySheetA is starting on this thread, for its callback.
thread_local CPropertySheet* t_startingSheet = nullptr;

}  // namespace

void CPropertyPage::SetModified(bool changed) {
  HWND sheet = GetSheetWindow();
  if (sheet != nullptr) {
    SendMessageA(sheet, changed ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hWnd), 0);
  }
}

bool CPropertyPage::OnSetActive() {
  return true;
}
bool CPropertyPage::OnKillActive() {
  return true;
}
bool CPropertyPage::OnApply() {
  return true;
}
void CPropertyPage::OnReset() {}
void CPropertyPage::OnHelp() {}

bool CPropertyPage::OnCmdMsg(UINT id) {
  return OnCommand(id);
}

bool CPropertyPage::OnSheetNotify(const NMHDR& notify, LRESULT& result) {
  if (notify.hwndFrom != GetSheetWindow()) return false;
  switch (notify.code) {
    case PSN_SETACTIVE:
      result = OnSetActive() ? 0 : -1;
      return true;
    case PSN_KILLACTIVE:
      result = OnKillActive() ? FALSE : TRUE;
      return true;
    case PSN_APPLY:
      result = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
      return true;
    case PSN_RESET:
      OnReset();
      result = 0;
      return true;
    case PSN_HELP:
      OnHelp();
      result = 0;
      return true;
    default:
      return false;
  }
}

INT_PTR CALLBACK CPropertyPage::PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<CPropertyPage*>(GetWindowLongPtrA(window, DWLP_USER));
  if (message == WM_INITDIALOG) {
    // The sheet hands over its copy of the page descriptor.
    const auto* descriptor = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
    self = descriptor != nullptr ? reinterpret_cast<CPropertyPage*>(descriptor->lParam) : nullptr;
    if (self == nullptr) return FALSE;
    self->m_hWnd = window;
    SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    bool focus = true;
    try {
      focus = self->OnInitDialog();
    } catch (...) {
      focus = true;
    }
    return focus ? TRUE : FALSE;
  }
  if (self != nullptr && message == WM_NOTIFY && lParam != 0) {
    LRESULT result = 0;
    bool handled = false;
    try {
      handled = self->OnSheetNotify(*reinterpret_cast<const NMHDR*>(lParam), result);
    } catch (...) {
      handled = false;
    }
    if (handled) {
      SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
      return TRUE;
    }
  }
  return RouteMessage(self, window, message, wParam, lParam);
}

CPropertyPage* CPropertySheet::GetActivePage() const {
  if (m_hWnd == nullptr) return nullptr;
  HWND current = reinterpret_cast<HWND>(SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0));
  for (CPropertyPage* page : m_pages) {
    if (current != nullptr && page->GetSafeHwnd() == current) return page;
  }
  return nullptr;
}

INT_PTR CPropertySheet::DoModal() {
  if (m_hWnd != nullptr || m_pages.empty()) return -1;
  std::vector<PROPSHEETPAGEA> descriptors(m_pages.size());
  bool help = false;
  for (size_t i = 0; i < m_pages.size(); ++i) {
    PROPSHEETPAGEA& page = descriptors[i];
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DEFAULT | m_pages[i]->m_flags;
    page.hInstance = AfxGetResourceHandle();
    page.pszTemplate = MAKEINTRESOURCEA(m_pages[i]->TemplateId());
    page.pfnDlgProc = &CPropertyPage::PageProc;
    page.lParam = reinterpret_cast<LPARAM>(m_pages[i]);
    help = help || (m_pages[i]->m_flags & PSP_HASHELP) != 0;
  }
  PROPSHEETHEADERA header = {};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK | (help ? PSH_HASHELP : 0);
  header.hwndParent = m_parent;
  header.hInstance = AfxGetResourceHandle();
  header.pszCaption = m_caption.c_str();
  header.nPages = static_cast<UINT>(descriptors.size());
  header.nStartPage = m_startPage;
  header.ppsp = descriptors.data();
  header.pfnCallback = &SheetCallback;
  CPropertySheet* outer = t_startingSheet;
  t_startingSheet = this;
  // Positive after OK (or an Apply), 0 after Cancel, -1 when it failed.
  const INT_PTR result = PropertySheetA(&header);
  t_startingSheet = outer;
  return result;
}

int CALLBACK CPropertySheet::SheetCallback(HWND window, UINT message, LPARAM) {
  if (message == PSCB_INITIALIZED && t_startingSheet != nullptr) {
    CPropertySheet* self = t_startingSheet;
    t_startingSheet = nullptr;
    if (self->SubclassWindow(window)) {
      try {
        self->OnInitDialog();
      } catch (...) {
        // The sheet still works without what its start added.
      }
    }
  }
  return 0;
}

bool CPropertySheet::OnInitDialog() {
  return true;
}

void CPropertySheet::PressButton(int button) {
  Send(PSM_PRESSBUTTON, static_cast<WPARAM>(button));
}

bool CPropertySheet::CommitActivePage() {
  CPropertyPage* page = GetActivePage();
  return page == nullptr || page->CommitPage();
}

bool CPropertySheet::OnCmdMsg(UINT id) {
  if (id == IDHELP) return OnCommand(kIdHelp);
  return OnCommand(id);
}

bool CPropertySheet::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  // The close box is the Cancel button: the sheet's own Cancel handling runs
  // first, then (unless it kept the sheet open) the default closes it.
  if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
    HWND cancel = GetDlgItem(m_hWnd, IDCANCEL);
    if (cancel != nullptr && IsWindowEnabled(cancel) && OnCmdMsg(IDCANCEL)) {
      result = 0;
      return true;
    }
  }
  return CWnd::OnWndMsg(message, wParam, lParam, result);
}

}  // namespace kl
