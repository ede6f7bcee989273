// The print dialogs, the document loop and the print command.
#include "framework/print.h"

#include <cderr.h>
#include <commdlg.h>

#include <algorithm>

#include "framework/document_loop.h"
#include "framework/winapp.h"

namespace kl {
namespace {

// A common dialog's failure as a system error code for its message.
DWORD DialogError() {
  const DWORD code = CommDlgExtendedError();
  switch (code) {
    case 0:
      return 0;
    case PDERR_NODEVICES:
    case PDERR_NODEFAULTPRN:
    case PDERR_PRINTERNOTFOUND:
      return ERROR_INVALID_PRINTER_NAME;
    case CDERR_MEMALLOCFAILURE:
    case CDERR_MEMLOCKFAILURE:
      return ERROR_NOT_ENOUGH_MEMORY;
    default:
      return ERROR_GEN_FAILURE;
  }
}

// A refusal without an error of its own still says that printing failed.
DWORD LastErrorOr(DWORD fallback) {
  const DWORD error = GetLastError();
  return error != 0 ? error : fallback;
}

// The file to print into, asked for when the user ticked "Print to file".
bool AskOutputFile(HWND owner, std::string& output) {
  char path[MAX_PATH] = {};
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFile = path;
  ofn.nMaxFile = sizeof path;
  ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameA(&ofn)) return false;
  output = path;
  return true;
}

std::string WindowTitle(HWND window) {
  char text[256] = {};
  if (window != nullptr) GetWindowTextA(GetAncestor(window, GA_ROOT), text, sizeof text);
  return text;
}

}  // namespace

CPrinterSettings::~CPrinterSettings() {
  if (m_devMode != nullptr) GlobalFree(m_devMode);
  if (m_devNames != nullptr) GlobalFree(m_devNames);
}

bool CPrinterSettings::Run(PRINTDLGA& dialog, DWORD& error) {
  dialog.lStructSize = sizeof dialog;
  dialog.hDevMode = m_devMode;
  dialog.hDevNames = m_devNames;
  const bool ok = PrintDlgA(&dialog) != FALSE;
  error = ok ? 0 : DialogError();
  // The dialog may have replaced the handles it was given; keep what it
  // hands back, which is what the next dialog starts from.
  m_devMode = dialog.hDevMode;
  m_devNames = dialog.hDevNames;
  return ok;
}

bool CPrinterSettings::Setup(HWND owner, DWORD& error) {
  PRINTDLGA dialog = {};
  dialog.hwndOwner = owner;
  dialog.Flags = PD_PRINTSETUP;
  return Run(dialog, error);
}

HDC CPrinterSettings::Choose(HWND owner, CPrintInfo& info, std::string& output, DWORD& error) {
  PRINTDLGA dialog = {};
  dialog.hwndOwner = owner;
  dialog.Flags = PD_RETURNDC | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE;
  dialog.nMinPage = static_cast<WORD>(info.m_nMinPage);
  dialog.nMaxPage = static_cast<WORD>(info.m_nMaxPage);
  dialog.nFromPage = dialog.nMinPage;
  dialog.nToPage = dialog.nMaxPage;
  dialog.nCopies = 1;
  if (!Run(dialog, error)) return nullptr;
  info.m_nFromPage = info.m_nMinPage;
  info.m_nToPage = info.m_nMaxPage;
  if (dialog.Flags & PD_PAGENUMS) {
    info.m_nFromPage = std::max<UINT>(dialog.nFromPage, info.m_nMinPage);
    info.m_nToPage = std::min<UINT>(dialog.nToPage, info.m_nMaxPage);
  }
  output.clear();
  if ((dialog.Flags & PD_PRINTTOFILE) && !AskOutputFile(owner, output)) {
    DeleteDC(dialog.hDC);
    error = DialogError();
    return nullptr;
  }
  if (dialog.hDC == nullptr) error = ERROR_INVALID_PRINTER_NAME;
  return dialog.hDC;
}

