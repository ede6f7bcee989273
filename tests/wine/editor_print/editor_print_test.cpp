// Printing a mapping from KLOOM.EXE under Wine, as a user does it: two
// virtual pads (a 10-button one at joystick id 0, a 12-button one at id 1)
// configured as the maker's pads, a profile for both, the print command
// picked from the editor's first picture menu with xdotool at the layout's
// coordinates, the print dialog answered ("Print to file", OK, the file's
// name). The PostScript lands in out/ with the page layout the editor's
// printer should follow (worked out from the printer's resolution and the
// printer font's metrics); check_editor_pages.py then turns the pages into
// PNG and checks where the picture and every line are. Print setup switches
// to landscape through the same menu. Cancel prints nothing. The print
// preview opens in the frame, 654 wide, on page 1; Next shows page 2; Close
// snaps the frame back to 605; the pages chosen in the print dialog are
// the ones printed; the preview keeps the keyboard when the
// editor comes back to the front, so Escape closes it; twenty open and
// close cycles leave the editor's GDI objects where they were. With every
// pad unplugged the print commands show the missing-pad message instead of
// a dialog. With no printer installed, or a document the printer refuses
// (its file held open by another program), the user sees one message with
// the system's text and the view draws again.
#include <windows.h>

#include <commdlg.h>
#include <dlgs.h>
#include <gtest/gtest.h>
#include <winspool.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "editor/editor_world.h"
#include "editor/print_layout.h"
#include "framework/print_preview.h"
#include "harness/support.h"
#include "layout_tables.h"
#include "orvo/orvo_world.h"
#include "print/print_support.h"

