#include "mapper/win32/orvo_app.h"

#include <cstdint>
#include <string>

#include "framework/dialog.h"
#include "framework/module.h"
#include "mapper/win32/orvo_ids.h"
#include "platform/win32/program_folder.h"

namespace kl {

namespace {

// LoadLibrary's old convention: a handle below 32 is an error code.
bool IsModule(HINSTANCE module) {
  return reinterpret_cast<uintptr_t>(module) >= 32;
}

}  // namespace

COrvoApp::COrvoApp() : CWinApp("KeyLoom Mapper") {}

COrvoApp::~COrvoApp() = default;

bool COrvoApp::InitInstance() {
  // From the program's own folder only: a module of that name in the working
  // folder or on the path is not ours, and loading it would run its code.
  const std::string module = ProgramFolder() + kOrvoResourceModule;
  m_resources = LoadLibraryA(module.c_str());
  if (!IsModule(m_resources)) {
    m_resources = nullptr;
    return false;
  }
  AfxSetResourceHandle(m_resources);

  if (!FirstInstance()) return false;
  if (!RegisterFrameClass()) return false;

  m_frame = std::make_unique<CMainFrame>();
  if (!m_frame->LoadFrame(kFrameResourceId, WS_OVERLAPPEDWINDOW | kFwsAddToTitle)) return false;
  m_frame->ShowWindow(SW_HIDE);
  m_frame->UpdateWindow();
  m_pMainWnd = m_frame.get();
  return true;
}

bool COrvoApp::FirstInstance() {
  HWND other = FindWindowA(kOrvoClassName, nullptr);
  if (other == nullptr) return true;
  if (IsIconic(other)) ::ShowWindow(other, SW_RESTORE);
  SetForegroundWindow(GetLastActivePopup(other));
  return false;
}

bool COrvoApp::RegisterFrameClass() {
  HICON icon = AfxLoadIcon(kFrameResourceId);
  HCURSOR cursor = AfxLoadCursor(kArrowCursorId);
  if (cursor == nullptr) cursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(kArrowCursorId));
  m_classRegistered =
      CWnd::RegisterWindowClass(kOrvoClassName, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, icon, cursor,
                                reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  return m_classRegistered;
}

int COrvoApp::ExitInstance() {
  // The frame's icon and texts come from the module: it goes first.
  if (m_frame && m_frame->GetSafeHwnd() != nullptr) m_frame->DestroyWindow();
  m_frame.reset();
  m_pMainWnd = nullptr;
  const int code = CWinApp::ExitInstance();
  if (m_resources != nullptr) {
    FreeLibrary(m_resources);
    m_resources = nullptr;
  }
  if (m_classRegistered) {
    UnregisterClassA(kOrvoClassName, m_hInstance);
    m_classRegistered = false;
  }
  return code;
}

bool COrvoApp::OnCommand(UINT id) {
  if (id != kAboutCommand) return CWinApp::OnCommand(id);
  CDialog about(kAboutDialogId);
  about.DoModal();
  return true;
}

}  // namespace kl
