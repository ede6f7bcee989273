#include "framework/winapp.h"

#include "framework/module.h"
#include "framework/wnd.h"

namespace kl {

namespace {

CWinApp* g_app = nullptr;

}  // namespace

CWinApp* AfxGetApp() {
  return g_app;
}

CWinApp::CWinApp(const char* appName) : m_appName(appName != nullptr ? appName : "") {
  g_app = this;
}

CWinApp::~CWinApp() {
  if (g_app == this) {
    g_app = nullptr;
  }
}

bool CWinApp::InitInstance() {
  return true;
}

int CWinApp::ExitInstance() {
  AfxSetResourceHandle(m_hInstance);
  return m_exitCode;
}

bool CWinApp::PreTranslateMessage(MSG&) {
  return false;
}

int CWinApp::Run() {
  MSG msg = {};
  for (;;) {
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      m_exitCode = static_cast<int>(msg.wParam);
      break;
    }
    if (got == -1) {
      m_exitCode = -1;
      break;
    }
    bool consumed = false;
    try {
      consumed = PreTranslateMessage(msg);
    } catch (...) {
      consumed = false;
    }
    if (!consumed) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return ExitInstance();
}

int AfxWinMain(CWinApp& app, HINSTANCE instance, const char* commandLine, int showCommand) {
  AfxSetInstanceHandle(instance);
  AfxSetResourceHandle(instance);
  app.m_hInstance = instance;
  app.m_lpCmdLine = commandLine != nullptr ? commandLine : "";
  app.m_nCmdShow = showCommand;
  int code = -1;
  try {
    if (app.InitInstance()) {
      code = app.Run();
    } else {
      if (app.m_pMainWnd != nullptr) {
        app.m_pMainWnd->DestroyWindow();
        // Destroying the main window asked the loop that never ran to end.
        MSG quit;
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
      }
      code = app.ExitInstance();
    }
  } catch (...) {
    code = -1;
  }
  // Whatever ExitInstance did, nothing may load from a module that may be gone.
  AfxSetResourceHandle(instance);
  return code;
}

}  // namespace kl