namespace kl::editortest {
namespace {

using orvotest::KeyFolder;
using printtest::kPrinter;
using winetest::ProgramFolder;
using winetest::ReadWholeFile;
using winetest::RunHelper;
using winetest::WaitUntil;

constexpr char kGame[] = "NOTEPAD.EXE";
constexpr char kProfile[] = "PRINTED";
// The virtual pad's driver key as the mapper's test world names it.
constexpr char kDriverKey[] = "KlOrvoTestDriver";
constexpr UINT kMsgNoPadText = 61245;

void Pump(DWORD milliseconds) {
  WaitUntil([] { return false; }, milliseconds);
}

// Where the printed files and their expected layouts go: KL_PRINT_OUT or the temp folder.
std::string OutputPath(const std::string& name) {
  char folder[MAX_PATH] = {};
  if (GetEnvironmentVariableA("KL_PRINT_OUT", folder, sizeof folder) > 0) {
    std::string path = std::string(folder) + "\\" + name;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
  }
  return winetest::TempPath(name);
}

bool Helper(const std::string& program, const std::vector<std::string>& args, std::string& error) {
  const winetest::RunResult result = RunHelper(program, args);
  if (result.finished && result.exitCode == 0) return true;
  error = program;
  for (const std::string& arg : args) error += " " + arg;
  error += ": " + result.output;
  return false;
}

// A 10-button pad at joystick id 0 and a 12-button one at id 1, both the maker's.
bool PlugTwoPads(std::string& error) {
  const std::string key = std::string("regkey=") + kDriverKey;
  return Helper("vpadctl.exe", {"plug", "0", "buttons=10", key}, error) &&
         Helper("vpadctl.exe", {"plug", "1", "buttons=12", key}, error) &&
         Helper("kltool.exe", {"joystick", "autodetect"}, error);
}

// The profile printed: pad 1 (10 buttons) sends A, B, C, ... on its 14
// inputs; pad 2 (12 buttons) sends 1, 2, 3, ... on its first ten and the
// sequences A M, B N, ... on the rest.
std::string ProfileJson() {
  std::string json = "{\"pads\":[{\"entries\":[";
  for (int i = 0; i < 14; ++i) {
    json += (i > 0 ? "," : "") + std::string("{\"mode\":0,\"keys\":[[0,") +
            std::to_string('A' + i) + "]]}";
  }
  json += "]},{\"entries\":[";
  for (int i = 0; i < 16; ++i) {
    if (i > 0) json += ",";
    if (i < 10) {
      json += "{\"mode\":0,\"keys\":[[0," + std::to_string('0' + (i + 1) % 10) + "]]}";
    } else {
      json += "{\"mode\":1,\"keys\":[[0," + std::to_string('A' + i - 10) + "],[0," +
              std::to_string('M' + i - 10) + "]]}";
    }
  }
  return json + "]}]}";
}

bool SaveProfile(std::string& error) {
  const std::string path = winetest::TempPath("editor-print-profile.json");
  const std::string json = ProfileJson();
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    error = "cannot write " + path;
    return false;
  }
  std::fwrite(json.data(), 1, json.size(), file);
  std::fclose(file);
  return Helper("kltool.exe", {"profile", "save", KeyFolder(), kGame, kProfile, path}, error) &&
         Helper("kltool.exe", {"profile", "activate", KeyFolder(), kGame, kProfile}, error);
}

// The key texts of pad `pad` (from 0) as the editor shows them, from kltool.
std::vector<std::string> KeyTexts(int pad) {
  const winetest::RunResult result = RunHelper(
      "kltool.exe", {"text", KeyFolder() + "NOTEPAD.key", kProfile, "--pad", std::to_string(pad)});
  std::vector<std::string> texts;
  for (const std::string& line : winetest::Lines(result.output)) {
    const size_t tab = line.find('\t');
    if (tab != std::string::npos) texts.push_back(line.substr(tab + 1));
  }
  return texts;
}

struct DialogSearch {
  DWORD process;
  int id;
  std::vector<int> without;
  HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<DialogSearch*>(data);
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if (orvotest::ProcessOf(window) != search->process || std::string(name) != "#32770" ||
      !IsWindowVisible(window) || GetDlgItem(window, search->id) == nullptr) {
    return TRUE;
  }
  for (int other : search->without) {
    if (GetDlgItem(window, other) != nullptr) return TRUE;
  }
  search->found = window;
  return FALSE;
}

// A visible dialog of the editor with control `id` and none of `without`.
HWND WaitForDialogWith(const Editor& editor, int id, const std::vector<int>& without = {},
                       DWORD timeoutMs = 10000) {
  DialogSearch search{editor.ProcessId(), id, without, nullptr};
  WaitUntil(
      [&] {
        search.found = nullptr;
        EnumWindows(&MatchDialog, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      timeoutMs);
  if (search.found != nullptr) Pump(200);  // the dialog finishes its initialisation
  return search.found;
}

// A message box: its text in a static control and no control of the print or file dialogs.
HWND WaitForMessageBox(const Editor& editor, DWORD timeoutMs = 10000) {
  return WaitForDialogWith(editor, 0xFFFF, {chx1, edt1, cmb13, cmb2}, timeoutMs);
}

void Press(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

layout::Point Centre(const layout::Rect& r) {
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Item `item` of picture menu `menu` (from 0), clicked as a user does.
bool PickMenuItem(Editor& editor, int menu, int item) {
  const layout::PictureMenu& m = layout::kMenus[menu];
  const layout::Point tab = Centre(m.tab);
  const layout::Point at = Centre(m.items[item]);
  return editor.Click(tab.x, tab.y) && editor.Click(at.x, at.y);
}

constexpr int kFileMenu = 0;
constexpr int kPrintItem = 2;
constexpr int kPreviewItem = 3;
constexpr int kSetupItem = 4;

bool ClickWindow(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  const bool done = Xdo("mousemove " + std::to_string((r.left + r.right) / 2) + " " +
                        std::to_string((r.top + r.bottom) / 2) + " click 1");
  Pump(150);
  return done;
}

int Width(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r.right - r.left;
}

// The page layout the editor's printer should follow on the test printer
// in an orientation, and what each page should say.
struct Expected {
  int dpi = 0;
  PrinterPage page;
  PrintLayout layout;
};

bool PrinterLayout(Expected& expected, short orientation) {
  HANDLE printer = nullptr;
  if (!OpenPrinterA(const_cast<char*>(kPrinter), &printer, nullptr)) return false;
  char* name = const_cast<char*>(kPrinter);
  const LONG size = DocumentPropertiesA(nullptr, printer, name, nullptr, nullptr, 0);
  std::vector<BYTE> buffer(static_cast<size_t>(std::max<LONG>(size, sizeof(DEVMODEA))));
  auto* mode = reinterpret_cast<DEVMODEA*>(buffer.data());
  const LONG got = DocumentPropertiesA(nullptr, printer, name, mode, nullptr, DM_OUT_BUFFER);
  ClosePrinter(printer);
  if (size <= 0 || got != IDOK) return false;
  mode->dmOrientation = orientation;
  mode->dmFields |= DM_ORIENTATION;
  HDC dc = CreateDCA("WINEPS.DRV", kPrinter, nullptr, mode);
  if (dc == nullptr) return false;
  expected.dpi = GetDeviceCaps(dc, LOGPIXELSY);
  expected.page = {GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES)};
  HFONT font = CreateFontA(expected.dpi * 10 / 72, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_STRING_PRECIS, CLIP_CHARACTER_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH, "Courier New");
  HGDIOBJ previous = SelectObject(dc, font);
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, previous);
  DeleteObject(font);
  DeleteDC(dc);
  const auto layout =
      ComputePrintLayout(expected.page, metrics.tmHeight + metrics.tmExternalLeading);
  if (!layout) return false;
  expected.layout = *layout;
  return true;
}

// The expected pages for check_editor_pages.py: the device, then per page
// its print picture's rectangle and every line's top left and text. The
// pages are those of pads `firstPad` (from 0) and on.
bool WriteExpected(const std::string& path, const Expected& e, int firstPad) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const PrintLayout& l = e.layout;
  std::fprintf(file, "dpi %d\npage %d %d\nlineheight %d\n", e.dpi, e.page.width, e.page.height,
               l.lineHeight);
  const struct {
    int model;
    int picture;
  } pads[] = {{10, 205}, {12, 206}};
  const std::string game = kGame;
  for (int p = firstPad; p < 2; ++p) {
    const int sheet = p - firstPad + 1;
    std::fprintf(file, "picture %d %d %d %d %d %d\n", sheet, pads[p].picture, l.picture.left,
                 l.picture.top, l.picture.right, l.picture.bottom);
    int y = l.text.y;
    for (UINT k = 0; k < 3; ++k) {
      const std::string text = FormatWithText(EditorString(61371 + k), game);
      std::fprintf(file, "line %d %d %d %s\n", sheet, l.text.x, y, text.c_str());
      y += l.lineHeight;
    }
    y += l.lineHeight;
    const std::vector<std::string> keys = KeyTexts(p);
    for (size_t i = 0; i < keys.size(); ++i) {
      const std::string name =
          EditorString(PrintInputNameId(static_cast<uint8_t>(pads[p].model), i));
      std::fprintf(file, "line %d %d %d %s%s\n", sheet, l.text.x, y, name.c_str(), keys[i].c_str());
      y += l.lineHeight;
    }
  }
  std::fclose(file);
  return true;
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// The screen's pixels in `rect` (screen coordinates).
class ScreenImage {
 public:
  explicit ScreenImage(const RECT& rect)
      : m_rect(rect), m_pixels(static_cast<size_t>(Width() * Height())) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = Width();
    info.bmiHeader.biHeight = -Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, Width(), Height(), screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    std::copy_n(static_cast<const DWORD*>(bits), m_pixels.size(), m_pixels.begin());
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
  }
  int Width() const { return m_rect.right - m_rect.left; }
  int Height() const { return m_rect.bottom - m_rect.top; }
  // 0x00RRGGBB at (x, y) relative to the rectangle.
  DWORD At(int x, int y) const { return m_pixels[static_cast<size_t>(y * Width() + x)]; }
  bool White(int x, int y) const { return (At(x, y) & 0xFFFFFF) == 0xFFFFFF; }
  // Dark enough to be the picture's ink; a line of small print on screen
  // is grey, so `faint` takes anything not white.
  bool Ink(int x, int y, bool faint = false) const {
    const DWORD c = At(x, y);
    const DWORD sum = (c >> 16 & 0xFF) + (c >> 8 & 0xFF) + (c & 0xFF);
    return faint ? sum < 3 * 235 : sum < 3 * 200;
  }

 private:
  RECT m_rect;
  std::vector<DWORD> m_pixels;
};

// The white sheet of the preview in `image`: the white across its middle
// row, and the white run through that row down the sheet's left margin.
RECT FindPaper(const ScreenImage& image) {
  RECT paper = {-1, -1, -1, -1};
  const int y = image.Height() / 2;
  for (int x = 0; x < image.Width(); ++x) {
    if (!image.White(x, y)) continue;
    if (paper.left < 0) paper.left = x;
    paper.right = x + 1;
  }
  if (paper.left < 0) return paper;
  // Up and down the page's margin from that row, as long as it stays white.
  const int x = paper.left + 2;
  paper.top = y;
  while (paper.top > 0 && image.White(x, paper.top - 1)) --paper.top;
  paper.bottom = y + 1;
  while (paper.bottom < image.Height() && image.White(x, paper.bottom)) ++paper.bottom;
  return paper;
}

// The ink in `area` of `image`: its bounding box, empty when none.
RECT InkBox(const ScreenImage& image, const RECT& area, bool faint = false) {
  RECT box = {INT32_MAX, INT32_MAX, -1, -1};
  for (int y = std::max<LONG>(0, area.top); y < std::min<LONG>(image.Height(), area.bottom); ++y) {
    for (int x = std::max<LONG>(0, area.left); x < std::min<LONG>(image.Width(), area.right); ++x) {
      if (!image.Ink(x, y, faint)) continue;
      box.left = std::min<LONG>(box.left, x);
      box.top = std::min<LONG>(box.top, y);
      box.right = std::max<LONG>(box.right, x + 1);
      box.bottom = std::max<LONG>(box.bottom, y + 1);
    }
  }
  if (box.right < 0) return RECT{};
  return box;
}

// Whether the preview in `area` (screen coordinates) shows a sheet with ink on it.
bool PageDrawn(const RECT& area) {
  const ScreenImage image(area);
  const RECT paper = FindPaper(image);
  return paper.right - paper.left > 100 && paper.bottom - paper.top > 100 &&
         InkBox(image, paper).right > 0;
}

int Differing(const ScreenImage& a, const ScreenImage& b) {
  int count = 0;
  for (int y = 0; y < std::min(a.Height(), b.Height()); ++y) {
    for (int x = 0; x < std::min(a.Width(), b.Width()); ++x) count += a.At(x, y) != b.At(x, y);
  }
  return count;
}

// What the screen shows of the view's inclusive rectangle `r`.
ScreenImage ViewImage(HWND view, const layout::Rect& r) {
  RECT rect = {r.left, r.top, r.right + 1, r.bottom + 1};
  MapWindowPoints(view, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return ScreenImage(rect);
}

class EditorPrinting : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(printtest::InstallPrinter()); }
  void SetUp() override {
    EndAll();
    std::string error;
    ASSERT_TRUE(printtest::SetOrientation(DMORIENT_PORTRAIT));
    ASSERT_TRUE(InstallEditor(error)) << error;
    ASSERT_TRUE(orvotest::ConfigurePad(error)) << error;
    ASSERT_TRUE(PlugTwoPads(error)) << error;
    ASSERT_TRUE(SaveProfile(error)) << error;
    ASSERT_TRUE(m_editor.Start());
    ASSERT_TRUE(m_editor.WaitForFrame()) << "KLOOM.EXE showed no frame";
    ASSERT_TRUE(m_editor.Focus());
  }
  void TearDown() override {
    EndAll();
    orvotest::RemovePad();
    printtest::SetOrientation(DMORIENT_PORTRAIT);
  }
  void Shot(const std::string& name) {
    const std::string path = ScreenPng(name);
    EXPECT_FALSE(path.empty()) << "no screenshot " << name;
    RecordProperty(name, path);
  }
  // Picks Print in the menu and answers the print dialog ("Print to
  // file", pages `from` to `to` when `from` is not 0, OK) and the file
  // dialog with `path`; the editor then prints.
  bool PrintToFile(const std::string& path, int from = 0, int to = 0) {
    EXPECT_TRUE(PickMenuItem(m_editor, kFileMenu, kPrintItem));
    HWND print = WaitForDialogWith(m_editor, chx1);
    if (print == nullptr) {
      ADD_FAILURE() << "no print dialog";
      return false;
    }
    SendMessageA(GetDlgItem(print, chx1), BM_SETCHECK, BST_CHECKED, 0);
    if (from != 0) {
      CheckRadioButton(print, rad1, rad3, rad3);  // pages
      SetDlgItemInt(print, edt1, static_cast<UINT>(from), FALSE);
      SetDlgItemInt(print, edt2, static_cast<UINT>(to), FALSE);
    }
    Press(print, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(print); }));
    HWND save = WaitForDialogWith(m_editor, cmb13);
    if (save == nullptr) {
      ADD_FAILURE() << "no dialog for the file name";
      return false;
    }
    SetDlgItemTextA(save, cmb13, path.c_str());
    SetDlgItemTextA(save, edt1, path.c_str());
    Press(save, IDOK);
    return true;
  }
  // Prints through the menu and the dialog into out/NAME.ps and writes
  // out/NAME.expected; the PostScript. `fromPage` (from 1) chooses the
  // pages from that one to the last in the dialog; 0 prints all.
  std::string Print(const std::string& name, short orientation, int fromPage = 0) {
    const std::string path = OutputPath(name + ".ps");
    DeleteFileA(path.c_str());
    Expected expected;
    EXPECT_TRUE(PrinterLayout(expected, orientation));
    EXPECT_TRUE(
        WriteExpected(OutputPath(name + ".expected"), expected, fromPage > 0 ? fromPage - 1 : 0));
    if (!PrintToFile(path, fromPage, fromPage > 0 ? 2 : 0)) return {};
    std::string ps;
    EXPECT_TRUE(WaitUntil(
        [&] {
          ps = ReadWholeFile(path);
          return ps.find("%%EOF") != std::string::npos;
        },
        20000))
        << "no complete PostScript in " << path;
    EXPECT_EQ(WaitForMessageBox(m_editor, 300), nullptr) << "printing reported a failure";
    return ps;
  }
  // The pad picture as the view draws it now.
  ScreenImage PadPicture() const { return ViewImage(m_editor.View(), layout::kPadPictureRect); }
  // Whether the view draws its pad picture again as `before` showed it
  // (printing over, it is drawn when a window that covered it goes).
  ::testing::AssertionResult DrawsAgain(const ScreenImage& before) const {
    int differing = 0;
    if (WaitUntil([&] {
          UpdateWindow(m_editor.View());
          differing = Differing(PadPicture(), before);
          return differing < before.Width() * before.Height() / 100;
        })) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << differing << " pixels of the pad picture differ";
  }
  // Waits until the view has drawn its pad picture (PadShown) and the
  // picture holds still; `pad` is then what it shows.
  bool Settled(ScreenImage& pad) const {
    return WaitUntil([&] {
      ScreenImage now = PadPicture();
      const bool still = Differing(now, pad) == 0;
      pad = std::move(now);
      return still && PadShown(pad);
    });
  }
  // The view has drawn its pad picture: more than one colour in it, and
  // not the white of a window that has yet to paint (the pad's art is dark).
  static bool PadShown(const ScreenImage& now) {
    int white = 0;
    bool colours = false;
    for (int y = 0; y < now.Height(); ++y) {
      for (int x = 0; x < now.Width(); ++x) {
        white += now.White(x, y);
        colours = colours || now.At(x, y) != now.At(0, 0);
      }
    }
    return colours && white < now.Width() * now.Height() / 10;
  }
  HWND Preview() const {
    return FindWindowExA(m_editor.Frame(), nullptr, "KlPrintPreview", nullptr);
  }

  Editor m_editor;
};

