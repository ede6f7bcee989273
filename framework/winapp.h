// The application object: one per program, living for the whole run.
// AfxWinMain drives it: InitInstance, then the message loop in Run, then
// ExitInstance; the loop ends when the main window is destroyed. Commands
// that no window handles are routed to the application last.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/cmdtarget.h"

namespace kl {

class CWnd;
class CSingleDocTemplate;

// The standard commands the application answers.
constexpr UINT kIdFileNew = 57600;
constexpr UINT kIdFileOpen = 57601;
constexpr UINT kIdFilePrintSetup = 57606;

class CWinApp : public CCmdTarget {
 public:
  // `appName` is the caption of the program's message boxes.
  explicit CWinApp(const char* appName = nullptr);
  ~CWinApp() override;

  // bool InitInstance(): true enters the message loop; false ends the program after ExitInstance.
  virtual bool InitInstance();
  // int ExitInstance(): the exit code; the base makes the program its own resource handle again.
  virtual int ExitInstance();
  // int Run(): runs the message loop until WM_QUIT and returns ExitInstance's code.
  virtual int Run();
  // bool PreTranslateMessage(MSG& msg): true when `msg` was consumed and must not be dispatched.
  virtual bool PreTranslateMessage(MSG& msg);

  // The application keeps one single-document template; the last one added counts.
  void AddDocTemplate(std::unique_ptr<CSingleDocTemplate> docTemplate);
  CSingleDocTemplate* DocTemplate() const { return m_docTemplate.get(); }
  // The command line's processing: this framework's documents open no files, so any
  // command line makes a new document. False when frame, document or view failed.
  bool ProcessShellCommand();
  // File New: frame, document and view from the template (made once), the document new.
  bool OnFileNew();

  HINSTANCE m_hInstance = nullptr;
  const char* m_lpCmdLine = "";
  int m_nCmdShow = SW_SHOWNORMAL;
  std::string m_appName;
  CWnd* m_pMainWnd = nullptr;
  // The program's own path with the extension ".HLP": the help file WinHelpA opens.
  std::string m_helpFilePath;

 protected:
  // bool OnCommand(UINT id): true for File New, File Open and File Print Setup.
  bool OnCommand(UINT id) override;

  int m_exitCode = 0;  // the WM_QUIT code the loop ended with
  // The frame style OnFileNew creates the template's frame with.
  DWORD m_frameStyle = WS_OVERLAPPEDWINDOW;

 private:
  std::unique_ptr<CSingleDocTemplate> m_docTemplate;
};

// The application object of this program, or null.
CWinApp* AfxGetApp();

// Runs `app` as the program: sets the module state up, calls InitInstance,
// Run or (when start-up fails) ExitInstance, and returns the exit code.
// The program's own instance is the resource handle again when it returns.
int AfxWinMain(CWinApp& app, HINSTANCE instance, const char* commandLine, int showCommand);

}  // namespace kl
