#include "editor/editor_world.h"

#include <cstdio>

namespace kl::editortest {

namespace {

using orvotest::InstallFolder;
using orvotest::KeyFolder;
using winetest::ProgramFolder;
using winetest::ReadWholeFile;
using winetest::WaitUntil;

bool Copy(const std::string& name, std::string& error) {
  const std::string from = ProgramFolder() + name;
  const std::string to = InstallFolder() + name;
  if (CopyFileA(from.c_str(), to.c_str(), FALSE)) return true;
  error = "cannot copy " + from + " to " + to;
  return false;
}

void EmptyFolder(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      DeleteFileA((folder + found.cFileName).c_str());
    }
  } while (FindNextFileA(find, &found));
  FindClose(find);
}

// The frame's topmost pop-up of the editor's process that is a dialog.
struct DialogSearch {
  DWORD process;
  HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<DialogSearch*>(data);
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if (orvotest::ProcessOf(window) == search->process && std::string(name) == "#32770" &&
      IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectStatic(HWND child, LPARAM data) {
  char name[64] = {};
  GetClassNameA(child, name, sizeof name);
  if (std::string(name) == "Static") {
    char text[1024] = {};
    GetWindowTextA(child, text, sizeof text);
    auto* joined = reinterpret_cast<std::string*>(data);
    if (text[0] != '\0') *joined += (joined->empty() ? "" : "\n") + std::string(text);
  }
  return TRUE;
}

}  // namespace

std::string UnixPath(const std::string& path) {
  using ToUnix = char*(CDECL*)(const WCHAR*);
  FARPROC found = GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
  auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void (*)()>(found));
  if (toUnix == nullptr) return {};
  WCHAR wide[MAX_PATH] = {};
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
  char* converted = toUnix(wide);
  if (converted == nullptr) return {};
  std::string result = converted;
  HeapFree(GetProcessHeap(), 0, converted);
  return result;
}

// A Unix program's process handle is never signalled under Wine, so the
// shell that runs it leaves a file behind when it is done, and that is waited for.
bool RunUnix(const std::string& command) {
  static int serial = 0;
  const std::string marker = winetest::TempPath("unix-done-" + std::to_string(++serial));
  DeleteFileA(marker.c_str());
  const std::string unixMarker = UnixPath(marker);
  if (unixMarker.empty()) return false;
  std::string line = "Z:\\bin\\sh -c \"" + command + "; : > '" + unixMarker + "'\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    return false;
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  const bool done = WaitUntil(
      [&] { return GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000);
  DeleteFileA(marker.c_str());
  return done;
}

bool InstallEditor(std::string& error) {
  CreateDirectoryA(InstallFolder().c_str(), nullptr);
  CreateDirectoryA(KeyFolder().c_str(), nullptr);
  EmptyFolder(KeyFolder());
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Vornatek\\GamePad2", 0, KEY_ALL_ACCESS, &key) ==
      ERROR_SUCCESS) {
    RegDeleteValueA(key, "Setting");
    RegCloseKey(key);
  }
  for (const char* name :
       {"ORVO.EXE", "ORVO_RS.DLL", "KLOOM.EXE", "KLOOM_RS.DLL", "winmm.dll", "winmm_real.dll"}) {
    if (!Copy(name, error)) return false;
  }
  // The help file, where the test has it beside itself.
  const std::string help = ProgramFolder() + "KLOOM.HLP";
  if (GetFileAttributesA(help.c_str()) != INVALID_FILE_ATTRIBUTES && !Copy("KLOOM.HLP", error)) {
    return false;
  }
  return true;
}

void EndAll() {
  for (const char* name : {"MyKLoomClass", "MyOrvoClass"}) {
    for (HWND left : orvotest::WindowsOfClass(name)) PostMessageA(left, WM_CLOSE, 0, 0);
    WaitUntil([&] { return orvotest::WindowsOfClass(name).empty(); }, 10000);
  }
}

bool Xdo(const std::string& args) {
  return RunUnix("xdotool " + args);
}

bool TypeKeys(const std::string& keys) {
  // Inside Wine's virtual desktop the X focus must be on the desktop's window.
  return RunUnix(
      "xdotool search --name 'Wine desktop' windowfocus --sync; xdotool key --delay 60 " + keys);
}

bool Editor::Start() {
  return m_process.Start(winetest::Quote(InstallFolder() + "KLOOM.EXE"));
}

bool Editor::WaitForFrame(DWORD timeoutMs) {
  m_frame = orvotest::WaitForProcessWindow(ProcessId(), "MyKLoomClass", timeoutMs);
  if (m_frame == nullptr) return false;
  WaitUntil([&] {
    m_view = FindWindowExA(m_frame, nullptr, nullptr, nullptr);
    return m_view != nullptr && IsWindowVisible(m_frame);
  });
  return m_view != nullptr;
}