TEST_F(EditorPrinting, PrintsOnePagePerPadFromTheMenuInPortraitAndLandscape) {
  ScreenImage pad = PadPicture();
  ASSERT_TRUE(Settled(pad)) << "the editor shows no pad";
  // Cancel first: nothing is printed, nothing else is asked.
  ASSERT_TRUE(PickMenuItem(m_editor, kFileMenu, kPrintItem));
  HWND print = WaitForDialogWith(m_editor, chx1);
  ASSERT_NE(print, nullptr) << "no print dialog";
  Shot("editor-print-dialog");
  Press(print, IDCANCEL);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(print); }));
  EXPECT_EQ(WaitForDialogWith(m_editor, 0xFFFF, {}, 1000), nullptr) << "cancel asks nothing more";

  std::string ps = Print("editor-portrait", DMORIENT_PORTRAIT);
  EXPECT_EQ(ps.rfind("%!PS-Adobe", 0), 0u);
  EXPECT_EQ(Count(ps, "%%Page: "), 2) << "one page per pad";
  EXPECT_NE(ps.find("%%Orientation: Portrait"), std::string::npos);

  // Landscape through print setup in the same menu; it holds for the next print.
  ASSERT_TRUE(PickMenuItem(m_editor, kFileMenu, kSetupItem));
  HWND setup = WaitForDialogWith(m_editor, cmb2, {cmb13});
  ASSERT_NE(setup, nullptr) << "no print setup dialog";
  SendMessageA(GetDlgItem(setup, rad2), BM_CLICK, 0, 0);
  Shot("editor-print-setup-landscape");
  Press(setup, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(setup); }));
  ps = Print("editor-landscape", DMORIENT_LANDSCAPE);
  EXPECT_EQ(Count(ps, "%%Page: "), 2);
  EXPECT_NE(ps.find("%%Orientation: Landscape"), std::string::npos);
  EXPECT_EQ(Width(m_editor.Frame()), 605);
  m_editor.Focus();
  EXPECT_TRUE(DrawsAgain(pad)) << "the view no longer draws after printing";
  Shot("editor-after-printing");
}

