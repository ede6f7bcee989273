// EDITPAINT.EXE: KLOOM.EXE's drawing and start-up timed from outside, as a
// user sees them.
//
//   EDITPAINT.EXE repaint N KLOOM_RS.DLL
//       N full repaints of the running editor's view (invalidated, erased and
//       painted at once; the call returns when the editor's thread has
//       painted), then N paints of a window of this program that blits the
//       600 x 399 background picture from the same module and does nothing
//       else: the least a repaint of that picture costs here.
//   EDITPAINT.EXE start N KLOOM.EXE
//       N starts of the editor, the mapper not running before each: from
//       creating the process to the frame and view shown with nothing left
//       to paint. Each run ends the editor and the mapper again.
//   EDITPAINT.EXE end
//       ends the running editor (it asks nothing when nothing changed) and
//       the mapper, and waits until both windows are gone.
//   EDITPAINT.EXE front editor|other
//       brings the editor's frame (or any other top-level window of the
//       desktop that is not the editor's) to the front.
//
// Figures are wall times in milliseconds: median, 90th percentile, maximum.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/win32/wall_clock.h"

namespace {

constexpr char kEditorClass[] = "MyKLoomClass";
constexpr char kMapperClass[] = "MyOrvoClass";
constexpr UINT kMapperClose = 32772;
constexpr int kBackgroundId = 200;
constexpr UINT kRepaint = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN;

void Report(const char* what, std::vector<double> ms) {
  if (ms.empty()) {
    std::printf("%-28s no figures\n", what);
    return;
  }
  std::sort(ms.begin(), ms.end());
  const double median = ms[ms.size() / 2];
  const double p90 = ms[std::min(ms.size() - 1, ms.size() * 9 / 10)];
  std::printf("%-28s %5zu runs  median %8.3f  p90 %8.3f  max %8.3f ms\n", what, ms.size(), median,
              p90, ms.back());
}

// Waits up to `timeoutMs` for `done`, checking every millisecond.
template <typename Condition>
bool WaitFor(Condition done, DWORD timeoutMs) {
  const double end = NowMs() + timeoutMs;
  while (!done()) {
    if (NowMs() > end) return false;
    Sleep(1);
  }
  return true;
}

// --- the baseline: one blit of the background ----------------------------

HBITMAP g_background = nullptr;

LRESULT CALLBACK BlitProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) return 1;
  if (message != WM_PAINT) return DefWindowProcA(window, message, wParam, lParam);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, g_background);
  BitBlt(dc, 0, 0, 600, 399, source, 0, 0, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
  EndPaint(window, &ps);
  GdiFlush();
  return 0;
}

std::vector<double> TimeRepaints(HWND window, int count) {
  std::vector<double> ms;
  for (int i = 0; i < count; ++i) {
    const double start = NowMs();
    RedrawWindow(window, nullptr, nullptr, kRepaint);
    ms.push_back(NowMs() - start);
  }
  return ms;
}

