#include "applet/win32/page_window_ports.h"

#include "applet/win32/page_message.h"
#include "framework/module.h"
#include "framework/propsheet.h"
#include "layout_tables.h"

namespace kl {
namespace {

// A bitmap's own size, from the table every picture is drawn to.
std::optional<layout::Size> BitmapSize(int id) {
  for (const layout::BitmapEntry& bitmap : layout::kOstraBitmaps) {
    if (bitmap.id == id) return layout::Size{bitmap.width, bitmap.height};
  }
  return std::nullopt;
}

}  // namespace

PageWindowCanvas::Dc::Dc(const PageWindowCanvas& canvas)
    : m_window(canvas.m_page),
      m_dc(canvas.m_paintDc != nullptr ? canvas.m_paintDc : GetDC(canvas.m_page)),
      m_own(canvas.m_paintDc == nullptr) {}

PageWindowCanvas::Dc::~Dc() {
  if (m_own && m_dc != nullptr) ReleaseDC(m_window, m_dc);
}

PageWindowCanvas::PageWindowCanvas(HWND page, HMODULE resources, HFONT font)
    : m_page(page), m_resources(resources), m_font(font) {
  m_painter.SetTarget(resources, page);
}

void PageWindowCanvas::DrawBitmap(int id, Point at) {
  const std::optional<layout::Size> size = BitmapSize(id);
  if (!size) return;
  Dc dc(*this);
  if (dc.Get() == nullptr) return;
  m_painter.DrawBitmapToDC(static_cast<UINT>(id), at.x, at.y, at.x + size->width - 1,
                           at.y + size->height - 1, dc.Get());
}

bool PageWindowCanvas::Blit(HDC dc, int id, Point at, DWORD rop) {
  HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageA(m_resources, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
  if (bitmap == nullptr) return false;
  BITMAP info{};
  GetObjectA(bitmap, sizeof info, &info);
  HDC memory = CreateCompatibleDC(dc);
  bool done = false;
  if (memory != nullptr) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    done = BitBlt(dc, at.x, at.y, info.bmWidth, info.bmHeight, memory, 0, 0, rop) != FALSE;
    SelectObject(memory, old);
    DeleteDC(memory);
  }
  DeleteObject(bitmap);
  return done;
}

void PageWindowCanvas::DrawMasked(int image, int mask, Point at) {
  Dc dc(*this);
  if (dc.Get() == nullptr) return;
  // Without its mask the picture is not drawn: OR alone would mix it with the page.
  if (Blit(dc.Get(), mask, at, SRCAND)) Blit(dc.Get(), image, at, SRCPAINT);
}

void PageWindowCanvas::DrawPicture(int id, Point origin, const layout::Rect& rect) {
  Dc dc(*this);
  if (dc.Get() == nullptr) return;
  m_painter.DrawBitmapToDC(("#" + std::to_string(id)).c_str(), origin.x + rect.left,
                           origin.y + rect.top, origin.x + rect.right, origin.y + rect.bottom,
                           dc.Get());
}

void PageWindowCanvas::FillBar(const PageRect& rect, uint32_t colour) {
  Dc dc(*this);
  if (dc.Get() == nullptr) return;
  HPEN pen = CreatePen(PS_SOLID, 1, colour);
  HBRUSH brush = CreateSolidBrush(colour);
  HGDIOBJ oldPen = SelectObject(dc.Get(), pen);
  HGDIOBJ oldBrush = SelectObject(dc.Get(), brush);
  Rectangle(dc.Get(), rect.left, rect.top, rect.right, rect.bottom);
  SelectObject(dc.Get(), oldBrush);
  SelectObject(dc.Get(), oldPen);
  DeleteObject(brush);
  DeleteObject(pen);
}

void PageWindowCanvas::DrawLine(Point from, Point via, Point to) {
  Dc dc(*this);
  if (dc.Get() == nullptr) return;
  MoveToEx(dc.Get(), from.x, from.y, nullptr);
  LineTo(dc.Get(), via.x, via.y);
  LineTo(dc.Get(), to.x, to.y);
}

void PageWindowCanvas::DrawText(Point at, const std::string& text) {
  Dc dc(*this);
  if (dc.Get() == nullptr) return;
  HGDIOBJ old = m_font != nullptr ? SelectObject(dc.Get(), m_font) : nullptr;
  const int mode = SetBkMode(dc.Get(), TRANSPARENT);
  TextOutA(dc.Get(), at.x, at.y, text.c_str(), static_cast<int>(text.size()));
  SetBkMode(dc.Get(), mode);
  if (old != nullptr) SelectObject(dc.Get(), old);
}

HWND PageWindowControls::Item(int control) const {
  return GetDlgItem(m_page.GetSafeHwnd(), control);
}

void PageWindowControls::SetText(int control, const std::string& text) {
  SetWindowTextA(Item(control), text.c_str());
}

void PageWindowControls::SetString(int control, uint32_t stringId) {
  SetText(control, AfxLoadString(stringId));
}

void PageWindowControls::Show(int control, bool shown) {
  ShowWindow(Item(control), shown ? SW_SHOW : SW_HIDE);
}

void PageWindowControls::Enable(int control, bool enabled) {
  EnableWindow(Item(control), enabled ? TRUE : FALSE);
}

void PageWindowControls::SetDefaultStyle(int control, bool isDefault) {
  SendMessageA(Item(control), BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void PageWindowControls::SetModified() {
  m_page.SetModified(true);
}

void PageWindowControls::Repaint() {
  RedrawWindow(m_page.GetSafeHwnd(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

int PageWindowPrompts::MessageBox(uint32_t stringId, uint32_t style) {
  return ShowPageMessage(m_page, stringId, style);
}

PageRect ControlRect(HWND page, int id) {
  RECT rect{};
  HWND control = GetDlgItem(page, id);
  if (control == nullptr) return PageRect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
  return PageRect{rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace kl
