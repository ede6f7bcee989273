// The print preview window.
#include "framework/print_preview.h"

#include <algorithm>

namespace kl {
namespace {

constexpr char kPreviewClass[] = "KlPrintPreview";
constexpr int kToolHeight = 28;
constexpr int kMargin = 8;
constexpr int kShadow = 3;

struct ButtonText {
  UINT id;
  const char* text;
  int width;
};
constexpr ButtonText kButtons[] = {
    {kIdPreviewPrint, "&Print...", 64},     {kIdPreviewNext, "&Next Page", 76},
    {kIdPreviewPrevious, "Pre&v Page", 76}, {kIdPreviewPages, "&Two Page", 72},
    {kIdPreviewZoomIn, "Zoom &In", 64},     {kIdPreviewZoomOut, "Zoom &Out", 68},
    {kIdPreviewClose, "&Close", 56},
};

}  // namespace

CPrintPreview::CPrintPreview(CPrintTarget& target, CPrinterSettings& settings)
    : m_target(target), m_settings(settings) {}

CPrintPreview::~CPrintPreview() {
  Close();
}

bool CPrintPreview::Open(HWND view) {
  if (m_running) return true;
  m_info = CPrintInfo{};
  m_info.m_bPreview = true;
  m_scroll[0] = m_scroll[1] = 0;
  if (!m_target.OnPreparePrinting(m_info)) return false;
  m_running = true;
  m_view = view;
  DWORD error = 0;
  m_printer = m_info.m_nMaxPage >= m_info.m_nMinPage ? m_settings.CreateDC(error) : nullptr;
  HWND frame = GetParent(view);
  RECT client{};
  GetClientRect(frame, &client);
  if (m_printer != nullptr) {
    m_info.m_nFromPage = m_info.m_nMinPage;
    m_info.m_nToPage = m_info.m_nMaxPage;
    m_info.m_nCurPage = m_info.m_nMinPage;
    m_page = m_info.m_nMinPage;
    m_info.m_rectDraw = PrintablePage(m_printer);
    if (!m_target.OnBeginPrinting(m_printer, m_info)) {
      error = kErrorNoPageLayout;
    } else if (!RegisterWindowClass(kPreviewClass, CS_HREDRAW | CS_VREDRAW, nullptr,
                                    LoadCursor(nullptr, IDC_ARROW), nullptr) ||
               !CreateEx(0, kPreviewClass, "", WS_CHILD | WS_CLIPCHILDREN | WS_HSCROLL | WS_VSCROLL,
                         0, 0, client.right, client.bottom, frame, nullptr)) {
      error = GetLastError();
    }
  }
  if (m_hWnd == nullptr) {
    Close();
    ShowPrintError(frame, error != 0 ? error : ERROR_GEN_FAILURE);
    return false;
  }
  ::ShowWindow(view, SW_HIDE);
  SetWindowPos(m_hWnd, HWND_TOP, 0, 0, client.right, client.bottom, SWP_SHOWWINDOW);
  SetFocus(m_hWnd);
  return true;
}

void CPrintPreview::Close() {
  ReleasePages();
  if (m_hWnd != nullptr) DestroyWindow();
  if (m_running) {
    m_running = false;
    m_target.OnEndPrinting(m_printer, m_info);
  }
  if (m_printer != nullptr) {
    DeleteDC(m_printer);
    m_printer = nullptr;
  }
  if (m_view != nullptr) {
    ::ShowWindow(m_view, SW_SHOW);
    InvalidateRect(m_view, nullptr, FALSE);
    m_view = nullptr;
  }
}

bool CPrintPreview::OnCreate(const CREATESTRUCTA&) {
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  int x = 4;
  for (size_t i = 0; i < m_buttons.size(); ++i) {
    m_buttons[i] = CreateWindowExA(0, "BUTTON", kButtons[i].text,
                                   WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, x, 3,
                                   kButtons[i].width, kToolHeight - 6, m_hWnd,
                                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kButtons[i].id)),
                                   GetModuleHandleA(nullptr), nullptr);
    if (m_buttons[i] == nullptr) return false;
    ::SendMessageA(m_buttons[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    x += kButtons[i].width + 4;
  }
  UpdateButtons();
  return true;
}

void CPrintPreview::ReleasePages() {
  for (HENHMETAFILE& page : m_pages) {
    if (page != nullptr) DeleteEnhMetaFile(page);
    page = nullptr;
  }
}

// Records page `page` as the printer would print it: a metafile whose frame
// is the printer's printable page, drawn by the target's OnPrint.
HENHMETAFILE CPrintPreview::Record(UINT page) {
  const int width = GetDeviceCaps(m_printer, HORZRES);
  const int height = GetDeviceCaps(m_printer, VERTRES);
  const int dpiX = std::max(1, GetDeviceCaps(m_printer, LOGPIXELSX));
  const int dpiY = std::max(1, GetDeviceCaps(m_printer, LOGPIXELSY));
  const RECT frame = {0, 0, MulDiv(width, 2540, dpiX), MulDiv(height, 2540, dpiY)};
  HDC dc = CreateEnhMetaFileA(m_printer, nullptr, &frame, nullptr);
  if (dc == nullptr) return nullptr;
  m_info.m_nCurPage = page;
  const int saved = SaveDC(dc);
  m_target.OnPrint(dc, m_info);
  RestoreDC(dc, saved);
  return CloseEnhMetaFile(dc);
}

void CPrintPreview::ShowPage(UINT page) {
  ReleasePages();
  m_page = std::clamp(page, m_info.m_nMinPage, m_info.m_nMaxPage);
  UpdateButtons();
  UpdateScrollBars();
  InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CPrintPreview::UpdateButtons() {
  const UINT page = m_page;
  const UINT last = m_twoPages && m_info.m_nMaxPage > m_info.m_nMinPage ? m_info.m_nMaxPage - 1
                                                                        : m_info.m_nMaxPage;
  EnableWindow(GetDlgItem(m_hWnd, kIdPreviewNext), page < last);
  EnableWindow(GetDlgItem(m_hWnd, kIdPreviewPrevious), page > m_info.m_nMinPage);
  EnableWindow(GetDlgItem(m_hWnd, kIdPreviewPages), m_info.m_nMaxPage > m_info.m_nMinPage);
  SetDlgItemTextA(m_hWnd, kIdPreviewPages, m_twoPages ? "&One Page" : "&Two Page");
  EnableWindow(GetDlgItem(m_hWnd, kIdPreviewZoomIn), m_zoom < 4);
  EnableWindow(GetDlgItem(m_hWnd, kIdPreviewZoomOut), m_zoom > 1);
}

bool CPrintPreview::OnCommand(UINT id) {
  switch (id) {
    case kIdPreviewNext:
      ShowPage(m_page + 1);
      return true;
    case kIdPreviewPrevious:
      ShowPage(m_page > m_info.m_nMinPage ? m_page - 1 : m_info.m_nMinPage);
      return true;
    case kIdPreviewPages:
      m_twoPages = !m_twoPages && m_info.m_nMaxPage > m_info.m_nMinPage;
      if (m_twoPages && m_page == m_info.m_nMaxPage) {
        ShowPage(m_page - 1);
      } else {
        ShowPage(m_page);
      }
      return true;
    case kIdPreviewZoomIn:
      m_zoom = std::min(4, m_zoom * 2);
      ShowPage(m_page);
      return true;
    case kIdPreviewZoomOut:
      m_zoom = std::max(1, m_zoom / 2);
      ShowPage(m_page);
      return true;
    case kIdPreviewClose:
      Close();
      return true;
    case kIdPreviewPrint: {
      HWND view = m_view;
      Close();
      if (view != nullptr) ::PostMessageA(view, WM_COMMAND, kIdFilePrint, 0);
      return true;
    }
    default:
      return false;
  }
}

bool CPrintPreview::OnEraseBkgnd(HDC, bool& erased) {
  erased = true;  // the paint covers everything
  return true;
}

bool CPrintPreview::OnKeyDown(const KeyArgs& key) {
  if (key.code != VK_ESCAPE) return false;
  Close();
  return true;
}

// One page's size on screen in `area`: fitted into its slot, then
// magnified by the zoom; a slot is at least as wide as its page.
CPrintPreview::Sheet CPrintPreview::Measure(const RECT& area) const {
  const int slots = m_twoPages ? 2 : 1;
  const int pageWidth = std::max(1, GetDeviceCaps(m_printer, HORZRES));
  const int pageHeight = std::max(1, GetDeviceCaps(m_printer, VERTRES));
  const int slotWidth = (area.right - area.left - kMargin * (slots + 1)) / slots;
  const int slotHeight = area.bottom - area.top - 2 * kMargin - kShadow;
  Sheet sheet;
  if (slotWidth < 1 || slotHeight < 1) return sheet;
  sheet.width = slotWidth;
  sheet.height = MulDiv(sheet.width, pageHeight, pageWidth);
  if (sheet.height > slotHeight) {
    sheet.height = slotHeight;
    sheet.width = MulDiv(sheet.height, pageWidth, pageHeight);
  }
  sheet.width *= m_zoom;
  sheet.height *= m_zoom;
  sheet.slotWidth = std::max(slotWidth, sheet.width);
  sheet.contentWidth = kMargin * (slots + 1) + slots * sheet.slotWidth;
  sheet.contentHeight = sheet.height + 2 * kMargin + kShadow;
  return sheet;
}

RECT CPrintPreview::PageArea() const {
  RECT client{};
  GetClientRect(m_hWnd, &client);
  return {0, kToolHeight, client.right, std::max<LONG>(kToolHeight, client.bottom)};
}

// Scroll bars for a magnified page larger than the window; the positions
// stay within their ranges.
void CPrintPreview::UpdateScrollBars() {
  for (int pass = 0; pass < 2; ++pass) {  // a bar that comes or goes resizes the area
    const RECT area = PageArea();
    const Sheet sheet = Measure(area);
    const int visible[2] = {static_cast<int>(area.right - area.left),
                            static_cast<int>(area.bottom - area.top)};
    const int content[2] = {sheet.contentWidth, sheet.contentHeight};
    const int bars[2] = {SB_HORZ, SB_VERT};
    for (int i = 0; i < 2; ++i) {
      const int range = std::max(0, content[i] - visible[i]);
      m_scroll[i] = std::clamp(m_scroll[i], 0, range);
      SCROLLINFO info = {};
      info.cbSize = sizeof info;
      info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
      info.nMax = range > 0 ? content[i] - 1 : 0;
      info.nPage = range > 0 ? static_cast<UINT>(visible[i]) : 0;
      info.nPos = m_scroll[i];
      SetScrollInfo(m_hWnd, bars[i], &info, TRUE);
    }
  }
}

void CPrintPreview::Scroll(int bar, UINT request) {
  SCROLLINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  GetScrollInfo(m_hWnd, bar, &info);
  const int i = bar == SB_HORZ ? 0 : 1;
  int pos = m_scroll[i];
  switch (request) {
    case SB_LINEUP:
      pos -= 20;
      break;
    case SB_LINEDOWN:
      pos += 20;
      break;
    case SB_PAGEUP:
      pos -= static_cast<int>(info.nPage);
      break;
    case SB_PAGEDOWN:
      pos += static_cast<int>(info.nPage);
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      pos = info.nTrackPos;
      break;
    case SB_TOP:
      pos = 0;
      break;
    case SB_BOTTOM:
      pos = info.nMax;
      break;
    default:
      return;
  }
  const int range = std::max(0, info.nMax + 1 - static_cast<int>(info.nPage));
  m_scroll[i] = std::clamp(pos, 0, range);
  info.fMask = SIF_POS;
  info.nPos = m_scroll[i];
  SetScrollInfo(m_hWnd, bar, &info, TRUE);
  InvalidateRect(m_hWnd, nullptr, FALSE);
}

bool CPrintPreview::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message != WM_HSCROLL && message != WM_VSCROLL) return false;
  Scroll(message == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(wParam));
  result = 0;
  return true;
}