TEST_F(EditorPrinting, PreviewShowsEachPadsPageInTheWiderFrameAndSnapsBack) {
  Expected expected;
  ASSERT_TRUE(PrinterLayout(expected, DMORIENT_PORTRAIT));
  ASSERT_EQ(Width(m_editor.Frame()), 605);
  ScreenImage pad = PadPicture();
  ASSERT_TRUE(Settled(pad)) << "the editor shows no pad";
  ASSERT_TRUE(PickMenuItem(m_editor, kFileMenu, kPreviewItem));
  HWND preview = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    return (preview = Preview()) != nullptr && IsWindowVisible(preview);
  })) << "no preview in the frame";
  EXPECT_EQ(Width(m_editor.Frame()), 654) << "the frame grows for the preview";
  EXPECT_FALSE(IsWindowVisible(m_editor.View()));
  HWND next = GetDlgItem(preview, kIdPreviewNext);
  HWND previous = GetDlgItem(preview, kIdPreviewPrevious);
  EXPECT_TRUE(IsWindowEnabled(next)) << "page 1 of 2";
  EXPECT_FALSE(IsWindowEnabled(previous));

  // Where the layout puts the picture and the first heading, on the sheet.
  RECT area{};
  GetWindowRect(preview, &area);
  ASSERT_TRUE(WaitUntil([&] { return PageDrawn(area); })) << "no page shown";
  const auto check = [&](const char* page) {
    SCOPED_TRACE(page);
    const ScreenImage image(area);
    const RECT paper = FindPaper(image);
    ASSERT_GT(paper.right - paper.left, 100);
    ASSERT_GT(paper.bottom - paper.top, 100);
    const double sx = double(paper.right - paper.left) / expected.page.width;
    const double sy = double(paper.bottom - paper.top) / expected.page.height;
    const PrintLayout& l = expected.layout;
    const RECT picture = {
        paper.left + LONG(l.picture.left * sx), paper.top + LONG(l.picture.top * sy),
        paper.left + LONG(l.picture.right * sx), paper.top + LONG(l.picture.bottom * sy)};
    // The picture's ink lies within its rectangle and fills most of its width.
    const RECT ink =
        InkBox(image, {picture.left - 6, picture.top - 6, picture.right + 6, picture.bottom + 2});
    EXPECT_GE(ink.left, picture.left - 2);
    EXPECT_LE(ink.right, picture.right + 2);
    EXPECT_GE(ink.top, picture.top - 2);
    EXPECT_GT(ink.right - ink.left, (picture.right - picture.left) * 8 / 10);
    // The first heading starts at the text origin.
    const int top = paper.top + int(l.text.y * sy);
    const int height = std::max(2, int(l.lineHeight * sy));
    const RECT heading = InkBox(
        image, {paper.left + LONG(l.text.x * sx) - 6, top, paper.right - 2, top + height}, true);
    EXPECT_GT(heading.right, heading.left) << "no first heading";
    EXPECT_NEAR(heading.left, paper.left + l.text.x * sx, 3);
  };
  check("page 1");
  Shot("editor-preview-page1");
  const ScreenImage first(area);

  ASSERT_TRUE(ClickWindow(next));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(next); })) << "page 2 of 2";
  EXPECT_TRUE(IsWindowEnabled(previous));
  EXPECT_TRUE(WaitUntil([&] {
    return PageDrawn(area) && Differing(first, ScreenImage(area)) > 500;
  })) << "page 2 shows another pad";
  check("page 2");
  Shot("editor-preview-page2");

  ASSERT_TRUE(ClickWindow(GetDlgItem(preview, kIdPreviewClose)));
  EXPECT_TRUE(WaitUntil([&] { return Preview() == nullptr; }));
  EXPECT_EQ(Width(m_editor.Frame()), 605) << "the frame snaps back";
  EXPECT_TRUE(IsWindowVisible(m_editor.View()));
  EXPECT_TRUE(DrawsAgain(pad)) << "the view no longer draws after the preview";
  Shot("editor-preview-closed");
}

