// Menus from the resource module and the pop-up menus of tray icons and
// context clicks. CMenu owns a menu it loaded and destroys it (with its
// submenus) when it goes; TrackPopupMenu shows a submenu for an owner
// window so that the chosen command reaches that window's command handling.
#pragma once

#include <windows.h>

namespace kl {

class CMenu {
 public:
  CMenu() = default;
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;
  ~CMenu() { DestroyMenu(); }

  // Loads menu `id` of the resource module in place of the one held; false when it has none.
  bool LoadMenu(UINT id);
  void DestroyMenu();
  HMENU GetSafeHmenu() const { return m_hMenu; }
  // The pop-up at `position`, owned by this menu; null when there is none.
  HMENU GetSubMenu(int position) const;

 private:
  HMENU m_hMenu = nullptr;
};

// Shows `popup` at the screen point `at` for `owner`, with TPM_* `flags`. The
// owner comes to the front first, or the menu would not close when the user
// clicks elsewhere; afterwards it gets a WM_NULL, so that a menu opened from
// a notification closes at once when it is opened again. The chosen command
// arrives as an ordinary WM_COMMAND. False when the menu could not be shown.
bool TrackPopupMenu(HMENU popup, UINT flags, POINT at, HWND owner);

}  // namespace kl
