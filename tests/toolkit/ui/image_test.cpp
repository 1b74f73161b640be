#include <gtest/gtest.h>
#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "tests/support/file_holder.h"
#include "tests/support/temp_folder.h"
#include "tests/support/wic_canvas.h"
#include "toolkit/platform/qz_exception.h"
#include "toolkit/ui/image.h"
#include "toolkit/ui/image_handle.h"

using Microsoft::WRL::ComPtr;

namespace qzsdk::ui {
namespace {

using test::bgra;


// Decodes without premultiplying, to see exactly what an encoder wrote.
std::vector<bgra> decode_straight(const std::vector<uint8_t>& bytes, uint32_t& width, uint32_t& height)
{
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    EXPECT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                              IID_PPV_ARGS(&factory)));
    factory->CreateStream(&stream);
    stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), DWORD(bytes.size()));
    if (FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnLoad, &decoder)))
        return {};
    decoder->GetFrame(0, &frame);
    factory->CreateFormatConverter(&converter);
    converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                          WICBitmapPaletteTypeCustom);
    converter->GetSize(&width, &height);
    std::vector<bgra> pixels(size_t(width) * height);
    converter->CopyPixels(nullptr, width * 4, UINT(pixels.size() * 4), reinterpret_cast<BYTE*>(pixels.data()));
    return pixels;
}

void expect_near(bgra actual, bgra expected, int tolerance)
{
    EXPECT_NEAR(actual.b, expected.b, tolerance);
    EXPECT_NEAR(actual.g, expected.g, tolerance);
    EXPECT_NEAR(actual.r, expected.r, tolerance);
    EXPECT_EQ(actual.a, expected.a);
}

const std::vector<bgra> translucent = {{0, 0, 255, 128}, {50, 100, 200, 77}, {10, 20, 30, 255}, {0, 0, 0, 0},
                                       {255, 255, 255, 1}, {1, 2, 3, 254}};

TEST(Image, StraightPixelsEncodeByteForByte)
{
    image picture;
    ASSERT_TRUE(picture.create_blank(3, 2, 1));
    EXPECT_FALSE(picture.premultiplied());
    test::fill_pixels(picture, translucent);
    uint32_t width = 0, height = 0;
    EXPECT_EQ(decode_straight(picture.encode(image_format_png), width, height), translucent);
    EXPECT_EQ(width, 3u);
    EXPECT_EQ(height, 2u);

    // Straight pixels written into a premultiplied bitmap (as frame capture does) keep their bytes too.
    image captured;
    ASSERT_TRUE(captured.create_blank(3, 2, 0));
    EXPECT_TRUE(captured.premultiplied());
    captured.set_premultiplied(false);
    test::fill_pixels(captured, translucent);
    EXPECT_EQ(decode_straight(captured.encode(image_format_png), width, height), translucent);
}

TEST(Image, SemiTransparentPixelSurvivesLoadAndSave)
{
    image original;
    ASSERT_TRUE(original.create_blank(3, 2, 1));
    test::fill_pixels(original, translucent);
    std::vector<uint8_t> png = original.encode(image_format_png);

    // Decoded images hold premultiplied bytes and re-encode as straight ones, however often they are saved.
    for (int generation = 0; generation < 3; ++generation) {
        image loaded;
        ASSERT_TRUE(loaded.load_from_memory(png.data(), png.size(), 1.0f));
        EXPECT_TRUE(loaded.premultiplied());
        expect_near(test::read_pixel(loaded, 0, 0), {0, 0, 128, 128}, 1);
        png = loaded.encode(image_format_png);
        uint32_t width = 0, height = 0;
        const std::vector<bgra> saved = decode_straight(png, width, height);
        ASSERT_EQ(saved.size(), translucent.size());
        expect_near(saved[0], {0, 0, 255, 128}, 0);
        expect_near(saved[1], translucent[1], 4);
        EXPECT_EQ(saved[2], translucent[2]);
        EXPECT_EQ(saved[3].a, 0);
    }
}

