#include "framework/wnd.h"

#include "framework/module.h"
#include "framework/winapp.h"

namespace kl {

namespace {

// The property naming a window's object: unlike the window procedure, it
// stays when a control (a tooltip, say) subclasses the window.
constexpr char kObjectProperty[] = "KlFrameworkWnd";

// The object whose window CreateEx is making on this thread, for the hook.
thread_local CWnd* t_creating = nullptr;

POINT PointOf(LPARAM lParam) {
  return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

KeyArgs KeyOf(WPARAM wParam, LPARAM lParam) {
  auto bits = static_cast<DWORD>(lParam);
  KeyArgs key;
  key.code = static_cast<UINT>(wParam);
  key.repeat = bits & 0xFFFF;
  key.scan = (bits >> 16) & 0xFF;
  key.extended = (bits & (1u << 24)) != 0;
  key.altDown = (bits & (1u << 29)) != 0;
  key.previousDown = (bits & (1u << 30)) != 0;
  key.released = (bits & (1u << 31)) != 0;
  return key;
}

}  // namespace

// Links the window being created to its object before its first message,
// and subclasses it when its class has a procedure of its own.
LRESULT CALLBACK FrameworkCbtHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && t_creating != nullptr) {
    CWnd* self = t_creating;
    t_creating = nullptr;
    HWND window = reinterpret_cast<HWND>(wParam);
    self->Attach(window);
    auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
    if (current != &CWnd::WindowProc) {
      self->m_superProc = current;
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::WindowProc));
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

CWnd::~CWnd() {
  if (m_hWnd != nullptr && IsWindow(m_hWnd) &&
      GetWindowLongPtrA(m_hWnd, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this)) {
    SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
    RemovePropA(m_hWnd, kObjectProperty);
    if (m_superProc != nullptr) {
      SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_superProc));
    }
  }
}

void CWnd::Attach(HWND window) {
  m_hWnd = window;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetPropA(window, kObjectProperty, this);
}

bool CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menuOrId) {
  if (m_hWnd != nullptr) {
    return false;
  }
  CREATESTRUCTA cs = {};
  cs.dwExStyle = exStyle;
  cs.lpszClass = className;
  cs.lpszName = windowName;
  cs.style = static_cast<LONG>(style);
  cs.x = x;
  cs.y = y;
  cs.cx = width;
  cs.cy = height;
  cs.hwndParent = parent;
  cs.hMenu = menuOrId;
  cs.hInstance = AfxGetInstanceHandle();
  cs.lpCreateParams = this;
  bool go = false;
  try {
    go = PreCreateWindow(cs);
  } catch (...) {
    go = false;
  }
  if (!go || cs.lpszClass == nullptr) {
    return false;
  }
  // The hook is needed only when the class is not ours; with our own class
  // the window procedure links the object at WM_NCCREATE.
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  bool ours = GetClassInfoExA(cs.hInstance, cs.lpszClass, &wc) && wc.lpfnWndProc == &WindowProc;
  HHOOK hook = nullptr;
  CWnd* outer = t_creating;
  if (!ours) {
    hook = SetWindowsHookExA(WH_CBT, &FrameworkCbtHook, nullptr, GetCurrentThreadId());
    if (hook == nullptr) {
      return false;
    }
    t_creating = this;
  }
  HWND window =
      CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x,
                      cs.y, cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
  if (hook != nullptr) {
    UnhookWindowsHookEx(hook);
    t_creating = outer;
  }
  if (window == nullptr) {
    // A window that failed in WM_NCCREATE or WM_CREATE is already gone.
    m_hWnd = nullptr;
    m_superProc = nullptr;
    return false;
  }
  return true;
}

bool CWnd::SubclassWindow(HWND window) {
  if (m_hWnd != nullptr || window == nullptr) {
    return false;
  }
  Attach(window);
  m_superProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::WindowProc)));
  return true;
}