int Repaint(int count, const char* modulePath) {
  HWND frame = FindWindowA(kEditorClass, nullptr);
  if (frame == nullptr) {
    std::fprintf(stderr, "EDITPAINT: the editor is not running\n");
    return 1;
  }
  // One repaint first, so that the pictures are loaded and cached alike.
  RedrawWindow(frame, nullptr, nullptr, kRepaint);
  Report("editor view, full repaint", TimeRepaints(frame, count));

  HMODULE module = LoadLibraryExA(modulePath, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  g_background = module == nullptr
                     ? nullptr
                     : static_cast<HBITMAP>(LoadImageA(module, MAKEINTRESOURCEA(kBackgroundId),
                                                       IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (g_background == nullptr) {
    std::fprintf(stderr, "EDITPAINT: no background picture in %s\n", modulePath);
    return 1;
  }
  WNDCLASSA wc = {};
  wc.lpfnWndProc = &BlitProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "KlBlitFloor";
  RegisterClassA(&wc);
  RECT outer = {0, 0, 600, 399};
  AdjustWindowRect(&outer, WS_POPUP, FALSE);
  HWND window = CreateWindowExA(0, wc.lpszClassName, "Blit", WS_POPUP | WS_VISIBLE, 0, 0,
                                outer.right - outer.left, outer.bottom - outer.top, nullptr,
                                nullptr, wc.hInstance, nullptr);
  RedrawWindow(window, nullptr, nullptr, kRepaint);
  Report("background blit alone", TimeRepaints(window, count));
  DestroyWindow(window);
  DeleteObject(g_background);
  FreeLibrary(module);
  return 0;
}

// --- start-up ---------------------------------------------------------------

bool NothingToPaint(HWND window) {
  return IsWindowVisible(window) && GetUpdateRect(window, nullptr, FALSE) == FALSE;
}

// Ends the editor (it asks nothing when nothing changed), then the mapper.
bool EndBoth() {
  if (HWND frame = FindWindowA(kEditorClass, nullptr)) PostMessageA(frame, WM_CLOSE, 0, 0);
  const bool editorEnded =
      WaitFor([] { return FindWindowA(kEditorClass, nullptr) == nullptr; }, 10000);
  if (HWND mapper = FindWindowA(kMapperClass, nullptr)) {
    PostMessageA(mapper, WM_COMMAND, kMapperClose, 0);
  }
  const bool mapperEnded =
      WaitFor([] { return FindWindowA(kMapperClass, nullptr) == nullptr; }, 10000);
  return editorEnded && mapperEnded;
}

int Start(int count, const char* editorPath) {
  std::string folder = editorPath;
  const size_t slash = folder.find_last_of("\\/");
  folder = slash == std::string::npos ? "." : folder.substr(0, slash);
  std::vector<double> ms;
  for (int i = 0; i < count; ++i) {
    if (FindWindowA(kEditorClass, nullptr) != nullptr ||
        FindWindowA(kMapperClass, nullptr) != nullptr) {
      std::fprintf(stderr, "EDITPAINT: the editor or the mapper is already running\n");
      return 1;
    }
    std::string commandLine = "\"" + std::string(editorPath) + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    const double start = NowMs();
    if (!CreateProcessA(editorPath, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &si, &pi)) {
      std::fprintf(stderr, "EDITPAINT: %s could not be started\n", editorPath);
      return 1;
    }
    const bool painted = WaitFor(
        [] {
          HWND frame = FindWindowA(kEditorClass, nullptr);
          HWND view = frame == nullptr ? nullptr : GetWindow(frame, GW_CHILD);
          return view != nullptr && NothingToPaint(frame) && NothingToPaint(view);
        },
        30000);
    const double end = NowMs();
    const bool ended = EndBoth() && WaitForSingleObject(pi.hProcess, 10000) == WAIT_OBJECT_0;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (!painted || !ended) {
      std::fprintf(stderr, "EDITPAINT: run %d: the editor %s\n", i + 1,
                   painted ? "or the mapper did not end" : "showed no painted frame in 30 s");
      return 1;
    }
    ms.push_back(end - start);
  }
  Report("start to first full paint", ms);
  return 0;
}

// --- bringing a window to the front ---------------------------------------

BOOL CALLBACK FindOther(HWND window, LPARAM found) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if (!IsWindowVisible(window) || std::string(name) == kEditorClass ||
      GetWindow(window, GW_OWNER) != nullptr || std::string(name) == "Shell_TrayWnd") {
    return TRUE;
  }
  RECT r;
  GetWindowRect(window, &r);
  if (r.right - r.left < 50 || r.bottom - r.top < 50) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

int Front(const std::string& which) {
  HWND window = nullptr;
  if (which == "editor") {
    window = FindWindowA(kEditorClass, nullptr);
  } else {
    EnumWindows(&FindOther, reinterpret_cast<LPARAM>(&window));
  }
  if (window == nullptr) {
    std::fprintf(stderr, "EDITPAINT: no %s window to bring to the front\n", which.c_str());
    return 1;
  }
  SetForegroundWindow(window);
  return WaitFor([&] { return GetForegroundWindow() == window; }, 5000) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  const int count = argc > 2 ? std::atoi(argv[2]) : 0;
  if (command == "repaint" && argc == 4 && count > 0) return Repaint(count, argv[3]);
  if (command == "start" && argc == 4 && count > 0) return Start(count, argv[3]);
  if (command == "front" && argc == 3) return Front(argv[2]);
  if (command == "end" && argc == 2) return EndBoth() ? 0 : 1;
  std::fprintf(stderr,
               "usage: EDITPAINT.EXE repaint N KLOOM_RS.DLL | start N KLOOM.EXE | "
               "end | front editor|other\n");
  return 2;
}
