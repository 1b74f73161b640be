#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "tests/support/wic_canvas.h"
#include "toolkit/ui/image.h"

namespace qzsdk::ui {
namespace {

using test::bgra;

struct clipboard_dib {
    BITMAPINFOHEADER header{};
    std::vector<uint8_t> pixels;
};

bool read_dib(clipboard_dib& out)
{
    if (!OpenClipboard(nullptr)) return false;
    bool found = false;
    if (HGLOBAL block = GetClipboardData(CF_DIB)) {
        const auto* bytes = static_cast<const uint8_t*>(GlobalLock(block));
        std::memcpy(&out.header, bytes, sizeof out.header);
        out.pixels.assign(bytes + sizeof out.header, bytes + GlobalSize(block));
        GlobalUnlock(block);
        found = true;
    }
    CloseClipboard();
    return found;
}

// Puts raw DIB bytes on the clipboard, as another program would.
void put_dib(const BITMAPINFOHEADER& header, const std::vector<uint8_t>& pixels)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof header + pixels.size());
    auto* bytes = static_cast<uint8_t*>(GlobalLock(block));
    std::memcpy(bytes, &header, sizeof header);
    std::memcpy(bytes + sizeof header, pixels.data(), pixels.size());
    GlobalUnlock(block);
    // Windows lets only an owner window's session put data on an emptied clipboard.
    HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    EXPECT_TRUE(SetClipboardData(CF_DIB, block));
    CloseClipboard();
    DestroyWindow(owner);
}

BITMAPINFOHEADER dib_header(LONG width, LONG height, WORD bits)
{
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bits;
    header.biCompression = BI_RGB;
    return header;
}

TEST(ImageClipboard, CopyWritesABottomUpThirtyTwoBitDib)
{
    image picture;
    ASSERT_TRUE(picture.create_blank(2, 2, 0));
    image::pixel_data data;
    picture.lock_pixels(data);
    const uint8_t rows[2][8] = {{1, 2, 3, 255, 4, 5, 6, 255}, {7, 8, 9, 255, 10, 11, 12, 128}};
    std::memcpy(data.pixels, rows[0], 8);
    std::memcpy(data.pixels + data.stride, rows[1], 8);
    picture.unlock_pixels();

    ASSERT_TRUE(copy_image_to_clipboard(picture));
    clipboard_dib dib;
    ASSERT_TRUE(read_dib(dib));
    BITMAPINFOHEADER expected = dib_header(2, 2, 32);
    expected.biXPelsPerMeter = 3000;
    expected.biSizeImage = dib.header.biSizeImage;
    expected.biYPelsPerMeter = dib.header.biYPelsPerMeter;
    EXPECT_EQ(std::memcmp(&dib.header, &expected, sizeof expected), 0);
    ASSERT_GE(dib.pixels.size(), 16u);
    EXPECT_EQ(std::memcmp(dib.pixels.data(), rows[1], 8), 0);  // the last row first
    EXPECT_EQ(std::memcmp(dib.pixels.data() + 8, rows[0], 8), 0);

    // The clipboard was closed again.
    ASSERT_TRUE(OpenClipboard(nullptr));
    CloseClipboard();
}

TEST(ImageClipboard, CopyRefusesAnImageWithoutPixelsAndNeverTakesMoreThanExist)
{
    image empty;
    EXPECT_FALSE(copy_image_to_clipboard(empty));
    image tiny;
    ASSERT_TRUE(tiny.create_blank(1, 1, 0));
    tiny.set_scale(4.0f);  // smaller than its scale: no pixels to copy
    EXPECT_FALSE(copy_image_to_clipboard(tiny));
    ASSERT_TRUE(OpenClipboard(nullptr));
    CloseClipboard();

    // Below scale one the copy takes no more pixels than exist.
    image picture;
    ASSERT_TRUE(picture.create_blank(3, 2, 0));
    picture.set_scale(0.5f);
    ASSERT_TRUE(copy_image_to_clipboard(picture));
    clipboard_dib dib;
    ASSERT_TRUE(read_dib(dib));
    EXPECT_EQ(dib.header.biWidth, 3);
    EXPECT_EQ(dib.header.biHeight, 2);
}

