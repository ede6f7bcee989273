// The printer side of the pad view: what a print or print preview run of the
// view keeps from its start to its end. Before the dialog it asks the pad
// printout for the page count (none, after the missing-pad message, when no
// pad is detected); when the printer's device context exists it makes the
// printer font for the printer's vertical resolution and lays the pages out;
// each page is the pad's print picture drawn through the bitmap painter and
// the page's lines in the printer font; at the end the font goes and the
// view draws again. The paper and the preview, which records the same pages
// into a metafile of the printer's page, get the same drawing.
#pragma once

#include <windows.h>

#include "editor/pad_printout.h"
#include "editor/win32/dib_painter.h"

namespace kl {

class PadPrinter {
 public:
  // `resources` holds the print pictures; `view` is the pad view's window.
  PadPrinter(PadView& view, const StringSource& strings, Input& input, Prompts& prompts,
             HMODULE resources, HWND window);
  ~PadPrinter();
  PadPrinter(const PadPrinter&) = delete;
  PadPrinter& operator=(const PadPrinter&) = delete;

  // The number of pages, or none (printing has then ended).
  std::optional<int> Prepare();
  // The printer font and the layout for `printer`; false when the printer
  // reports a page or a font without a size, or no font could be made.
  bool Begin(HDC printer);
  // Page `page` (from 1) drawn on `dc`, the printer's or a metafile made for it.
  void PrintPage(HDC dc, int page);
  // The run is over: the font is deleted and the view draws again.
  void End();

 private:
  void DeleteFont();

  PadPrintout m_printout;
  HMODULE m_resources;
  HWND m_window;
  DibPainter m_painter;
  HFONT m_font = nullptr;  // the printer font, from Begin to End
};

}  // namespace kl
