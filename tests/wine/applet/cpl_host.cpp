#include "applet/cpl_host.h"

#include "harness/support.h"

namespace kl::applettest {

namespace {

std::mutex g_helpMutex;
std::vector<HelpCall> g_helpCalls;
std::atomic<bool> g_refuseControlHelp{false};

BOOL WINAPI RecordWinHelp(HWND window, LPCSTR file, UINT command, ULONG_PTR data) {
  HelpCall call;
  call.window = window;
  call.file = file != nullptr ? file : "";
  call.command = command;
  call.data = data;
  if ((command == HELP_WM_HELP || command == HELP_CONTEXTMENU) && data != 0) {
    const auto* pairs = reinterpret_cast<const DWORD*>(data);
    for (size_t i = 0; i < 128 && (pairs[i] != 0 || pairs[i + 1] != 0); i += 2) {
      call.table.push_back(pairs[i]);
      call.table.push_back(pairs[i + 1]);
    }
  }
  std::lock_guard<std::mutex> lock(g_helpMutex);
  g_helpCalls.push_back(call);
  return g_refuseControlHelp && (command == HELP_WM_HELP || command == HELP_CONTEXTMENU) ? FALSE
                                                                                         : TRUE;
}

// The import address slot of `function` from `dll` in `module`, or null.
void** ImportSlot(HMODULE module, const char* dll, const char* function) {
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return nullptr;
  for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       entry->Name != 0; ++entry) {
    if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), dll) != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* name =
          reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (lstrcmpA(reinterpret_cast<const char*>(name->Name), function) == 0) {
        return reinterpret_cast<void**>(&slots->u1.Function);
      }
    }
  }
  return nullptr;
}

BOOL CALLBACK CancelWindow(HWND window, LPARAM) {
  PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
  return TRUE;
}

struct Found {
  std::string caption;
  HWND owner = nullptr;
  bool wantOwner = false;
  HWND window = nullptr;
};

BOOL CALLBACK FindWindowOfProcess(HWND window, LPARAM lParam) {
  auto* found = reinterpret_cast<Found*>(lParam);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
  if (found->wantOwner && GetWindow(window, GW_OWNER) != found->owner) return TRUE;
  if (!found->caption.empty() && Text(window) != found->caption) return TRUE;
  found->window = window;
  return FALSE;
}

HWND WaitForWindow(Found found, DWORD timeoutMs) {
  winetest::WaitUntil(
      [&] {
        found.window = nullptr;
        EnumWindows(&FindWindowOfProcess, reinterpret_cast<LPARAM>(&found));
        return found.window != nullptr;
      },
      timeoutMs);
  return found.window;
}

}  // namespace

CplHost::~CplHost() {
  Unload();
}

bool CplHost::Load(const std::string& path, std::string& error) {
  m_module = LoadLibraryA(path.c_str());
  if (m_module == nullptr) {
    error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  m_proc =
      reinterpret_cast<APPLET_PROC>(reinterpret_cast<void*>(GetProcAddress(m_module, "CPlApplet")));
  if (m_proc == nullptr) {
    error = path + " exports no CPlApplet";
    return false;
  }
  return true;
}

LONG CplHost::Send(UINT message, LPARAM data1, LPARAM data2) {
  return m_proc(nullptr, message, data1, data2);
}

bool CplHost::Start() {
  if (Send(CPL_INIT) == 0) return false;
  if (Send(CPL_GETCOUNT) != 1) return false;
  NEWCPLINFOA info = {};
  info.dwSize = sizeof info;
  Send(CPL_NEWINQUIRE, 0, reinterpret_cast<LPARAM>(&info));
  return true;
}

void CplHost::OpenSheet() {
  m_sheetDone = false;
  m_sheet = std::thread([this] {
    m_sheetThread = GetCurrentThreadId();
    m_sheetResult = m_proc(nullptr, CPL_DBLCLK, 0, 0);
    m_sheetDone = true;
  });
}

bool CplHost::SheetClosed(LONG* result) const {
  if (result != nullptr) *result = m_sheetResult;
  return m_sheetDone;
}

bool CplHost::WaitSheetClosed(DWORD timeoutMs) {
  if (!m_sheet.joinable()) return true;
  if (!winetest::WaitUntil([this] { return m_sheetDone.load(); }, timeoutMs)) return false;
  m_sheet.join();
  return true;
}

void CplHost::Unload() {
  bool stopped = true;
  if (m_sheet.joinable()) {
    // A sheet a failed test left open (perhaps under a message box): cancel
    // every window of its thread until the thread ends.
    const DWORD thread = m_sheetThread;
    winetest::WaitUntil(
        [&] {
          if (m_sheetDone) return true;
          EnumThreadWindows(thread, &CancelWindow, 0);
          return false;
        },
        10000);
    stopped = m_sheetDone;
    if (stopped) {
      m_sheet.join();
    } else {
      m_sheet.detach();
    }
  }
  // A module whose sheet still runs stays loaded.
  if (m_module != nullptr && stopped) {
    if (m_proc != nullptr) {
      Send(CPL_STOP);
      Send(CPL_EXIT);
    }
    FreeLibrary(m_module);
  }
  m_module = nullptr;
  m_proc = nullptr;
}

bool CplHost::RecordHelp(bool refuseControlHelp) {
  g_refuseControlHelp = refuseControlHelp;
  void** slot = ImportSlot(m_module, "user32.dll", "WinHelpA");
  if (slot == nullptr) return false;
  DWORD old = 0;
  if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old)) return false;
  *slot = reinterpret_cast<void*>(&RecordWinHelp);
  VirtualProtect(slot, sizeof *slot, old, &old);
  std::lock_guard<std::mutex> lock(g_helpMutex);
  g_helpCalls.clear();
  return true;
}

std::vector<HelpCall> CplHost::HelpCalls() const {
  std::lock_guard<std::mutex> lock(g_helpMutex);
  return g_helpCalls;
}

std::string Text(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

HWND WaitForSheet(const std::string& caption, DWORD timeoutMs) {
  Found found;
  found.caption = caption;
  return WaitForWindow(found, timeoutMs);
}

HWND WaitForOwnedDialog(HWND owner, const std::string& caption, DWORD timeoutMs) {
  Found found;
  found.caption = caption;
  found.owner = owner;
  found.wantOwner = true;
  return WaitForWindow(found, timeoutMs);
}

std::string MessageBoxText(HWND box) {
  // The message's static control has the id 0xFFFF.
  return Text(GetDlgItem(box, 0xFFFF));
}

}  // namespace kl::applettest
