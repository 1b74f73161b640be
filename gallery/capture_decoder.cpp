#include "gallery/capture_decoder.h"

#include "toolkit/platform/binary_file.h"
#include "toolkit/ui/png_structure.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <cmath>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

// Far beyond any screenshot; a larger file is not read into memory.
constexpr uint64_t largest_file = 512ull << 20;

std::vector<uint8_t> read_file(const qzsdk::path& file)
{
    qzsdk::binary_file in = qzsdk::binary_file::open_for_reading(file);
    if (!in)
        return {};
    const uint64_t size = in.size();
    if (size == 0 || size > largest_file)
        return {};
    std::vector<uint8_t> bytes(size_t(size), 0);
    return in.read_exact(bytes.data(), uint32_t(size)) ? bytes : std::vector<uint8_t>{};
}

bool looks_like_png(const uint8_t* bytes, size_t length)
{
    return length >= 4 && bytes[0] == 0x89 && bytes[1] == 'P' && bytes[2] == 'N' && bytes[3] == 'G';
}

}  // namespace

PixelSize FitInside(PixelSize full, PixelSize box)
{
    if (full.width == 0 || full.height == 0)
        return {};
    const double scale = std::min({1.0, double(box.width) / full.width, double(box.height) / full.height});
    return PixelSize{std::max(uint32_t(std::lround(full.width * scale)), 1u),
                     std::max(uint32_t(std::lround(full.height * scale)), 1u)};
}

DecodedCapture DecodeCaptureFile(const qzsdk::path& file, const SizeChooser& size)
{
    const std::vector<uint8_t> bytes = read_file(file);
    return DecodeCaptureBytes(bytes.data(), bytes.size(), size);
}

DecodedCapture DecodeCaptureBytes(const uint8_t* bytes, size_t length, const SizeChooser& size)
{
    DecodedCapture decoded;
    if (!bytes || length == 0 || length > largest_file)
        return decoded;
    if (looks_like_png(bytes, length) && !qzsdk::ui::png_structure_sound(bytes, length))
        return decoded;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))) ||
        FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes), DWORD(length))) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&width, &height)) ||
        !qzsdk::ui::image_size_fits(width, height))
        return decoded;
    const PixelSize target = size(PixelSize{width, height});
    if (!qzsdk::ui::image_size_fits(target.width, target.height))
        return decoded;
    if (FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return decoded;
    ComPtr<IWICBitmapSource> source = converter;
    if (target.width != width || target.height != height) {
        ComPtr<IWICBitmapScaler> scaler;
        if (FAILED(factory->CreateBitmapScaler(&scaler)) ||
            FAILED(scaler->Initialize(converter.Get(), target.width, target.height, WICBitmapInterpolationModeFant)))
            return decoded;
        source = scaler;
    }
    auto picture = std::make_unique<qzsdk::ui::image>();
    if (!picture->create_blank(target.width, target.height, 0))
        return decoded;
    try {
        qzsdk::ui::image::pixel_data pixels;
        picture->lock_pixels(pixels);
        const HRESULT copied = source->CopyPixels(nullptr, pixels.stride, pixels.size, pixels.pixels);
        picture->unlock_pixels();
        if (FAILED(copied))
            return decoded;
    } catch (const std::exception&) {
        return decoded;
    }
    decoded.picture = std::move(picture);
    decoded.full_width = width;
    decoded.full_height = height;
    return decoded;
}
