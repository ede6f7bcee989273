// Draws the 256-colour bitmap resources of a resource module with their own
// palette, stretched into an inclusive rectangle of a window or of a device
// context the caller gives. Each drawing is complete in itself: the resource
// is read, the palette made and every GDI object released within the call.
// Only the form the pictures are made in is drawn: a 40-byte header, 8 bits
// per pixel, uncompressed, a full table of 256 colours and all pixel rows
// inside the resource; anything else is refused and nothing is read.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

namespace kl {

class DibPainter {
 public:
  DibPainter() = default;
  DibPainter(const DibPainter&) = delete;
  DibPainter& operator=(const DibPainter&) = delete;
  virtual ~DibPainter() = default;

  // The module whose bitmaps are drawn and the window drawn into.
  void SetTarget(HMODULE module, HWND window);
  // Bitmap `id` (or `name`, "#123" naming id 123) stretched into (x1, y1)-(x2, y2) of the
  // window: nonzero when it was drawn, 0 when there was nothing to draw.
  int DrawBitmap(UINT id, int x1, int y1, int x2, int y2);
  int DrawBitmap(const char* name, int x1, int y1, int x2, int y2);
  // The same into `dc` (a printer's, say); the target's window is not used.
  int DrawBitmapToDC(const char* name, int x1, int y1, int x2, int y2, HDC dc);
  int DrawBitmapToDC(UINT id, int x1, int y1, int x2, int y2, HDC dc);

  // The header and colour table of the last drawing (1064 bytes), for the tests.
  const std::array<uint8_t, 1064>& Header() const { return m_header; }

 protected:
  HMODULE m_module = nullptr;
  HWND m_window = nullptr;

 private:
  // The resource's bytes when they are of the drawable form; null otherwise.
  const uint8_t* FindDrawable(const char* name, DWORD& size);
  // A palette from the resource's colour table, copied into the own header; null on failure.
  HPALETTE BuildPalette(const uint8_t* resource);
  int Paint(const uint8_t* resource, int x1, int y1, int x2, int y2, HDC dc);

  std::array<uint8_t, 1064> m_header{};
};

// A run of consecutive bitmaps shown one after the other in a box of 114 x 31 pixels.
class DibAnimation : public DibPainter {
 public:
  DibAnimation(HMODULE module, HWND window, int firstId, uint16_t count, int x, int y);

  // Draws the current frame and moves on to the next, after the last to the first.
  int Step();
  // Draws frame `id` into the box.
  int DrawFrame(int id);
  int Current() const { return m_current; }

 private:
  HMODULE m_boundModule;
  HWND m_boundWindow;
  int m_current;
  int m_x;
  int m_y;
  int m_first;
  uint16_t m_count;
};

}  // namespace kl
