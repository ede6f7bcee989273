// A small control panel host for the applet's tests: it loads OSTRA.CPL,
// sends the control panel's messages itself, runs the sheet's CPL_DBLCLK on
// a thread of its own (the sheet is modal there, as in a real host) and
// records the applet's WinHelpA calls by taking the applet's import of it.
#pragma once

#include <windows.h>

#include <cpl.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kl::applettest {

// One WinHelpA call of the applet.
struct HelpCall {
  HWND window = nullptr;
  std::string file;
  UINT command = 0;
  ULONG_PTR data = 0;
  std::vector<DWORD> table;  // HELP_WM_HELP and HELP_CONTEXTMENU: the id pairs, zero pair left out
};

class CplHost {
 public:
  CplHost() = default;
  CplHost(const CplHost&) = delete;
  CplHost& operator=(const CplHost&) = delete;
  ~CplHost();

  // Loads `path` and finds CPlApplet; false (with `error`) when either fails.
  bool Load(const std::string& path, std::string& error);
  // Sends one message straight to CPlApplet on this thread.
  LONG Send(UINT message, LPARAM data1 = 0, LPARAM data2 = 0);
  // CPL_INIT, CPL_GETCOUNT and CPL_NEWINQUIRE, as a host starts.
  bool Start();
  // CPL_DBLCLK on the sheet thread; it returns when the sheet closes.
  void OpenSheet();
  // Whether the sheet thread's CPL_DBLCLK has returned (its answer in `result`).
  bool SheetClosed(LONG* result = nullptr) const;
  // Waits for the sheet thread to end; false when it did not in time.
  bool WaitSheetClosed(DWORD timeoutMs = 10000);
  // CPL_STOP and CPL_EXIT, then unloads the module.
  void Unload();

  // Replaces the applet's WinHelpA by a recorder; false when it imports none.
  // The recorder answers TRUE, or FALSE to HELP_WM_HELP and HELP_CONTEXTMENU
  // with `refuseControlHelp` (as Wine's help viewer does).
  bool RecordHelp(bool refuseControlHelp = false);
  std::vector<HelpCall> HelpCalls() const;

  HMODULE Module() const { return m_module; }

 private:
  HMODULE m_module = nullptr;
  APPLET_PROC m_proc = nullptr;
  std::thread m_sheet;
  std::atomic<bool> m_sheetDone{false};
  std::atomic<LONG> m_sheetResult{-1};
  std::atomic<DWORD> m_sheetThread{0};
};

// The sheet of this process with `caption`, or null after `timeoutMs`.
HWND WaitForSheet(const std::string& caption, DWORD timeoutMs = 15000);
// A dialog (message box, type dialog) of this process owned by `owner` with
// `caption`, or null after `timeoutMs`; any caption when empty.
HWND WaitForOwnedDialog(HWND owner, const std::string& caption, DWORD timeoutMs = 10000);
// The text of a message box's message.
std::string MessageBoxText(HWND box);
std::string Text(HWND window);

}  // namespace kl::applettest
