#pragma once
// Skin images cut into frames stacked top to bottom (a widget's states).
#include <cstdint>

#include "toolkit/ui/embedded_image.h"
#include "toolkit/ui/image.h"
#include "toolkit/ui/rect.h"

namespace qzsdk::ui {

// Decodes the skin value unless the image already holds it; false when there is nothing to draw. A scale that
// is not positive counts as 1.
bool decode_strip(image& picture, const embedded_image& value);

// One frame's width and height in 96-dpi units. A frame count of 0 counts as 1, so a malformed skin value
// cannot divide by zero.
point strip_frame_size(const image& picture, uint32_t frame_count);

}  // namespace qzsdk::ui
