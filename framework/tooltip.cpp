#include "framework/tooltip.h"

#include <cstring>

#include "framework/module.h"

namespace kl {

bool CToolTipCtrl::Create(HWND owner, DWORD style) {
  DestroyWindow();
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  m_hWnd = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | style, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                           AfxGetInstanceHandle(), nullptr);
  m_owner = owner;
  return m_hWnd != nullptr;
}

bool CToolTipCtrl::AddTool(UINT id, const RECT& rect) {
  if (m_hWnd == nullptr) {
    return false;
  }
  TOOLINFOA tool = {};
  // The size every comctl32 since 4.70 accepts (the newest adds a reserved pointer).
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = m_owner;
  tool.uId = id;
  tool.rect = rect;
  tool.hinst = nullptr;
  tool.lpszText = LPSTR_TEXTCALLBACKA;
  return SendMessageA(m_hWnd, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
}

void CToolTipCtrl::DestroyWindow() {
  if (m_hWnd != nullptr) {
    ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
  }
}

void CToolTipCtrl::SupplyText(NMHDR& request, const std::string& text) {
  auto& info = reinterpret_cast<NMTTDISPINFOA&>(request);
  size_t length = text.size() < sizeof info.szText - 1 ? text.size() : sizeof info.szText - 1;
  std::memcpy(info.szText, text.data(), length);
  info.szText[length] = '\0';
  info.lpszText = info.szText;
  info.hinst = nullptr;
}

}  // namespace kl
