#include "framework/document.h"

#include "framework/winapp.h"

namespace kl {

CSingleDocTemplate::~CSingleDocTemplate() {
  Discard();
}

void CSingleDocTemplate::Discard() {
  CWinApp* app = AfxGetApp();
  if (m_frame && m_frame->GetSafeHwnd() != nullptr) {
    // Taken off as main window first: a failed start must not post a quit.
    if (app != nullptr && app->m_pMainWnd == m_frame.get()) {
      app->m_pMainWnd = nullptr;
    }
    m_frame->DestroyWindow();
  }
  if (app != nullptr && app->m_pMainWnd == m_frame.get()) {
    app->m_pMainWnd = nullptr;
  }
  m_view.reset();
  m_frame.reset();
  m_document.reset();
}

bool CSingleDocTemplate::OpenNewDocument(DWORD frameStyle, int showCommand) {
  if (m_document && m_frame && m_frame->GetSafeHwnd() != nullptr) {
    return m_document->OnNewDocument();
  }
  Discard();
  m_document = m_makeDocument ? m_makeDocument() : nullptr;
  m_frame = m_makeFrame ? m_makeFrame() : nullptr;
  m_view = m_makeView ? m_makeView() : nullptr;
  if (!m_document || !m_frame || !m_view || !m_document->OnNewDocument() ||
      !m_frame->LoadFrame(m_resourceId, frameStyle)) {
    Discard();
    return false;
  }
  if (!m_view->CreateView(m_frame->m_hWnd, m_document.get())) {
    Discard();
    return false;
  }
  m_frame->SetActiveView(m_view.get());
  CWinApp* app = AfxGetApp();
  if (app != nullptr) {
    app->m_pMainWnd = m_frame.get();
  }
  m_frame->ShowWindow(showCommand);
  m_frame->UpdateWindow();
  return true;
}

}  // namespace kl
