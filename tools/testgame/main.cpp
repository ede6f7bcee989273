// testgame: a window titled "Test Game" that stands in for a game. It writes
// one line for every key and mouse message it receives to the file named on
// its command line, at once, so that a test can read what a program typed
// into it while it still runs. Lines starting with "# " are notes (ready,
// focus, closing). It takes the system keys itself, as games do, so that
// Alt and F10 never put it into menu mode.
//
//   testgame.exe LOGFILE
//
//   WM_KEYDOWN vk=0x41 scan=0x1e ext=0 alt=0 repeat=1 prev=0
//   WM_CHAR char=0x61 scan=0x1e ext=0
//   WM_LBUTTONDOWN x=12 y=34 buttons=0x0001
//   WM_MOUSEWHEEL x=300 y=200 buttons=0x0000 delta=120      (screen coordinates)
//
// With KLTESTGAME_QPC in the environment each message line also ends in
// " qpc=T" (QueryPerformanceCounter when it arrived).
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

HANDLE g_log = INVALID_HANDLE_VALUE;
// With KLTESTGAME_QPC set, every message line ends in " qpc=T", the
// QueryPerformanceCounter value when the message arrived, for latency
// measurements against a clock that other Wine processes share.
bool g_stamp = false;

void WriteLine(const char* text) {
  std::string line = text;
  if (g_stamp && line.rfind("# ", 0) != 0) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    line += " qpc=" + std::to_string(now.QuadPart);
  }
  line += "\n";
  DWORD written = 0;
  WriteFile(g_log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

const char* KeyMessageName(UINT message) {
  switch (message) {
    case WM_KEYDOWN:
      return "WM_KEYDOWN";
    case WM_KEYUP:
      return "WM_KEYUP";
    case WM_SYSKEYDOWN:
      return "WM_SYSKEYDOWN";
    case WM_SYSKEYUP:
      return "WM_SYSKEYUP";
    case WM_CHAR:
      return "WM_CHAR";
    case WM_SYSCHAR:
      return "WM_SYSCHAR";
    case WM_DEADCHAR:
      return "WM_DEADCHAR";
    case WM_SYSDEADCHAR:
      return "WM_SYSDEADCHAR";
    default:
      return nullptr;
  }
}

const char* MouseMessageName(UINT message) {
  switch (message) {
    case WM_MOUSEMOVE:
      return "WM_MOUSEMOVE";
    case WM_LBUTTONDOWN:
      return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP:
      return "WM_LBUTTONUP";
    case WM_LBUTTONDBLCLK:
      return "WM_LBUTTONDBLCLK";
    case WM_RBUTTONDOWN:
      return "WM_RBUTTONDOWN";
    case WM_RBUTTONUP:
      return "WM_RBUTTONUP";
    case WM_RBUTTONDBLCLK:
      return "WM_RBUTTONDBLCLK";
    case WM_MBUTTONDOWN:
      return "WM_MBUTTONDOWN";
    case WM_MBUTTONUP:
      return "WM_MBUTTONUP";
    case WM_MBUTTONDBLCLK:
      return "WM_MBUTTONDBLCLK";
    case WM_XBUTTONDOWN:
      return "WM_XBUTTONDOWN";
    case WM_XBUTTONUP:
      return "WM_XBUTTONUP";
    case WM_XBUTTONDBLCLK:
      return "WM_XBUTTONDBLCLK";
    case WM_MOUSEWHEEL:
      return "WM_MOUSEWHEEL";
    case WM_MOUSEHWHEEL:
      return "WM_MOUSEHWHEEL";
    default:
      return nullptr;
  }
}

void LogKey(const char* name, UINT message, WPARAM wParam, LPARAM lParam) {
  auto data = static_cast<unsigned>(lParam);
  unsigned scan = (data >> 16) & 0xFF;
  unsigned ext = (data >> 24) & 1;
  char line[160];
  if (message == WM_CHAR || message == WM_SYSCHAR || message == WM_DEADCHAR ||
      message == WM_SYSDEADCHAR) {
    std::snprintf(line, sizeof line, "%s char=0x%02x scan=0x%02x ext=%u", name,
                  static_cast<unsigned>(wParam), scan, ext);
  } else {
    std::snprintf(line, sizeof line, "%s vk=0x%02x scan=0x%02x ext=%u alt=%u repeat=%u prev=%u",
                  name, static_cast<unsigned>(wParam), scan, ext, (data >> 29) & 1, data & 0xFFFF,
                  (data >> 30) & 1);
  }
  WriteLine(line);
}

void LogMouse(const char* name, UINT message, WPARAM wParam, LPARAM lParam) {
  int x = static_cast<short>(LOWORD(lParam));
  int y = static_cast<short>(HIWORD(lParam));
  char line[160];
  int length = std::snprintf(line, sizeof line, "%s x=%d y=%d buttons=0x%04x", name, x, y,
                             static_cast<unsigned>(LOWORD(wParam)));
  if (message == WM_MOUSEWHEEL || message == WM_MOUSEHWHEEL) {
    std::snprintf(line + length, sizeof line - static_cast<size_t>(length), " delta=%d",
                  static_cast<short>(HIWORD(wParam)));
  } else if (message == WM_XBUTTONDOWN || message == WM_XBUTTONUP || message == WM_XBUTTONDBLCLK) {
    std::snprintf(line + length, sizeof line - static_cast<size_t>(length), " xbutton=%u",
                  static_cast<unsigned>(HIWORD(wParam)));
  }
  WriteLine(line);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (const char* name = KeyMessageName(message)) {
    LogKey(name, message, wParam, lParam);
    return 0;
  }
  if (const char* name = MouseMessageName(message)) {
    LogMouse(name, message, wParam, lParam);
    return message == WM_XBUTTONDOWN || message == WM_XBUTTONUP || message == WM_XBUTTONDBLCLK
               ? TRUE
               : 0;
  }
  switch (message) {
    case WM_SETFOCUS:
      WriteLine("# focus");
      return 0;
    case WM_KILLFOCUS:
      WriteLine("# focus lost");
      return 0;
    case WM_DESTROY:
      WriteLine("# closed");
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

// The log file: the command line, without surrounding quotes.
std::string LogPath(const char* commandLine) {
  std::string path = commandLine != nullptr ? commandLine : "";
  while (!path.empty() && path.back() == ' ') {
    path.pop_back();
  }
  while (!path.empty() && path.front() == ' ') {
    path.erase(path.begin());
  }
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
    path = path.substr(1, path.size() - 2);
  }
  return path;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  g_stamp = GetEnvironmentVariableA("KLTESTGAME_QPC", nullptr, 0) != 0;
  std::string path = LogPath(commandLine);
  if (path.empty()) {
    MessageBoxA(nullptr, "usage: testgame.exe LOGFILE", "Test Game", MB_OK);
    return 1;
  }
  g_log = CreateFileA(path.c_str(), GENERIC_WRITE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (g_log == INVALID_HANDLE_VALUE) {
    return 1;
  }
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "KlTestGame";
  if (RegisterClassExA(&wc) == 0) {
    return 1;
  }
  HWND window = CreateWindowExA(0, wc.lpszClassName, "Test Game", WS_OVERLAPPEDWINDOW, 100, 100,
                                640, 480, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) {
    return 1;
  }
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  SetForegroundWindow(window);
  SetFocus(window);
  char line[64];
  std::snprintf(line, sizeof line, "# ready hwnd=0x%llx",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
  WriteLine(line);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  CloseHandle(g_log);
  return 0;
}
