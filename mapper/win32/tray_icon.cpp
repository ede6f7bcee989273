#include "mapper/win32/tray_icon.h"

#include <shellapi.h>

#include <cstring>
#include <string>

#include "framework/menu.h"
#include "framework/module.h"
#include "mapper/win32/orvo_ids.h"

namespace kl {

namespace {

// The tip field of the first version of the record, which cbSize announces:
// 64 characters with the terminator.
constexpr size_t kTipSize = 64;
static_assert(sizeof(NOTIFYICONDATAA{}.szTip) >= kTipSize);

}  // namespace

TrayIcon::TrayIcon(UINT iconId) {
  std::memset(&m_data, 0, sizeof m_data);
  m_data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  m_data.uID = iconId;
  SetTip(AfxLoadString(iconId).c_str());
}

TrayIcon::~TrayIcon() {
  SetIcon(0u);
}

void TrayIcon::SetNotificationWnd(HWND window, UINT callbackMessage) {
  m_data.hWnd = window;
  m_data.uCallbackMessage = callbackMessage;
}

bool TrayIcon::SetIcon(UINT id) {
  if (id == 0) return SetIcon(static_cast<HICON>(nullptr));
  const std::string tip = AfxLoadString(id);
  return SetIcon(AfxLoadIcon(id), tip.c_str());
}

bool TrayIcon::SetIcon(HICON icon, const char* tip) {
  DWORD operation = NIM_DELETE;
  m_data.uFlags = 0;
  if (icon != nullptr) {
    operation = m_data.hIcon != nullptr ? NIM_MODIFY : NIM_ADD;
    m_data.hIcon = icon;
    m_data.uFlags = NIF_ICON;
  } else if (m_data.hIcon == nullptr) {
    return true;
  }
  if (tip != nullptr) SetTip(tip);
  if (m_data.szTip[0] != '\0') m_data.uFlags |= NIF_TIP;
  if (m_data.uCallbackMessage != 0 && m_data.hWnd != nullptr) m_data.uFlags |= NIF_MESSAGE;

  const bool done = Shell_NotifyIconA(operation, &m_data) != FALSE;
  if (operation == NIM_DELETE || !done) m_data.hIcon = nullptr;
  return done;
}

void TrayIcon::SetTip(const char* tip) {
  // A longer tip is cut, never left without its end.
  const size_t length = strnlen(tip, kTipSize - 1);
  std::memcpy(m_data.szTip, tip, length);
  m_data.szTip[length] = '\0';
}

LRESULT TrayIcon::OnTrayNotification(WPARAM iconId, LPARAM mouseMessage) {
  if (iconId != m_data.uID) return 0;
  if (mouseMessage != WM_RBUTTONUP && mouseMessage != WM_LBUTTONDBLCLK) return 0;

  CMenu menu;
  if (!menu.LoadMenu(kTrayMenuId)) return 0;
  HMENU popup = menu.GetSubMenu(0);
  if (popup == nullptr) return 0;

  if (mouseMessage == WM_RBUTTONUP) {
    SetMenuDefaultItem(popup, 0, TRUE);
    POINT cursor = {};
    GetCursorPos(&cursor);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_LEFTBUTTON, cursor, m_data.hWnd);
  } else {
    SendMessageA(m_data.hWnd, WM_COMMAND, kActivateProgramCommand, 0);
  }
  return 1;
}

}  // namespace kl
