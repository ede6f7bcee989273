#include "editor/win32/dib_painter.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace kl {

namespace {

constexpr DWORD kInfoHeaderSize = 40;
constexpr DWORD kColours = 256;
constexpr DWORD kPixelOffset = kInfoHeaderSize + kColours * 4;  // 1064

// "#123" names id 123, as FindResource takes it.
std::string NameOf(UINT id) {
  return "#" + std::to_string(id);
}

}  // namespace

void DibPainter::SetTarget(HMODULE module, HWND window) {
  m_module = module;
  m_window = window;
}

const uint8_t* DibPainter::FindDrawable(const char* name, DWORD& size) {
  if (m_module == nullptr || name == nullptr) {
    return nullptr;
  }
  HRSRC found = FindResourceA(m_module, name, MAKEINTRESOURCEA(2));  // RT_BITMAP
  if (found == nullptr) {
    return nullptr;
  }
  size = SizeofResource(m_module, found);
  HGLOBAL loaded = LoadResource(m_module, found);
  const auto* bytes =
      static_cast<const uint8_t*>(loaded != nullptr ? LockResource(loaded) : nullptr);
  if (bytes == nullptr || size < kPixelOffset) {
    return nullptr;
  }
  BITMAPINFOHEADER header;
  std::memcpy(&header, bytes, sizeof header);
  if (header.biSize != kInfoHeaderSize || header.biBitCount != 8 ||
      header.biCompression != BI_RGB || (header.biClrUsed != 0 && header.biClrUsed != kColours) ||
      header.biWidth <= 0 || header.biHeight == 0 || header.biWidth > 0x7FFF ||
      std::abs(header.biHeight) > 0x7FFF) {
    return nullptr;
  }
  const uint64_t stride = (static_cast<uint64_t>(header.biWidth) + 3) & ~uint64_t{3};
  const uint64_t rows = static_cast<uint64_t>(std::abs(header.biHeight));
  if (kPixelOffset + stride * rows > size) {
    return nullptr;
  }
  return bytes;
}

HPALETTE DibPainter::BuildPalette(const uint8_t* resource) {
  std::memcpy(m_header.data(), resource, kPixelOffset);
  std::vector<uint8_t> block(sizeof(LOGPALETTE) + kColours * sizeof(PALETTEENTRY));
  auto* palette = reinterpret_cast<LOGPALETTE*>(block.data());
  palette->palVersion = 0x300;
  palette->palNumEntries = kColours;
  for (DWORD i = 0; i < kColours; ++i) {
    const uint8_t* quad = resource + kInfoHeaderSize + i * 4;  // blue, green, red, reserved
    palette->palPalEntry[i] = PALETTEENTRY{quad[2], quad[1], quad[0], 0};
    uint8_t* own = m_header.data() + kInfoHeaderSize + i * 4;
    own[0] = quad[0];
    own[1] = quad[1];
    own[2] = quad[2];
    own[3] = 0;
  }
  return CreatePalette(palette);
}

int DibPainter::Paint(const uint8_t* resource, int x1, int y1, int x2, int y2, HDC dc) {
  HPALETTE palette = BuildPalette(resource);
  if (palette == nullptr) {
    return 0;
  }
  HPALETTE previous = SelectPalette(dc, palette, FALSE);
  RealizePalette(dc);
  const auto* info = reinterpret_cast<const BITMAPINFO*>(m_header.data());
  const LONG width = info->bmiHeader.biWidth;
  const LONG height = std::abs(info->bmiHeader.biHeight);
  int lines = StretchDIBits(dc, x1, y1, x2 - x1 + 1, y2 - y1 + 1, 0, 0, width, height,
                            resource + kPixelOffset, info, DIB_RGB_COLORS, SRCCOPY);
  SelectPalette(
      dc, previous != nullptr ? previous : static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)),
      FALSE);
  int released = DeleteObject(palette);
  return lines > 0 && released != 0 ? 1 : 0;
}

int DibPainter::DrawBitmap(const char* name, int x1, int y1, int x2, int y2) {
  if (m_window == nullptr) {
    return 0;
  }
  DWORD size = 0;
  const uint8_t* resource = FindDrawable(name, size);
  if (resource == nullptr) {
    return 0;
  }
  HDC dc = GetDC(m_window);
  if (dc == nullptr) {
    return 0;
  }
  int result = Paint(resource, x1, y1, x2, y2, dc);
  ReleaseDC(m_window, dc);
  return result;
}

int DibPainter::DrawBitmap(UINT id, int x1, int y1, int x2, int y2) {
  return DrawBitmap(NameOf(id).c_str(), x1, y1, x2, y2);
}

int DibPainter::DrawBitmapToDC(const char* name, int x1, int y1, int x2, int y2, HDC dc) {
  if (m_window == nullptr || dc == nullptr) {
    return 0;
  }
  DWORD size = 0;
  const uint8_t* resource = FindDrawable(name, size);
  return resource != nullptr ? Paint(resource, x1, y1, x2, y2, dc) : 0;
}

int DibPainter::DrawBitmapToDC(UINT id, int x1, int y1, int x2, int y2, HDC dc) {
  return DrawBitmapToDC(NameOf(id).c_str(), x1, y1, x2, y2, dc);
}

DibAnimation::DibAnimation(HMODULE module, HWND window, int firstId, uint16_t count, int x, int y)
    : m_boundModule(module),
      m_boundWindow(window),
      m_current(firstId),
      m_x(x),
      m_y(y),
      m_first(firstId),
      m_count(count) {}

int DibAnimation::DrawFrame(int id) {
  SetTarget(m_boundModule, m_boundWindow);
  return DrawBitmap(static_cast<UINT>(id), m_x, m_y, m_x + 113, m_y + 30);
}

int DibAnimation::Step() {
  int result = DrawFrame(m_current);
  ++m_current;
  if (m_count == 0 || m_current >= m_first + m_count) {
    m_current = m_first;
  }
  return result;
}

}  // namespace kl