TEST_F(EditorPrinting, PagesChosenInThePrintDialogArePrinted) {
  // Page 2 alone: the second pad's page, checked line by line by
  // check_editor_pages.py.
  const std::string ps = Print("editor-page-two", DMORIENT_PORTRAIT, 2);
  EXPECT_EQ(Count(ps, "%%Page: "), 1);
}

// The window of the editor's thread that has the keyboard.
HWND KeyboardFocus(HWND frame) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(frame, nullptr), &info);
  return info.hwndFocus;
}

TEST_F(EditorPrinting, PreviewKeepsTheKeyboardWhenTheEditorComesBackToTheFront) {
  // The X keyboard focus on Wine's desktop window from the start, as a
  // user's session has it; given later, Wine would bring back to the front
  // whichever of its windows it last saw active.
  ASSERT_TRUE(Xdo("search --name 'Wine desktop' windowfocus --sync"));
  ASSERT_TRUE(PickMenuItem(m_editor, kFileMenu, kPreviewItem));
  HWND preview = nullptr;
  ASSERT_TRUE(
      WaitUntil([&] { return (preview = Preview()) != nullptr && IsWindowVisible(preview); }));
  EXPECT_TRUE(WaitUntil([&] { return KeyboardFocus(m_editor.Frame()) == preview; }));
  // Another program in front, then a click on the grey around the page
  // brings the editor back: the keys go to the preview, not to the hidden
  // pad view (where they would be assigned to the selected input).
  orvotest::Notepad notepad;
  std::string error;
  ASSERT_TRUE(notepad.Start(error)) << error;
  ASSERT_TRUE(orvotest::BringToFront(notepad.Window()));
  // Notepad small in the screen's corner, clear of the spot clicked.
  SetWindowPos(notepad.Window(), nullptr, 0, 0, 120, 80, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT area{};
  GetWindowRect(preview, &area);
  const POINT spot = {area.left + 3, area.bottom - 3};
  RECT covered{};
  ASSERT_TRUE(WaitUntil([&] {
    GetWindowRect(notepad.Window(), &covered);
    return !PtInRect(&covered, spot);
  })) << "notepad covers the preview";
  ASSERT_TRUE(
      Xdo("mousemove " + std::to_string(spot.x) + " " + std::to_string(spot.y) + " click 1"));
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == m_editor.Frame(); }));
  EXPECT_TRUE(WaitUntil([&] { return KeyboardFocus(m_editor.Frame()) == preview; }))
      << "the keyboard is with " << KeyboardFocus(m_editor.Frame());
  ASSERT_TRUE(m_editor.Keys("Escape"));
  EXPECT_TRUE(WaitUntil([&] { return Preview() == nullptr; })) << "Escape closes the preview";
  EXPECT_TRUE(WaitUntil([&] { return Width(m_editor.Frame()) == 605; }));
  EXPECT_TRUE(WaitUntil([&] { return KeyboardFocus(m_editor.Frame()) == m_editor.View(); }))
      << "the view has the keyboard again";
  notepad.Kill();
}

