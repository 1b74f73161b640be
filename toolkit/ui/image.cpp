#include "toolkit/ui/image.h"

#include <utility>

#include "toolkit/platform/qz_exception.h"
#include "toolkit/ui/renderer.h"

using Microsoft::WRL::ComPtr;

namespace qzsdk::ui {

namespace {

void check(HRESULT result, const char* message)
{
    if (FAILED(result)) throw qz_exception(message);
}

uint8_t premultiply(uint8_t channel, uint8_t alpha) { return uint8_t((channel * alpha + 127) / 255); }

}  // namespace

bool image_size_fits(uint32_t width, uint32_t height)
{
    // The largest buffer WIC's 32-bit arithmetic and the clipboard's DIB header can describe.
    return width && height && uint64_t(width) * height * 4 <= 0x7FFFFFFFu;
}

image::image() = default;

image::~image()
{
    lock_.Reset();
    drop_bitmaps();
}

IWICImagingFactory* image::factory()
{
    if (!factory_)
        check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory_)),
              "unable to create the imaging factory");
    return factory_.Get();
}

bool image::create_blank(uint32_t width, uint32_t height, uint32_t format_code)
{
    if (!image_size_fits(width, height)) return false;
    const bool straight = format_code == 1;
    ComPtr<IWICBitmap> bitmap;
    try {
        if (FAILED(factory()->CreateBitmap(width, height,
                                           straight ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat32bppPBGRA,
                                           WICBitmapCacheOnLoad, bitmap.GetAddressOf())))
            return false;
    } catch (const qz_exception&) {
        return false;
    }
    drop_bitmaps();
    bitmap_ = std::move(bitmap);
    width_ = width;
    height_ = height;
    premultiplied_ = !straight;
    valid_ = true;
    return true;
}

bool image::take_frame(IWICBitmapSource* frame)
{
    UINT width = 0, height = 0;
    if (FAILED(frame->GetSize(&width, &height)) || !image_size_fits(width, height)) return false;
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(factory()->CreateFormatConverter(converter.GetAddressOf())) ||
        FAILED(converter->Initialize(frame, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        throw qz_exception("unable to create the bitmap format converter");
    ComPtr<IWICBitmap> bitmap;
    check(factory()->CreateBitmapFromSource(converter.Get(), WICBitmapCacheOnLoad, bitmap.GetAddressOf()),
          "unable to create a bitmap from the format converter");
    drop_bitmaps();
    bitmap_ = std::move(bitmap);
    width_ = width;
    height_ = height;
    premultiplied_ = true;
    valid_ = true;
    return true;
}

bool image::load_from_memory(const void* data, uint64_t length, float scale)
{
    if (!data || length == 0 || length > MAXDWORD) return false;
    try {
        ComPtr<IWICStream> stream;
        ComPtr<IWICBitmapDecoder> decoder;
        ComPtr<IWICBitmapFrameDecode> frame;
        if (FAILED(factory()->CreateStream(stream.GetAddressOf())) ||
            FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)), DWORD(length))) ||
            FAILED(factory()->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnLoad,
                                                      decoder.GetAddressOf())) ||
            FAILED(decoder->GetFrame(0, frame.GetAddressOf())) || !take_frame(frame.Get()))
            return false;
    } catch (...) {
        return false;
    }
    scale_ = scale;
    return true;
}

bool image::load_from_file(const std::wstring& path)
{
    try {
        ComPtr<IWICBitmapDecoder> decoder;
        ComPtr<IWICBitmapFrameDecode> frame;
        if (FAILED(factory()->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                        WICDecodeMetadataCacheOnLoad, decoder.GetAddressOf())) ||
            FAILED(decoder->GetFrame(0, frame.GetAddressOf())) || !take_frame(frame.Get()))
            return false;
    } catch (...) {
        return false;
    }
    scale_ = 1.0f;
    return true;
}

