#include "editor/win32/kloom_view.h"

#include <commctrl.h>

#include "editor/win32/kloom_app.h"
#include "editor/win32/kloom_ids.h"
#include "platform/win32/key_message.h"

namespace kl {

CKLoomView::CKLoomView(CKLoomApp& app) : m_app(app) {}

CKLoomView::~CKLoomView() = default;

bool CKLoomView::OnCreate(const CREATESTRUCTA& cs) {
  if (!CView::OnCreate(cs)) return false;
  m_seams = std::make_unique<Win32Seams>(nullptr, m_app.ResourceModule());
  m_seams->SetTimerWindow(m_hWnd);
  m_canvas = std::make_unique<GdiCanvas>(m_app.ResourceModule(), m_hWnd);
  m_prompts = std::make_unique<WindowPrompts>(m_hWnd);
  m_shell = std::make_unique<WindowShell>(m_hWnd);
  Win32Seams& seams = *m_seams;
  const PadViewPorts ports{
      *m_canvas,         *m_prompts,          *m_prompts,          *m_shell,
      seams.GetTimers(), seams.GetRegistry(), seams.GetJoystick(), seams.GetFileSystem(),
      seams.GetInput(),  m_app.Strings()};
  m_padView = std::make_unique<PadView>(ports, seams.Folder() + kKeyFilesFolder);
  m_printer = std::make_unique<PadPrinter>(*m_padView, m_app.Strings(), seams.GetInput(),
                                           *m_prompts, m_app.ResourceModule(), m_hWnd);
  m_printing = std::make_unique<CViewPrinting>(*this);
  return m_padView->Create();
}

bool CKLoomView::OnDestroy() {
  // A preview still open ends its run first.
  if (m_printing) m_printing->Preview().Close();
  if (m_padView) m_padView->Destroy();
  return false;
}

void CKLoomView::OnDraw(HDC) {
  if (m_padView) m_padView->OnDraw();
}

bool CKLoomView::EraseBackgroundAnswer() {
  return true;
}

bool CKLoomView::PreTranslateMessage(MSG& msg) {
  if (!m_padView || msg.hwnd != m_hWnd) return false;
  const std::optional<KeyEvent> key = KeyEventFromMessage(msg.message, msg.wParam, msg.lParam);
  return key && m_padView->OnKey(*key);
}

bool CKLoomView::OnLButtonDown(UINT, POINT p) {
  if (m_padView) m_padView->OnLeftButtonDown({p.x, p.y});
  return true;
}

bool CKLoomView::OnLButtonUp(UINT, POINT p) {
  if (m_padView) m_padView->OnLeftButtonUp({p.x, p.y});
  return true;
}

bool CKLoomView::OnMouseMove(UINT, POINT p) {
  if (m_padView) m_padView->OnMouseMove({p.x, p.y});
  return true;
}

bool CKLoomView::OnTimer(UINT_PTR id) {
  if (!m_padView || id < kTimerPoll || id > kTimerLogo) return false;
  m_padView->OnTimer(static_cast<uint32_t>(id));
  return true;
}

bool CKLoomView::OnNotify(UINT, NMHDR& header, LRESULT& result) {
  if (header.code != TTN_NEEDTEXTA || !m_padView) return false;
  const std::optional<std::string> text =
      m_padView->TooltipText(static_cast<uint32_t>(header.idFrom));
  CToolTipCtrl::SupplyText(header, text.value_or(std::string()));
  result = 0;
  return true;
}

}  // namespace kl