bool Editor::Focus() {
  return orvotest::BringToFront(m_frame) &&
         WaitUntil([&] { return GetForegroundWindow() == m_frame; }, 5000);
}

bool Editor::MoveTo(int x, int y) {
  POINT p{x, y};
  ClientToScreen(m_view, &p);
  return Xdo("mousemove " + std::to_string(p.x) + " " + std::to_string(p.y));
}

bool Editor::Click(int x, int y) {
  POINT p{x, y};
  ClientToScreen(m_view, &p);
  return Xdo("mousemove " + std::to_string(p.x) + " " + std::to_string(p.y) + " click 1");
}

bool Editor::ClickShowing(layout::Point p, const layout::Rect& watch) {
  const std::vector<uint32_t> before = Settled(watch);
  return Click(p.x, p.y) && WaitForChange(watch, before);
}

bool Editor::Keys(const std::string& keys) {
  // The keys go to the window in front: the frame, or a dialog it shows.
  HWND front = GetForegroundWindow();
  if (front == nullptr || orvotest::ProcessOf(front) != ProcessId()) {
    if (!Focus()) return false;
  }
  return TypeKeys(keys);
}

bool Editor::KeysShowing(const std::string& keys, const layout::Rect& watch) {
  const std::vector<uint32_t> before = Settled(watch);
  return Keys(keys) && WaitForChange(watch, before);
}

std::vector<uint32_t> Editor::Pixels(const layout::Rect& rect) const {
  POINT origin{rect.left, rect.top};
  ClientToScreen(m_view, &origin);
  const int width = rect.Width();
  const int height = rect.Height();
  std::vector<uint32_t> pixels;
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return pixels;
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (memory != nullptr && bitmap != nullptr) {
    HGDIOBJ previous = SelectObject(memory, bitmap);
    if (BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY)) {
      GdiFlush();
      const auto* first = static_cast<const uint32_t*>(bits);
      pixels.assign(first, first + static_cast<size_t>(width) * height);
      for (uint32_t& pixel : pixels) pixel &= 0x00FFFFFF;
    }
    SelectObject(memory, previous);
  }
  if (bitmap != nullptr) DeleteObject(bitmap);
  if (memory != nullptr) DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

bool Editor::WaitForChange(const layout::Rect& rect, const std::vector<uint32_t>& before,
                           DWORD timeoutMs) const {
  const bool changed = !before.empty() && WaitUntil(
                                              [&] {
                                                const std::vector<uint32_t> now = Pixels(rect);
                                                return !now.empty() && now != before;
                                              },
                                              timeoutMs);
  if (changed) Settled(rect);
  return changed;
}

std::vector<uint32_t> Editor::Settled(const layout::Rect& rect, DWORD quietMs) const {
  std::vector<uint32_t> last = Pixels(rect);
  DWORD quietSince = GetTickCount();
  WaitUntil(
      [&] {
        std::vector<uint32_t> now = Pixels(rect);
        if (now != last) {
          last = std::move(now);
          quietSince = GetTickCount();
        }
        return GetTickCount() - quietSince >= quietMs;
      },
      5000);
  return last;
}

