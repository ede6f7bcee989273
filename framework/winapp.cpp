#include "framework/winapp.h"

#include "framework/document.h"
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
  // The template's frame is gone with the loop; its objects go while this is still the app.
  m_docTemplate.reset();
  if (g_app == this) {
    g_app = nullptr;
  }
}

void CWinApp::AddDocTemplate(std::unique_ptr<CSingleDocTemplate> docTemplate) {
  m_docTemplate = std::move(docTemplate);
}

bool CWinApp::ProcessShellCommand() {
  return OnFileNew();
}

bool CWinApp::OnFileNew() {
  return m_docTemplate != nullptr && m_docTemplate->OpenNewDocument(m_frameStyle, m_nCmdShow);
}

// File Open finds nothing to open (documents read no files) and Print Setup
// belongs to the printing a program adds; both are taken so that nothing else acts on them.
bool CWinApp::OnCommand(UINT id) {
  switch (id) {
    case kIdFileNew:
      OnFileNew();
      return true;
    case kIdFileOpen:
    case kIdFilePrintSetup:
      return true;
    default:
      return false;
  }
}

bool CWinApp::InitInstance() {
  return true;
}

int CWinApp::ExitInstance() {
  AfxSetResourceHandle(m_hInstance);
  return m_exitCode;
}

// The framework windows from the message's own up to its top-level window
// each get a look at it, innermost first.
bool CWinApp::PreTranslateMessage(MSG& msg) {
  HWND window = msg.hwnd;
  while (window != nullptr) {
    CWnd* target = CWnd::FromHandle(window);
    if (target != nullptr && target->PreTranslateMessage(msg)) {
      return true;
    }
    // A pop-up's "parent" is its owner, which is another window's business.
    bool child = (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) != 0;
    window = child ? GetParent(window) : nullptr;
  }
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
  char path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameA(instance, path, MAX_PATH);
  if (length > 0 && length < MAX_PATH) {
    std::string help(path, length);
    size_t dot = help.find_last_of(".\\");
    if (dot != std::string::npos && help[dot] == '.') {
      help.erase(dot);
    }
    app.m_helpFilePath = help + ".HLP";
  }
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