bool CPrintPreview::OnSize(UINT, int, int) {
  UpdateScrollBars();
  InvalidateRect(m_hWnd, nullptr, FALSE);
  return true;
}

// Page `page` into slot `slot` (0 left, 1 right) of `area`, shifted by the
// scroll positions.
void CPrintPreview::DrawPage(HDC dc, UINT page, int slot, const RECT& area) {
  const Sheet sheet = Measure(area);
  if (sheet.width < 1 || sheet.height < 1) return;
  const int left = area.left + kMargin + slot * (sheet.slotWidth + kMargin) +
                   (sheet.slotWidth - sheet.width) / 2 - m_scroll[0];
  const int top = area.top + kMargin - m_scroll[1];
  const RECT paper = {left, top, left + sheet.width, top + sheet.height};
  const RECT shadow = {left + kShadow, top + kShadow, paper.right + kShadow,
                       paper.bottom + kShadow};
  FillRect(dc, &shadow, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  FillRect(dc, &paper, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HENHMETAFILE& recorded = m_pages[slot];
  if (recorded == nullptr) recorded = Record(page);
  if (recorded != nullptr) PlayEnhMetaFile(dc, recorded, &paper);
}

bool CPrintPreview::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(m_hWnd, &ps);
  RECT client{};
  GetClientRect(m_hWnd, &client);
  RECT tools = {0, 0, client.right, kToolHeight};
  FillRect(dc, &tools, GetSysColorBrush(COLOR_BTNFACE));
  const RECT area = PageArea();
  FillRect(dc, &area, GetSysColorBrush(COLOR_APPWORKSPACE));
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  DrawPage(dc, m_page, 0, area);
  if (m_twoPages && m_page < m_info.m_nMaxPage) {
    DrawPage(dc, m_page + 1, 1, area);
  }
  RestoreDC(dc, saved);
  EndPaint(m_hWnd, &ps);
  return true;
}

bool CViewPrinting::OnCommand(UINT id, HWND view) {
  // The dialogs belong to the frame, so that the whole window waits for them.
  HWND owner = GetAncestor(view, GA_ROOT);
  if (owner == nullptr) owner = view;
  switch (id) {
    case kIdFilePrint:
      if (m_preview.IsOpen()) m_preview.Close();
      RunPrintCommand(owner, m_target, m_settings);
      return true;
    case kIdFilePrintPreview:
      m_preview.Open(view);
      return true;
    case kIdFilePrintSetup: {
      DWORD error = 0;
      if (!m_settings.Setup(owner, error) && error != 0) ShowPrintError(owner, error);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace kl
