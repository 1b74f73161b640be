#pragma once
#include <cstdint>

namespace qzsdk::ui {

// 96-dpi units unless a caller says otherwise.
struct rect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;

    bool operator==(const rect&) const = default;
};

struct point {
    int32_t x = 0;
    int32_t y = 0;

    bool operator==(const point&) const = default;
};

}  // namespace qzsdk::ui
