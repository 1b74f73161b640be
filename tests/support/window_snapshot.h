#pragma once
// What a window's own paint pass draws, kept in a bitmap: the pass runs over the whole client area with a
// renderer on a WIC bitmap in place of the screen's, whose pixels cannot be read back under Wine.
#include <cstdint>

#include "tests/support/wic_canvas.h"
#include "toolkit/ui/image.h"
#include "toolkit/ui/window.h"

namespace qzsdk::test {

class window_snapshot {
public:
    explicit window_snapshot(ui::window& painted);

    bgra pixel(int32_t x, int32_t y) { return read_pixel(surface_, uint32_t(x), uint32_t(y)); }

private:
    ui::image surface_;
};

// Channels within a small tolerance of a colour given as 0..1 floats over transparent black.
bool looks_like(bgra found, const ui::color& expected, int tolerance = 3);

}  // namespace qzsdk::test
