#pragma once
// An RGBA colour, each channel in 0..1.
namespace qzsdk::ui {

struct color {
    float r = 0, g = 0, b = 0, a = 0;
    constexpr color() = default;
    constexpr color(float r_, float g_, float b_, float a_) : r(r_), g(g_), b(b_), a(a_) {}
    constexpr bool is_zero() const { return r == 0 && g == 0 && b == 0 && a == 0; }
    friend constexpr bool operator==(const color&, const color&) = default;
};

}  // namespace qzsdk::ui
