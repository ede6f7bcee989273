// The editor's frame: a fixed-size pop-up without caption bar or menu bar,
// centred on the screen, of the window class "MyKLoomClass" and titled
// "KeyLoom". Its size limits keep it at 605 x 405, wider only while a
// print preview asks for it on a screen wider than 700 pixels.
#pragma once

#include <windows.h>

#include <functional>

#include "framework/framewnd.h"

namespace kl {

class CMainFrame : public CFrameWnd {
 public:
  // `previewWide`: whether the view's print preview wants the wider frame.
  explicit CMainFrame(std::function<bool()> previewWide) : m_previewWide(std::move(previewWide)) {}

  // The screen width the frame was made on.
  static int ScreenWidth() { return s_screenWidth; }
  // The frame width the size limits give.
  int LimitWidth() const;

 protected:
  // bool PreCreateWindow(CREATESTRUCTA& cs): true; size, place, style, class and title.
  bool PreCreateWindow(CREATESTRUCTA& cs) override;
  // bool OnGetMinMaxInfo(MINMAXINFO& info): true; the same minimum and maximum tracking size.
  bool OnGetMinMaxInfo(MINMAXINFO& info) override;

 private:
  static int s_screenWidth;
  std::function<bool()> m_previewWide;
};

}  // namespace kl
