// FLOOR.EXE: the least a tray-style Win32 program costs on this platform. One
// hidden top-level window with a 40 ms and a 1500 ms timer (the runtime
// mapper's two), a message loop, and nothing done in either timer. The
// runtime mapper's CPU time and memory are measured against it.
//
//   FLOOR.EXE [SECONDS] [editor]
//
// With "editor" it has the editor's three timers instead (20 ms, 1000 ms and
// 220 ms, the ones an active editor runs), as the floor of the editor's idle
// CPU. It ends on WM_CLOSE (or after SECONDS, when given and not 0).
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollPeriod = 40;
constexpr UINT_PTR kMonitorTimer = 2;
constexpr UINT kMonitorPeriod = 1500;
constexpr UINT_PTR kEndTimer = 9;

struct Period {
  UINT_PTR id;
  UINT ms;
};
constexpr Period kMapperTimers[] = {{kPollTimer, kPollPeriod}, {kMonitorTimer, kMonitorPeriod}};
constexpr Period kEditorTimers[] = {{1, 20}, {2, 1000}, {3, 220}};

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kEndTimer) DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = &WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = "KlFloorClass";
  if (RegisterClassA(&wc) == 0) return 1;
  HWND window = CreateWindowExA(0, wc.lpszClassName, "Floor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                instance, nullptr);
  if (window == nullptr) return 1;
  ShowWindow(window, SW_HIDE);
  const bool editor = commandLine != nullptr && std::strstr(commandLine, "editor") != nullptr;
  if (editor) {
    for (const Period& p : kEditorTimers) SetTimer(window, p.id, p.ms, nullptr);
  } else {
    for (const Period& p : kMapperTimers) SetTimer(window, p.id, p.ms, nullptr);
  }
  const long seconds = commandLine != nullptr ? std::strtol(commandLine, nullptr, 10) : 0;
  if (seconds > 0 && seconds < 86400) {
    SetTimer(window, kEndTimer, static_cast<UINT>(seconds * 1000), nullptr);
  }
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