TEST(ImageClipboard, TwentyFourBitRowsReadWithoutSkew)
{
    // 3 pixels of 3 bytes, padded to 12 bytes a row; bottom row first.
    const std::vector<uint8_t> pixels = {10, 11, 12, 20, 21, 22, 30, 31, 32, 0, 0, 0,
                                         40, 41, 42, 50, 51, 52, 60, 61, 62, 0, 0, 0};
    put_dib(dib_header(3, 2, 24), pixels);
    image picture;
    ASSERT_TRUE(picture.load_from_clipboard());
    EXPECT_EQ(picture.width(), 3u);
    EXPECT_EQ(picture.height(), 2u);
    EXPECT_EQ(test::read_pixel(picture, 0, 0), (bgra{40, 41, 42, 255}));
    EXPECT_EQ(test::read_pixel(picture, 2, 0), (bgra{60, 61, 62, 255}));
    EXPECT_EQ(test::read_pixel(picture, 0, 1), (bgra{10, 11, 12, 255}));
    EXPECT_EQ(test::read_pixel(picture, 2, 1), (bgra{30, 31, 32, 255}));
}

TEST(ImageClipboard, ThirtyTwoBitRoundTripAndTopDownRows)
{
    image picture;
    ASSERT_TRUE(picture.create_blank(1, 2, 0));
    image::pixel_data data;
    picture.lock_pixels(data);
    const uint8_t top[4] = {1, 2, 3, 255}, bottom[4] = {4, 5, 6, 255};
    std::memcpy(data.pixels, top, 4);
    std::memcpy(data.pixels + data.stride, bottom, 4);
    picture.unlock_pixels();
    ASSERT_TRUE(copy_image_to_clipboard(picture));
    image back;
    ASSERT_TRUE(back.load_from_clipboard());
    EXPECT_EQ(test::read_pixel(back, 0, 0), (bgra{1, 2, 3, 255}));
    EXPECT_EQ(test::read_pixel(back, 0, 1), (bgra{4, 5, 6, 255}));

    put_dib(dib_header(1, -2, 32), {1, 2, 3, 255, 4, 5, 6, 255});
    ASSERT_TRUE(back.load_from_clipboard());
    EXPECT_EQ(test::read_pixel(back, 0, 0), (bgra{1, 2, 3, 255}));
}

// Straight alpha (a colour above its alpha) and an unused alpha channel (all zeros) are told apart
// from the premultiplied pixels this module writes.
TEST(ImageClipboard, OtherProgramsAlphaIsReadAsTheyMeantIt)
{
    struct case_ {
        std::vector<uint8_t> pixels;
        bool premultiplied;
        bgra first;
    };
    for (const case_& c : {case_{{200, 100, 50, 128, 0, 0, 0, 0}, false, {200, 100, 50, 128}},
                           case_{{10, 20, 30, 0, 40, 50, 60, 0}, true, {10, 20, 30, 255}},
                           case_{{64, 32, 16, 128, 0, 0, 0, 0}, true, {64, 32, 16, 128}}}) {
        put_dib(dib_header(2, -1, 32), c.pixels);
        image picture;
        ASSERT_TRUE(picture.load_from_clipboard());
        EXPECT_EQ(picture.premultiplied(), c.premultiplied) << int(c.pixels[0]);
        EXPECT_EQ(test::read_pixel(picture, 0, 0), c.first) << int(c.pixels[0]);
    }
}

TEST(ImageClipboard, MalformedDibsAreRefused)
{
    image picture;
    // More rows than the block holds, a palette depth, a size beyond 32 bits, no width.
    for (BITMAPINFOHEADER header : {dib_header(1000, 1000, 32), dib_header(2, 2, 8), dib_header(40000, 40000, 32),
                                    dib_header(0, 2, 32)}) {
        put_dib(header, std::vector<uint8_t>(64));
        EXPECT_FALSE(picture.load_from_clipboard()) << header.biWidth << "x" << header.biHeight;
    }
    EXPECT_FALSE(picture.valid());

    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_FALSE(picture.load_from_clipboard());
}

}  // namespace
}  // namespace qzsdk::ui
