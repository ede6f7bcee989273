// The calibration and test pages' ports on a page window: drawing into the
// page with the resource module's bitmaps (the pad pictures through the
// editor's bitmap painter, the small pictures over their masks with AND and
// OR), the page's controls, and the page's message boxes.
#pragma once

#include <windows.h>
// The ports' own names: not the A/W macros of <windows.h>.
#undef DrawText
#undef MessageBox

#include <optional>
#include <string>

#include "applet/page_ports.h"
#include "editor/win32/dib_painter.h"
#include "platform/prompts.h"

namespace kl {

class CPropertyPage;

class PageWindowCanvas : public PageCanvas {
 public:
  // `font` draws the button numbers; it stays the caller's.
  PageWindowCanvas(HWND page, HMODULE resources, HFONT font);
  // Paints the page (WM_PAINT): what `paint` draws goes to the paint's
  // device context.
  template <typename Paint>
  void PaintPage(Paint paint) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_page, &ps);
    if (dc != nullptr) {
      m_paintDc = dc;
      paint();
      m_paintDc = nullptr;
    }
    EndPaint(m_page, &ps);
  }

  void DrawBitmap(int id, Point at) override;
  void DrawMasked(int image, int mask, Point at) override;
  void DrawPicture(int id, Point origin, const layout::Rect& rect) override;
  void FillBar(const PageRect& rect, uint32_t colour) override;
  void DrawLine(Point from, Point via, Point to) override;
  void DrawText(Point at, const std::string& text) override;

 private:
  // The paint's device context, or the window's for drawing between paints.
  class Dc {
   public:
    explicit Dc(const PageWindowCanvas& canvas);
    ~Dc();
    Dc(const Dc&) = delete;
    Dc& operator=(const Dc&) = delete;
    HDC Get() const { return m_dc; }

   private:
    HWND m_window;
    HDC m_dc;
    bool m_own;
  };
  // Copies bitmap `id` onto `dc` at `at` with raster operation `rop`.
  bool Blit(HDC dc, int id, Point at, DWORD rop);

  HWND m_page;
  HMODULE m_resources;
  HFONT m_font;
  HDC m_paintDc = nullptr;
  DibPainter m_painter;
};

class PageWindowControls : public PageControls {
 public:
  explicit PageWindowControls(CPropertyPage& page) : m_page(page) {}
  void SetText(int control, const std::string& text) override;
  void SetString(int control, uint32_t stringId) override;
  void Show(int control, bool shown) override;
  void Enable(int control, bool enabled) override;
  void SetDefaultStyle(int control, bool isDefault) override;
  void SetModified() override;
  void Repaint() override;

 private:
  HWND Item(int control) const;
  CPropertyPage& m_page;
};

// Message boxes of the resource module's texts, owned by the sheet.
class PageWindowPrompts : public Prompts {
 public:
  explicit PageWindowPrompts(CPropertyPage& page) : m_page(page) {}
  int MessageBox(uint32_t stringId, uint32_t style) override;
  std::optional<std::string> OpenFile(const OpenFileRequest&) override { return std::nullopt; }

 private:
  CPropertyPage& m_page;
};

// Where control `id` lies in the page's client coordinates.
PageRect ControlRect(HWND page, int id);

}  // namespace kl
