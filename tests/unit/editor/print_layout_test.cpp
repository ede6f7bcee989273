// The printed mapping: where the picture and the lines go on pages of
// different printers, and what each pad's page says, through the printout
// the view's print handlers use.
#include <map>

#include "editor/pad_printout.h"
#include "tests/unit/editor/view_fixture.h"

namespace kl {
namespace {

using test::PadViewTest;

TEST(PrintLayoutTest, PrinterFontIsTenPointsHigh) {
  EXPECT_EQ(PrinterFontHeight(300), 41);
  EXPECT_EQ(PrinterFontHeight(600), 83);
  EXPECT_EQ(PrinterFontHeight(72), 10);
}

// Values worked out by hand from the page size: usable sizes are 67 % cut
// down to whole pixels, the picture is as wide as the smaller one and
// 348/560 of that high.
TEST(PrintLayoutTest, PagesOfDifferentPrinters) {
  struct Case {
    const char* what;
    PrinterPage page;
    int lineHeight;
    int usableWidth, usableHeight;
    bool landscape;
    layout::Rect picture;
    layout::Point text;
  };
  const Case cases[] = {
      // 1661 x 1032 picture centred across; the picture and a same-sized
      // block below it centred down; text two lines under the picture.
      {"A4 portrait, 300 dpi",
       {2480, 3508},
       41,
       1661,
       2350,
       false,
       {409, 722, 2070, 1754},
       {409, 1836}},
      {"A4 portrait, 600 dpi",
       {4960, 7016},
       83,
       3323,
       4700,
       false,
       {818, 1443, 4141, 3508},
       {818, 3674}},
      // Picture and a text column as wide as it, side by side, centred.
      {"A4 landscape, 300 dpi",
       {3508, 2480},
       41,
       2350,
       1661,
       true,
       {93, 724, 1754, 1756},
       {1847, 724}},
      // 2 x 1708 is wider than the page: picture and column share the
      // usable width, 1105 each.
      {"Letter landscape, 300 dpi",
       {3300, 2550},
       41,
       2211,
       1708,
       true,
       {545, 932, 1650, 1618},
       {2195, 932}},
      {"square page", {1000, 1000}, 12, 670, 670, true, {165, 396, 500, 604}, {665, 396}},
      {"tiny 100 x 80 page", {100, 80}, 2, 67, 53, true, {17, 30, 50, 50}, {67, 30}},
  };
  for (const Case& c : cases) {
    const std::optional<PrintLayout> l = ComputePrintLayout(c.page, c.lineHeight);
    ASSERT_TRUE(l) << c.what;
    EXPECT_EQ(l->lineHeight, c.lineHeight) << c.what;
    EXPECT_EQ(l->usableWidth, c.usableWidth) << c.what;
    EXPECT_EQ(l->usableHeight, c.usableHeight) << c.what;
    EXPECT_EQ(l->landscape, c.landscape) << c.what;
    EXPECT_EQ(l->picture.left, c.picture.left) << c.what;
    EXPECT_EQ(l->picture.top, c.picture.top) << c.what;
    EXPECT_EQ(l->picture.right, c.picture.right) << c.what;
    EXPECT_EQ(l->picture.bottom, c.picture.bottom) << c.what;
    EXPECT_EQ(l->text.x, c.text.x) << c.what;
    EXPECT_EQ(l->text.y, c.text.y) << c.what;
    EXPECT_DOUBLE_EQ(l->scale, (c.picture.right - c.picture.left) / 560.0) << c.what;
    // Nothing leaves the page.
    EXPECT_GE(l->picture.left, 0) << c.what;
    EXPECT_LE(l->picture.right, c.page.width) << c.what;
    EXPECT_LE(l->picture.bottom, c.page.height) << c.what;
    if (c.landscape) {
      EXPECT_GT(l->text.x, l->picture.right) << c.what;
    } else {
      EXPECT_GT(l->text.y, l->picture.bottom) << c.what;
    }
  }
}

TEST(PrintLayoutTest, PageOrFontWithoutSizeHasNoLayout) {
  EXPECT_FALSE(ComputePrintLayout({0, 3508}, 41));
  EXPECT_FALSE(ComputePrintLayout({2480, -5}, 41));
  EXPECT_FALSE(ComputePrintLayout({1, 1}, 41));  // 67 % of one pixel is none
  EXPECT_FALSE(ComputePrintLayout({2480, 3508}, 0));
  EXPECT_TRUE(ComputePrintLayout({2, 2}, 1));
}

// A string source with some texts replaced.
class ReplacedStrings : public StringSource {
 public:
  explicit ReplacedStrings(std::map<uint32_t, std::string> texts) : m_texts(std::move(texts)) {}
  std::string Load(uint32_t id) const override {
    const auto it = m_texts.find(id);
    return it != m_texts.end() ? it->second : m_builtin.Load(id);
  }

