#pragma once
// PNG data carried in the module, with how to cut and size it.
#include <cstdint>

namespace qzsdk::ui {

struct embedded_image {
    const uint8_t* data = nullptr;
    uint64_t length = 0;
    uint32_t frame_count = 1;  // frames stacked top to bottom: frame height = image height / frame count
    float scale = 1.0f;        // pixels per 96-dpi unit
};
static_assert(sizeof(embedded_image) == 24);

}  // namespace qzsdk::ui