bool CWnd::DestroyWindow() {
  return m_hWnd != nullptr && ::DestroyWindow(m_hWnd) != FALSE;
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT milliseconds) {
  return m_hWnd != nullptr ? ::SetTimer(m_hWnd, id, milliseconds, nullptr) : 0;
}

bool CWnd::KillTimer(UINT_PTR id) {
  return m_hWnd != nullptr && ::KillTimer(m_hWnd, id) != FALSE;
}

CWnd* CWnd::FromHandle(HWND window) {
  return window != nullptr ? static_cast<CWnd*>(GetPropA(window, kObjectProperty)) : nullptr;
}

LRESULT CWnd::Send(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

bool CWnd::Post(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostMessageA(m_hWnd, message, wParam, lParam) != FALSE;
}

bool CWnd::RegisterWindowClass(const char* className, UINT style, HICON icon, HCURSOR cursor,
                               HBRUSH background) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = &WindowProc;
  wc.hInstance = AfxGetInstanceHandle();
  wc.hIcon = icon;
  wc.hCursor = cursor;
  wc.hbrBackground = background;
  wc.lpszClassName = className;
  return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CWnd::PreCreateWindow(CREATESTRUCTA&) {
  return true;
}
bool CWnd::OnCreate(const CREATESTRUCTA&) {
  return true;
}
bool CWnd::OnDestroy() {
  return false;
}
bool CWnd::OnClose() {
  return false;
}
bool CWnd::OnTimer(UINT_PTR) {
  return false;
}
bool CWnd::OnPaint() {
  return false;
}
bool CWnd::OnLButtonDown(UINT, POINT) {
  return false;
}
bool CWnd::OnLButtonUp(UINT, POINT) {
  return false;
}
bool CWnd::OnLButtonDblClk(UINT, POINT) {
  return false;
}
bool CWnd::OnRButtonDown(UINT, POINT) {
  return false;
}
bool CWnd::OnRButtonUp(UINT, POINT) {
  return false;
}
bool CWnd::OnMouseMove(UINT, POINT) {
  return false;
}
bool CWnd::OnKeyDown(const KeyArgs&) {
  return false;
}
bool CWnd::OnKeyUp(const KeyArgs&) {
  return false;
}
bool CWnd::OnSysKeyDown(const KeyArgs&) {
  return false;
}
bool CWnd::OnSysKeyUp(const KeyArgs&) {
  return false;
}
bool CWnd::OnChar(const KeyArgs&) {
  return false;
}
bool CWnd::OnCommandCode(UINT, UINT, HWND) {
  return false;
}
bool CWnd::OnNotify(UINT, NMHDR&, LRESULT&) {
  return false;
}
bool CWnd::OnEraseBkgnd(HDC, bool&) {
  return false;
}
bool CWnd::OnSize(UINT, int, int) {
  return false;
}
bool CWnd::OnGetMinMaxInfo(MINMAXINFO&) {
  return false;
}
bool CWnd::OnHelp(const HELPINFO&) {
  return false;
}
bool CWnd::OnContextMenu(HWND, POINT) {
  return false;
}
bool CWnd::PreTranslateMessage(MSG&) {
  return false;
}
bool CWnd::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) {
  return false;
}
void CWnd::PostNcDestroy() {}

