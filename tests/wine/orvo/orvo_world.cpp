#include "orvo/orvo_world.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>

#include "tools/vpad/vpad_block.h"

namespace kl::orvotest {

namespace {

using winetest::ProgramFolder;
using winetest::RunHelper;
using winetest::RunResult;

const std::string kJoystickPath = "System\\CurrentControlSet\\Control\\MediaResources\\Joystick";
const std::string kOemPath =
    "System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM";
// The virtual pad's driver key and the pad's type key, names of our own.
const std::string kDriverKey = "KlOrvoTestDriver";
const std::string kPadTypeKey = "KlOrvoTestPad";

bool Copy(const std::string& name, const std::string& as, std::string& error) {
  const std::string from = ProgramFolder() + name;
  const std::string to = InstallFolder() + as;
  if (CopyFileA(from.c_str(), to.c_str(), FALSE)) return true;
  error = "cannot copy " + from + " to " + to;
  return false;
}

bool Helper(const std::string& program, const std::vector<std::string>& args, std::string& error) {
  const RunResult result = RunHelper(program, args);
  if (result.finished && result.exitCode == 0) return true;
  error = program;
  for (const std::string& arg : args) error += " " + arg;
  error += ": " + (result.finished ? result.output : std::string("did not finish"));
  return false;
}

HKEY CreateKey(const std::string& path) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &key, nullptr) != ERROR_SUCCESS) {
    return nullptr;
  }
  return key;
}

struct WindowSearch {
  DWORD processId = 0;
  const char* className = nullptr;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  if (search->processId != 0 && ProcessOf(window) != search->processId) return TRUE;
  if (search->className != nullptr && search->className[0] != '\0') {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, search->className) != 0) return TRUE;
  }
  search->found.push_back(window);
  return TRUE;
}

std::vector<HWND> TopLevelWindows(DWORD processId, const char* className) {
  WindowSearch search;
  search.processId = processId;
  search.className = className;
  EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

std::string InstallFolder() {
  return "C:\\Program Files\\GamePad\\";
}

std::string KeyFolder() {
  return InstallFolder() + "KEYFILES\\";
}

bool Install(std::string& error) {
  CreateDirectoryA(InstallFolder().c_str(), nullptr);
  CreateDirectoryA(KeyFolder().c_str(), nullptr);
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((KeyFolder() + "*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA((KeyFolder() + found.cFileName).c_str());
      }
    } while (FindNextFileA(find, &found));
    FindClose(find);
  }
  DeleteFileA((InstallFolder() + "kloom-standin.log").c_str());
  return Copy("ORVO.EXE", "ORVO.EXE", error) && Copy("ORVO_RS.DLL", "ORVO_RS.DLL", error) &&
         Copy("winmm.dll", "winmm.dll", error) && Copy("winmm_real.dll", "winmm_real.dll", error) &&
         Copy("kloom_standin.exe", "KLOOM.EXE", error);
}

bool ConfigurePad(std::string& error) {
  HKEY driver = CreateKey(kJoystickPath + "\\" + kDriverKey);
  HKEY type = CreateKey(kOemPath + "\\" + kPadTypeKey);
  if (driver == nullptr || type == nullptr) {
    error = "cannot create the joystick registry keys";
    if (driver) RegCloseKey(driver);
    if (type) RegCloseKey(type);
    return false;
  }
  RegCloseKey(driver);
  const char name[] = "Vornatek GamePad";
  RegSetValueExA(type, "OEMName", 0, REG_SZ, reinterpret_cast<const BYTE*>(name), sizeof name);
  // A gamepad (JOY_HWS_ISGAMEPAD) with 12 buttons.
  const BYTE data[8] = {0x20, 0, 0, 0, 12, 0, 0, 0};
  RegSetValueExA(type, "OEMData", 0, REG_BINARY, data, sizeof data);
  RegCloseKey(type);
  return Helper("vpadctl.exe", {"reset"}, error) &&
         Helper("vpadctl.exe", {"plug", "0", "buttons=12", "regkey=" + kDriverKey}, error) &&
         Helper("kltool.exe", {"joystick", "autodetect"}, error);
}

void RemovePad() {
  std::string ignored;
  Helper("vpadctl.exe", {"reset"}, ignored);
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, (kJoystickPath + "\\" + kDriverKey).c_str());
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, (kOemPath + "\\" + kPadTypeKey).c_str());
}

bool SetPad(uint32_t buttons, uint32_t x, uint32_t y) {
  vpad::SharedBlock block;
  if (!block.Open()) return false;
  return block.Update([&](vpad::Device* devices) {
    devices[0].buttons = buttons;
    devices[0].axes[0] = x;
    devices[0].axes[1] = y;
  });
}

bool SaveProfile(const std::string& folder, const std::string& game, const std::string& profile,
                 const std::vector<Entry>& entries, std::string& error) {
  std::string json = "{\"pads\":[{\"entries\":[";
  for (size_t i = 0; i < entries.size(); ++i) {
    if (i > 0) json += ",";
    json.append("{\"mode\":").append(std::to_string(entries[i].mode)).append(",\"keys\":[");
    for (size_t k = 0; k < entries[i].keys.size(); ++k) {
      if (k > 0) json += ",";
      json.append("[").append(std::to_string(entries[i].keys[k].first)).append(",");
      json.append(std::to_string(entries[i].keys[k].second)).append("]");
    }
    json += "]}";
  }
  json += "]}]}";
  const std::string path = winetest::TempPath("orvo-profile.json");
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = "cannot write " + path;
    return false;
  }
  DWORD written = 0;
  WriteFile(file, json.data(), static_cast<DWORD>(json.size()), &written, nullptr);
  CloseHandle(file);
  return Helper("kltool.exe", {"profile", "save", folder, game, profile, path}, error);
}