HDC CPrinterSettings::CreateDC(DWORD& error) {
  if (m_devNames == nullptr) {
    PRINTDLGA dialog = {};
    dialog.Flags = PD_RETURNDEFAULT;
    if (!Run(dialog, error)) return nullptr;
  }
  HDC dc = nullptr;
  if (const auto* names = static_cast<const DEVNAMES*>(GlobalLock(m_devNames))) {
    const char* base = reinterpret_cast<const char*>(names);
    const DEVMODEA* mode =
        m_devMode != nullptr ? static_cast<const DEVMODEA*>(GlobalLock(m_devMode)) : nullptr;
    dc = ::CreateDCA(base + names->wDriverOffset, base + names->wDeviceOffset,
                     base + names->wOutputOffset, mode);
    if (mode != nullptr) GlobalUnlock(m_devMode);
    GlobalUnlock(m_devNames);
  }
  error = dc != nullptr ? 0 : LastErrorOr(ERROR_INVALID_PRINTER_NAME);
  return dc;
}

RECT PrintablePage(HDC dc) {
  return {0, 0, GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES)};
}

namespace {

// A printer's device context as the document loop's device.
class PrinterDocument : public DocumentDevice {
 public:
  PrinterDocument(HDC dc, CPrintTarget& target, CPrintInfo& info, const DOCINFOA& doc)
      : m_dc(dc), m_target(target), m_info(info), m_doc(doc) {}
  bool StartDocument() override {
    SetLastError(0);
    if (StartDocA(m_dc, &m_doc) <= 0) return false;
    m_info.m_rectDraw = PrintablePage(m_dc);
    return true;
  }
  bool StartPage() override {
    SetLastError(0);
    return ::StartPage(m_dc) > 0;
  }
  void DrawPage(unsigned page) override {
    m_info.m_nCurPage = page;
    const int saved = SaveDC(m_dc);
    m_target.OnPrint(m_dc, m_info);
    RestoreDC(m_dc, saved);
  }
  bool EndPage() override {
    SetLastError(0);
    return ::EndPage(m_dc) > 0;
  }
  bool EndDocument() override {
    SetLastError(0);
    return EndDoc(m_dc) > 0;
  }
  void AbortDocument() override { AbortDoc(m_dc); }
  uint32_t LastError() override { return GetLastError(); }

 private:
  HDC m_dc;
  CPrintTarget& m_target;
  CPrintInfo& m_info;
  const DOCINFOA& m_doc;
};

}  // namespace

bool PrintDocument(HDC dc, CPrintTarget& target, CPrintInfo& info, const std::string& title,
                   const std::string& output, DWORD& error) {
  DOCINFOA doc = {};
  doc.cbSize = sizeof doc;
  doc.lpszDocName = title.c_str();
  doc.lpszOutput = output.empty() ? nullptr : output.c_str();
  PrinterDocument device(dc, target, info, doc);
  // A refusal without an error of its own still says that printing failed.
  error = RunDocument(device, info.m_nFromPage, info.m_nToPage, ERROR_GEN_FAILURE);
  return error == 0;
}

void ShowPrintError(HWND owner, DWORD error) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message =
      length != 0 && text != nullptr ? std::string(text, length) : "Error " + std::to_string(error);
  if (text != nullptr) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
    message.pop_back();
  }
  const CWinApp* app = AfxGetApp();
  MessageBoxA(owner, message.c_str(), app != nullptr ? app->m_appName.c_str() : nullptr,
              MB_OK | MB_ICONEXCLAMATION);
}

void RunPrintCommand(HWND owner, CPrintTarget& target, CPrinterSettings& settings) {
  CPrintInfo info;
  if (!target.OnPreparePrinting(info)) return;
  std::string output;
  DWORD error = 0;
  HDC dc =
      info.m_nMaxPage >= info.m_nMinPage ? settings.Choose(owner, info, output, error) : nullptr;
  bool ok = error == 0;
  if (dc != nullptr) {
    info.m_rectDraw = PrintablePage(dc);
    if (target.OnBeginPrinting(dc, info)) {
      ok = PrintDocument(dc, target, info, WindowTitle(owner), output, error);
    } else {
      ok = false;
      error = kErrorNoPageLayout;
    }
  }
  target.OnEndPrinting(dc, info);
  if (dc != nullptr) DeleteDC(dc);
  if (!ok) ShowPrintError(owner, error);
}

}  // namespace kl
