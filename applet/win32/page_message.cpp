#include "applet/win32/page_message.h"

#include "framework/module.h"
#include "framework/propsheet.h"
#include "framework/winapp.h"

namespace kl {

int ShowPageMessage(const CPropertyPage& page, uint32_t stringId, UINT type) {
  const std::string text = AfxLoadString(stringId);
  if (text.empty()) return 0;
  HWND owner = page.GetSheetWindow();
  if (owner == nullptr) owner = page.GetSafeHwnd();
  const CWinApp* app = AfxGetApp();
  const char* caption =
      app != nullptr && !app->m_appName.empty() ? app->m_appName.c_str() : nullptr;
  return MessageBoxA(owner, text.c_str(), caption, type);
}

}  // namespace kl
