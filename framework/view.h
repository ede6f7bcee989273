// A view: the child window that fills its frame's client area and shows a
// document. WM_PAINT becomes OnDraw on the paint context; the answer to
// WM_ERASEBKGND is the view's own; the application's message loop offers
// each message for the view and its frame to PreTranslateMessage first.
#pragma once

#include <windows.h>

#include "framework/wnd.h"

namespace kl {

class CDocument;

class CView : public CWnd {
 public:
  // Registers the framework's view class (once) and creates the view as a
  // child of `frame`, filling its client area. False on failure.
  bool CreateView(HWND frame, CDocument* document);

  CDocument* GetDocument() const { return m_document; }
  // The name of the window class CreateView uses unless PreCreateWindow changes it.
  static const char* ViewClassName() { return "KlView"; }

 protected:
  // void OnDraw(HDC dc): draws the view; `dc` is the paint context of this WM_PAINT.
  virtual void OnDraw(HDC dc) = 0;
  // bool EraseBackgroundAnswer(): the answer to WM_ERASEBKGND; true: the background counts
  // as erased and nothing is erased, false: the class brush erases it.
  virtual bool EraseBackgroundAnswer();

  // bool OnPaint(): true; BeginPaint, OnDraw, EndPaint.
  bool OnPaint() override;
  // bool OnEraseBkgnd(HDC dc, bool& erased): true when EraseBackgroundAnswer() is true.
  bool OnEraseBkgnd(HDC dc, bool& erased) override;

 private:
  CDocument* m_document = nullptr;
};

}  // namespace kl
