// Printing a view: the print dialog with the page range, the print setup
// dialog whose choice is kept for the next print, and the document and page
// loop. A view takes part by implementing CPrintTarget, in the shape of the
// framework's view printing: prepare (page count, no device yet), begin
// (the device exists), one OnPrint per page, end. The print preview
// (print_preview.h) asks the same four, so paper and preview agree.
#pragma once

#include <windows.h>

#include <string>

#include "framework/winapp.h"

namespace kl {

// The framework's standard print commands (print setup, 57606, is with the
// application's commands).
constexpr UINT kIdFilePrint = 57607;         // ID_FILE_PRINT
constexpr UINT kIdFilePrintPreview = 57609;  // ID_FILE_PRINT_PREVIEW

// One print or preview run as the target sees it.
struct CPrintInfo {
  bool m_bPreview = false;
  UINT m_nMinPage = 1;  // the target sets the range in OnPreparePrinting
  UINT m_nMaxPage = 1;
  UINT m_nFromPage = 1;  // the pages the user chose
  UINT m_nToPage = 1;
  UINT m_nCurPage = 1;  // the page OnPrint draws
  RECT m_rectDraw{};    // the printable page in device pixels
};

class CPrintTarget {
 public:
  virtual ~CPrintTarget() = default;
  // bool OnPreparePrinting(CPrintInfo& info): sets the page range; false ends the run before any
  // dialog.
  virtual bool OnPreparePrinting(CPrintInfo& info) = 0;
  // bool OnBeginPrinting(HDC dc, CPrintInfo& info): the printer's device context exists; false
  // when the pages cannot be laid out on it (nothing is printed or shown, the user is told).
  virtual bool OnBeginPrinting(HDC dc, CPrintInfo& info) = 0;
  // void OnPrint(HDC dc, CPrintInfo& info): draws page info.m_nCurPage on dc.
  virtual void OnPrint(HDC dc, CPrintInfo& info) = 0;
  // void OnEndPrinting(HDC dc, CPrintInfo& info): the run is over, whatever its end; dc is null
  // when none was made. Called once for every run whose OnPreparePrinting returned true.
  virtual void OnEndPrinting(HDC dc, CPrintInfo& info) = 0;
};

// The printer chosen in the print and print setup dialogs, kept from one
// print to the next (the system's default printer until one is chosen).
class CPrinterSettings {
 public:
  CPrinterSettings() = default;
  CPrinterSettings(const CPrinterSettings&) = delete;
  CPrinterSettings& operator=(const CPrinterSettings&) = delete;
  ~CPrinterSettings();

  // The print setup dialog. False when cancelled or failed; `error` is 0
  // when the user cancelled, else a system error code.
  bool Setup(HWND owner, DWORD& error);
  // The print dialog over the pages of `info`: a device context of the
  // chosen printer, the chosen range in `info`, and in `output` the file
  // to print into (empty for the printer itself). Null when cancelled
  // (`error` 0) or failed.
  HDC Choose(HWND owner, CPrintInfo& info, std::string& output, DWORD& error);
  // A device context of the chosen printer without a dialog; null on failure.
  HDC CreateDC(DWORD& error);

 private:
  bool Run(PRINTDLGA& dialog, DWORD& error);
  HGLOBAL m_devMode = nullptr;
  HGLOBAL m_devNames = nullptr;
};

// Prints pages info.m_nFromPage .. m_nToPage into `dc` as one document.
// False, with the document aborted and `error` set, when the printer refused
// the document or a page.
bool PrintDocument(HDC dc, CPrintTarget& target, CPrintInfo& info, const std::string& title,
                   const std::string& output, DWORD& error);

// The error shown when the target cannot lay its pages out on the printer.
constexpr DWORD kErrorNoPageLayout = ERROR_INVALID_PRINTER_STATE;

// One message box with the system's text for `error`.
void ShowPrintError(HWND owner, DWORD error);

// The printable page of `dc` in device pixels.
RECT PrintablePage(HDC dc);

// The print command of a view: preparation, the print dialog, the document,
// the end, and a message box when something failed.
void RunPrintCommand(HWND owner, CPrintTarget& target, CPrinterSettings& settings);

}  // namespace kl
