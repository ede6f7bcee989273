// The document and the single-document template. A template binds one
// resource id (the frame's menu, icon and title) to the makers of the
// document, the frame and the view; OpenNewDocument creates the three
// together, makes the frame the application's main window and shows it.
// The template owns them; the frame's window ends the program as any main
// window does.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "framework/cmdtarget.h"
#include "framework/framewnd.h"
#include "framework/view.h"

namespace kl {

class CDocument : public CCmdTarget {
 public:
  // bool OnNewDocument(): true when the document is ready as a new, empty one.
  virtual bool OnNewDocument() { return true; }
};

class CSingleDocTemplate {
 public:
  using DocumentMaker = std::function<std::unique_ptr<CDocument>()>;
  using FrameMaker = std::function<std::unique_ptr<CFrameWnd>()>;
  using ViewMaker = std::function<std::unique_ptr<CView>()>;

  CSingleDocTemplate(UINT resourceId, DocumentMaker document, FrameMaker frame, ViewMaker view)
      : m_resourceId(resourceId),
        m_makeDocument(std::move(document)),
        m_makeFrame(std::move(frame)),
        m_makeView(std::move(view)) {}
  CSingleDocTemplate(const CSingleDocTemplate&) = delete;
  CSingleDocTemplate& operator=(const CSingleDocTemplate&) = delete;
  ~CSingleDocTemplate();

  // Creates document, frame (from the resource id, `frameStyle`) and view, or, when they
  // exist, starts the document afresh. False when any of them could not be made; then
  // none of them is left.
  bool OpenNewDocument(DWORD frameStyle, int showCommand);

  UINT ResourceId() const { return m_resourceId; }
  CDocument* Document() const { return m_document.get(); }
  CFrameWnd* Frame() const { return m_frame.get(); }
  CView* View() const { return m_view.get(); }

 private:
  void Discard();

  UINT m_resourceId;
  DocumentMaker m_makeDocument;
  FrameMaker m_makeFrame;
  ViewMaker m_makeView;
  std::unique_ptr<CDocument> m_document;
  std::unique_ptr<CFrameWnd> m_frame;
  std::unique_ptr<CView> m_view;
};

}  // namespace kl
