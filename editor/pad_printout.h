// The printout of the pad view: what the view's print handlers ask. Before
// the print dialog it gives the page count (one page per detected pad) or,
// with no pad, tells the user there is nothing to print; when printing
// begins it takes the printer's page and font and lays the pages out; for
// each page it stops the view drawing itself and says what goes on paper;
// at the end it lets the view draw again. The paper and the print preview
// ask the same object, so they show the same pages.
#pragma once

#include <optional>

#include "editor/pad_view.h"
#include "editor/pad_view_ids.h"
#include "editor/print_layout.h"

namespace kl {

class PadPrintout {
 public:
  PadPrintout(PadView& view, const StringSource& strings, Input& input, Prompts& prompts);

  // Before the print dialog: the number of pages, or none after message
  // 61245 when no pad is detected (printing then ends at once).
  std::optional<int> Prepare();
  // Printing begins on `page` with the printer font's line height; false
  // when the printer reports a page or font without a size.
  bool Begin(const PrinterPage& page, int lineHeight);
  const PrintLayout& Layout() const { return m_layout; }
  // Page `page` (from 1) of the pads detected now: the view stops drawing
  // itself. A page beyond the pads is empty.
  PrintedPage Page(int page);
  // Printing has ended, printed, previewed, cancelled or failed.
  void End();

 private:
  PadView& m_view;
  const StringSource& m_strings;
  Input& m_input;
  Prompts& m_prompts;
  KeyNameTables m_names;
  PrintLayout m_layout;
};

}  // namespace kl
