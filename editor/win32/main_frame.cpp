#include "editor/win32/main_frame.h"

#include "editor/win32/kloom_ids.h"

namespace kl {

int CMainFrame::s_screenWidth = 0;

int CMainFrame::LimitWidth() const {
  const bool wide = m_previewWide && m_previewWide();
  return wide && s_screenWidth > 700 ? kFrameWideWidth : kFrameWidth;
}

bool CMainFrame::PreCreateWindow(CREATESTRUCTA& cs) {
  HDC screen = GetDC(nullptr);
  const int width = GetDeviceCaps(screen, HORZRES);
  const int height = GetDeviceCaps(screen, VERTRES);
  ReleaseDC(nullptr, screen);
  s_screenWidth = width;
  cs.cx = kFrameWidth;
  cs.cy = kFrameHeight;
  cs.x = (width - kFrameWidth) / 2;
  cs.y = (height - kFrameHeight) / 2;
  cs.style = static_cast<LONG>(kFrameStyle);
  cs.hMenu = nullptr;
  cs.lpszName = kEditorTitle;
  cs.lpszClass = kEditorClassName;
  return CFrameWnd::PreCreateWindow(cs);
}

bool CMainFrame::OnGetMinMaxInfo(MINMAXINFO& info) {
  const int width = LimitWidth();
  info.ptMinTrackSize = POINT{width, kFrameHeight};
  info.ptMaxTrackSize = POINT{width, kFrameHeight};
  return true;
}

}  // namespace kl
