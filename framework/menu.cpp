#include "framework/menu.h"

#include "framework/module.h"

namespace kl {

bool CMenu::LoadMenu(UINT id) {
  HMENU menu = AfxLoadMenu(id);
  if (menu == nullptr) return false;
  DestroyMenu();
  m_hMenu = menu;
  return true;
}

void CMenu::DestroyMenu() {
  if (m_hMenu != nullptr) {
    ::DestroyMenu(m_hMenu);
    m_hMenu = nullptr;
  }
}

HMENU CMenu::GetSubMenu(int position) const {
  return m_hMenu != nullptr ? ::GetSubMenu(m_hMenu, position) : nullptr;
}

bool TrackPopupMenu(HMENU popup, UINT flags, POINT at, HWND owner) {
  if (popup == nullptr || owner == nullptr) return false;
  SetForegroundWindow(owner);
  const BOOL chosen = ::TrackPopupMenu(popup, flags, at.x, at.y, 0, owner, nullptr);
  PostMessageA(owner, WM_NULL, 0, 0);
  return chosen != FALSE;
}

}  // namespace kl
