#include "framework/module.h"

#include "framework/winapp.h"
#include "framework/wnd.h"

namespace kl {

namespace {

HINSTANCE g_instance = nullptr;
HINSTANCE g_resources = nullptr;

}  // namespace

HINSTANCE AfxGetInstanceHandle() {
  return g_instance != nullptr ? g_instance : GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle() {
  return g_resources != nullptr ? g_resources : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE resources) {
  g_resources = resources;
}

void AfxSetInstanceHandle(HINSTANCE instance) {
  g_instance = instance;
}

std::string AfxLoadString(UINT id) {
  // Asking for a pointer into the resource gives the whole string, however long.
  const wchar_t* text = nullptr;
  int length = LoadStringW(AfxGetResourceHandle(), id, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || text == nullptr) {
    return {};
  }
  int bytes = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) {
    return {};
  }
  std::string result(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, length, result.data(), bytes, nullptr, nullptr);
  return result;
}

HICON AfxLoadIcon(UINT id) {
  return LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id));
}

HCURSOR AfxLoadCursor(UINT id) {
  return LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id));
}

HMENU AfxLoadMenu(UINT id) {
  return LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id));
}

int AfxMessageBox(const std::string& text, UINT type) {
  CWinApp* app = AfxGetApp();
  HWND owner = nullptr;
  const char* caption = nullptr;
  if (app != nullptr) {
    owner = app->m_pMainWnd != nullptr ? app->m_pMainWnd->m_hWnd : nullptr;
    if (!app->m_appName.empty()) {
      caption = app->m_appName.c_str();
    }
  }
  return MessageBoxA(owner, text.c_str(), caption, type);
}

int AfxMessageBox(UINT stringId, UINT type) {
  std::string text = AfxLoadString(stringId);
  if (text.empty()) {
    return 0;
  }
  return AfxMessageBox(text, type);
}

}  // namespace kl