LRESULT CWnd::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_superProc != nullptr) {
    return CallWindowProcA(m_superProc, m_hWnd, message, wParam, lParam);
  }
  return DefWindowProcA(m_hWnd, message, wParam, lParam);
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_CREATE:
      result = OnCreate(*reinterpret_cast<const CREATESTRUCTA*>(lParam)) ? 0 : -1;
      return true;
    case WM_DESTROY:
      return OnDestroy();
    case WM_CLOSE:
      return OnClose();
    case WM_TIMER:
      return OnTimer(static_cast<UINT_PTR>(wParam));
    case WM_PAINT:
      return OnPaint();
    case WM_LBUTTONDOWN:
      return OnLButtonDown(static_cast<UINT>(wParam), PointOf(lParam));
    case WM_LBUTTONUP:
      return OnLButtonUp(static_cast<UINT>(wParam), PointOf(lParam));
    case WM_LBUTTONDBLCLK:
      return OnLButtonDblClk(static_cast<UINT>(wParam), PointOf(lParam));
    case WM_RBUTTONDOWN:
      return OnRButtonDown(static_cast<UINT>(wParam), PointOf(lParam));
    case WM_RBUTTONUP:
      return OnRButtonUp(static_cast<UINT>(wParam), PointOf(lParam));
    case WM_MOUSEMOVE:
      return OnMouseMove(static_cast<UINT>(wParam), PointOf(lParam));
    case WM_KEYDOWN:
      return OnKeyDown(KeyOf(wParam, lParam));
    case WM_KEYUP:
      return OnKeyUp(KeyOf(wParam, lParam));
    case WM_SYSKEYDOWN:
      return OnSysKeyDown(KeyOf(wParam, lParam));
    case WM_SYSKEYUP:
      return OnSysKeyUp(KeyOf(wParam, lParam));
    case WM_CHAR:
      return OnChar(KeyOf(wParam, lParam));
    case WM_ERASEBKGND: {
      bool erased = false;
      if (!OnEraseBkgnd(reinterpret_cast<HDC>(wParam), erased)) {
        return false;
      }
      result = erased ? 1 : 0;
      return true;
    }
    case WM_SIZE:
      return OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
    case WM_GETMINMAXINFO:
      return lParam != 0 && OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
    case WM_HELP:
      if (lParam == 0 || !OnHelp(*reinterpret_cast<const HELPINFO*>(lParam))) {
        return false;
      }
      result = TRUE;
      return true;
    case WM_CONTEXTMENU:
      return OnContextMenu(reinterpret_cast<HWND>(wParam), PointOf(lParam));
    case WM_NOTIFY:
      if (lParam == 0) {
        return false;
      }
      return OnNotify(static_cast<UINT>(wParam), *reinterpret_cast<NMHDR*>(lParam), result);
    case WM_COMMAND: {
      UINT code = HIWORD(wParam);
      UINT id = LOWORD(wParam);
      auto control = reinterpret_cast<HWND>(lParam);
      if (OnCommandCode(code, id, control)) {
        return true;
      }
      // Menus (code 0) and accelerators (code 1) come without a control;
      // of the controls' notifications only a click (BN_CLICKED, 0) is a
      // command: a list's LBN_SELCHANGE is 1 as well.
      if (control == nullptr ? code <= 1 : code == BN_CLICKED) {
        return OnCmdMsg(id);
      }
      return OnMessage(message, wParam, lParam, result);
    }
    default:
      return OnMessage(message, wParam, lParam, result);
  }
}

LRESULT CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  bool handled = false;
  try {
    handled = OnWndMsg(message, wParam, lParam, result);
  } catch (...) {
    if (message == WM_CREATE) {
      return -1;
    }
    handled = false;
  }
  if (handled) {
    return result;
  }
  return DefaultProc(message, wParam, lParam);
}

void CWnd::AfterNcDestroy() {
  HWND window = m_hWnd;
  m_hWnd = nullptr;
  if (window != nullptr) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    RemovePropA(window, kObjectProperty);
  }
  m_superProc = nullptr;
  CWinApp* app = AfxGetApp();
  if (app != nullptr && app->m_pMainWnd == this) {
    app->m_pMainWnd = nullptr;
    PostQuitMessage(0);
  }
  try {
    PostNcDestroy();
  } catch (...) {
    // Nothing is left to undo: the window is gone either way.
  }
}

LRESULT CALLBACK CWnd::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<CWnd*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr && message == WM_NCCREATE) {
    auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    self = static_cast<CWnd*>(cs->lpCreateParams);
    if (self != nullptr) {
      self->Attach(window);
    }
  }
  if (self == nullptr) {
    return DefWindowProcA(window, message, wParam, lParam);
  }
  LRESULT result = self->Dispatch(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    self->AfterNcDestroy();
  }
  return result;
}

}  // namespace kl