TEST(Image, PngAndJpegKeepSizeAndColours)
{
    image picture;
    ASSERT_TRUE(picture.create_blank(3, 2, 0));
    const std::vector<bgra> opaque = {{0, 0, 255, 255},   {0, 255, 0, 255},   {255, 0, 0, 255},
                                      {255, 255, 255, 255}, {128, 128, 128, 255}, {0, 0, 0, 255}};
    test::fill_pixels(picture, opaque);
    uint32_t width = 0, height = 0;
    EXPECT_EQ(decode_straight(picture.encode(image_format_png), width, height), opaque);

    const std::vector<uint8_t> jpeg = picture.encode(image_format_jpeg);
    ASSERT_GE(jpeg.size(), 4u);
    EXPECT_EQ(jpeg[0], 0xFF);
    EXPECT_EQ(jpeg[1], 0xD8);
    const std::vector<bgra> decoded = decode_straight(jpeg, width, height);
    EXPECT_EQ(width, 3u);
    EXPECT_EQ(height, 2u);
    ASSERT_EQ(decoded.size(), 6u);
    EXPECT_EQ(decoded[0].a, 255);
    EXPECT_GT(decoded[3].r, 200);  // white stays light, black stays dark: rows did not skew
    EXPECT_LT(decoded[5].r, 60);
}

TEST(Image, EncodedPngEndsExactlyAtItsEndChunk)
{
    image picture;
    ASSERT_TRUE(picture.create_blank(5, 5, 0));
    const std::vector<uint8_t> png = picture.encode(image_format_png);
    ASSERT_GT(png.size(), 12u);
    const uint8_t end[] = {'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    EXPECT_EQ(std::memcmp(png.data() + png.size() - 8, end, 8), 0);

    image_handle empty;
    EXPECT_TRUE(empty.encode_png().empty());
    image_handle held(std::make_unique<image>());
    EXPECT_TRUE(held.encode_png().empty());  // nothing to encode yet
}

TEST(Image, CorruptOrTruncatedDataReturnsFalse)
{
    image source;
    ASSERT_TRUE(source.create_blank(16, 16, 0));
    const std::vector<uint8_t> png = source.encode(image_format_png);
    std::vector<uint8_t> scrambled = png;
    for (size_t i = 40; i < scrambled.size(); ++i) scrambled[i] ^= 0x5A;
    const uint8_t garbage[] = "not an image at all";

    image picture;
    EXPECT_FALSE(picture.load_from_memory(png.data(), 20, 1.0f));
    EXPECT_FALSE(picture.load_from_memory(scrambled.data(), scrambled.size(), 1.0f));
    EXPECT_FALSE(picture.load_from_memory(garbage, sizeof garbage, 1.0f));
    EXPECT_FALSE(picture.load_from_memory(nullptr, 100, 1.0f));
    EXPECT_FALSE(picture.load_from_memory(png.data(), 0, 1.0f));
    EXPECT_FALSE(picture.valid());
    EXPECT_TRUE(picture.encode(image_format_png).empty());

    EXPECT_TRUE(picture.load_from_memory(png.data(), png.size(), 2.0f));
    EXPECT_EQ(picture.width(), 16u);
    EXPECT_EQ(picture.scale(), 2.0f);
}

TEST(Image, SizesBeyondThirtyTwoBitsFailCleanly)
{
    image picture;
    EXPECT_FALSE(picture.create_blank(40000, 40000, 0));
    EXPECT_FALSE(picture.create_blank(0, 10, 0));
    EXPECT_FALSE(picture.create_blank(0x40000000, 1, 1));
    EXPECT_FALSE(picture.valid());
    EXPECT_TRUE(image_size_fits(16384, 16384));
    EXPECT_FALSE(image_size_fits(32768, 32768));

    ASSERT_TRUE(picture.create_blank(4, 2, 0));
    EXPECT_THROW(picture.scale_to(40000, 40000), qz_exception);
    EXPECT_EQ(picture.width(), 4u);
    picture.scale_to(8, 6);
    EXPECT_EQ(picture.width(), 8u);
    EXPECT_EQ(picture.height(), 6u);
    EXPECT_TRUE(picture.valid());
}

TEST(Image, FilesSaveAndLoadThroughTheHandle)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "zephrin_image_test";
    std::filesystem::create_directories(folder);
    const std::wstring png_path = (folder / L"picture.png").wstring();
    const std::wstring text_path = (folder / L"not_a_picture.png").wstring();
    std::ofstream(folder / L"not_a_picture.png") << "plain text";

    image picture;
    ASSERT_TRUE(picture.create_blank(7, 3, 1));
    test::fill_pixels(picture, std::vector<bgra>(21, {10, 20, 30, 200}));
    ASSERT_TRUE(picture.save_to_file(png_path, image_format_png));
    EXPECT_FALSE(std::filesystem::exists(png_path + L".partial"));

    image_handle handle;
    ASSERT_TRUE(handle.load_from_file(png_path));
    EXPECT_EQ(handle->width(), 7u);
    EXPECT_EQ(handle->height(), 3u);
    EXPECT_FALSE(handle.load_from_file(text_path));
    EXPECT_FALSE(handle);
    EXPECT_FALSE(handle.load_from_file((folder / L"missing.png").wstring()));

    // A failed save leaves the existing file alone.
    image empty;
    const auto size_before = std::filesystem::file_size(png_path);
    EXPECT_FALSE(empty.save_to_file(png_path, image_format_png));
    EXPECT_EQ(std::filesystem::file_size(png_path), size_before);
    std::filesystem::remove_all(folder);
}

