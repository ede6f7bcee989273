#include "editor/win32/view_ports.h"

#include <shellapi.h>

#include "editor/win32/dialogs.h"
#include "framework/filedialog.h"
#include "framework/module.h"
#include "framework/print.h"
#include "framework/winapp.h"

namespace kl {

namespace {

HFONT MakeArial(int width) {
  return CreateFontA(15, width, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_STRING_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, VARIABLE_PITCH,
                     "Arial");
}

}  // namespace

GdiCanvas::GdiCanvas(HMODULE resources, HWND view)
    : m_resources(resources), m_view(view), m_labelFont(MakeArial(5)), m_listFont(MakeArial(4)) {}

GdiCanvas::~GdiCanvas() {
  if (m_labelFont != nullptr) DeleteObject(m_labelFont);
  if (m_listFont != nullptr) DeleteObject(m_listFont);
}

void GdiCanvas::DrawBitmap(int id, const layout::Rect& rect) {
  m_painter.SetTarget(m_resources, m_view);
  m_painter.DrawBitmap(static_cast<UINT>(id), rect.left, rect.top, rect.right, rect.bottom);
}

void GdiCanvas::DrawText(int x, int y, const std::string& text, uint32_t colour, FontChoice font) {
  HDC dc = GetDC(m_view);
  if (dc == nullptr) return;
  HFONT chosen = font == FontChoice::kLabel ? m_labelFont : m_listFont;
  HGDIOBJ previousFont = chosen != nullptr ? SelectObject(dc, chosen) : nullptr;
  int previousMode = SetBkMode(dc, TRANSPARENT);
  COLORREF previousColour = SetTextColor(dc, colour);
  TextOutA(dc, x, y, text.data(), static_cast<int>(text.size()));
  SetTextColor(dc, previousColour);
  SetBkMode(dc, previousMode);
  if (previousFont != nullptr) SelectObject(dc, previousFont);
  ReleaseDC(m_view, dc);
}

HWND WindowPrompts::Frame() const {
  HWND frame = GetParent(m_view);
  return frame != nullptr ? frame : m_view;
}

int WindowPrompts::MessageBox(uint32_t stringId, uint32_t style) {
  return AfxMessageBox(stringId, style);
}

int WindowPrompts::Ask(const MessageRequest& request) {
  std::string text = AfxLoadString(request.stringId);
  if (text.empty()) return 0;
  if (!request.suffix.empty()) text += " " + request.suffix;
  std::string caption = request.captionId != 0 ? AfxLoadString(request.captionId) : std::string();
  if (caption.empty()) {
    CWinApp* app = AfxGetApp();
    caption = app != nullptr ? app->m_appName : std::string();
  }
  return ::MessageBoxA(Frame(), text.c_str(), caption.c_str(), request.style);
}

std::optional<std::string> WindowPrompts::OpenFile(const OpenFileRequest& request) {
  return OpenFileDialog(Frame(), {request.filter, request.defaultExtension, request.initialName});
}

std::optional<std::string> WindowPrompts::ProfileName(const std::string& initial) {
  return ProfileNameDialog(initial, Frame()).Ask();
}

std::optional<std::string> WindowPrompts::WebAddress(const std::string& initial) {
  return WebAddressDialog(initial, Frame()).Ask();
}

void WindowPrompts::About() {
  AboutDialog(Frame()).DoModal();
}

void WindowPrompts::ShowAssignmentTable(const AssignmentTable& table) {
  AssignmentTableDialog(table, Frame()).DoModal();
}

// The framework's print commands go to the view, as its menu would send them.
void WindowPrompts::Print(PrintCommand command) {
  const UINT id = command == PrintCommand::kPrint     ? kIdFilePrint
                  : command == PrintCommand::kPreview ? kIdFilePrintPreview
                                                      : kIdFilePrintSetup;
  ::SendMessageA(m_view, WM_COMMAND, id, 0);
}

HWND WindowShell::Frame() const {
  HWND frame = GetParent(m_view);
  return frame != nullptr ? frame : m_view;
}

void WindowShell::Repaint() {
  InvalidateRect(m_view, nullptr, FALSE);
  UpdateWindow(m_view);
}

void WindowShell::Open(const std::string& address) {
  ShellExecuteA(Frame(), "Open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void WindowShell::Minimize() {
  ShowWindow(Frame(), SW_MINIMIZE);
}

void WindowShell::Close() {
  PostMessageA(Frame(), WM_CLOSE, 0, 0);
}

void WindowShell::Resize(int width, int height) {
  SetWindowPos(Frame(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowShell::Help(uint32_t command, uint32_t data) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr || app->m_helpFilePath.empty()) return;
  WinHelpA(Frame(), app->m_helpFilePath.c_str(), command, data);
}

bool WindowShell::EditorActive() {
  HWND active = GetForegroundWindow();
  DWORD process = 0;
  if (active == nullptr) return false;
  GetWindowThreadProcessId(active, &process);
  return process == GetCurrentProcessId();
}

void WindowShell::SetUpTooltips(const std::vector<TooltipTool>& tools) {
  m_tooltips = std::make_unique<CToolTipCtrl>();
  if (!m_tooltips->Create(m_view, TTS_ALWAYSTIP)) return;
  for (const TooltipTool& tool : tools) {
    RECT rect = {tool.rect.left, tool.rect.top, tool.rect.right, tool.rect.bottom};
    m_tooltips->AddTool(tool.id, rect);
  }
}

}  // namespace kl
