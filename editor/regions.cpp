#include "editor/regions.h"

#include <cstdint>

namespace kl {
namespace {

// Everything is doubled so that the pixel centre (x + 0.5, y + 0.5) is an
// odd integer and never lies on a vertex row: the crossing count is exact.
bool PolygonContains(std::span<const layout::Point> points, layout::Point p) {
  const int64_t px = 2 * static_cast<int64_t>(p.x) + 1;
  const int64_t py = 2 * static_cast<int64_t>(p.y) + 1;
  bool inside = false;
  const size_t n = points.size();
  for (size_t i = 0, j = n - 1; i < n; j = i++) {
    const int64_t ax = 2 * static_cast<int64_t>(points[j].x);
    const int64_t ay = 2 * static_cast<int64_t>(points[j].y);
    const int64_t bx = 2 * static_cast<int64_t>(points[i].x);
    const int64_t by = 2 * static_cast<int64_t>(points[i].y);
    if ((ay > py) == (by > py)) continue;
    // The edge crosses the row; is the crossing right of the centre?
    // crossX = ax + (py - ay) * (bx - ax) / (by - ay), compared without division.
    const int64_t num = (py - ay) * (bx - ax);
    const int64_t den = by - ay;
    const int64_t lhs = (px - ax) * den;
    if (den > 0 ? num > lhs : num < lhs) inside = !inside;
  }
  return inside;
}

bool EllipseContains(const layout::Rect& r, layout::Point p) {
  // Bounds exclude right and bottom, as the platform's ellipse regions do.
  const int64_t w = r.right - r.left;
  const int64_t h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return false;
  const int64_t dx = 2 * (p.x - r.left) + 1 - w;
  const int64_t dy = 2 * (p.y - r.top) + 1 - h;
  return dx * dx * h * h + dy * dy * w * w <= w * w * h * h;
}

}  // namespace

bool RegionContains(const layout::Region& region, layout::Point p) {
  if (region.shape == layout::RegionShape::kEllipse) return EllipseContains(region.bounds, p);
  if (region.points.size() < 3) return false;
  return PolygonContains(region.points, p);
}

}  // namespace kl
