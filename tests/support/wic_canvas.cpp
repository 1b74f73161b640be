#include "tests/support/wic_canvas.h"

#include <cstring>
#include <stdexcept>

namespace qzsdk::test {

wic_canvas::wic_canvas(uint32_t width, uint32_t height)
{
    if (!surface_.create_blank(width, height, 0)) throw std::runtime_error("no canvas bitmap");
    renderer_ = std::make_unique<ui::renderer>(surface_.wic_bitmap());
}

void wic_canvas::draw(const std::function<void(ui::renderer&)>& paint)
{
    if (!renderer_->begin_draw()) throw std::runtime_error("the canvas cannot be drawn on");
    renderer_->target()->Clear(D2D1::ColorF(0, 0, 0, 0));
    paint(*renderer_);
    renderer_->end_draw();
}

bgra wic_canvas::pixel(uint32_t x, uint32_t y) { return read_pixel(surface_, x, y); }

bgra read_pixel(ui::image& picture, uint32_t x, uint32_t y)
{
    ui::image::pixel_data data;
    picture.lock_pixels(data);
    bgra value;
    std::memcpy(&value, data.pixels + size_t(y) * data.stride + size_t(x) * 4, 4);
    picture.unlock_pixels();
    return value;
}

void fill_pixels(ui::image& picture, const std::vector<bgra>& pixels)
{
    ui::image::pixel_data data;
    picture.lock_pixels(data);
    for (uint32_t y = 0; y < picture.height(); ++y)
        std::memcpy(data.pixels + size_t(y) * data.stride, &pixels[size_t(y) * picture.width()],
                    size_t(picture.width()) * 4);
    picture.unlock_pixels();
}

}  // namespace qzsdk::test
