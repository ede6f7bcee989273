// A stand-in for the editor in the mapper's tests: a window titled "KeyLoom",
// as the editor's main window is, that comes to the front and writes one line
// for every key message it receives to "kloom-standin.log" beside itself. The
// mapper must send it nothing while it is in front.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

HANDLE g_log = INVALID_HANDLE_VALUE;

void WriteLine(const std::string& text) {
  const std::string line = text + "\n";
  DWORD written = 0;
  WriteFile(g_log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR: {
      char line[64];
      std::snprintf(line, sizeof line, "%s vk=0x%02x",
                    message == WM_CHAR ? "WM_CHAR" : "WM_KEYDOWN",
                    static_cast<unsigned>(wParam & 0xFF));
      WriteLine(line);
      break;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

std::string LogPath() {
  char path[MAX_PATH * 2] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder(path, length);
  const size_t slash = folder.find_last_of("\\/");
  folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
  return folder + "kloom-standin.log";
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  g_log = CreateFileA(LogPath().c_str(), GENERIC_WRITE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (g_log == INVALID_HANDLE_VALUE) return 1;
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "KlEditorStandIn";
  if (RegisterClassExA(&wc) == 0) return 1;
  HWND window = CreateWindowExA(0, wc.lpszClassName, "KeyLoom", WS_OVERLAPPEDWINDOW, 300, 200, 320,
                                240, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  SetForegroundWindow(window);
  SetFocus(window);
  WriteLine("# ready");
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  CloseHandle(g_log);
  return 0;
}
