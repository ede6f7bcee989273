// The Win32 implementations of every seam, made once for a program: the
// editor, the tray program and the applet each hold one of these and hand
// its parts to their portable cores. It is built from the program's own
// module (the executable, or the applet's DLL), whose folder it remembers,
// and the resource module the program's texts are loaded from. The timers
// run on a window, so they start working once the program names it.
#pragma once

#include <string>

#include "platform/win32/module_strings.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_dosbox.h"
#include "platform/win32/win32_filesystem.h"
#include "platform/win32/win32_input.h"
#include "platform/win32/win32_joystick.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_timers.h"

struct HINSTANCE__;

namespace kl {

class Win32Seams {
 public:
  // `instance`: the program's own module (nullptr: the running executable);
  // `resources`: the module its texts come from (nullptr: `instance` itself).
  Win32Seams(HINSTANCE__* instance, HINSTANCE__* resources);
  Win32Seams(const Win32Seams&) = delete;
  Win32Seams& operator=(const Win32Seams&) = delete;

  // The folder of the program's module, with its trailing backslash; empty
  // when Windows cannot name it.
  const std::string& Folder() const { return m_folder; }

  // The window the timers run on (WM_TIMER arrives there); until it is
  // named, starting a timer fails.
  void SetTimerWindow(HWND__* window) { m_timers.SetWindow(window); }

  Joystick& GetJoystick() { return m_joystick; }
  Registry& GetRegistry() { return m_registry; }
  Input& GetInput() { return m_input; }
  Processes& GetProcesses() { return m_processes; }
  DosBoxDriver& GetDosBox() { return m_dosBox; }
  FileSystem& GetFileSystem() { return m_fs; }
  Desktop& GetDesktop() { return m_desktop; }
  Timers& GetTimers() { return m_timers; }
  const StringSource& GetStrings() const { return m_strings; }

 private:
  std::string m_folder;
  Win32Joystick m_joystick;
  Win32Registry m_registry;
  Win32Input m_input;
  Win32Processes m_processes;
  Win32DosBox m_dosBox;
  Win32FileSystem m_fs;
  Win32Desktop m_desktop;
  Win32Timers m_timers;
  ModuleStringSource m_strings;
};

}  // namespace kl