// A virus scanner or an indexer opens an exported picture for a moment without delete sharing.
TEST(Image, ASaveWaitsOutAMomentaryHoldAndFailsCleanlyOnALastingOne)
{
    test::temp_folder folder;
    const qzsdk::path file = folder / L"export.png";
    test::write_bytes(file, "old");
    image picture;
    ASSERT_TRUE(picture.create_blank(5, 4, 1));
    test::fill_pixels(picture, std::vector<bgra>(20, {10, 20, 30, 255}));
    {
        test::file_holder scanner(file, 200);
        ASSERT_TRUE(scanner.held()) << "the holder thread did not open the file";
        EXPECT_TRUE(picture.save_to_file(file.wide(), image_format_png));
    }
    EXPECT_EQ(test::read_bytes(file).substr(1, 3), "PNG");

    test::write_bytes(file, "old");
    {
        test::file_holder backup(file);
        ASSERT_TRUE(backup.held()) << "the holder thread did not open the file";
        EXPECT_FALSE(picture.save_to_file(file.wide(), image_format_jpeg));
    }
    EXPECT_EQ(test::read_bytes(file), "old");
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.get().wide()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(Image, UnlockRefreshesTheBitmapsOfEveryRenderer)
{
    image picture;
    ASSERT_TRUE(picture.create_blank(2, 2, 0));
    test::fill_pixels(picture, std::vector<bgra>(4, {0, 0, 255, 255}));
    test::wic_canvas first(4, 4), second(4, 4);
    first.draw([&](renderer& r) { r.draw_image({0, 0}, picture); });
    second.draw([&](renderer& r) { r.draw_image({0, 0}, picture); });
    EXPECT_EQ(first.pixel(1, 1), (bgra{0, 0, 255, 255}));

    test::fill_pixels(picture, std::vector<bgra>(4, {0, 255, 0, 255}));
    first.draw([&](renderer& r) { r.draw_image({0, 0}, picture); });
    second.draw([&](renderer& r) { r.draw_image({0, 0}, picture); });
    EXPECT_EQ(first.pixel(1, 1), (bgra{0, 255, 0, 255}));
    EXPECT_EQ(second.pixel(1, 1), (bgra{0, 255, 0, 255}));
}

TEST(Image, RendererAndImageMayDieInEitherOrder)
{
    auto picture = std::make_unique<image>();
    ASSERT_TRUE(picture->create_blank(2, 2, 0));
    {
        test::wic_canvas canvas(4, 4);
        canvas.draw([&](renderer& r) { r.draw_image({0, 0}, *picture); });
    }
    picture->reset();
    EXPECT_FALSE(picture->valid());

    test::wic_canvas canvas(4, 4);
    auto other = std::make_unique<image>();
    ASSERT_TRUE(other->create_blank(2, 2, 0));
    canvas.draw([&](renderer& r) { r.draw_image({0, 0}, *other); });
    other.reset();
    canvas.draw([](renderer&) {});
}

TEST(Image, StraightPixelsDrawPremultiplied)
{
    image picture;
    ASSERT_TRUE(picture.create_blank(1, 1, 1));
    test::fill_pixels(picture, {{0, 0, 255, 128}});
    test::wic_canvas canvas(2, 2);
    canvas.draw([&](renderer& r) { r.draw_image({0, 0}, picture); });
    expect_near(canvas.pixel(0, 0), {0, 0, 128, 128}, 1);
}

// Each image enters COM on its own thread and releases its objects there before leaving it.
TEST(Image, LivesAndDiesOnAWorkerThread)
{
    image source;
    ASSERT_TRUE(source.create_blank(4, 4, 0));
    const std::vector<uint8_t> png = source.encode(image_format_png);
    bool decoded = false;
    size_t encoded = 0;
    std::thread worker([&] {
        image picture;
        decoded = picture.load_from_memory(png.data(), png.size(), 1.0f);
        picture.scale_to(2, 2);
        encoded = picture.encode(image_format_jpeg).size();
    });
    worker.join();
    EXPECT_TRUE(decoded);
    EXPECT_GT(encoded, 0u);
}

}  // namespace
}  // namespace qzsdk::ui
