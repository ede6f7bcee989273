// A tooltip control whose tools cover rectangles of one owner window. The
// control subclasses the owner for its mouse messages, and asks the owner
// for each tool's text when it is about to show it (TTN_NEEDTEXTA, the
// tool's id in the notification's idFrom): the owner answers in OnNotify.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

namespace kl {

class CToolTipCtrl {
 public:
  CToolTipCtrl() = default;
  CToolTipCtrl(const CToolTipCtrl&) = delete;
  CToolTipCtrl& operator=(const CToolTipCtrl&) = delete;
  virtual ~CToolTipCtrl() { DestroyWindow(); }

  // Makes the control for `owner` with TTS_* `style` (TTS_ALWAYSTIP: also while the
  // owner's program is not active). False when it could not be made.
  bool Create(HWND owner, DWORD style);
  // A tool with callback text over `rect` (client coordinates of the owner).
  bool AddTool(UINT id, const RECT& rect);
  void DestroyWindow();
  HWND GetSafeHwnd() const { return m_hWnd; }

  // Fills a TTN_NEEDTEXTA request with `text` (cut to what the request's own
  // buffer holds); an empty text shows no tip.
  static void SupplyText(NMHDR& request, const std::string& text);

 private:
  HWND m_hWnd = nullptr;
  HWND m_owner = nullptr;
};

}  // namespace kl
