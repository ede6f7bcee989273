#include "applet/win32/cpl_applet.h"

#include <cstring>

#include "applet/win32/applet_context.h"
#include "applet/win32/calibrate_tab.h"
#include "applet/win32/joystick_sheet.h"
#include "applet/win32/select_tab.h"
#include "applet/win32/test_tab.h"
#include "framework/module.h"
#include "framework/winapp.h"

namespace kl {

namespace {

CplAppletBase* g_applet = nullptr;

constexpr UINT kDefaultIconId = 1;
constexpr UINT kAppletIconId = 131;
constexpr UINT kAppletNameStringId = 57349;
constexpr UINT kSheetCaptionStringId = 14;

}  // namespace

void CopyCut(char* buffer, size_t size, const char* text) {
  if (size == 0) return;
  const size_t length = std::min(std::strlen(text), size - 1);
  std::memcpy(buffer, text, length);
  buffer[length] = '\0';
}

CplAppletBase::CplAppletBase() {
  g_applet = this;
}

CplAppletBase::~CplAppletBase() {
  if (g_applet == this) g_applet = nullptr;
}

CplAppletBase* CplAppletBase::Registered() {
  return g_applet;
}

LONG CplAppletBase::DoubleClick(HWND, LPARAM, LPARAM) {
  return 0;
}
LONG CplAppletBase::Exit() {
  return 0;
}
LONG CplAppletBase::GetCount() {
  return 1;
}
LONG CplAppletBase::Init() {
  return 1;
}
LONG CplAppletBase::Select(LPARAM, LPARAM) {
  return 1;
}
LONG CplAppletBase::Stop(LPARAM, LPARAM) {
  return 1;
}

LONG CplAppletBase::NewInquire(LPARAM, NEWCPLINFOA& info) {
  info.dwSize = sizeof info;
  info.dwFlags = 0;
  info.dwHelpContext = 0;
  info.lData = 0;
  info.hIcon = AfxLoadIcon(kDefaultIconId);
  CopyCut(info.szName, sizeof info.szName, "Joystick");
  CopyCut(info.szInfo, sizeof info.szInfo, "Raw Cpl Applet");
  info.szHelpFile[0] = '\0';
  return 1;
}

LONG JoystickApplet::NewInquire(LPARAM, NEWCPLINFOA& info) {
  info.dwSize = sizeof info;
  info.dwFlags = 0;
  info.dwHelpContext = 0;
  info.lData = 0;
  info.hIcon = AfxLoadIcon(kAppletIconId);
  CopyCut(info.szName, sizeof info.szName, AfxLoadString(kAppletNameStringId).c_str());
  CopyCut(info.szInfo, sizeof info.szInfo, "Joystick Control Panel Applet");
  info.szHelpFile[0] = '\0';
  return 0;
}

LONG JoystickApplet::DoubleClick(HWND, LPARAM, LPARAM) {
  // The control panel's window is not the sheet's owner: the sheet stands alone.
  JoystickSheet sheet(AfxLoadString(kSheetCaptionStringId), m_context);
  LoadAppletPaths(m_context.registry, m_context.paths);
  if (CWinApp* app = AfxGetApp()) app->m_helpFilePath = m_context.paths.helpFile;
  LoadAutoDetectFlag(m_context.registry, m_context.state.autoDetect);
  SelectTab select(m_context);
  CalibrateTab calibrate(m_context);
  TestTab test(m_context);
  sheet.AddPage(&select);
  sheet.AddPage(&calibrate);
  sheet.AddPage(&test);
  sheet.DoModal();
  return 0;
}

}  // namespace kl
