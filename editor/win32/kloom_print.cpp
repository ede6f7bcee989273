// The pad view's printing: its four print handlers over the pad printer.
#include "editor/win32/kloom_print.h"

#include "editor/win32/kloom_view.h"

namespace kl {

PadPrinter::PadPrinter(PadView& view, const StringSource& strings, Input& input, Prompts& prompts,
                       HMODULE resources, HWND window)
    : m_printout(view, strings, input, prompts), m_resources(resources), m_window(window) {}

PadPrinter::~PadPrinter() {
  DeleteFont();
}

void PadPrinter::DeleteFont() {
  if (m_font != nullptr) DeleteObject(m_font);
  m_font = nullptr;
}

std::optional<int> PadPrinter::Prepare() {
  return m_printout.Prepare();
}

bool PadPrinter::Begin(HDC printer) {
  DeleteFont();
  m_font = CreateFontA(PrinterFontHeight(GetDeviceCaps(printer, LOGPIXELSY)), 0, 0, 0, FW_NORMAL,
                       FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_STRING_PRECIS,
                       CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Courier New");
  if (m_font == nullptr) return false;
  // The font is measured here and selected again for each page, so that it
  // is never left selected into a context when it is deleted.
  HGDIOBJ previous = SelectObject(printer, m_font);
  TEXTMETRICA metrics = {};
  const bool measured = GetTextMetricsA(printer, &metrics) != FALSE;
  SelectObject(printer, previous);
  const PrinterPage page{GetDeviceCaps(printer, HORZRES), GetDeviceCaps(printer, VERTRES)};
  return measured &&
         m_printout.Begin(page, static_cast<int>(metrics.tmHeight + metrics.tmExternalLeading));
}

void PadPrinter::PrintPage(HDC dc, int page) {
  const PrintedPage printed = m_printout.Page(page);
  if (printed.pictureId != 0) {
    const layout::Rect& r = printed.picture;
    m_painter.SetTarget(m_resources, m_window);
    m_painter.DrawBitmapToDC(static_cast<UINT>(printed.pictureId), r.left, r.top, r.right, r.bottom,
                             dc);
  }
  if (printed.lines.empty() || m_font == nullptr) return;
  HGDIOBJ previous = SelectObject(dc, m_font);
  for (const PrintLine& line : printed.lines) {
    TextOutA(dc, line.origin.x, line.origin.y, line.text.data(),
             static_cast<int>(line.text.size()));
  }
  SelectObject(dc, previous);
}

void PadPrinter::End() {
  DeleteFont();
  m_printout.End();
}

bool CKLoomView::OnPreparePrinting(CPrintInfo& info) {
  const std::optional<int> pages = m_printer ? m_printer->Prepare() : std::nullopt;
  if (!pages) return false;
  info.m_nMinPage = 1;
  info.m_nMaxPage = static_cast<UINT>(*pages);
  return true;
}

bool CKLoomView::OnBeginPrinting(HDC dc, CPrintInfo&) {
  return m_printer && m_printer->Begin(dc);
}

void CKLoomView::OnPrint(HDC dc, CPrintInfo& info) {
  if (m_printer) m_printer->PrintPage(dc, static_cast<int>(info.m_nCurPage));
  // The view's own drawing draws nothing while a page is printed.
  OnDraw(dc);
}

void CKLoomView::OnEndPrinting(HDC, CPrintInfo&) {
  if (m_printer) m_printer->End();
}

bool CKLoomView::OnCommand(UINT id) {
  return m_printing && m_printing->OnCommand(id, m_hWnd);
}

}  // namespace kl
