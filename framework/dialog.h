// A modal dialog bound to a dialog template of the resource module. Its
// own dialog procedure links the object at WM_INITDIALOG; the messages go
// to the same typed handlers as any window's. OK and Cancel (Enter, Esc and
// the close box included) end the dialog unless a handler says otherwise.
#pragma once

#include <windows.h>

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

 protected:
  // bool OnInitDialog(): true lets the dialog focus its first control; false: focus set.
  virtual bool OnInitDialog();
  // void OnOK(): IDOK was chosen; the base ends the dialog with IDOK.
  virtual void OnOK();
  // void OnCancel(): IDCANCEL was chosen; the base ends the dialog with IDCANCEL.
  virtual void OnCancel();

  // LRESULT DefaultProc(UINT, WPARAM, LPARAM): 0; the dialog manager does the default processing.
  LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  UINT m_templateId;
  HWND m_parent;
};

}  // namespace kl
