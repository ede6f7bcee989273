// The mapper's icon in the notification area: one NOTIFYICONDATAA record,
// added, changed and removed through Shell_NotifyIconA, and the icon's
// pop-up menu. Mouse messages on the icon reach the owner window as its
// callback message, which passes them to OnTrayNotification.
#pragma once

#include <windows.h>

#include "framework/cmdtarget.h"

namespace kl {

class TrayIcon : public CCmdTarget {
 public:
  // The icon id; the tip is string `iconId` of the resource module.
  explicit TrayIcon(UINT iconId);
  // Removes the icon from the notification area.
  ~TrayIcon() override;

  // The window that gets `callbackMessage` for mouse messages on the icon.
  void SetNotificationWnd(HWND window, UINT callbackMessage);

  // Icon and tip `id` of the resource module; 0 removes the icon.
  bool SetIcon(UINT id);
  // Adds the icon, changes it, or (null) removes it; `tip` replaces the tip
  // when given. The result of Shell_NotifyIconA; true when nothing was to do.
  bool SetIcon(HICON icon, const char* tip = nullptr);

  bool HasIcon() const { return m_data.hIcon != nullptr; }
  const char* Tip() const { return m_data.szTip; }

  // LRESULT OnTrayNotification(WPARAM iconId, LPARAM mouseMessage): 1 when handled, else 0.
  virtual LRESULT OnTrayNotification(WPARAM iconId, LPARAM mouseMessage);

 private:
  void SetTip(const char* tip);

  NOTIFYICONDATAA m_data;
};

}  // namespace kl
