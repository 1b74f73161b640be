#include "tests/support/test_strip.h"

#include <stdexcept>

namespace qzsdk::test {

test_strip::test_strip(uint32_t width, uint32_t frame_height, const std::vector<bgra>& frame_colors)
    : frame_count_(uint32_t(frame_colors.size()))
{
    ui::image picture;
    if (!picture.create_blank(width, frame_height * frame_count_, 1))
        throw std::runtime_error("no strip bitmap");
    std::vector<bgra> pixels;
    for (const bgra& color : frame_colors)
        pixels.insert(pixels.end(), size_t(width) * frame_height, color);
    fill_pixels(picture, pixels);
    png_ = picture.encode(ui::image_format_png);
    if (png_.empty())
        throw std::runtime_error("strip not encoded");
}

std::vector<bgra> numbered_frames(uint32_t count)
{
    std::vector<bgra> colors;
    for (uint32_t k = 0; k < count; ++k)
        colors.push_back(bgra{255, 0, uint8_t(k * 30), 255});
    return colors;
}

int frame_number(bgra pixel)
{
    if (pixel.b != 255 || pixel.a != 255 || pixel.g != 0 || pixel.r % 30 != 0)
        return -1;
    return pixel.r / 30;
}

}  // namespace qzsdk::test
