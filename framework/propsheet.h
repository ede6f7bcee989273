// Property sheets and their pages. A page is a dialog template of the
// resource module; the sheet (the common property sheet) creates it when it
// is first shown. A page's dialog procedure takes `this` from its page
// descriptor and turns the sheet's PSN_* notifications into virtuals; the
// sheet window is subclassed when it starts, so that its buttons' commands
// reach the sheet object before the sheet's own processing.
#pragma once

#include <windows.h>

#include <prsht.h>

#include <string>
#include <vector>

#include "framework/dialog.h"

namespace kl {

// The command the sheet's Help button gives (its own id is IDHELP, 9).
constexpr UINT kIdHelp = 57670;
// The Apply button's id.
constexpr UINT kIdApplyNow = 12321;

class CPropertySheet;

class CPropertyPage : public CDialog {
 public:
  // `flags` are added to the page descriptor's (PSP_HASHELP, ...).
  explicit CPropertyPage(UINT templateId, DWORD flags = 0) : CDialog(templateId), m_flags(flags) {}

  // Marks the page changed (the sheet enables Apply) or unchanged.
  void SetModified(bool changed = true);
  // The sheet window the page lives in, or null before the page exists.
  HWND GetSheetWindow() const { return m_hWnd != nullptr ? ::GetParent(m_hWnd) : nullptr; }

  // bool OnSetActive(): true lets the page become the active one.
  virtual bool OnSetActive();
  // bool OnKillActive(): true lets the user leave the page; false keeps it active.
  virtual bool OnKillActive();
  // bool OnApply(): true when the page's changes were accepted (PSN_APPLY).
  virtual bool OnApply();
  // void OnReset(): the sheet is closing by Cancel (PSN_RESET).
  virtual void OnReset();
  // void OnHelp(): the sheet's Help button while this page is active (PSN_HELP).
  virtual void OnHelp();
  // bool CommitPage(): stores what the page holds before the sheet saves (OK, Apply).
  virtual bool CommitPage() = 0;

  // bool OnCmdMsg(UINT id): only the page's own commands; a page never ends the sheet.
  bool OnCmdMsg(UINT id) override;

 private:
  friend class CPropertySheet;
  static INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // True when `notify` came from the sheet and was answered in `result`.
  bool OnSheetNotify(const NMHDR& notify, LRESULT& result);

  DWORD m_flags;
};

class CPropertySheet : public CWnd {
 public:
  // `parent` may be null: the sheet is then a top-level window.
  explicit CPropertySheet(std::string caption, HWND parent = nullptr, UINT startPage = 0)
      : m_caption(std::move(caption)), m_parent(parent), m_startPage(startPage) {}

  // Pages are shown in the order they are added; the sheet does not own them.
  void AddPage(CPropertyPage* page) { m_pages.push_back(page); }
  int GetPageCount() const { return static_cast<int>(m_pages.size()); }
  CPropertyPage* GetPage(int index) const { return m_pages[static_cast<size_t>(index)]; }
  // The page shown now, or null.
  CPropertyPage* GetActivePage() const;

  // INT_PTR DoModal(): IDOK or IDCANCEL as the sheet ended; -1 when it could not be shown.
  virtual INT_PTR DoModal();
  // Presses one of the sheet's buttons (PSBTN_OK, PSBTN_CANCEL, PSBTN_APPLYNOW, ...)
  // as the sheet's default processing does it.
  void PressButton(int button);
  // Lets the active page store what it holds; false when it refused.
  bool CommitActivePage();

  // bool OnCmdMsg(UINT id): true when the sheet's own handler took the button
  // `id` entirely; false lets the sheet's default processing follow (OK then
  // closes the sheet). The Help button (IDHELP) arrives as kIdHelp.
  bool OnCmdMsg(UINT id) override;

 protected:
  // bool OnInitDialog(): the sheet window exists (subclassed); its pages do not yet.
  virtual bool OnInitDialog();

  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  static int CALLBACK SheetCallback(HWND window, UINT message, LPARAM lParam);

  std::string m_caption;
  HWND m_parent;
  UINT m_startPage;
  std::vector<CPropertyPage*> m_pages;
};

}  // namespace kl
