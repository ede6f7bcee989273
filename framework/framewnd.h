// A top-level frame window. LoadFrame makes one from a resource id: the
// menu, icon and title (the string's text up to its first line break) of
// that id are taken from the resource module when it holds them. Commands
// the frame does not handle go on to the application.
#pragma once

#include <windows.h>

#include "framework/wnd.h"

namespace kl {

// Frame styles: kept by the frame, never passed to the window itself.
constexpr DWORD kFwsAddToTitle = 0x00008000;  // FWS_ADDTOTITLE: the title shows the document
constexpr DWORD kFwsFrameStyles = 0x0000F000;

class CFrameWnd : public CWnd {
 public:
  // Registers the framework's frame class (once) and creates the frame
  // from `resourceId`. A derived class may pick another window class in
  // PreCreateWindow. False when the window could not be made.
  bool LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | kFwsAddToTitle,
                 HWND parent = nullptr);

  // bool OnCmdMsg(UINT id): true when the frame, or else the application, handled `id`.
  bool OnCmdMsg(UINT id) override;

  // The name of the window class LoadFrame uses unless told otherwise.
  static const char* FrameClassName() { return "KlFrameWnd"; }

  DWORD m_frameStyle = 0;  // the FWS_* bits of the style LoadFrame was given

  // The view that fills the client area; it follows the frame's size and gets its
  // commands first. Null: none.
  void SetActiveView(CWnd* view) { m_activeView = view; }
  CWnd* GetActiveView() const { return m_activeView; }

 protected:
  // bool OnCreate(const CREATESTRUCTA& cs): sets the frame's icon; false fails the creation.
  bool OnCreate(const CREATESTRUCTA& cs) override;
  // bool OnSize(UINT type, int width, int height): false; the active view is sized first.
  bool OnSize(UINT type, int width, int height) override;
  // bool OnMessage(UINT, WPARAM, LPARAM, LRESULT&): true for WM_SETFOCUS with an active view,
  // which takes the focus (and so the keyboard) in the frame's place; while the view is hidden, the
  // first visible child window over it does.
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  UINT m_resourceId = 0;
  CWnd* m_activeView = nullptr;
};

}  // namespace kl