 private:
  std::map<uint32_t, std::string> m_texts;
  BuiltinStrings m_builtin{StringModule::kKloom};
};

TEST(PrintLayoutTest, HeadingFormatsAreNeverPrintfFormats) {
  const ReplacedStrings strings(
      {{61371, "Mapping of %s (100%)"}, {61372, "Game program"}, {61373, "%s and %s, %n%d"}});
  PrintLayout l = *ComputePrintLayout({2480, 3508}, 41);
  PrintPadText pad;
  pad.game = "DOOM.EXE";
  const PrintedPage page = LayOutPrintPage(l, strings, pad);
  ASSERT_EQ(page.lines.size(), 3u);
  EXPECT_EQ(page.lines[0].text, "Mapping of DOOM.EXE (100%)");
  EXPECT_EQ(page.lines[1].text, "Game program");  // no %s: as it stands
  EXPECT_EQ(page.lines[2].text, "DOOM.EXE and %s, %n%d");
}

class PrintoutTest : public PadViewTest {
 protected:
  PadPrintout& Printout() {
    m_printout = std::make_unique<PadPrintout>(*m_view, m_strings, m_input, m_prompts);
    return *m_printout;
  }
  // Pad 0 of 10 buttons, pad 1 of 12, DOOM.EXE with profile GAME1 loaded.
  void StartTwoPads() {
    AddPad(0, 10);
    AddPad(1, 12);
    AddGames({"DOOM.EXE"}, 10);
    Start();
    ASSERT_EQ(m_view->PadCount(), 2);
    ASSERT_EQ(m_view->DirtyState(), 0);
  }
  std::vector<std::string> Texts(const PrintedPage& page) {
    std::vector<std::string> texts;
    for (const PrintLine& line : page.lines) texts.push_back(line.text);
    return texts;
  }
  std::unique_ptr<PadPrintout> m_printout;
};

TEST_F(PrintoutTest, OnePagePerPadWithHeadingsAndOneLinePerInput) {
  StartTwoPads();
  PadPrintout& printout = Printout();
  EXPECT_EQ(printout.Prepare(), 2);
  ASSERT_TRUE(printout.Begin({2480, 3508}, 41));

  // A model-10 table holding entries beyond its 14 inputs still prints 14.
  KeySequence keys{};
  keys.code[0] = 'Q';
  keys.count = 1;
  ASSERT_TRUE(InsertKeyEntry(m_view->Store().Table(0), 14, kModeHold, &keys));
  ASSERT_TRUE(InsertKeyEntry(m_view->Store().Table(0), 15, kModeHold, &keys));

  const PrintedPage first = printout.Page(1);
  EXPECT_EQ(first.pictureId, 205);
  EXPECT_EQ(first.picture.left, 409);
  EXPECT_EQ(first.picture.bottom, 1754);
  const std::vector<std::string> expected10 = {
      "KeyLoom key assignments for DOOM.EXE",
      "Game program: DOOM.EXE",
      "Input                  Keys sent to DOOM.EXE",
      "Up ................... Up",
      "Down ................. Down",
      "Left ................. Left",
      "Right ................ Right",
      "Button 1 ............. (none)",
      "Button 2 ............. (none)",
      "Button 3 ............. (none)",
      "Button 4 ............. (none)",
      "Button 5 ............. (none)",
      "Button 6 ............. (none)",
      "Button 7 (L) ......... (none)",
      "Button 8 (R) ......... (none)",
      "Button 9 (Start) ..... Enter",
      "Button 10 (Select) ... Esc",
  };
  EXPECT_EQ(Texts(first), expected10);
  // Headings one line apart from the text origin, entries from two lines
  // below the last heading.
  const int y[] = {1836, 1877, 1918, 2000, 2041};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(first.lines[i].origin.x, 409);
    EXPECT_EQ(first.lines[i].origin.y, y[i]) << i;
  }
  EXPECT_EQ(first.lines.back().origin.y, 2000 + 13 * 41);

