// The printed page: sizes, origins and the text of the lines.
#include "editor/print_layout.h"

#include <algorithm>
#include <array>

namespace kl {
namespace {

constexpr int kPictureWidth = layout::kPrintPictureSize.width;    // 560
constexpr int kPictureHeight = layout::kPrintPictureSize.height;  // 348
constexpr int kUsablePercent = 67;

// Input names on paper, by position in the pad's table.
constexpr std::array<uint32_t, 14> kNames10 = {61250, 61251, 61252, 61253, 61254, 61255, 61256,
                                               61257, 61258, 61259, 61260, 61261, 61369, 61370};
constexpr std::array<uint32_t, 16> kNames12 = {61250, 61251, 61252, 61253, 61254, 61255,
                                               61256, 61257, 61258, 61259, 61375, 61376,
                                               61369, 61370, 61377, 61378};

int Percent(int value) {
  return static_cast<int>(int64_t{value} * kUsablePercent / 100);
}

}  // namespace

int PrinterFontHeight(int pixelsPerInchY) {
  return pixelsPerInchY * 10 / 72;
}

std::optional<PrintLayout> ComputePrintLayout(const PrinterPage& page, int lineHeight) {
  PrintLayout out;
  out.lineHeight = lineHeight;
  out.usableWidth = Percent(page.width);
  out.usableHeight = Percent(page.height);
  if (lineHeight < 1 || out.usableWidth < 1 || out.usableHeight < 1) return std::nullopt;
  out.landscape = !(out.usableWidth < out.usableHeight);

  // The picture is as wide as the smaller usable size. On a landscape page
  // the lines take a column as wide as the picture beside it; where the two
  // would not fit across the page (a square page, Letter on its side) they
  // share the usable width instead of running off the paper and over each
  // other.
  int width = std::min(out.usableWidth, out.usableHeight);
  if (out.landscape && int64_t{width} * 2 > page.width) width = out.usableWidth / 2;
  const int height = static_cast<int>(int64_t{width} * kPictureHeight / kPictureWidth);
  out.scale = static_cast<double>(width) / kPictureWidth;

  int x0 = 0;
  int y0 = 0;
  if (out.landscape) {
    x0 = static_cast<int>((int64_t{page.width} - 2 * int64_t{width}) / 2);
    y0 = static_cast<int>((int64_t{page.height} - height) / 2);
    out.text = {2 * x0 + width, y0};
  } else {
    x0 = static_cast<int>((int64_t{page.width} - width) / 2);
    y0 = static_cast<int>((int64_t{page.height} - 2 * int64_t{height}) / 2);
    out.text = {x0, y0 + height + 2 * lineHeight};
  }
  out.picture = {x0, y0, x0 + width, y0 + height};
  return out;
}

int PrintPictureId(uint8_t model) {
  if (model == 10) return layout::kloom::kPrintPad10;
  if (model == 12) return layout::kloom::kPrintPad12;
  return 0;
}

uint32_t PrintInputNameId(uint8_t model, size_t position) {
  if (model == 10) return position < kNames10.size() ? kNames10[position] : 0;
  if (model == 12) return position < kNames12.size() ? kNames12[position] : 0;
  return 0;
}

std::string FormatWithText(const std::string& format, const std::string& text) {
  const size_t at = format.find("%s");
  if (at == std::string::npos) return format;
  return format.substr(0, at) + text + format.substr(at + 2);
}

PrintedPage LayOutPrintPage(const PrintLayout& layout, const StringSource& strings,
                            const PrintPadText& pad) {
  PrintedPage page;
  page.pictureId = PrintPictureId(pad.model);
  page.picture = layout.picture;
  if (!pad.game) return page;

  int y = layout.text.y;
  for (int k = 0; k < kPrintHeadings; ++k) {
    page.lines.push_back(
        {{layout.text.x, y}, FormatWithText(strings.Load(kStrPrintHeadingFirst + k), *pad.game)});
    y += layout.lineHeight;
  }
  y += layout.lineHeight;  // the first entry goes two lines below the last heading
  for (size_t i = 0; i < pad.keyTexts.size(); ++i) {
    const uint32_t name = PrintInputNameId(pad.model, i);
    if (name == 0) break;
    page.lines.push_back({{layout.text.x, y}, strings.Load(name) + pad.keyTexts[i]});
    y += layout.lineHeight;
  }
  return page;
}

}  // namespace kl
