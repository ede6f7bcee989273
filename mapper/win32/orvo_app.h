// ORVO.EXE's application: loads the resource module, lets only one copy run
// (by the window class "MyOrvoClass"), and makes the hidden main frame that
// carries the tray icon and the runtime mapper.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/winapp.h"
#include "mapper/win32/main_frame.h"

namespace kl {

class COrvoApp : public CWinApp {
 public:
  COrvoApp();
  ~COrvoApp() override;

  // bool InitInstance(): true when the frame runs; false ends the program silently.
  bool InitInstance() override;
  // int ExitInstance(): frees the frame, the resource module and the window class.
  int ExitInstance() override;
  // bool FirstInstance(): true when no other copy runs; otherwise brings that copy forward.
  virtual bool FirstInstance();

 protected:
  // bool OnCommand(UINT id): true for the About command.
  bool OnCommand(UINT id) override;

 private:
  bool RegisterFrameClass();

  HINSTANCE m_resources = nullptr;
  bool m_classRegistered = false;
  std::unique_ptr<CMainFrame> m_frame;
};

}  // namespace kl
