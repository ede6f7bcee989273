#include "framework/framewnd.h"

#include <string>

#include "framework/module.h"
#include "framework/winapp.h"

namespace kl {

bool CFrameWnd::LoadFrame(UINT resourceId, DWORD style, HWND parent) {
  if (!RegisterWindowClass(FrameClassName(), CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, nullptr,
                           LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)),
                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1))) {
    return false;
  }
  m_resourceId = resourceId;
  m_frameStyle = style & kFwsFrameStyles;
  std::string title = AfxLoadString(resourceId);
  title = title.substr(0, title.find('\n'));
  HMENU menu = AfxLoadMenu(resourceId);
  if (!CreateEx(0, FrameClassName(), title.c_str(), style & ~kFwsFrameStyles, CW_USEDEFAULT,
                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent, menu)) {
    // A window that was never made may not have freed its menu.
    if (menu != nullptr && IsMenu(menu)) {
      DestroyMenu(menu);
    }
    return false;
  }
  // A frame that chose to have no menu bar frees the menu it did not take.
  if (menu != nullptr && GetMenu(m_hWnd) != menu) {
    DestroyMenu(menu);
  }
  return true;
}

bool CFrameWnd::OnSize(UINT type, int width, int height) {
  if (type != SIZE_MINIMIZED && m_activeView != nullptr && m_activeView->GetSafeHwnd() != nullptr) {
    MoveWindow(m_activeView->m_hWnd, 0, 0, width, height, TRUE);
  }
  return false;
}

bool CFrameWnd::OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
  if (message != WM_SETFOCUS || m_activeView == nullptr || m_activeView->GetSafeHwnd() == nullptr) {
    return false;
  }
  // A window laid over a hidden view (the print preview) takes the keyboard
  // in its place: a hidden window cannot have it.
  HWND target = m_activeView->m_hWnd;
  if (!IsWindowVisible(target)) {
    for (HWND child = GetWindow(m_hWnd, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
      if (IsWindowVisible(child)) {
        target = child;
        break;
      }
    }
  }
  SetFocus(target);
  result = 0;
  return true;
}

bool CFrameWnd::OnCreate(const CREATESTRUCTA&) {
  HICON icon = AfxLoadIcon(m_resourceId);
  if (icon != nullptr) {
    Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
  return true;
}

bool CFrameWnd::OnCmdMsg(UINT id) {
  if (m_activeView != nullptr && m_activeView->OnCmdMsg(id)) {
    return true;
  }
  if (OnCommand(id)) {
    return true;
  }
  CWinApp* app = AfxGetApp();
  return app != nullptr && app->OnCmdMsg(id);
}

}  // namespace kl
