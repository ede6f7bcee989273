// The world the tray mapper's end-to-end tests run ORVO.EXE in: an
// installation folder laid out as the installer makes it, the virtual pad
// configured in the registry as the maker's pad, profiles built with
// kltool.exe, and real programs to type into (Wine's notepad, the test game,
// a stand-in editor). Every wait is bounded.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "harness/support.h"

namespace kl::orvotest {

// "C:\Program Files\GamePad\" and its "KEYFILES\".
std::string InstallFolder();
std::string KeyFolder();

// Copies ORVO.EXE, ORVO_RS.DLL, the virtual pad's DLLs and the stand-in
// editor (as KLOOM.EXE) into the installation folder, with an empty KEYFILES.
bool Install(std::string& error);

// The maker's pad type and a driver key in the registry, the virtual pad
// plugged at joystick id 0 with 12 buttons, and kltool.exe's auto-detection
// placing it: the state a user's configured pad leaves.
bool ConfigurePad(std::string& error);
// Takes the pad away again (unplugged, its registry entries removed).
void RemovePad();

// The virtual pad's readings of joystick id 0, as the next joyGetPosEx sees them.
bool SetPad(uint32_t buttons, uint32_t x = 32668, uint32_t y = 32668);

// One entry of a profile: mode byte and (flags, virtual key) pairs.
struct Entry {
  int mode = 255;
  std::vector<std::pair<int, int>> keys;
};
// Saves `entries` (input index order, 16 of them for a 12-button pad) as the
// active profile `profile` of `game` with kltool.exe, in `folder`.
bool SaveProfile(const std::string& folder, const std::string& game, const std::string& profile,
                 const std::vector<Entry>& entries, std::string& error);

// A started program's top-level window of `className` (any class when
// empty), or null once `timeoutMs` has passed.
HWND WaitForProcessWindow(DWORD processId, const char* className, DWORD timeoutMs = 20000);
// Every top-level window of `className` on the desktop.
std::vector<HWND> WindowsOfClass(const char* className);
DWORD ProcessOf(HWND window);

// The texts of `window`'s child windows of `className`.
std::vector<std::string> ChildTexts(HWND window, const char* className);

// Brings `window` to the front and waits until it is there.
bool BringToFront(HWND window);

// The text of a window of another process (WM_GETTEXT).
std::string WindowText(HWND window);

// Saves what the screen shows of `window` as screenshots\NAME.bmp beside the
// test program; the path, or empty on failure.
std::string SaveScreenshot(HWND window, const std::string& name);

// Whether the notification area holds icon `id` of `owner` (a change that
// changes nothing succeeds only for an icon that exists).
bool HasTrayIcon(HWND owner, UINT id);

// A string of ORVO_RS.DLL, read from the module as a data file.
std::string OrvoString(UINT id);

// ORVO.EXE started from the installation folder.
class Orvo {
 public:
  ~Orvo();
  bool Start(std::string& error);
  HWND Window() const { return m_window; }
  HANDLE Process() const { return m_process.Process(); }
  bool WaitForExit(DWORD timeoutMs) { return m_process.WaitForExit(timeoutMs); }
  // The tray icon's callback, as the notification area sends it.
  void Notify(UINT mouseMessage);
  // Chooses Close without the menu and waits for the program to end.
  bool Close();

 private:
  winetest::Started m_process;
  HWND m_window = nullptr;
};

// A program started with CreateProcessA's own arguments; ended when the
// object goes.
class Process {
 public:
  Process() = default;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process();
  // `application` may be any file name (an executable named "X.MOD", say).
  bool Start(const std::string& application, const std::string& commandLine, DWORD flags = 0);
  HANDLE Handle() const { return m_info.hProcess; }
  bool WaitForExit(DWORD timeoutMs);

 private:
  PROCESS_INFORMATION m_info = {};
};

// Every process of a Toolhelp snapshot by its executable name.
std::vector<std::string> ProcessNames();

// Wine's notepad, typed into by the mapper.
class Notepad {
 public:
  bool Start(std::string& error);
  HWND Window() const { return m_window; }
  std::string Text() const { return WindowText(m_edit); }
  // Ends it without the question about saving.
  void Kill();

 private:
  winetest::Started m_process;
  HWND m_window = nullptr;
  HWND m_edit = nullptr;
};

}  // namespace kl::orvotest
