#pragma once
// PNG strips made at test time: frames stacked top to bottom, each one flat colour, so a pixel tells which
// frame a widget drew.
#include <cstdint>
#include <vector>

#include "tests/support/wic_canvas.h"
#include "toolkit/ui/embedded_image.h"

namespace qzsdk::test {

class test_strip {
public:
    test_strip(uint32_t width, uint32_t frame_height, const std::vector<bgra>& frame_colors);
    ui::embedded_image value() const { return {png_.data(), png_.size(), frame_count_, 1.0f}; }

private:
    std::vector<uint8_t> png_;
    uint32_t frame_count_;
};

// Distinct opaque colours: frame k is red k x 30, blue 255.
std::vector<bgra> numbered_frames(uint32_t count);
// The frame whose colour numbered_frames gave, or -1.
int frame_number(bgra pixel);

}  // namespace qzsdk::test
