#pragma once
// A renderer drawing into a premultiplied WIC bitmap, so that tests can read the pixels they painted.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/ui/image.h"
#include "toolkit/ui/renderer.h"

namespace qzsdk::test {

struct bgra {
    uint8_t b = 0, g = 0, r = 0, a = 0;
    friend bool operator==(const bgra&, const bgra&) = default;
};

// One pixel of an image, as stored.
bgra read_pixel(ui::image& picture, uint32_t x, uint32_t y);
// Row by row, width pixels a row.
void fill_pixels(ui::image& picture, const std::vector<bgra>& pixels);

class wic_canvas {
public:
    wic_canvas(uint32_t width, uint32_t height);

    ui::renderer& renderer() { return *renderer_; }
    // Clears to transparent black, then paints one frame.
    void draw(const std::function<void(ui::renderer&)>& paint);
    bgra pixel(uint32_t x, uint32_t y);
    bool save_png(const std::wstring& path) { return surface_.save_to_file(path, ui::image_format_png); }

private:
    ui::image surface_;
    std::unique_ptr<ui::renderer> renderer_;
};

}  // namespace qzsdk::test
