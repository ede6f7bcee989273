#include "editor/win32/kloom_app.h"

#include <commctrl.h>

#include <cstdint>
#include <vector>

#include "editor/win32/kloom_doc.h"
#include "editor/win32/kloom_ids.h"
#include "editor/win32/kloom_view.h"
#include "editor/win32/main_frame.h"
#include "framework/document.h"
#include "framework/module.h"
#include "gamepad/pads.h"
#include "platform/win32/program_folder.h"
#include "platform/win32/win32_joystick.h"
#include "platform/win32/win32_registry.h"

namespace kl {

namespace {

// LoadLibrary's old convention: a handle below 32 is an error code.
bool IsModule(HMODULE module) {
  return reinterpret_cast<uintptr_t>(module) >= 32;
}

bool FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

uint8_t CountPads() {
  Win32Joystick joystick;
  Win32Registry registry;
  PadAccess pads(joystick, registry);
  return pads.EnumeratePads();
}

}  // namespace

CKLoomApp::CKLoomApp() : CWinApp(kEditorTitle) {
  m_frameStyle = kFrameStyle;
}

CKLoomApp::~CKLoomApp() = default;

std::string CKLoomApp::MapperCommandLine(const std::string& programFolder) {
  const std::string beside = programFolder + kMapperProgram;
  const std::string& path =
      !programFolder.empty() && FileExists(beside) ? beside : kMapperFixedPath;
  // Quoted: with "C:\Program files\..." unquoted, a "C:\Program.exe" would run instead.
  return "\"" + path + "\"";
}

bool CKLoomApp::LoadResourceModule(const std::string& path) {
  m_resources = LoadLibraryA(path.c_str());
  if (!IsModule(m_resources)) {
    m_resources = nullptr;
    return false;
  }
  AfxSetResourceHandle(m_resources);
  return true;
}

void CKLoomApp::FreeResourceModule() {
  AfxSetResourceHandle(nullptr);
  if (m_resources != nullptr) {
    FreeLibrary(m_resources);
    m_resources = nullptr;
  }
}

bool CKLoomApp::RegisterEditorClass() {
  WNDCLASSA wc = {};
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  // The framework puts its own procedure in place when the frame is made.
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = m_hInstance;
  wc.hIcon = AfxLoadIcon(kDocTemplateId);
  wc.hCursor = AfxLoadCursor(kArrowCursorId);
  if (wc.hCursor == nullptr) {
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(kArrowCursorId));
  }
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kEditorClassName;
  m_classRegistered = RegisterClassA(&wc) != 0;
  return m_classRegistered;
}

// The mapper's hidden window appears some time after WinExec returns.
bool CKLoomApp::WaitForMapperWindow() {
  for (int tries = 0; tries <= 50; ++tries) {
    if (FindWindowA(kMapperClassName, nullptr) != nullptr) {
      return true;
    }
    if (tries < 50) {
      Sleep(100);
    }
  }
  return false;
}

bool CKLoomApp::InitInstance() {
  const uint8_t pads = CountPads();
  // From the program's own folder only: a module of that name in the working
  // folder is not ours, and loading it would run its code.
  const std::string folder = ProgramFolder();
  if (folder.empty() || !LoadResourceModule(folder + kEditorResourceModule)) {
    return false;
  }
  if (!FirstInstance()) {
    return false;
  }
  if (pads == 0) {
    AfxMessageBox(kMsgNoPad, MB_ICONEXCLAMATION);
    return false;
  }
  WinExec(MapperCommandLine(folder).c_str(), SW_HIDE);
  if (!RegisterEditorClass()) {
    return false;
  }
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  if (!WaitForMapperWindow()) {
    AfxMessageBox(kMsgMapperMissing, MB_OK);
    return false;
  }
  m_moduleStrings = std::make_unique<ModuleStringSource>(m_resources);
  m_strings = std::make_unique<StartupStrings>(*m_moduleStrings);
  AddDocTemplate(std::make_unique<CSingleDocTemplate>(
      kDocTemplateId, [] { return std::make_unique<CKLoomDoc>(); },
      [this] {
        return std::make_unique<CMainFrame>([this] {
          auto* view =
              DocTemplate() != nullptr ? dynamic_cast<CKLoomView*>(DocTemplate()->View()) : nullptr;
          return view != nullptr && view->PreviewWide();
        });
      },
      [this] { return std::make_unique<CKLoomView>(*this); }));
  if (!ProcessShellCommand()) {
    return false;
  }
  m_strings->Load();
  return true;
}

bool CKLoomApp::FirstInstance() {
  HWND other = FindWindowA(kEditorClassName, nullptr);
  if (other == nullptr) {
    return true;
  }
  HWND popup = GetLastActivePopup(other);
  if (IsIconic(other)) {
    ::ShowWindow(other, SW_RESTORE);
  }
  SetForegroundWindow(popup != nullptr ? popup : other);
  return false;
}

int CKLoomApp::ExitInstance() {
  if (m_strings) {
    m_strings->Release();
  }
  // The frame and the view draw from the module and read the strings: they go first.
  AddDocTemplate(nullptr);
  m_pMainWnd = nullptr;
  const int code = CWinApp::ExitInstance();
  m_strings.reset();
  m_moduleStrings.reset();
  FreeResourceModule();
  if (m_classRegistered) {
    UnregisterClassA(kEditorClassName, m_hInstance);
    m_classRegistered = false;
  }
  return code;
}

}  // namespace kl