HWND Editor::WaitForDialog(DWORD timeoutMs) const {
  DialogSearch search{ProcessId(), nullptr};
  WaitUntil(
      [&] {
        search.found = nullptr;
        EnumWindows(&FindDialog, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      timeoutMs);
  return search.found;
}

std::string Editor::DialogText(HWND dialog) {
  std::string joined;
  EnumChildWindows(dialog, &CollectStatic, reinterpret_cast<LPARAM>(&joined));
  return joined;
}

std::string ScreenPng(const std::string& name) {
  const std::string folder = ProgramFolder() + "screenshots\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string path = folder + name + ".png";
  DeleteFileA(path.c_str());
  const std::string unixPath = UnixPath(path);
  if (!unixPath.empty() && RunUnix("import -window root '" + unixPath + "'")) return path;
  // Without the X tool the screen is copied through GDI.
  return orvotest::SaveScreenshot(GetDesktopWindow(), name);
}

bool LooksSelected(const std::vector<uint32_t>& pixels) {
  size_t dark = 0;
  for (uint32_t pixel : pixels) {
    const uint32_t sum = ((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF);
    if (sum < 3 * 96) ++dark;
  }
  return !pixels.empty() && dark * 2 > pixels.size();
}

std::string EditorString(UINT id) {
  HMODULE module =
      LoadLibraryExA((ProgramFolder() + "KLOOM_RS.DLL").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  char text[1024] = {};
  if (module != nullptr) {
    LoadStringA(module, id, text, sizeof text);
    FreeLibrary(module);
  }
  return text;
}

bool RunKltoolEditor(const std::string& script, KltoolSession& session, std::string& error,
                     const std::string& given) {
  const std::string folder = given.empty() ? winetest::TempPath("kltool-editor\\") : given;
  if (given.empty()) {
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* old : {"NOTEPAD.key", "GameList.lst", "kbMap.TMP"}) {
      DeleteFileA((folder + old).c_str());
    }
  }
  const std::string scriptPath = winetest::TempPath("kltool-editor.txt");
  FILE* file = std::fopen(scriptPath.c_str(), "wb");
  if (file == nullptr) {
    error = "cannot write the script";
    return false;
  }
  std::fwrite(script.data(), 1, script.size(), file);
  std::fclose(file);
  const winetest::RunResult run = winetest::RunHelper("kltool.exe", {"editor", folder, scriptPath});
  if (!run.finished || run.exitCode != 0) {
    error = "kltool editor: " + run.output;
    return false;
  }
  session.keyFile = ReadWholeFile(folder + "NOTEPAD.key");
  session.gameList = ReadWholeFile(folder + "GameList.lst");
  session.transcript = run.output;
  return true;
}

namespace {

struct ClassSearch {
  DWORD process;
  const char* className;
  HWND found;
};

BOOL CALLBACK FindShown(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<ClassSearch*>(data);
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if (std::string(name) == search->className && IsWindowVisible(window) &&
      orvotest::ProcessOf(window) == search->process) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND ShownWindowOfClass(DWORD process, const char* className) {
  ClassSearch search{process, className, nullptr};
  EnumWindows(&FindShown, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<std::string> TextLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find_first_of("\r\n", at);
    if (end == std::string::npos) end = text.size();
    const size_t first = text.find_first_not_of(" \t", at);
    if (first < end) {
      const size_t last = text.find_last_not_of(" \t", end - 1);
      lines.push_back(text.substr(first, last - first + 1));
    }
    at = end + 1;
  }
  return lines;
}

int FocusedControl(HWND dialog) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) ||
      info.hwndFocus == nullptr) {
    return -1;
  }
  return GetDlgCtrlID(info.hwndFocus);
}

void EditorOnWine::SetUp() {
  EndAll();
  std::string error;
  ASSERT_TRUE(InstallEditor(error)) << error;
  ASSERT_TRUE(orvotest::ConfigurePad(error)) << error;
  ASSERT_TRUE(orvotest::SetPad(0));
}

void EditorOnWine::TearDown() {
  EndAll();
  orvotest::RemovePad();
}

void EditorOnWine::StartEditor(Editor& editor) {
  ASSERT_TRUE(editor.Start());
  ASSERT_TRUE(editor.WaitForFrame()) << "KLOOM.EXE showed no frame";
}

void EditorOnWine::Shot(const std::string& name) {
  const std::string path = ScreenPng(name);
  EXPECT_FALSE(path.empty()) << "no screenshot " << name;
  RecordProperty(name, path);
}

HWND EditorOnWine::OpenFromMenu(Editor& editor, int menu, int item) {
  const layout::PictureMenu& m = layout::kMenus[menu];
  if (!editor.Focus() || !editor.ClickShowing(Centre(m.tab), m.dropDown)) return nullptr;
  const layout::Point p = Centre(m.items[item]);
  if (!editor.Click(p.x, p.y)) return nullptr;
  return editor.WaitForDialog();
}

HWND EditorOnWine::OpenNameDialog(Editor& editor) {
  const layout::PictureMenu& profiles = layout::kMenus[1];
  // New profile; the menu closing shows it was taken.
  if (!editor.Focus() || !editor.ClickShowing(Centre(profiles.tab), profiles.dropDown) ||
      !editor.ClickShowing(Centre(profiles.items[0]), profiles.dropDown)) {
    return nullptr;
  }
  return OpenFromMenu(editor, 1, 1);
}

void EditorOnWine::TabTo(Editor& editor, HWND dialog, int id) {
  for (int tabs = 0; tabs < 4 && FocusedControl(dialog) != id; ++tabs) {
    ASSERT_TRUE(editor.Keys("Tab"));
    WaitUntil([&] { return FocusedControl(dialog) == id; }, 1000);
  }
  ASSERT_EQ(FocusedControl(dialog), id) << "Tab does not reach control " << id;
}

}  // namespace kl::editortest