DWORD ProcessOf(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  return processId;
}

HWND WaitForProcessWindow(DWORD processId, const char* className, DWORD timeoutMs) {
  HWND window = nullptr;
  winetest::WaitUntil(
      [&] {
        for (HWND candidate : TopLevelWindows(processId, className)) {
          if (IsWindowVisible(candidate) || (className != nullptr && className[0] != '\0')) {
            window = candidate;
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  return window;
}

std::vector<std::string> ChildTexts(HWND window, const char* className) {
  std::vector<std::string> texts;
  for (HWND child = FindWindowExA(window, nullptr, className, nullptr); child != nullptr;
       child = FindWindowExA(window, child, className, nullptr)) {
    texts.push_back(WindowText(child));
  }
  return texts;
}

std::vector<HWND> WindowsOfClass(const char* className) {
  return TopLevelWindows(0, className);
}

bool BringToFront(HWND window) {
  return winetest::WaitUntil([&] {
    if (GetForegroundWindow() == window) return true;
    SetForegroundWindow(window);
    return GetForegroundWindow() == window;
  });
}

std::string WindowText(HWND window) {
  char text[4096] = {};
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                           SMTO_ABORTIFHUNG, 5000, &length)) {
    return {};
  }
  return std::string(text, strnlen(text, sizeof text));
}

std::string SaveScreenshot(HWND window, const std::string& name) {
  RECT rect = {};
  if (!GetWindowRect(window, &rect)) return {};
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return {};

  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS,
                                    &bits, nullptr, 0);
  bool copied = false;
  if (bitmap != nullptr) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    copied = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != FALSE;
    GdiFlush();
    SelectObject(memory, old);
  }
  std::string path;
  if (copied) {
    const std::string folder = ProgramFolder() + "screenshots\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    path = folder + name + ".bmp";
    const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER fileHeader = {};
    fileHeader.bfType = 0x4D42;
    fileHeader.bfOffBits = sizeof fileHeader + sizeof header;
    fileHeader.bfSize = fileHeader.bfOffBits + imageSize;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE ||
        !WriteFile(file, &fileHeader, sizeof fileHeader, &written, nullptr) ||
        !WriteFile(file, &header, sizeof header, &written, nullptr) ||
        !WriteFile(file, bits, imageSize, &written, nullptr)) {
      path.clear();
    }
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
  if (bitmap != nullptr) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return path;
}

bool HasTrayIcon(HWND owner, UINT id) {
  NOTIFYICONDATAA data = {};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = owner;
  data.uID = id;
  return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

std::string OrvoString(UINT id) {
  HMODULE module = LoadLibraryExA((ProgramFolder() + "ORVO_RS.DLL").c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) return {};
  char text[1024] = {};
  const int length = LoadStringA(module, id, text, sizeof text);
  FreeLibrary(module);
  return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

Orvo::~Orvo() {
  if (m_window != nullptr && IsWindow(m_window)) Close();
}

bool Orvo::Start(std::string& error) {
  const std::string program = InstallFolder() + "ORVO.EXE";
  if (!m_process.Start(winetest::Quote(program))) {
    error = "cannot start " + program;
    return false;
  }
  m_window = WaitForProcessWindow(GetProcessId(m_process.Process()), "MyOrvoClass");
  if (m_window == nullptr) {
    error = "ORVO.EXE made no window of the class MyOrvoClass";
    return false;
  }
  // The icon goes in while the window is being created.
  if (!winetest::WaitUntil([&] { return HasTrayIcon(m_window, 150); })) {
    error = "ORVO.EXE put no icon into the notification area";
    return false;
  }
  return true;
}

void Orvo::Notify(UINT mouseMessage) {
  PostMessageA(m_window, WM_USER, 150, mouseMessage);
}

bool Orvo::Close() {
  PostMessageA(m_window, WM_COMMAND, 32772, 0);
  return m_process.WaitForExit(20000);
}

Process::~Process() {
  if (m_info.hProcess == nullptr) return;
  if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(m_info.hProcess, 255);
    WaitForSingleObject(m_info.hProcess, 5000);
  }
  CloseHandle(m_info.hThread);
  CloseHandle(m_info.hProcess);
}

bool Process::Start(const std::string& application, const std::string& commandLine, DWORD flags) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  std::string line = commandLine;
  return CreateProcessA(application.c_str(), line.data(), nullptr, nullptr, FALSE, flags, nullptr,
                        nullptr, &startup, &m_info) != FALSE;
}

bool Process::WaitForExit(DWORD timeoutMs) {
  return m_info.hProcess != nullptr &&
         WaitForSingleObject(m_info.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

std::vector<std::string> ProcessNames() {
  std::vector<std::string> names;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return names;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    names.emplace_back(entry.szExeFile);
  }
  CloseHandle(snapshot);
  return names;
}

bool Notepad::Start(std::string& error) {
  if (!m_process.Start("notepad.exe")) {
    error = "cannot start notepad.exe";
    return false;
  }
  m_window = WaitForProcessWindow(GetProcessId(m_process.Process()), "Notepad");
  if (m_window == nullptr) {
    error = "notepad showed no window";
    return false;
  }
  winetest::WaitUntil([&] {
    m_edit = FindWindowExA(m_window, nullptr, "Edit", nullptr);
    return m_edit != nullptr;
  });
  if (m_edit == nullptr) error = "notepad has no edit control";
  return m_edit != nullptr;
}

void Notepad::Kill() {
  if (m_process.Process() != nullptr) {
    TerminateProcess(m_process.Process(), 0);
    m_process.WaitForExit(10000);
  }
}

}  // namespace kl::orvotest
