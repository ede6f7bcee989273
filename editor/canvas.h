// The drawing port of the pad view: every picture is a bitmap of the
// resource module stretched into a rectangle, every text a run of characters
// at a point. The window layer draws with GDI; kltool and the tests record.
#pragma once

#include <cstdint>
#include <string>

#include "layout_tables.h"

namespace kl {

// The view's two Arial fonts.
enum class FontChoice { kLabel, kList };

// Colour references, 0x00BBGGRR.
constexpr uint32_t kColourCyan = 0xFFFF00;
constexpr uint32_t kColourYellow = 0x00FFFF;
constexpr uint32_t kColourGreen = 0x00FF00;
constexpr uint32_t kColourWhite = 0xFFFFFF;
constexpr uint32_t kColourBlue = 0xFF0000;
constexpr uint32_t kColourDarkBlue = 0x7F0000;

class Canvas {
 public:
  virtual ~Canvas() = default;
  // Bitmap `id` stretched into the inclusive rectangle `rect`.
  virtual void DrawBitmap(int id, const layout::Rect& rect) = 0;
  // `text` is already cut to the characters that appear; top left at (x, y).
  virtual void DrawText(int x, int y, const std::string& text, uint32_t colour,
                        FontChoice font) = 0;
  // A full repaint begins; its drawing follows.
  virtual void BeginRepaint() = 0;
};

}  // namespace kl
