// The editor's only view: a humble window over the portable PadView. It
// turns clicks, mouse moves, key messages (through PreTranslateMessage),
// timer ticks and the tooltip's text requests into calls on the PadView and
// gives it ports made of GDI and USER calls; it decides nothing itself. It
// never erases its background: every repaint overdraws the whole picture.
// It prints the mapping and shows the print preview through the framework's
// print commands, with its print handlers in kloom_print.cpp.
#pragma once

#include <windows.h>

#include <memory>

#include "editor/pad_view.h"
#include "editor/win32/kloom_print.h"
#include "editor/win32/view_ports.h"
#include "framework/print_preview.h"
#include "framework/view.h"
#include "platform/win32/win32_seams.h"

namespace kl {

class CKLoomApp;

class CKLoomView : public CView, public CPrintTarget {
 public:
  explicit CKLoomView(CKLoomApp& app);
  ~CKLoomView() override;

  bool PreviewWide() const { return m_padView != nullptr && m_padView->PreviewWide(); }
  // bool PreTranslateMessage(MSG& msg): true when the pad view consumed the key message.
  bool PreTranslateMessage(MSG& msg) override;

  // The print handlers (kloom_print.cpp), called by the framework's print
  // commands and the print preview.
  // bool OnPreparePrinting(CPrintInfo&): one page per detected pad; false with no pad.
  bool OnPreparePrinting(CPrintInfo& info) override;
  // bool OnBeginPrinting(HDC, CPrintInfo&): the printer font and the layout; false when the
  // printer's page cannot hold one.
  bool OnBeginPrinting(HDC dc, CPrintInfo& info) override;
  // void OnPrint(HDC, CPrintInfo&): the pad of page info.m_nCurPage.
  void OnPrint(HDC dc, CPrintInfo& info) override;
  // void OnEndPrinting(HDC, CPrintInfo&): the font goes, the view draws again.
  void OnEndPrinting(HDC dc, CPrintInfo& info) override;

 protected:
  // void OnDraw(HDC): the pad view's full repaint (it draws on contexts of its own).
  void OnDraw(HDC dc) override;
  // bool EraseBackgroundAnswer(): true; nothing is ever erased.
  bool EraseBackgroundAnswer() override;
  // bool OnCreate(const CREATESTRUCTA&): false when the pad view could not be made.
  bool OnCreate(const CREATESTRUCTA& cs) override;
  // bool OnDestroy(): false; the pad view stops its timers first.
  bool OnDestroy() override;
  // bool OnLButtonDown(UINT, POINT): true; a click on the picture.
  bool OnLButtonDown(UINT flags, POINT p) override;
  // bool OnLButtonUp(UINT, POINT): true; the release of a click.
  bool OnLButtonUp(UINT flags, POINT p) override;
  // bool OnMouseMove(UINT, POINT): true; highlights follow the mouse.
  bool OnMouseMove(UINT flags, POINT p) override;
  // bool OnTimer(UINT_PTR id): true for the view's timers 1, 2 and 3.
  bool OnTimer(UINT_PTR id) override;
  // bool OnNotify(UINT, NMHDR&, LRESULT&): true for the tooltip's text request.
  bool OnNotify(UINT id, NMHDR& header, LRESULT& result) override;
  // bool OnCommand(UINT id): true for the print, print preview and print setup commands.
  bool OnCommand(UINT id) override;

 private:
  CKLoomApp& m_app;
  std::unique_ptr<Win32Seams> m_seams;
  std::unique_ptr<GdiCanvas> m_canvas;
  std::unique_ptr<WindowPrompts> m_prompts;
  std::unique_ptr<WindowShell> m_shell;
  std::unique_ptr<PadView> m_padView;
  std::unique_ptr<PadPrinter> m_printer;
  std::unique_ptr<CViewPrinting> m_printing;
};

}  // namespace kl