TEST_F(EditorPrinting, PreviewCyclesLeaveTheEditorsGdiObjects) {
  HANDLE process =
      OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, m_editor.ProcessId());
  ASSERT_NE(process, nullptr);
  const auto cycle = [&] {
    if (!PickMenuItem(m_editor, kFileMenu, kPreviewItem)) return false;
    HWND preview = nullptr;
    if (!WaitUntil([&] { return (preview = Preview()) != nullptr && IsWindowVisible(preview); })) {
      return false;
    }
    RECT area{};
    GetWindowRect(preview, &area);
    HWND next = GetDlgItem(preview, kIdPreviewNext);
    if (!WaitUntil([&] { return PageDrawn(area); }) || !ClickWindow(next) ||
        !WaitUntil([&] { return !IsWindowEnabled(next) && PageDrawn(area); })) {
      return false;
    }
    // Closing ends the run: the frame is narrow again once it is over.
    return ClickWindow(GetDlgItem(preview, kIdPreviewClose)) &&
           WaitUntil([&] { return Preview() == nullptr && Width(m_editor.Frame()) == 605; });
  };
  ASSERT_TRUE(cycle());  // the first run lets the system's fonts and caches settle
  // The count once it holds still.
  int before = -1;
  ASSERT_TRUE(WaitUntil([&] {
    const int now = printtest::GdiObjects(process);
    const bool still = now == before;
    before = now;
    return still;
  }));
  ASSERT_GT(before, 0) << "the editor's GDI table cannot be read";
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(cycle()) << "cycle " << i;
  int after = -1;
  EXPECT_TRUE(WaitUntil([&] { return (after = printtest::GdiObjects(process)) == before; }, 3000))
      << after << " GDI objects after 20 previews, " << before << " before";
  CloseHandle(process);
}

