#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "toolkit/platform/qz_exception.h"
#include "toolkit/ui/clipboard_session.h"
#include "toolkit/ui/image.h"

namespace qzsdk::ui {

namespace {

uint32_t dib_row_bytes(uint32_t width, uint32_t bits) { return (width * bits + 31) / 32 * 4; }

// Other programs put 32-bit pixels on the clipboard in three ways. An alpha channel of all zeros is
// unused (the pixels are opaque); a colour channel above its alpha cannot be premultiplied, so the
// pixels are straight; otherwise they are read as premultiplied, as this module writes them.
enum class dib_alpha { opaque, straight, premultiplied };

dib_alpha classify_alpha(const uint8_t* rows, uint32_t row_bytes, uint32_t width, uint32_t height)
{
    bool any_alpha = false, above_alpha = false;
    for (uint32_t r = 0; r < height && !(any_alpha && above_alpha); ++r) {
        const uint8_t* p = rows + size_t(r) * row_bytes;
        for (uint32_t x = 0; x < width; ++x, p += 4) {
            any_alpha |= p[3] != 0;
            above_alpha |= p[0] > p[3] || p[1] > p[3] || p[2] > p[3];
        }
    }
    if (!any_alpha) return dib_alpha::opaque;
    return above_alpha ? dib_alpha::straight : dib_alpha::premultiplied;
}

}  // namespace

bool image::load_from_clipboard()
{
    clipboard_session clipboard(nullptr);
    if (!clipboard.is_open()) return false;
    HGLOBAL block = GetClipboardData(CF_DIB);
    if (!block) return false;
    const size_t block_size = GlobalSize(block);
    global_lock lock(block);
    if (!lock.data() || block_size < sizeof(BITMAPINFOHEADER)) return false;
    BITMAPINFOHEADER header;
    std::memcpy(&header, lock.data(), sizeof header);

    const uint32_t bits = header.biBitCount;
    const bool masks = header.biCompression == BI_BITFIELDS && bits == 32;
    if (header.biSize < sizeof header || (bits != 24 && bits != 32) || (header.biCompression != BI_RGB && !masks) ||
        header.biWidth <= 0 || header.biHeight == 0 || header.biHeight == INT32_MIN || header.biClrUsed > 256)
        return false;
    const uint32_t width = uint32_t(header.biWidth);
    const bool bottom_up = header.biHeight > 0;
    const uint32_t height = uint32_t(bottom_up ? header.biHeight : -header.biHeight);
    if (!image_size_fits(width, height)) return false;
    const uint32_t row_bytes = dib_row_bytes(width, bits);
    const uint64_t offset = uint64_t(header.biSize) + (masks && header.biSize == sizeof header ? 12 : 0) +
                            uint64_t(header.biClrUsed) * 4;
    if (offset + uint64_t(row_bytes) * height > block_size) return false;

    const uint8_t* rows = lock.data() + offset;
    const dib_alpha alpha = bits == 32 ? classify_alpha(rows, row_bytes, width, height) : dib_alpha::opaque;
    if (!create_blank(width, height, alpha == dib_alpha::straight ? 1 : 0)) return false;
    pixel_data target;
    lock_pixels(target);
    const uint32_t pixel_bytes = bits / 8;
    for (uint32_t r = 0; r < height; ++r) {
        const uint8_t* from = rows + size_t(r) * row_bytes;
        uint8_t* to = target.pixels + size_t(bottom_up ? height - 1 - r : r) * target.stride;
        for (uint32_t x = 0; x < width; ++x, from += pixel_bytes, to += 4) {
            std::memcpy(to, from, 3);
            to[3] = alpha == dib_alpha::opaque ? 255 : from[3];
        }
    }
    unlock_pixels();
    return true;
}

}  // namespace qzsdk::ui

namespace qzsdk {

bool copy_image_to_clipboard(ui::image& picture)
{
    if (!picture.valid() || !(picture.scale() > 0)) return false;
    // The natural size; never more pixels than the image has.
    const uint32_t width = std::min(picture.width(), uint32_t(float(picture.width()) / picture.scale()));
    const uint32_t height = std::min(picture.height(), uint32_t(float(picture.height()) / picture.scale()));
    if (!ui::image_size_fits(width, height)) return false;

    const size_t pixel_bytes = size_t(width) * height * 4;
    std::unique_ptr<void, ui::global_free> block(GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + pixel_bytes));
    if (!block) return false;
    {
        ui::global_lock lock(block.get());
        if (!lock.data()) return false;
        BITMAPINFOHEADER header{};
        header.biSize = sizeof header;
        header.biWidth = LONG(width);
        header.biHeight = LONG(height);
        header.biPlanes = 1;
        header.biBitCount = 32;
        header.biCompression = BI_RGB;
        header.biXPelsPerMeter = 3000;
        header.biYPelsPerMeter = 3000;
        std::memcpy(lock.data(), &header, sizeof header);
        uint8_t* rows = lock.data() + sizeof header;
        if (!picture.read_pixels([&](const uint8_t* pixels, uint32_t stride) {
                for (uint32_t r = 0; r < height; ++r)
                    std::memcpy(rows + size_t(height - 1 - r) * width * 4, pixels + size_t(r) * stride,
                                size_t(width) * 4);
            }))
            return false;
    }

    ui::clipboard_owner owner;
    ui::clipboard_session clipboard(owner.handle());
    if (!owner.handle() || !clipboard.is_open() || !EmptyClipboard()) return false;
    if (!SetClipboardData(CF_DIB, block.get())) return false;
    // The clipboard owns the block from here.
    block.release();
    return true;
}

}  // namespace qzsdk
