#include "framework/view.h"

namespace kl {

bool CView::CreateView(HWND frame, CDocument* document) {
  if (!RegisterWindowClass(ViewClassName(), CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, nullptr,
                           LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)),
                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1))) {
    return false;
  }
  m_document = document;
  RECT client = {};
  GetClientRect(frame, &client);
  return CreateEx(0, ViewClassName(), "", WS_CHILD | WS_VISIBLE, 0, 0, client.right, client.bottom,
                  frame, nullptr);
}

bool CView::EraseBackgroundAnswer() {
  return false;
}

bool CView::OnPaint() {
  PAINTSTRUCT paint = {};
  HDC dc = BeginPaint(m_hWnd, &paint);
  if (dc == nullptr) {
    return false;
  }
  try {
    OnDraw(dc);
  } catch (...) {
    // The paint is ended either way, or the window would be asked again at once.
  }
  EndPaint(m_hWnd, &paint);
  return true;
}

bool CView::OnEraseBkgnd(HDC, bool& erased) {
  if (!EraseBackgroundAnswer()) {
    return false;
  }
  erased = true;
  return true;
}

}  // namespace kl