TEST_F(EditorPrinting, WithNoPadThePrintCommandsShowTheMissingPadMessage) {
  // The view's pad poll notices: the pad selector loses its two rows.
  RECT rows = {layout::kPadSelectorRows[0].left, layout::kPadSelectorRows[0].top,
               layout::kPadSelectorRows[1].right + 1, layout::kPadSelectorRows[1].bottom + 1};
  MapWindowPoints(m_editor.View(), nullptr, reinterpret_cast<POINT*>(&rows), 2);
  const ScreenImage padsShown(rows);
  std::string error;
  ASSERT_TRUE(Helper("vpadctl.exe", {"unplug", "0"}, error)) << error;
  ASSERT_TRUE(Helper("vpadctl.exe", {"unplug", "1"}, error)) << error;
  ASSERT_TRUE(WaitUntil([&] {
    const ScreenImage now(rows);
    return Differing(now, padsShown) > now.Width() * now.Height() / 10;
  })) << "the editor still shows its pads";
  for (int item : {kPrintItem, kPreviewItem}) {
    SCOPED_TRACE(item == kPrintItem ? "print" : "preview");
    ASSERT_TRUE(m_editor.Focus());
    ASSERT_TRUE(PickMenuItem(m_editor, kFileMenu, item));
    HWND box = WaitForMessageBox(m_editor);
    ASSERT_NE(box, nullptr) << "no message";
    EXPECT_EQ(Editor::DialogText(box), EditorString(kMsgNoPadText));
    EXPECT_EQ(WaitForDialogWith(m_editor, chx1, {}, 0), nullptr) << "no print dialog";
    Shot(std::string("editor-print-no-pad-") + (item == kPrintItem ? "print" : "preview"));
    Press(box, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_EQ(Preview(), nullptr);
    EXPECT_TRUE(WaitUntil([&] { return Width(m_editor.Frame()) == 605; }))
        << "the frame is " << Width(m_editor.Frame()) << " wide";
  }
}

// The system's text for `error`, without its line end.
std::string SystemText(DWORD error) {
  char text[512] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                 text, sizeof text, nullptr);
  std::string message = text;
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
    message.pop_back();
  }
  return message;
}