void image::lock_pixels(pixel_data& out)
{
    const WICRect whole{0, 0, INT(width_), INT(height_)};
    if (!bitmap_ || lock_ || FAILED(bitmap_->Lock(&whole, WICBitmapLockWrite, lock_.GetAddressOf())))
        throw qz_exception("unable to lock the bitmap data");
    UINT stride = 0, size = 0;
    BYTE* pixels = nullptr;
    if (FAILED(lock_->GetStride(&stride)) || FAILED(lock_->GetDataPointer(&size, &pixels)) ||
        FAILED(lock_->GetPixelFormat(&out.format))) {
        lock_.Reset();
        throw qz_exception("unable to retrieve the bitmap data");
    }
    out.size = size;
    out.stride = stride;
    out.pixels = pixels;
}

void image::unlock_pixels()
{
    if (!lock_) return;
    ComPtr<IWICBitmapLock> held = std::move(lock_);
    UINT stride = 0, size = 0;
    BYTE* pixels = nullptr;
    if (FAILED(held->GetStride(&stride)) || FAILED(held->GetDataPointer(&size, &pixels)))
        throw qz_exception("unable to update the bitmap data");
    for (auto& [target, bitmap] : bitmaps_) upload(bitmap.Get(), pixels, stride);
}

// Direct2D keeps premultiplied pixels only.
void image::upload(ID2D1Bitmap* bitmap, const uint8_t* pixels, uint32_t stride) const
{
    HRESULT result;
    if (premultiplied_) {
        result = bitmap->CopyFromMemory(nullptr, pixels, stride);
    } else {
        std::vector<uint8_t> converted(size_t(width_) * 4 * height_);
        for (uint32_t y = 0; y < height_; ++y) {
            const uint8_t* from = pixels + size_t(y) * stride;
            uint8_t* to = converted.data() + size_t(y) * width_ * 4;
            for (uint32_t x = 0; x < width_ * 4; x += 4) {
                const uint8_t alpha = from[x + 3];
                for (int c = 0; c < 3; ++c) to[x + c] = premultiply(from[x + c], alpha);
                to[x + 3] = alpha;
            }
        }
        result = bitmap->CopyFromMemory(nullptr, converted.data(), width_ * 4);
    }
    if (FAILED(result)) throw qz_exception("unable to update the bitmap data");
}

void image::scale_to(uint32_t width, uint32_t height)
{
    ComPtr<IWICBitmapScaler> scaler;
    ComPtr<IWICBitmap> scaled;
    if (!bitmap_ || lock_ || !image_size_fits(width, height) ||
        FAILED(factory()->CreateBitmapScaler(scaler.GetAddressOf())) ||
        FAILED(scaler->Initialize(bitmap_.Get(), width, height, WICBitmapInterpolationModeFant)) ||
        FAILED(factory()->CreateBitmapFromSource(scaler.Get(), WICBitmapCacheOnLoad, scaled.GetAddressOf())))
        throw qz_exception("unable to create a bitmap from the format converter");
    drop_bitmaps();
    bitmap_ = std::move(scaled);
    width_ = width;
    height_ = height;
    valid_ = true;
}

void image::reset()
{
    drop_bitmaps();
    valid_ = false;
}

ID2D1Bitmap* image::bitmap_for(renderer& target)
{
    auto found = bitmaps_.find(&target);
    if (found != bitmaps_.end()) return found->second.Get();
    ComPtr<ID2D1Bitmap> bitmap;
    if (premultiplied_) {
        check(target.target()->CreateBitmapFromWicBitmap(bitmap_.Get(), nullptr, bitmap.GetAddressOf()),
              "unable to create a bitmap from a WIC bitmap");
    } else {
        // Straight pixels, whatever the container says: premultiplied on their way in.
        const auto properties =
            D2D1::BitmapProperties(D2D1::PixelFormat(DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_PREMULTIPLIED));
        if (FAILED(target.target()->CreateBitmap(D2D1::SizeU(width_, height_), properties, bitmap.GetAddressOf())) ||
            !read_pixels([&](const uint8_t* pixels, uint32_t stride) { upload(bitmap.Get(), pixels, stride); }))
            throw qz_exception("unable to create a bitmap from a WIC bitmap");
    }
    target.register_image(this);
    return bitmaps_.emplace(&target, std::move(bitmap)).first->second.Get();
}

void image::forget_renderer(renderer* target) { bitmaps_.erase(target); }

void image::drop_bitmaps()
{
    for (auto& [target, bitmap] : bitmaps_) target->forget_image(this);
    bitmaps_.clear();
}

}  // namespace qzsdk::ui
