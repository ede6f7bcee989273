#include "mapper/win32/main_frame.h"

#include "framework/module.h"
#include "mapper/win32/orvo_ids.h"

namespace kl {

CMainFrame::CMainFrame()
    : m_trayIcon(kTrayIconId), m_seams(AfxGetInstanceHandle(), AfxGetResourceHandle()) {}

CMainFrame::~CMainFrame() = default;

bool CMainFrame::PreCreateWindow(CREATESTRUCTA& cs) {
  cs.lpszClass = kOrvoClassName;
  return CFrameWnd::PreCreateWindow(cs);
}

bool CMainFrame::OnCreate(const CREATESTRUCTA& cs) {
  if (!CFrameWnd::OnCreate(cs)) return false;

  m_trayIcon.SetNotificationWnd(m_hWnd, kTrayMessage);
  m_trayIcon.SetIcon(kTrayIconId);

  m_editorPath = m_seams.Folder() + kEditorProgram;
  m_seams.SetTimerWindow(m_hWnd);
  const MapperSeams seams{m_seams.GetJoystick(),  m_seams.GetRegistry(), m_seams.GetInput(),
                          m_seams.GetProcesses(), m_seams.GetDosBox(),   m_seams.GetFileSystem(),
                          m_seams.GetTimers(),    m_seams.GetDesktop()};
  m_mapper = std::make_unique<RuntimeMapper>(seams, m_seams.Folder() + kKeyFilesFolder);
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
  if (!m_mapper || m_mapper->ActivateProgram() == Activation::kNoPad) {
    AfxMessageBox(kNoPadMessageId, MB_OK);
    return;
  }
  // Quoted: the installation folder has spaces in its name, and an unquoted
  // path would let "C:\Program.exe" run in the editor's place.
  const std::string command = "\"" + m_editorPath + "\"";
  WinExec(command.c_str(), SW_SHOWNORMAL);
  m_mapper->EditorStarted();
}

}  // namespace kl
