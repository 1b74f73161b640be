#pragma once
// A picture decoded with WIC into a 32-bit BGRA bitmap in memory, from which a Direct2D bitmap is made lazily
// for each renderer that draws it.
#include <windows.h>
#include <d2d1.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "toolkit/ui/com_apartment.h"

namespace qzsdk::ui {
class image;
}

namespace qzsdk {
// Puts the image on the clipboard as a bottom-up 32-bit CF_DIB.
bool copy_image_to_clipboard(ui::image& picture);
}

namespace qzsdk::ui {

class renderer;

// Format codes of the encoders.
constexpr uint32_t image_format_png = 1;
constexpr uint32_t image_format_jpeg = 2;  // any code other than PNG's

class image {
public:
    struct pixel_data {
        uint32_t size = 0;
        uint32_t stride = 0;  // bytes per row as the lock reports it; may exceed width x 4
        uint8_t* pixels = nullptr;
        GUID format{};
    };

    image();
    ~image();
    image(const image&) = delete;
    image& operator=(const image&) = delete;

    // Format code 1: straight 32bppBGRA; anything else: premultiplied 32bppPBGRA. False for a size whose
    // pixel bytes do not fit in 32 bits or when WIC fails.
    bool create_blank(uint32_t width, uint32_t height, uint32_t format_code);
    // PNG or JPEG bytes; false on any failure, leaving the image as it was.
    bool load_from_memory(const void* data, uint64_t length, float scale);
    bool load_from_file(const std::wstring& path);
    // A CF_DIB of 24 or 32 bits a pixel; false when there is none or it is malformed.
    bool load_from_clipboard();

    bool save_to_file(const std::wstring& path, uint32_t format_code);
    // PNG with the toolkit's own encoder, JPEG with WIC's; empty on failure.
    std::vector<uint8_t> encode(uint32_t format_code);
    // Rows of width x 4 bytes, B, G, R, A in straight alpha; empty when the pixels cannot be read.
    std::vector<uint8_t> straight_pixels();

    // Writes into the pixels between lock and unlock; unlock refreshes every Direct2D bitmap made from them.
    void lock_pixels(pixel_data& out);
    void unlock_pixels();

    // Replaces the pixels by a Fant-scaled copy of the given size; throws qz_exception on failure.
    void scale_to(uint32_t width, uint32_t height);

    // Drops every Direct2D bitmap and marks the image empty.
    void reset();

    bool valid() const { return valid_; }
    uint32_t width() const { return width_; }
    uint32_t height() const { return height_; }
    float scale() const { return scale_; }
    void set_scale(float scale) { scale_ = scale; }
    // Whether the stored bytes are premultiplied. Decoded images are; a caller that fills a premultiplied
    // bitmap with straight pixels says so, and encoding then keeps them byte for byte.
    bool premultiplied() const { return premultiplied_; }
    void set_premultiplied(bool premultiplied) { premultiplied_ = premultiplied; }

    // The Direct2D bitmap for the renderer's current target, made on first use.
    ID2D1Bitmap* bitmap_for(renderer& target);
    // Called by a renderer that is destroyed or loses its target.
    void forget_renderer(renderer* target);

    IWICBitmap* wic_bitmap() const { return bitmap_.Get(); }

private:
    IWICImagingFactory* factory();
    bool take_frame(IWICBitmapSource* frame);
    void drop_bitmaps();
    void upload(ID2D1Bitmap* bitmap, const uint8_t* pixels, uint32_t stride) const;
    // Visits the pixels under a read lock; false when they cannot be locked.
    template <class Visit>
    bool read_pixels(Visit&& visit);
    bool encode_jpeg_to(IStream* stream);
    friend bool qzsdk::copy_image_to_clipboard(image& picture);

    // First member, so every COM object below is released before the apartment is left.
    com_apartment apartment_;
    Microsoft::WRL::ComPtr<IWICImagingFactory> factory_;
    Microsoft::WRL::ComPtr<IWICBitmap> bitmap_;
    Microsoft::WRL::ComPtr<IWICBitmapLock> lock_;
    std::map<renderer*, Microsoft::WRL::ComPtr<ID2D1Bitmap>> bitmaps_;
    bool valid_ = false;
    bool premultiplied_ = true;
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    float scale_ = 1.0f;
};

// Whether a bitmap of this size has a pixel byte count that fits in 32 bits (WIC's own arithmetic does not
// check).
bool image_size_fits(uint32_t width, uint32_t height);

template <class Visit>
bool image::read_pixels(Visit&& visit)
{
    Microsoft::WRL::ComPtr<IWICBitmapLock> reading;
    const WICRect whole{0, 0, INT(width_), INT(height_)};
    UINT stride = 0, size = 0;
    BYTE* pixels = nullptr;
    if (!bitmap_ || FAILED(bitmap_->Lock(&whole, WICBitmapLockRead, reading.GetAddressOf())) ||
        FAILED(reading->GetStride(&stride)) || FAILED(reading->GetDataPointer(&size, &pixels)) ||
        stride < width_ * 4 || uint64_t(stride) * (height_ - 1) + width_ * 4 > size)
        return false;
    visit(static_cast<const uint8_t*>(pixels), uint32_t(stride));
    return true;
}

}  // namespace qzsdk::ui
