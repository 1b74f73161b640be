#include "host/frame_pixels.h"

#include "toolkit/platform/float_image.h"
#include "toolkit/platform/qz_exception.h"

#include <algorithm>
#include <cstring>
#include <memory>

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
    qzsdk::ui::image_handle picture(std::make_unique<qzsdk::ui::image>());
    if (!picture->create_blank(width, height, 1))
        throw qz_exception("unable to create a bitmap for the host's frame");
    qzsdk::ui::image::pixel_data locked;
    picture->lock_pixels(locked);
    if (!locked.pixels || locked.stride < width * 4) {
        picture->unlock_pixels();
        throw qz_exception("unable to lock the bitmap for the host's frame");
    }
    // Straight into the bitmap, row by row on the pool: no frame-sized float or 8-bit copy in between.
    const qzsdk::frame_to_8bit_job job{frame.data, {width, height}, uint32_t(frame.rowbytes),
                                       BytesPerChannel(frame.world_type), locked.pixels, locked.stride};
    try {
        qzsdk::thread_pool::instance().run(height, [&job, width](const qzsdk::thread_worker_data& rows) {
            qzsdk::convert_frame_rows_to_8bit(job, rows);
            for (uint32_t y = rows.first; y < rows.end; ++y) {
                uint8_t* row = job.destination + size_t(y) * job.destination_stride;
                // A, R, G, B reversed is B, G, R, A.
                for (uint32_t x = 0; x < width; ++x) {
                    uint32_t pixel;
                    std::memcpy(&pixel, row + size_t(x) * 4, 4);
                    pixel = __builtin_bswap32(pixel);
                    std::memcpy(row + size_t(x) * 4, &pixel, 4);
                }
            }
        });
    } catch (...) {
        picture->unlock_pixels();
        throw;
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
