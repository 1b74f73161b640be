#include <windows.h>

#include <algorithm>
#include <cstring>

#include "toolkit/platform/atomic_write.h"
#include "toolkit/ui/image.h"
#include "toolkit/ui/png_encoder.h"

#include <new>

using Microsoft::WRL::ComPtr;

namespace qzsdk::ui {

namespace {

uint8_t unpremultiply(uint8_t channel, uint8_t alpha)
{
    return uint8_t(std::min(255, (channel * 255 + alpha / 2) / alpha));
}

// One row in the encoder's layout: B, G, R, A for PNG, B, G, R for JPEG, colours in straight alpha.
void convert_row(const uint8_t* from, uint8_t* to, uint32_t width, bool with_alpha, bool premultiplied)
{
    for (uint32_t x = 0; x < width; ++x, from += 4) {
        const uint8_t alpha = from[3];
        for (int c = 0; c < 3; ++c)
            *to++ = !premultiplied || alpha == 255 ? from[c] : alpha == 0 ? 0 : unpremultiply(from[c], alpha);
        if (with_alpha) *to++ = alpha;
    }
}

}  // namespace

std::vector<uint8_t> image::straight_pixels()
{
    if (!valid_ || lock_) return {};
    const size_t row_bytes = size_t(width_) * 4;
    try {
        std::vector<uint8_t> rows(row_bytes * height_);
        if (!read_pixels([&](const uint8_t* pixels, uint32_t stride) {
                for (uint32_t y = 0; y < height_; ++y)
                    if (premultiplied_)
                        convert_row(pixels + size_t(y) * stride, rows.data() + y * row_bytes, width_, true, true);
                    else
                        std::memcpy(rows.data() + y * row_bytes, pixels + size_t(y) * stride, row_bytes);
            }))
            return {};
        return rows;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

// JPEG through WIC's encoder, which takes 24-bit BGR only.
bool image::encode_jpeg_to(IStream* stream)
{
    if (!valid_ || lock_) return false;
    const uint32_t row_bytes = width_ * 3;
    try {
        ComPtr<IWICBitmapEncoder> encoder;
        ComPtr<IWICBitmapFrameEncode> frame;
        ComPtr<IPropertyBag2> options;
        WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
        if (FAILED(factory()->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, encoder.GetAddressOf())) ||
            FAILED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) ||
            FAILED(encoder->CreateNewFrame(frame.GetAddressOf(), options.GetAddressOf())) ||
            FAILED(frame->Initialize(options.Get())) || FAILED(frame->SetSize(width_, height_)) ||
            FAILED(frame->SetPixelFormat(&format)) || format != GUID_WICPixelFormat24bppBGR)
            return false;
        std::vector<uint8_t> rows(size_t(row_bytes) * height_);
        if (!read_pixels([&](const uint8_t* pixels, uint32_t stride) {
                for (uint32_t y = 0; y < height_; ++y)
                    convert_row(pixels + size_t(y) * stride, rows.data() + size_t(y) * row_bytes, width_, false,
                                premultiplied_);
            }))
            return false;
        return SUCCEEDED(frame->WritePixels(height_, row_bytes, UINT(rows.size()), rows.data())) &&
               SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    } catch (...) {
        return false;
    }
}

std::vector<uint8_t> image::encode(uint32_t format_code)
{
    if (format_code == image_format_png) {
        // Straight B, G, R, A as stored (premultiplied bytes converted), deflated in strips at once.
        const std::vector<uint8_t> rows = straight_pixels();
        return rows.empty() ? rows
                            : encode_png_fast({rows.data(), width_, height_, width_ * 4}, png_strip_count_for_machine());
    }
    ComPtr<IStream> stream;
    STATSTG status{};
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.GetAddressOf())) || !encode_jpeg_to(stream.Get()) ||
        FAILED(stream->Stat(&status, STATFLAG_NONAME)) || status.cbSize.QuadPart > MAXDWORD)
        return {};
    // Exactly the stream's length: the global block behind it may be larger.
    std::vector<uint8_t> bytes(size_t(status.cbSize.QuadPart));
    ULONG read = 0;
    if (FAILED(stream->Seek({}, STREAM_SEEK_SET, nullptr)) ||
        FAILED(stream->Read(bytes.data(), ULONG(bytes.size()), &read)) || read != bytes.size())
        return {};
    return bytes;
}

// Encoded in memory first, so that a failed encoding leaves an existing file as it was.
bool image::save_to_file(const std::wstring& path, uint32_t format_code)
{
    const std::vector<uint8_t> bytes = encode(format_code);
    return !bytes.empty() &&
           write_file_atomically(qzsdk::path(path), {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}

}  // namespace qzsdk::ui