  const PrintedPage second = printout.Page(2);
  EXPECT_EQ(second.pictureId, 206);
  const std::vector<std::string> texts = Texts(second);
  ASSERT_EQ(texts.size(), 3u + 16u);
  EXPECT_EQ(texts[3 + 10], "Button 7 (L1) ........ (none)");
  EXPECT_EQ(texts[3 + 11], "Button 8 (R1) ........ (none)");
  EXPECT_EQ(texts[3 + 12], "Button 9 (Start) ..... Enter");
  EXPECT_EQ(texts[3 + 14], "Button 11 (L2) ....... (none)");
  EXPECT_EQ(texts[3 + 15], "Button 12 (R2) ....... (none)");

  EXPECT_TRUE(printout.Page(3).lines.empty());
  EXPECT_EQ(printout.Page(3).pictureId, 0);
}

TEST_F(PrintoutTest, LongKeyTextIsPrintedWhole) {
  StartTwoPads();
  KeySequence keys{};
  for (uint16_t vk = 96; vk <= 107; ++vk) keys.code[keys.count++] = vk;  // Num 0 .. Num +
  RemoveKeyEntry(m_view->Store().Table(0), 4);
  ASSERT_TRUE(InsertKeyEntry(m_view->Store().Table(0), 4, kModeTap, &keys));
  PadPrintout& printout = Printout();
  ASSERT_TRUE(printout.Begin({3508, 2480}, 41));
  const std::string text =
      "Num 0+Num 1+Num 2+Num 3+Num 4+Num 5+Num 6+Num 7+Num 8+Num 9+Num *+Num +";
  ASSERT_GE(text.size(), 70u);
  const PrintedPage page = printout.Page(1);
  ASSERT_GT(page.lines.size(), 7u);
  EXPECT_EQ(page.lines[7].text, "Button 1 ............. " + text);
  EXPECT_EQ(page.lines[7].origin.x, 1847);  // beside the picture on a landscape page
  EXPECT_EQ(page.lines[7].origin.y, 724 + 8 * 41);
}

TEST_F(PrintoutTest, WithoutGameAndProfileThePictureAlone) {
  AddPad(0, 12);
  Start();  // no game list at all
  PadPrintout& printout = Printout();
  EXPECT_EQ(printout.Prepare(), 1);
  ASSERT_TRUE(printout.Begin({2480, 3508}, 41));
  const PrintedPage page = printout.Page(1);
  EXPECT_EQ(page.pictureId, 206);
  EXPECT_EQ(page.picture.left, 409);
  EXPECT_TRUE(page.lines.empty());
}

TEST_F(PrintoutTest, GameWithoutProfilePrintsThePictureAlone) {
  AddPad(0, 10);
  AddGames({"DOOM.EXE"}, 10);
  Start();
  m_view->RunMenuCommand(2, 0);  // new profile: none selected until it is saved
  ASSERT_EQ(m_view->ProfileRow(), kNone);
  PadPrintout& printout = Printout();
  ASSERT_TRUE(printout.Begin({2480, 3508}, 41));
  EXPECT_TRUE(printout.Page(1).lines.empty());
}

TEST_F(PrintoutTest, NoPadShowsTheMissingPadTextAndEndsPrinting) {
  AddGames({"DOOM.EXE"}, 10);
  Start();
  ASSERT_EQ(m_view->PadCount(), 0);
  m_view->RunMenuCommand(1, 3);  // print preview widens the frame first
  ASSERT_TRUE(m_view->PreviewWide());
  m_log.clear();
  PadPrintout& printout = Printout();
  EXPECT_FALSE(printout.Prepare());
  EXPECT_EQ(m_log, (PortLog{"prompt 61245", "window size 0 0"}));
  EXPECT_FALSE(m_view->PreviewWide());
}

TEST_F(PrintoutTest, ViewDrawsNothingWhilePrintingAndAgainAfter) {
  StartTwoPads();
  PadPrintout& printout = Printout();
  ASSERT_TRUE(printout.Begin({2480, 3508}, 41));
  printout.Page(1);
  EXPECT_TRUE(m_view->Printing());
  m_log.clear();
  m_view->OnDraw();
  EXPECT_TRUE(m_log.empty());

  m_view->RunMenuCommand(1, 3);
  m_log.clear();
  printout.End();
  EXPECT_FALSE(m_view->Printing());
  EXPECT_FALSE(m_view->PreviewWide());
  EXPECT_EQ(m_log, (PortLog{"window size 0 0"}));
  m_view->OnDraw();
  EXPECT_TRUE(Logged("bitmap 200 0,0,599,398"));
}

}  // namespace
}  // namespace kl
