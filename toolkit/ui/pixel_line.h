#pragma once
#include <cstdint>

#include "toolkit/ui/renderer.h"

namespace qzsdk::ui {

// A 1-unit line between integer points, moved by half a unit on both axes so that, aliased, it covers
// whole pixels instead of straddling two rows.
inline void draw_pixel_line(renderer& r, int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
    r.draw_line(float(x0) + 0.5f, float(y0) + 0.5f, float(x1) + 0.5f, float(y1) + 0.5f);
}

}  // namespace qzsdk::ui
