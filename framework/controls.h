// Thin wrappers for the standard controls of a dialog: combo and list boxes
// (selection, items, texts), check and radio buttons, and the animation
// control that plays a silent clip from a file. Each binds to a control of
// a dialog by id and owns nothing.
#pragma once

#include <windows.h>

#include <string>

namespace kl {

// What the wrappers share: the bound control window.
class CControl {
 public:
  // Binds to control `id` of `dialog`; false when the dialog has none.
  bool Attach(HWND dialog, int id) {
    m_hWnd = GetDlgItem(dialog, id);
    return m_hWnd != nullptr;
  }
  HWND GetSafeHwnd() const { return m_hWnd; }
  bool EnableWindow(bool enable) { return ::EnableWindow(m_hWnd, enable ? TRUE : FALSE) != FALSE; }
  bool IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }

 protected:
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return SendMessageA(m_hWnd, message, wParam, lParam);
  }

  HWND m_hWnd = nullptr;
};

class CComboBox : public CControl {
 public:
  // The new item's index, or -1.
  int AddString(const std::string& text) const;
  int GetCount() const { return static_cast<int>(Send(CB_GETCOUNT)); }
  // The selected entry, or -1.
  int GetCurSel() const { return static_cast<int>(Send(CB_GETCURSEL)); }
  // -1 clears the selection; false when `index` is no entry.
  bool SetCurSel(int index) const;
  std::string GetLBText(int index) const;
  void ResetContent() const { Send(CB_RESETCONTENT); }
};

class CListBox : public CControl {
 public:
  int AddString(const std::string& text) const;
  int GetCount() const { return static_cast<int>(Send(LB_GETCOUNT)); }
  int GetCurSel() const { return static_cast<int>(Send(LB_GETCURSEL)); }
  bool SetCurSel(int index) const;
  std::string GetText(int index) const;
  void ResetContent() const { Send(LB_RESETCONTENT); }
};

class CButton : public CControl {
 public:
  bool GetCheck() const { return Send(BM_GETCHECK) == BST_CHECKED; }
  void SetCheck(bool checked) const { Send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED); }
};

class CAnimateCtrl : public CControl {
 public:
  // Opens the clip in file `path` (an AVI the control can play) and starts
  // it, repeating; false when the file is missing or cannot be played.
  bool Open(const std::string& path) const;
  bool Play() const;
  bool Stop() const;
  void Close() const;
};

}  // namespace kl