// The error the test printer reports for a one-page document into `path`,
// 0 when it takes the document.
DWORD RefusalOf(const std::string& path) {
  HDC dc = CreateDCA("WINEPS.DRV", kPrinter, nullptr, nullptr);
  if (dc == nullptr) return GetLastError();
  DOCINFOA doc = {};
  doc.cbSize = sizeof doc;
  doc.lpszDocName = "probe";
  doc.lpszOutput = path.c_str();
  SetLastError(0);
  const bool taken =
      StartDocA(dc, &doc) > 0 && StartPage(dc) > 0 && EndPage(dc) > 0 && EndDoc(dc) > 0;
  const DWORD error = taken ? 0 : GetLastError();
  DeleteDC(dc);
  return error;
}

TEST_F(EditorPrinting, WithNoPrinterThePrintCommandsShowOneSystemMessage) {
  ScreenImage pad = PadPicture();
  ASSERT_TRUE(Settled(pad)) << "the editor shows no pad";
  printtest::WithoutPrinter noPrinter;
  ASSERT_TRUE(noPrinter.Removed());
  const struct {
    const char* name;
    int item;
  } cases[] = {{"print", kPrintItem}, {"preview", kPreviewItem}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(m_editor.Focus());
    ASSERT_TRUE(PickMenuItem(m_editor, kFileMenu, c.item));
    HWND box = WaitForMessageBox(m_editor);
    ASSERT_NE(box, nullptr) << "no message";
    // The print dialog says it itself when there is no printer; the
    // preview, which asks for the default printer without a dialog, says
    // what the system reports. Neither is one of the editor's texts.
    const std::string text = Editor::DialogText(box);
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text, EditorString(kMsgNoPadText));
    if (c.item == kPreviewItem) {
      EXPECT_EQ(text, SystemText(ERROR_INVALID_PRINTER_NAME));
    }
    EXPECT_EQ(WaitForDialogWith(m_editor, chx1, {}, 0), nullptr) << "no print dialog";
    Shot(std::string("editor-no-printer-") + c.name);
    Press(box, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_EQ(WaitForDialogWith(m_editor, 0xFFFF, {}, 1000), nullptr) << "one message only";
    EXPECT_EQ(Preview(), nullptr);
    EXPECT_EQ(Width(m_editor.Frame()), 605);
    EXPECT_TRUE(DrawsAgain(pad)) << "the view no longer draws";
  }
}

TEST_F(EditorPrinting, DocumentThePrinterRefusesShowsTheSystemsTextAndTheViewDrawsAgain) {
  ScreenImage pad = PadPicture();
  ASSERT_TRUE(Settled(pad)) << "the editor shows no pad";
  // The file chosen is open in another program that shares it with no
  // one: the printer takes the pages and refuses the document.
  const std::string path = OutputPath("editor-held.ps");
  HANDLE held = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const DWORD refusal = RefusalOf(path);
  ASSERT_NE(refusal, 0u) << "the printer writes into a file another program holds";
  // The file exists: the file dialog asks whether to replace it.
  const auto replace = [&] {
    HWND ask = WaitForMessageBox(m_editor);
    if (ask == nullptr || GetDlgItem(ask, IDYES) == nullptr) return false;
    Press(ask, IDYES);
    return WaitUntil([&] { return !IsWindow(ask); });
  };
  ASSERT_TRUE(PrintToFile(path));
  ASSERT_TRUE(replace()) << "the existing file is not offered for replacing";
  HWND box = WaitForMessageBox(m_editor);
  ASSERT_NE(box, nullptr) << "no message";
  EXPECT_EQ(Editor::DialogText(box), SystemText(refusal));
  Shot("editor-print-refused");
  Press(box, IDOK);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  EXPECT_EQ(WaitForDialogWith(m_editor, 0xFFFF, {}, 1000), nullptr) << "one message only";
  EXPECT_EQ(GetFileSize(held, nullptr), 0u);
  EXPECT_EQ(Width(m_editor.Frame()), 605);
  EXPECT_TRUE(DrawsAgain(pad)) << "the view no longer draws after the refused document";
  Shot("editor-after-refused-print");
  CloseHandle(held);

  // Released, the same file takes the next print whole.
  ASSERT_TRUE(PrintToFile(path));
  ASSERT_TRUE(replace());
  std::string ps;
  EXPECT_TRUE(WaitUntil(
      [&] {
        ps = ReadWholeFile(path);
        return ps.find("%%EOF") != std::string::npos;
      },
      20000));
  EXPECT_EQ(Count(ps, "%%Page: "), 2);
  EXPECT_EQ(WaitForMessageBox(m_editor, 300), nullptr) << "printing reported a failure";
}

}  // namespace
}  // namespace kl::editortest
