#include "mapper/win32/main_frame.h"

#include <vector>

#include "framework/module.h"
#include "mapper/win32/orvo_ids.h"

namespace kl {

CMainFrame::CMainFrame() : m_trayIcon(kTrayIconId) {}

CMainFrame::~CMainFrame() = default;

std::string CMainFrame::ProgramFolder() {
  // Grows the buffer until the whole path fits: a cut path would point the
  // mapper at another folder.
  std::vector<char> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      std::string folder(path.data(), length);
      const size_t slash = folder.find_last_of("\\/");
      return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

bool CMainFrame::PreCreateWindow(CREATESTRUCTA& cs) {
  cs.lpszClass = kOrvoClassName;
  return CFrameWnd::PreCreateWindow(cs);
}

bool CMainFrame::OnCreate(const CREATESTRUCTA& cs) {
  if (!CFrameWnd::OnCreate(cs)) return false;

  m_trayIcon.SetNotificationWnd(m_hWnd, kTrayMessage);
  m_trayIcon.SetIcon(kTrayIconId);

  const std::string folder = ProgramFolder();
  m_editorPath = folder + kEditorProgram;
  m_timers = std::make_unique<Win32Timers>(m_hWnd);
  const MapperSeams seams{m_joystick, m_registry, m_input,   m_processes,
                          m_dosBox,   m_fs,       *m_timers, m_desktop};
  m_mapper = std::make_unique<RuntimeMapper>(seams, folder + kKeyFilesFolder);
  SetNormalPriority();
  m_mapper->Start();
  return true;
}

void CMainFrame::SetNormalPriority() {
  HANDLE self = OpenProcess(PROCESS_SET_INFORMATION, FALSE, GetCurrentProcessId());
  if (self == nullptr) return;
  SetPriorityClass(self, NORMAL_PRIORITY_CLASS);
  CloseHandle(self);
}

bool CMainFrame::OnDestroy() {
  // Keys the engine holds are let go here, or they would stay down in the
  // program in front after the mapper has gone.
  if (m_mapper) m_mapper->Shutdown();
  m_trayIcon.SetIcon(0u);
  return false;
}

bool CMainFrame::OnTimer(UINT_PTR id) {
  if (m_mapper) m_mapper->OnTimer(static_cast<uint32_t>(id));
  return false;
}

bool CMainFrame::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message != kTrayMessage) return CFrameWnd::OnMessage(message, wParam, lParam, result);
  result = m_trayIcon.OnTrayNotification(wParam, lParam);
  return true;
}

bool CMainFrame::OnCommand(UINT id) {
  switch (id) {
    case kActivateProgramCommand:
      OnActivateProgram();
      return true;
    case kCloseCommand:
      m_closing = true;
      Send(WM_CLOSE);
      return true;
    default:
      return CFrameWnd::OnCommand(id);
  }
}

void CMainFrame::OnActivateProgram() {
  SetForegroundWindow(m_hWnd);
  if (!m_mapper || m_mapper->PadCount() == 0) {
    AfxMessageBox(kNoPadMessageId, MB_OK);
    return;
  }
  // Quoted: the installation folder has spaces in its name, and an unquoted
  // path would let "C:\Program.exe" run in the editor's place.
  const std::string command = "\"" + m_editorPath + "\"";
  WinExec(command.c_str(), SW_SHOWNORMAL);
  m_mapper->SetEditorWindow(reinterpret_cast<WindowHandle>(FindWindowA(nullptr, kEditorTitle)));
}

}  // namespace kl
