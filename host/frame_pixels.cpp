#include "host/frame_pixels.h"

#include "toolkit/platform/float_image.h"
#include "toolkit/platform/qz_exception.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

uint64_t PixelRowBytes(const PF_EffectWorld& frame)
{
    return uint64_t(frame.width) * 4 * BytesPerChannel(frame.world_type);
}

template <class Visit>
void ForEachRow(const PF_EffectWorld& from, PF_EffectWorld& to, Visit&& visit)
{
    CheckFrame(from);
    CheckFrame(to);
    if (from.world_type != to.world_type || from.width != to.width || from.height != to.height)
        throw qz_exception("the host's converted frame does not match the rendered one");
    for (A_long y = 0; y < from.height; ++y)
        visit(static_cast<const uint8_t*>(from.data) + size_t(y) * from.rowbytes,
              static_cast<uint8_t*>(to.data) + size_t(y) * to.rowbytes);
}

}  // namespace

uint32_t BytesPerChannel(AEGP_WorldType type)
{
    switch (type) {
    case 1: return 1;
    case 2: return 2;
    case 3: return 4;
    default: throw qz_exception("the host's frame has an unknown world type");
    }
}

void CheckFrame(const PF_EffectWorld& frame)
{
    BytesPerChannel(frame.world_type);
    if (frame.width < 1 || frame.height < 1 || !frame.data)
        throw qz_exception("the host's frame has no pixels");
    if (frame.rowbytes < 0 || uint64_t(frame.rowbytes) < PixelRowBytes(frame))
        throw qz_exception("the host's frame has rows shorter than their pixels");
}

void CopyFrameRows(const PF_EffectWorld& from, PF_EffectWorld& to)
{
    const size_t bytes = size_t(PixelRowBytes(from));
    ForEachRow(from, to, [bytes](const uint8_t* source, uint8_t* target) { std::memcpy(target, source, bytes); });
}

void RestoreAlpha(const PF_EffectWorld& rendered, PF_EffectWorld& converted)
{
    const uint32_t channel = BytesPerChannel(rendered.world_type);
    const A_long width = rendered.width;
    ForEachRow(rendered, converted, [channel, width](const uint8_t* source, uint8_t* target) {
        for (A_long x = 0; x < width; ++x)
            std::memcpy(target + size_t(x) * 4 * channel, source + size_t(x) * 4 * channel, channel);
    });
}

qzsdk::ui::image_handle ImageFromFrame(const PF_EffectWorld& frame)
{
    CheckFrame(frame);
    const uint32_t width = uint32_t(frame.width);
    const uint32_t height = uint32_t(frame.height);
    if (!qzsdk::ui::image_size_fits(width, height))
        throw qz_exception("the host's frame is too large to capture");
    const qzsdk::float_image floats = qzsdk::make_float_image(frame.data, {width, height}, uint32_t(frame.rowbytes),
                                                              BytesPerChannel(frame.world_type));
    std::vector<uint8_t> argb(size_t(width) * 4 * height);
    if (!qzsdk::convert_float_to_8bit({&floats, {0, 0, width, height}, argb.data(), width * 4}))
        throw qz_exception("unable to convert the host's frame");

    qzsdk::ui::image_handle picture(std::make_unique<qzsdk::ui::image>());
    if (!picture->create_blank(width, height, 1))
        throw qz_exception("unable to create a bitmap for the host's frame");
    qzsdk::ui::image::pixel_data locked;
    picture->lock_pixels(locked);
    if (!locked.pixels || locked.stride < width * 4) {
        picture->unlock_pixels();
        throw qz_exception("unable to lock the bitmap for the host's frame");
    }
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* from = argb.data() + size_t(y) * width * 4;
        uint8_t* to = locked.pixels + size_t(y) * locked.stride;
        for (uint32_t x = 0; x < width; ++x, from += 4, to += 4) {
            to[0] = from[3];
            to[1] = from[2];
            to[2] = from[1];
            to[3] = from[0];
        }
    }
    picture->unlock_pixels();
    return picture;
}

uint32_t AspectCorrectedWidth(uint32_t width, A_Ratio ratio)
{
    if (ratio.num <= 0 || ratio.den == 0)
        return width;
    const uint32_t largest = std::max(width, max_capture_width);
    const float wanted = float(width) * (float(ratio.num) / float(ratio.den));
    if (!(wanted < float(largest)))
        return largest;
    return std::max(1u, uint32_t(wanted));
}
