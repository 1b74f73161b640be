#include "toolkit/ui/png_encoder.h"

#include "toolkit/ui/png_structure.h"

#include <gtest/gtest.h>
#include <wincodec.h>
#include <wrl/client.h>
#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;
using namespace qzsdk::ui;

namespace {

struct picture {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> bgra;  // rows back to back

    bgra_view view(uint32_t stride = 0) const { return {bgra.data(), width, height, stride ? stride : width * 4}; }
};

// Busy content: every channel changes along both axes, with a pattern deflate cannot flatten.
picture make_picture(uint32_t width, uint32_t height, bool opaque)
{
    picture made{width, height, std::vector<uint8_t>(size_t(width) * height * 4)};
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            uint8_t* p = made.bgra.data() + (size_t(y) * width + x) * 4;
            p[0] = uint8_t(x * 3 + y);
            p[1] = uint8_t((x ^ y) * 7);
            p[2] = uint8_t(y * 5 - x);
            p[3] = opaque ? 255 : uint8_t(x * 11 + y * 13);
        }
    return made;
}

// Decoded by WIC's own PNG decoder into straight BGRA, as any viewer would read the file.
picture decode_with_wic(const std::vector<uint8_t>& png)
{
    picture decoded;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(factory.GetAddressOf()))) ||
        FAILED(factory->CreateStream(stream.GetAddressOf())) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(png.data()), DWORD(png.size()))) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnLoad,
                                                decoder.GetAddressOf())) ||
        FAILED(decoder->GetFrame(0, frame.GetAddressOf())) ||
        FAILED(factory->CreateFormatConverter(converter.GetAddressOf())) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr,
                                     0.0, WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&decoded.width, &decoded.height)))
        return {};
    decoded.bgra.resize(size_t(decoded.width) * decoded.height * 4);
    if (FAILED(converter->CopyPixels(nullptr, decoded.width * 4, UINT(decoded.bgra.size()), decoded.bgra.data())))
        return {};
    return decoded;
}

uint32_t big_endian(const uint8_t* bytes)
{
    return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
}

struct chunk {
    std::string type;
    std::vector<uint8_t> data;
};

// Every chunk after the signature, each checked against its CRC.
std::vector<chunk> read_chunks(const std::vector<uint8_t>& png)
{
    std::vector<chunk> chunks;
    for (size_t at = 8; at + 12 <= png.size();) {
        const uint32_t length = big_endian(&png[at]);
        chunk c{std::string(reinterpret_cast<const char*>(&png[at + 4]), 4),
                std::vector<uint8_t>(png.begin() + at + 8, png.begin() + at + 8 + length)};
        const uint32_t crc = uint32_t(crc32(0, &png[at + 4], 4 + length));
        EXPECT_EQ(big_endian(&png[at + 8 + length]), crc) << c.type;
        chunks.push_back(std::move(c));
        at += 12 + length;
    }
    return chunks;
}

}  // namespace

TEST(PngEncoder, WicDecodesEveryShapeToTheSamePixels)
{
    // Opaque pictures are written as RGB, others as RGBA; strips split tall pictures, never tiny ones.
    const struct {
        uint32_t width, height, strips;
        bool opaque;
    } cases[] = {{1, 1, 8, true}, {37, 1, 8, false}, {1, 300, 8, false}, {61, 1000, 8, true}, {61, 1000, 3, false},
                 {200, 129, 2, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " in " + std::to_string(c.strips));
        const picture original = make_picture(c.width, c.height, c.opaque);
        const std::vector<uint8_t> png = encode_png_fast(original.view(), c.strips);
        ASSERT_FALSE(png.empty());
        EXPECT_TRUE(png_structure_sound(png.data(), png.size()));
        const picture decoded = decode_with_wic(png);
        ASSERT_EQ(decoded.width, c.width);
        ASSERT_EQ(decoded.height, c.height);
        EXPECT_TRUE(decoded.bgra == original.bgra);
        const std::vector<chunk> chunks = read_chunks(png);
        ASSERT_GE(chunks.size(), 3u);
        EXPECT_EQ(chunks[0].data[9], c.opaque ? 2 : 6);  // colour type
    }
}

TEST(PngEncoder, StripsJoinIntoOneZlibStreamWithItsChecksum)
{
    // Rows padded to a longer stride; only the pixels may be read.
    const picture original = make_picture(50, 700, false);
    std::vector<uint8_t> padded(size_t(50 * 4 + 12) * 700, 0xCD);
    for (uint32_t y = 0; y < 700; ++y)
        std::memcpy(&padded[size_t(y) * (50 * 4 + 12)], &original.bgra[size_t(y) * 50 * 4], 50 * 4);
    const std::vector<uint8_t> png = encode_png_fast({padded.data(), 50, 700, 50 * 4 + 12}, 8);

    std::vector<uint8_t> stream;
    size_t idat_chunks = 0;
    for (const chunk& c : read_chunks(png))
        if (c.type == "IDAT") {
            stream.insert(stream.end(), c.data.begin(), c.data.end());
            ++idat_chunks;
        }
    EXPECT_EQ(idat_chunks, 8u);
    // zlib checks the header and the adler32 of the whole; every row is a filter byte and 50 RGBA pixels.
    std::vector<uint8_t> rows(700 * (1 + 50 * 4) + 1);
    uLongf size = uLongf(rows.size());
    ASSERT_EQ(uncompress(rows.data(), &size, stream.data(), uLong(stream.size())), Z_OK);
    EXPECT_EQ(size, 700u * (1 + 50 * 4));
    EXPECT_TRUE(decode_with_wic(png).bgra == original.bgra);
}

TEST(PngEncoder, MalformedViewsGiveNoBytes)
{
    const picture original = make_picture(4, 4, true);
    EXPECT_TRUE(encode_png_fast({nullptr, 4, 4, 16}, 2).empty());
    EXPECT_TRUE(encode_png_fast({original.bgra.data(), 0, 4, 16}, 2).empty());
    EXPECT_TRUE(encode_png_fast({original.bgra.data(), 4, 0, 16}, 2).empty());
    EXPECT_TRUE(encode_png_fast({original.bgra.data(), 4, 4, 15}, 2).empty());
    // No strip count is treated as one.
    EXPECT_EQ(decode_with_wic(encode_png_fast(original.view(), 0)).bgra, original.bgra);
}
