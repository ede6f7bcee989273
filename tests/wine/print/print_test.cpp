// The framework's printing under Wine with its PostScript driver on a FILE:
// port: a frame with a two-page view, printed through the real print
// dialog (answered from a second thread as a user would: tick "Print to
// file", OK, type the file name), cancelled, limited to one page; and the
// print preview: it opens on page 1 over the view, Next shows page 2, Close
// ends the run and shows the view, and twenty open and close cycles leave
// the GDI object count where it was. Page 1 draws a black block in the upper
// left quarter of the page, page 2 one in the lower right, so each page can
// be told from the other on paper and on screen.
#include <windows.h>

#include <commdlg.h>
#include <dlgs.h>
#include <gtest/gtest.h>
#include <winspool.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "framework/framework.h"
#include "harness/support.h"
#include "print/print_support.h"

namespace {

using kl::printtest::GdiObjects;
using kl::printtest::InstallPrinter;
using kl::printtest::kPrinter;
using kl::winetest::WaitUntil;

// Where the printed files go: KL_PRINT_OUT (a folder) or the temp folder.
std::string OutputPath(const std::string& name) {
  char folder[MAX_PATH] = {};
  if (GetEnvironmentVariableA("KL_PRINT_OUT", folder, sizeof folder) > 0) {
    std::string path = std::string(folder) + "\\" + name;
    for (char& c : path) c = c == '/' ? '\\' : c;
    return path;
  }
  return kl::winetest::TempPath(name);
}

// A view of two pages that counts the calls it gets.
class PagesView : public kl::CWnd, public kl::CPrintTarget {
 public:
  int prepared = 0, begun = 0, ended = 0;
  int printed[3] = {};
  bool endedWithDc = false;
  UINT pages = 2;
  UINT lastPage = 0;
  bool refuseLayout = false;  // OnBeginPrinting cannot lay the pages out

