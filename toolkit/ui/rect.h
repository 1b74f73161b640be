#pragma once
#include <cstdint>

namespace qzsdk::ui {

// 96-dpi units unless a caller says otherwise.
struct rect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;

    constexpr rect() = default;
    constexpr rect(int32_t x_, int32_t y_, int32_t width_, int32_t height_)
        : x(x_), y(y_), width(width_), height(height_)
    {
    }
    friend constexpr bool operator==(const rect&, const rect&) = default;
};

struct point {
    int32_t x = 0;
    int32_t y = 0;

    friend constexpr bool operator==(const point&, const point&) = default;
};

}  // namespace qzsdk::ui
