// A thin, non-owning wrapper around one window. One static window procedure
// serves every CWnd: it finds the object the window belongs to and unpacks
// each message into a typed virtual handler that says whether it handled
// the message; what no handler takes gets the window's default processing.
// No exception leaves a handler: one that throws counts as "not handled"
// (and makes a window's creation fail).
//
// Destroying the object does not destroy the window; it only cuts the link,
// after which the window gets default processing alone.
#pragma once

#include <windows.h>

#include "framework/cmdtarget.h"

namespace kl {

// A key message unpacked: WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP and WM_CHAR.
struct KeyArgs {
  UINT code = 0;              // the virtual key; for WM_CHAR the character
  UINT repeat = 0;            // the repeat count (bits 0-15)
  UINT scan = 0;              // the scan code (bits 16-23)
  bool extended = false;      // bit 24: a key of the enhanced keyboard (right Ctrl, arrows, ...)
  bool altDown = false;       // bit 29: Alt was held (the context code)
  bool previousDown = false;  // bit 30: the key was already down before this message
  bool released = false;      // bit 31: the key is being released
};

class CWnd : public CCmdTarget {
 public:
  CWnd() = default;
  ~CWnd() override;

  HWND GetSafeHwnd() const { return m_hWnd; }

  // Creates the window and links it to this object. Windows of a class
  // registered with another window procedure (RegisterClass with
  // DefWindowProcA, say) are subclassed while they are created, so their
  // WM_NCCREATE and WM_CREATE reach this object too. False on failure.
  bool CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x,
                int y, int width, int height, HWND parent, HMENU menuOrId);
  // Links an existing window (one this object did not create) to this object
  // and routes its messages here, its own procedure giving the default
  // processing. False when this object already has a window.
  bool SubclassWindow(HWND window);
  bool DestroyWindow();
  bool ShowWindow(int command) { return ::ShowWindow(m_hWnd, command) != FALSE; }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  // The timer's id, or 0 when no timer could be made.
  UINT_PTR SetTimer(UINT_PTR id, UINT milliseconds);
  bool KillTimer(UINT_PTR id);
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  // The object linked to `window` (also when something subclassed it), else null.
  static CWnd* FromHandle(HWND window);
  // The framework's window procedure, for controls that route some messages past it.
  static WNDPROC FrameworkProc() { return &WindowProc; }

  // bool PreTranslateMessage(MSG& msg): true when `msg` was consumed and must not be dispatched.
  virtual bool PreTranslateMessage(MSG& msg);
  bool Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

  // Registers a window class served by the framework's window procedure,
  // for the program's instance. True also when it is registered already.
  static bool RegisterWindowClass(const char* className, UINT style, HICON icon, HCURSOR cursor,
                                  HBRUSH background);

  HWND m_hWnd = nullptr;

 protected:
  // bool PreCreateWindow(CREATESTRUCTA& cs): false cancels; may change class and styles.
  virtual bool PreCreateWindow(CREATESTRUCTA& cs);
  // bool OnCreate(const CREATESTRUCTA& cs): false makes the window's creation fail.
  virtual bool OnCreate(const CREATESTRUCTA& cs);
  // bool OnDestroy(): true when handled; default processing follows only when false.
  virtual bool OnDestroy();
  // bool OnClose(): true when handled (the window stays); false lets default processing destroy it.
  virtual bool OnClose();
  // bool OnTimer(UINT_PTR id): true when the tick of timer `id` was handled.
  virtual bool OnTimer(UINT_PTR id);
  // bool OnPaint(): true when the handler painted (BeginPaint/EndPaint its own).
  virtual bool OnPaint();
  // Mouse messages in client coordinates (negative left of or above the
  // client area while the mouse is captured); `flags` are the MK_* bits.
  // bool OnLButtonDown(UINT flags, POINT p): true when the left button press was handled.
  virtual bool OnLButtonDown(UINT flags, POINT p);
  // bool OnLButtonUp(UINT flags, POINT p): true when the left button release was handled.
  virtual bool OnLButtonUp(UINT flags, POINT p);
  // bool OnLButtonDblClk(UINT flags, POINT p): true when the left double click was handled.
  virtual bool OnLButtonDblClk(UINT flags, POINT p);
  // bool OnRButtonDown(UINT flags, POINT p): true when the right button press was handled.
  virtual bool OnRButtonDown(UINT flags, POINT p);
  // bool OnRButtonUp(UINT flags, POINT p): true when the right button release was handled.
  virtual bool OnRButtonUp(UINT flags, POINT p);
  // bool OnMouseMove(UINT flags, POINT p): true when the move was handled.
  virtual bool OnMouseMove(UINT flags, POINT p);
  // bool OnKeyDown(const KeyArgs& key): true when the key press was handled.
  virtual bool OnKeyDown(const KeyArgs& key);
  // bool OnKeyUp(const KeyArgs& key): true when the key release was handled.
  virtual bool OnKeyUp(const KeyArgs& key);
  // bool OnSysKeyDown(const KeyArgs& key): true when handled; false: default (menu mode).
  virtual bool OnSysKeyDown(const KeyArgs& key);
  // bool OnSysKeyUp(const KeyArgs& key): true when handled; false: default processing.
  virtual bool OnSysKeyUp(const KeyArgs& key);
  // bool OnChar(const KeyArgs& key): true when the character (key.code) was handled.
  virtual bool OnChar(const KeyArgs& key);
  // bool OnCommandCode(UINT code, UINT id, HWND control): true when handled; false routes
  // menu items, accelerators and button clicks on to OnCmdMsg(id). `control` null: no control.
  virtual bool OnCommandCode(UINT code, UINT id, HWND control);
  // bool OnNotify(UINT id, NMHDR& header, LRESULT& result): true when handled, answer in result.
  virtual bool OnNotify(UINT id, NMHDR& header, LRESULT& result);
  // bool OnEraseBkgnd(HDC dc, bool& erased): true when handled; `erased` is the answer.
  virtual bool OnEraseBkgnd(HDC dc, bool& erased);
  // bool OnSize(UINT type, int width, int height): true when the new client size was handled.
  virtual bool OnSize(UINT type, int width, int height);
  // bool OnGetMinMaxInfo(MINMAXINFO& info): true when the size limits in `info` were set.
  virtual bool OnGetMinMaxInfo(MINMAXINFO& info);
  // bool OnHelp(const HELPINFO& info): true when the help request (F1) was handled.
  virtual bool OnHelp(const HELPINFO& info);
  // bool OnContextMenu(HWND window, POINT screen): true when the right click was handled.
  virtual bool OnContextMenu(HWND window, POINT screen);
  // bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result): true: handled, answer in result.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // void PostNcDestroy(): the window is gone and unlinked; the object may now delete itself.
  virtual void PostNcDestroy();
  // LRESULT DefaultProc(UINT message, WPARAM, LPARAM): the answer of default processing.
  virtual LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);
  // bool OnWndMsg(UINT message, WPARAM, LPARAM, LRESULT& result): true when a handler took it.
  virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  // Unlinks the window after WM_NCDESTROY: ends the message loop when it
  // was the main window, then calls PostNcDestroy.
  void AfterNcDestroy();

 private:
  friend LRESULT CALLBACK FrameworkCbtHook(int code, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Attach(HWND window);
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

  WNDPROC m_superProc = nullptr;  // the class's own procedure when subclassed
};

}  // namespace kl