  bool OnPreparePrinting(kl::CPrintInfo& info) override {
    ++prepared;
    info.m_nMinPage = 1;
    info.m_nMaxPage = pages;
    return true;
  }
  SIZE page{};  // the printable page OnBeginPrinting saw
  bool OnBeginPrinting(HDC dc, kl::CPrintInfo&) override {
    ++begun;
    page = {GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES)};
    return !refuseLayout;
  }
  void OnPrint(HDC dc, kl::CPrintInfo& info) override {
    lastPage = info.m_nCurPage;
    if (info.m_nCurPage <= 2) ++printed[info.m_nCurPage];
    const int w = GetDeviceCaps(dc, HORZRES);
    const int h = GetDeviceCaps(dc, VERTRES);
    RECT block = info.m_nCurPage == 1 ? RECT{w / 10, h / 10, w * 4 / 10, h * 3 / 10}
                                      : RECT{w * 6 / 10, h * 6 / 10, w * 9 / 10, h * 8 / 10};
    FillRect(dc, &block, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  void OnEndPrinting(HDC dc, kl::CPrintInfo&) override {
    ++ended;
    endedWithDc = dc != nullptr;
  }

 protected:
  bool OnCommand(UINT id) override { return m_printing.OnCommand(id, m_hWnd); }
  bool OnPaint() override {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EndPaint(m_hWnd, &ps);
    return true;
  }

 public:
  kl::CViewPrinting m_printing{*this};
};

struct DialogSearch {
  int id;
  std::vector<int> without;  // a dialog with one of these controls too is not the one
  HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<DialogSearch*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
      std::string(name) == "#32770" && GetDlgItem(window, search->id) != nullptr &&
      std::none_of(search->without.begin(), search->without.end(),
                   [window](int other) { return GetDlgItem(window, other) != nullptr; })) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// Finds a visible dialog of this process that has control `id` and none of `without`.
HWND FindDialogWith(int id, const std::vector<int>& without = {}) {
  DialogSearch search{id, without, nullptr};
  EnumWindows(&MatchDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Runs `answer` on the first dialog with control `id` (and without control
// any of `without`) that appears within 10 s, from a thread of its own while the
// modal dialog runs.
class DialogAnswer {
 public:
  DialogAnswer(int id, std::function<void(HWND)> answer, std::vector<int> without = {})
      : m_thread([this, id, answer, without] {
          for (int i = 0; i < 500 && !m_stop; ++i) {
            if (HWND dialog = FindDialogWith(id, without)) {
              Sleep(100);  // let the dialog finish its initialisation
              answer(dialog);
              m_answered = true;
              return;
            }
            Sleep(20);
          }
        }) {}
  ~DialogAnswer() {
    m_stop = true;
    m_thread.join();
  }
  bool Answered() const { return m_answered; }

 private:
  std::atomic<bool> m_stop{false};
  std::atomic<bool> m_answered{false};
  std::thread m_thread;
};

HWND PreviewWindow(HWND frame) {
  return FindWindowExA(frame, nullptr, "KlPrintPreview", nullptr);
}

void Click(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

class PrintTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(InstallPrinter()); }
  void SetUp() override {
    ASSERT_TRUE(kl::CWnd::RegisterWindowClass("KlPrintTestView", 0, nullptr,
                                              LoadCursor(nullptr, IDC_ARROW), nullptr));
    ASSERT_TRUE(m_frame.CreateEx(0, "KlPrintTestView", "Print test",
                                 WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 100, 100, 605,
                                 405, nullptr, nullptr));
    RECT client{};
    GetClientRect(m_frame.m_hWnd, &client);
    ASSERT_TRUE(m_view.CreateEx(0, "KlPrintTestView", "", WS_CHILD | WS_VISIBLE, 0, 0, client.right,
                                client.bottom, m_frame.m_hWnd, nullptr));
    Pump();
  }
  void TearDown() override {
    m_view.m_printing.Preview().Close();
    m_view.DestroyWindow();
    m_frame.DestroyWindow();
  }
  void Pump() {
    WaitUntil([] { return false; }, 50);
  }
  void Command(UINT id) { SendMessageA(m_view.m_hWnd, WM_COMMAND, id, 0); }
  // Prints through the dialog into `path`; `dialog` fills the dialog in.
  void PrintToFile(const std::string& path, const std::function<void(HWND)>& dialog = {}) {
    DeleteFileA(path.c_str());
    DialogAnswer saveAs(cmb13, [path](HWND save) {
      SetDlgItemTextA(save, cmb13, path.c_str());
      SetDlgItemTextA(save, edt1, path.c_str());
      Click(save, IDOK);
    });
    DialogAnswer print(chx1, [dialog](HWND print) {
      SendMessageA(GetDlgItem(print, chx1), BM_SETCHECK, BST_CHECKED, 0);
      if (dialog) dialog(print);
      Click(print, IDOK);
    });
    Command(kl::kIdFilePrint);
    EXPECT_TRUE(print.Answered());
    EXPECT_TRUE(saveAs.Answered());
  }
  int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  }
  kl::CWnd m_frame;
  PagesView m_view;
};

TEST_F(PrintTest, PrintsEveryPageThroughTheDialog) {
  const std::string path = OutputPath("two-pages.ps");
  PrintToFile(path);
  const std::string ps = kl::winetest::ReadWholeFile(path);
  ASSERT_FALSE(ps.empty());
  EXPECT_EQ(ps.rfind("%!PS-Adobe", 0), 0u);
  EXPECT_EQ(Count(ps, "%%Page: "), 2);
  EXPECT_EQ(m_view.prepared, 1);
  EXPECT_EQ(m_view.begun, 1);
  EXPECT_EQ(m_view.printed[1], 1);
  EXPECT_EQ(m_view.printed[2], 1);
  EXPECT_EQ(m_view.ended, 1);
  EXPECT_TRUE(m_view.endedWithDc);
}

TEST_F(PrintTest, PageRangeOfTheDialogIsPrinted) {
  const std::string path = OutputPath("page-two.ps");
  PrintToFile(path, [](HWND print) {
    CheckRadioButton(print, rad1, rad3, rad3);  // pages
    SetDlgItemTextA(print, edt1, "2");
    SetDlgItemTextA(print, edt2, "2");
  });
  const std::string ps = kl::winetest::ReadWholeFile(path);
  EXPECT_EQ(Count(ps, "%%Page: "), 1);
  EXPECT_EQ(m_view.printed[1], 0);
  EXPECT_EQ(m_view.printed[2], 1);
}

TEST_F(PrintTest, PrintSetupChoiceIsKeptForTheNextPrint) {
  // Wine's setup dialog also makes its choice the printer's default, so the
  // test sets both orientations itself and leaves portrait behind.
  const auto setUp = [this](int orientation) {
    DialogAnswer setup(cmb2, [orientation](HWND dialog) {  // the paper size list
      SendMessageA(GetDlgItem(dialog, orientation), BM_CLICK, 0, 0);
      Click(dialog, IDOK);
    });
    Command(kl::kIdFilePrintSetup);
    EXPECT_TRUE(setup.Answered());
  };
  setUp(rad2);                    // landscape
  EXPECT_EQ(m_view.prepared, 0);  // setting up prints nothing
  const std::string landscape = OutputPath("landscape.ps");
  PrintToFile(landscape);
  EXPECT_GT(m_view.page.cx, m_view.page.cy);
  std::string ps = kl::winetest::ReadWholeFile(landscape);
  EXPECT_NE(ps.find("%%Orientation: Landscape"), std::string::npos);
  EXPECT_EQ(Count(ps, "%%Page: "), 2);

  setUp(rad1);  // portrait
  const std::string portrait = OutputPath("portrait.ps");
  PrintToFile(portrait);
  EXPECT_LT(m_view.page.cx, m_view.page.cy);
  ps = kl::winetest::ReadWholeFile(portrait);
  EXPECT_NE(ps.find("%%Orientation: Portrait"), std::string::npos);
}

TEST_F(PrintTest, CancelPrintsNothingAndEndsTheRun) {
  DialogAnswer print(chx1, [](HWND dialog) { Click(dialog, IDCANCEL); });
  Command(kl::kIdFilePrint);
  EXPECT_TRUE(print.Answered());
  EXPECT_EQ(m_view.begun, 0);
  EXPECT_EQ(m_view.printed[1] + m_view.printed[2], 0);
  EXPECT_EQ(m_view.ended, 1);
  EXPECT_FALSE(m_view.endedWithDc);
}

TEST_F(PrintTest, DocumentThePrinterRefusesIsAFailure) {
  // A device without a document of its own refuses one at StartDoc; Wine's
  // printer takes the document and refuses it at its end when the output
  // folder does not exist.
  HDC screen = GetDC(nullptr);
  const struct {
    const char* name;
    HDC dc;
    std::string output;
    int pagesPrinted;
  } cases[] = {
      {"refused at the start", CreateCompatibleDC(screen), "", 0},
      {"refused at the end", CreateDCA("WINEPS.DRV", kPrinter, nullptr, nullptr),
       OutputPath("no-such-folder\\x.ps"), 2},
  };
  ReleaseDC(nullptr, screen);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(c.dc, nullptr);
    m_view.printed[1] = m_view.printed[2] = 0;
    DWORD error = 0;
    kl::CPrintInfo info;
    info.m_nFromPage = 1;
    info.m_nToPage = 2;
    EXPECT_FALSE(kl::PrintDocument(c.dc, m_view, info, "test", c.output, error));
    EXPECT_NE(error, 0u);
    EXPECT_EQ(m_view.printed[1] + m_view.printed[2], c.pagesPrinted);
    DeleteDC(c.dc);
  }
}

TEST_F(PrintTest, NoPrinterShowsOneSystemMessageAndEndsTheRun) {
  std::optional<kl::printtest::WithoutPrinter> noPrinter(std::in_place);
  ASSERT_TRUE(noPrinter->Removed());
  std::atomic<int> boxes{0};
  std::string shown;
  DialogAnswer message(0xFFFF, [&](HWND box) {  // a message box's text
    char text[512] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    shown = text;
    ++boxes;
    Click(box, IDOK);
  });
  Command(kl::kIdFilePrintPreview);
  Pump();
  noPrinter.reset();
  EXPECT_TRUE(message.Answered());
  EXPECT_EQ(boxes, 1);
  EXPECT_FALSE(shown.empty());
  EXPECT_EQ(PreviewWindow(m_frame.m_hWnd), nullptr);
  EXPECT_TRUE(IsWindowVisible(m_view.m_hWnd));
  EXPECT_EQ(m_view.prepared, 1);
  EXPECT_EQ(m_view.begun, 0);
  EXPECT_EQ(m_view.ended, 1);
}

TEST_F(PrintTest, PagesThatCannotBeLaidOutShowOneMessageAndPrintNothing) {
  m_view.refuseLayout = true;
  const std::string path = OutputPath("refused.ps");
  const struct {
    const char* name;
    UINT command;
  } cases[] = {{"print", kl::kIdFilePrint}, {"preview", kl::kIdFilePrintPreview}};
  int runs = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ++runs;
    std::atomic<int> boxes{0};
    std::string shown;
    DialogAnswer message(0xFFFF,
                         [&](HWND box) {
                           char text[512] = {};
                           GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
                           shown = text;
                           ++boxes;
                           Click(box, IDOK);
                         },
                         {chx1, edt1, cmb13});  // not the print or the file dialog
    if (c.command == kl::kIdFilePrint) {
      PrintToFile(path);
    } else {
      Command(c.command);
    }
    Pump();
    EXPECT_TRUE(message.Answered());
    EXPECT_EQ(boxes, 1);
    EXPECT_FALSE(shown.empty());
    EXPECT_EQ(m_view.printed[1] + m_view.printed[2], 0);
    EXPECT_EQ(m_view.ended, runs);
    EXPECT_EQ(PreviewWindow(m_frame.m_hWnd), nullptr);
    EXPECT_TRUE(IsWindowVisible(m_view.m_hWnd));
  }
  EXPECT_EQ(kl::winetest::ReadWholeFile(path), "");
}

// A 24-bit BMP of what the screen shows of `window`, for looking at.
void SaveScreenshot(HWND window, const std::string& path) {
  RECT r{};
  GetWindowRect(window, &r);
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  const DWORD size = static_cast<DWORD>(((w * 3 + 3) & ~3) * h);
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info.bmiHeader;
  file.bfSize = file.bfOffBits + size;
  HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (out != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(out, &file, sizeof file, &written, nullptr);
    WriteFile(out, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr);
    WriteFile(out, bits, size, &written, nullptr);
    CloseHandle(out);
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

// The colour of the preview at frame client point (x, y).
COLORREF PreviewPixel(HWND frame, int x, int y) {
  HDC dc = GetDC(frame);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(frame, dc);
  return c;
}

// The page as the preview places it: the white rectangle right of the
// margin below the tool row.
struct PaperRect {
  int left, top, right, bottom;
};
PaperRect FindPaper(HWND frame) {
  RECT client{};
  GetClientRect(frame, &client);
  PaperRect r{-1, -1, -1, -1};
  const int y = 100;
  for (int x = 0; x < client.right; ++x) {
    if (PreviewPixel(frame, x, y) == RGB(255, 255, 255)) {
      if (r.left < 0) r.left = x;
      r.right = x;
    }
  }
  const int x = (r.left + r.right) / 2;
  for (int yy = 28; yy < client.bottom; ++yy) {
    const COLORREF c = PreviewPixel(frame, x, yy);
    if (c == RGB(255, 255, 255) || c == RGB(0, 0, 0)) {
      if (r.top < 0) r.top = yy;
      if (c == RGB(255, 255, 255)) r.bottom = yy;
    }
  }
  return r;
}

bool Black(HWND frame, const PaperRect& paper, int tenthX, int tenthY) {
  const int x = paper.left + (paper.right - paper.left) * tenthX / 20;
  const int y = paper.top + (paper.bottom - paper.top) * tenthY / 20;
  return PreviewPixel(frame, x, y) == RGB(0, 0, 0);
}

TEST_F(PrintTest, PreviewShowsPageOneThenPageTwoAndCloses) {
  Command(kl::kIdFilePrintPreview);
  HWND preview = PreviewWindow(m_frame.m_hWnd);
  ASSERT_NE(preview, nullptr);
  EXPECT_FALSE(IsWindowVisible(m_view.m_hWnd));
  UpdateWindow(preview);
  Pump();
  EXPECT_EQ(m_view.m_printing.Preview().CurrentPage(), 1u);
  PaperRect paper = FindPaper(m_frame.m_hWnd);
  ASSERT_GT(paper.right - paper.left, 100);
  ASSERT_GT(paper.bottom - paper.top, 100);
  // Block 1 spans tenths 1..4 across and 1..3 down; block 2 6..9 and 6..8.
  EXPECT_TRUE(Black(m_frame.m_hWnd, paper, 5, 4));
  EXPECT_FALSE(Black(m_frame.m_hWnd, paper, 15, 14));
  SaveScreenshot(m_frame.m_hWnd, OutputPath("preview-page1.bmp"));

  Click(preview, kl::kIdPreviewNext);
  Pump();
  UpdateWindow(preview);
  EXPECT_EQ(m_view.m_printing.Preview().CurrentPage(), 2u);
  EXPECT_EQ(m_view.lastPage, 2u);
  EXPECT_FALSE(Black(m_frame.m_hWnd, paper, 5, 4));
  EXPECT_TRUE(Black(m_frame.m_hWnd, paper, 15, 14));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(preview, kl::kIdPreviewNext)));
  SaveScreenshot(m_frame.m_hWnd, OutputPath("preview-page2.bmp"));

  Click(preview, kl::kIdPreviewPages);
  Pump();
  UpdateWindow(preview);
  EXPECT_TRUE(m_view.m_printing.Preview().TwoPages());
  EXPECT_EQ(m_view.m_printing.Preview().CurrentPage(), 1u);
  SaveScreenshot(m_frame.m_hWnd, OutputPath("preview-two.bmp"));

  // Magnified twice, the page is taller than the window: it scrolls.
  Click(preview, kl::kIdPreviewZoomIn);
  Click(preview, kl::kIdPreviewZoomIn);
  Pump();
  EXPECT_EQ(m_view.m_printing.Preview().Zoom(), 4);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(preview, kl::kIdPreviewZoomIn)));
  SCROLLINFO bar = {};
  bar.cbSize = sizeof bar;
  bar.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(preview, SB_VERT, &bar));
  EXPECT_GT(bar.nMax, static_cast<int>(bar.nPage));
  EXPECT_EQ(bar.nPos, 0);
  SendMessageA(preview, WM_VSCROLL, SB_PAGEDOWN, 0);
  SendMessageA(preview, WM_VSCROLL, SB_BOTTOM, 0);
  ASSERT_TRUE(GetScrollInfo(preview, SB_VERT, &bar));
  EXPECT_EQ(bar.nPos, bar.nMax + 1 - static_cast<int>(bar.nPage));
  UpdateWindow(preview);
  Pump();
  SaveScreenshot(m_frame.m_hWnd, OutputPath("preview-zoomed.bmp"));
  Click(preview, kl::kIdPreviewZoomOut);
  Click(preview, kl::kIdPreviewZoomOut);
  Pump();
  EXPECT_EQ(m_view.m_printing.Preview().Zoom(), 1);

  Click(preview, kl::kIdPreviewClose);
  Pump();
  EXPECT_EQ(PreviewWindow(m_frame.m_hWnd), nullptr);
  EXPECT_TRUE(IsWindowVisible(m_view.m_hWnd));
  EXPECT_EQ(m_view.prepared, 1);
  EXPECT_EQ(m_view.begun, 1);
  EXPECT_EQ(m_view.ended, 1);
}

TEST_F(PrintTest, PreviewCyclesLeaveNoGdiObjects) {
  Command(kl::kIdFilePrintPreview);  // first run: fonts and caches of the system settle
  Pump();
  Click(PreviewWindow(m_frame.m_hWnd), kl::kIdPreviewClose);
  Pump();
  // The count sees an object come and go.
  const int start = GdiObjects(GetCurrentProcess());
  ASSERT_GT(start, 0);
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  EXPECT_EQ(GdiObjects(GetCurrentProcess()), start + 1);
  DeleteObject(brush);
  const int before = GdiObjects(GetCurrentProcess());
  ASSERT_EQ(before, start);
  for (int i = 0; i < 20; ++i) {
    Command(kl::kIdFilePrintPreview);
    HWND preview = PreviewWindow(m_frame.m_hWnd);
    ASSERT_NE(preview, nullptr);
    UpdateWindow(preview);
    Click(preview, kl::kIdPreviewNext);
    Pump();
    UpdateWindow(preview);
    Click(preview, kl::kIdPreviewClose);
    Pump();
  }
  EXPECT_EQ(GdiObjects(GetCurrentProcess()), before);
  EXPECT_EQ(m_view.ended, 21);
}

}  // namespace
