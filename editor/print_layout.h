// Where a printed mapping puts its picture and its lines. A printout has one
// page per detected pad: the pad's print picture scaled to the page, and
// below it (portrait) or beside it (landscape) three headings naming the game
// and one line per input with the keys it sends. Everything here is worked
// out from the printer's page size in pixels and its font's line height, so
// the paper and the print preview, which both draw these pages, agree.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "layout_tables.h"
#include "platform/strings.h"

namespace kl {

// The three headings, each formatted with the game's name.
constexpr uint32_t kStrPrintHeadingFirst = 61371;
constexpr int kPrintHeadings = 3;

// What the printer says about its page, in device pixels.
struct PrinterPage {
  int width = 0;   // horizontal resolution (HORZRES)
  int height = 0;  // vertical resolution (VERTRES)
};

// The printer font's height: 10 points at the printer's vertical resolution.
int PrinterFontHeight(int pixelsPerInchY);

struct PrintLayout {
  int lineHeight = 0;      // the printer font's height plus its external leading
  int usableWidth = 0;     // 67 % of the page width
  int usableHeight = 0;    // 67 % of the page height
  double scale = 0;        // printed pixels per pixel of the 560 x 348 print picture
  bool landscape = false;  // the lines go beside the picture rather than below it
  layout::Rect picture{};  // the picture is stretched into this inclusive rectangle
  layout::Point text{};    // top left of the first heading
};

// The layout of every page on `page`, or none when the printer reports a
// page or a font without a size.
std::optional<PrintLayout> ComputePrintLayout(const PrinterPage& page, int lineHeight);

// The print picture of a pad model: 205 for 10 buttons, 206 for 12, 0 for none.
int PrintPictureId(uint8_t model);
// The string naming input `position` of a pad model on paper, 0 beyond its inputs.
uint32_t PrintInputNameId(uint8_t model, size_t position);

// `format` with its first "%s" replaced by `text`; a format without one as it
// stands. A resource string never becomes a printf format.
std::string FormatWithText(const std::string& format, const std::string& text);

// What one pad's page shows.
struct PrintPadText {
  uint8_t model = 10;
  // The game whose profile is printed; none when no game and profile are
  // selected, and the page shows the picture alone.
  std::optional<std::string> game;
  std::vector<std::string> keyTexts;  // the formatted keys of the table's entries, in order
};

struct PrintLine {
  layout::Point origin{};  // top left
  std::string text;
};

// One page as the printer and the preview draw it.
struct PrintedPage {
  int pictureId = 0;  // 0: no picture
  layout::Rect picture{};
  std::vector<PrintLine> lines;  // in the printer font, top to bottom
};

// The page of one pad: its picture, then (with a game) the headings from the
// text origin one line apart and, two lines below the last heading, one line
// per entry, at most as many as the model has inputs: the input's name
// followed directly by its keys, never cut.
PrintedPage LayOutPrintPage(const PrintLayout& layout, const StringSource& strings,
                            const PrintPadText& pad);

}  // namespace kl
