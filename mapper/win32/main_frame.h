// ORVO.EXE's hidden main frame, of the window class "MyOrvoClass" by which a
// second copy and the editor find it. It owns the tray icon and the runtime
// mapper with the Windows seams it runs on: the mapper's two timers tick on
// this window, and the icon's menu commands arrive here. The frame is made
// once the resource module is loaded.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/framewnd.h"
#include "mapper/detect.h"
#include "mapper/win32/tray_icon.h"
#include "platform/win32/win32_seams.h"

namespace kl {

// The tray icon's callback message.
constexpr UINT kTrayMessage = WM_USER;

class CMainFrame : public CFrameWnd {
 public:
  CMainFrame();
  ~CMainFrame() override;

  const std::string& EditorPath() const { return m_editorPath; }
  bool IsClosing() const { return m_closing; }

 protected:
  // bool PreCreateWindow(CREATESTRUCTA& cs): makes the frame a "MyOrvoClass" window.
  bool PreCreateWindow(CREATESTRUCTA& cs) override;
  // bool OnCreate(const CREATESTRUCTA& cs): icon in the tray, then the mapper starts; false fails.
  bool OnCreate(const CREATESTRUCTA& cs) override;
  // bool OnDestroy(): stops the mapper and removes the icon; false: default processing follows.
  bool OnDestroy() override;
  // bool OnTimer(UINT_PTR id): the mapper's tick; false, so default processing follows.
  bool OnTimer(UINT_PTR id) override;
  // bool OnMessage(UINT, WPARAM, LPARAM, LRESULT&): true for the tray icon's callback message.
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  // bool OnCommand(UINT id): true for "Activate Program" and "Close".
  bool OnCommand(UINT id) override;

 private:
  void OnActivateProgram();
  static void SetNormalPriority();

  std::string m_editorPath;
  bool m_closing = false;
  TrayIcon m_trayIcon;

  Win32Seams m_seams;
  std::unique_ptr<RuntimeMapper> m_mapper;
};

}  // namespace kl
