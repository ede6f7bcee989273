// Point-in-region tests for the view's polygon (alternate fill) and ellipse
// regions, deciding pixels as the platform's regions do: a pixel belongs to
// the region when its centre lies inside the outline, so a region never
// holds the pixels of its right and bottom bounds.
#pragma once

#include "layout_tables.h"

namespace kl {

bool RegionContains(const layout::Region& region, layout::Point p);

}  // namespace kl
