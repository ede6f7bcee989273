// A modal dialog bound to a dialog template of the resource module. Its
// own dialog procedure links the object at WM_INITDIALOG; the messages go
// to the same typed handlers as any window's. OK and Cancel (Enter, Esc and
// the close box included) end the dialog unless a handler says otherwise.
#pragma once

#include <windows.h>

#include <string>

#include "framework/wnd.h"

namespace kl {

class CDialog : public CWnd {
 public:
  // `parent` null: owned by the application's main window.
  explicit CDialog(UINT templateId, HWND parent = nullptr)
      : m_templateId(templateId), m_parent(parent) {}

  // INT_PTR DoModal(): the code given to EndDialog (IDOK, IDCANCEL, ...); -1: not shown.
  virtual INT_PTR DoModal();
  void EndDialog(INT_PTR result);

  // bool OnCmdMsg(UINT id): true when OnCommand took `id` or it was IDOK/IDCANCEL.
  bool OnCmdMsg(UINT id) override;

  UINT TemplateId() const { return m_templateId; }

  // Edit controls of the dialog by control id: the whole text, a new text,
  // the most characters the user may type, and the selection (start may lie after end).
  HWND DlgItem(UINT id) const { return ::GetDlgItem(m_hWnd, static_cast<int>(id)); }
  std::string GetItemText(UINT id) const;
  void SetItemText(UINT id, const std::string& text);
  void LimitText(UINT id, UINT characters);
  void SetSelection(UINT id, int start, int end, bool scrollCaret);

  // The pairs (control id, help context id) ending in 0, 0 that F1 and the
  // right click look up in the application's help file; null: no context help.
  void SetHelpIds(const DWORD* pairs) { m_helpIds = pairs; }
  // Lets F1 on controls served by the framework's window procedure reach this dialog.
  void RouteHelpToParent();

 protected:
  // bool OnInitDialog(): true lets the dialog focus its first control; false: focus set.
  virtual bool OnInitDialog();
  // void OnOK(): IDOK was chosen; the base ends the dialog with IDOK.
  virtual void OnOK();
  // void OnCancel(): IDCANCEL was chosen; the base ends the dialog with IDCANCEL.
  virtual void OnCancel();

  // bool OnHelp(const HELPINFO& info): true when a control's help was asked of WinHelpA
  // (its topic by id, HELP_CONTEXT, when the viewer refuses HELP_WM_HELP).
  bool OnHelp(const HELPINFO& info) override;
  // bool OnContextMenu(HWND window, POINT screen): true when "What's This?" help was asked.
  bool OnContextMenu(HWND window, POINT screen) override;

  // LRESULT DefaultProc(UINT, WPARAM, LPARAM): 0; the dialog manager does the default processing.
  LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  // What the dialog procedure does with every message after WM_INITDIALOG:
  // the typed handlers, the answer as the dialog manager expects it, and the
  // unlinking at WM_NCDESTROY. Dialog procedures of other kinds share it.
  static INT_PTR RouteMessage(CDialog* self, HWND window, UINT message, WPARAM wParam,
                              LPARAM lParam);

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  UINT m_templateId;
  HWND m_parent;
  const DWORD* m_helpIds = nullptr;
};

// F1 help for the control of `info` from `table` (pairs of control and help
// id, ending with a zero pair): HELP_WM_HELP, or, when the viewer refuses it
// (Wine's does), the control's topic by its id (HELP_CONTEXT) for `owner`.
void AskControlHelp(HWND owner, const char* file, const DWORD* table, const HELPINFO& info);

}  // namespace kl
