// ORVO.EXE's hidden main frame, of the window class "MyOrvoClass" by which a
// second copy and the editor find it. It owns the tray icon and the runtime
// mapper with the Windows seams it runs on: the mapper's two timers tick on
// this window, and the icon's menu commands arrive here.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/framewnd.h"
#include "mapper/detect.h"
#include "mapper/win32/tray_icon.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_dosbox.h"
#include "platform/win32/win32_filesystem.h"
#include "platform/win32/win32_input.h"
#include "platform/win32/win32_joystick.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_timers.h"

namespace kl {

// The tray icon's callback message.
constexpr UINT kTrayMessage = WM_USER;

class CMainFrame : public CFrameWnd {
 public:
  CMainFrame();
  ~CMainFrame() override;

  // The folder of the running executable, with its trailing backslash.
  static std::string ProgramFolder();

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

  Win32Joystick m_joystick;
  Win32Registry m_registry;
  Win32Input m_input;
  Win32Processes m_processes;
  Win32DosBox m_dosBox;
  Win32FileSystem m_fs;
  Win32Desktop m_desktop;
  std::unique_ptr<Win32Timers> m_timers;
  std::unique_ptr<RuntimeMapper> m_mapper;
};

}  // namespace kl
