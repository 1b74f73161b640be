#include <gtest/gtest.h>

#include <vector>

#include <wincodec.h>

#include "tests/support/wic_canvas.h"
#include "tests/toolkit/ui/renderer_test_api.h"
#include "toolkit/ui/image.h"
#include "toolkit/ui/renderer.h"

namespace qzsdk::ui {

namespace {

using test::bgra;
using test::wic_canvas;

const bgra red{0, 0, 255, 255};
const bgra green{0, 255, 0, 255};
const bgra clear{0, 0, 0, 0};

TEST(Renderer, OutlineFallsOnTheEdgePixels)
{
    wic_canvas canvas(20, 20);
    canvas.draw([](renderer& r) {
        r.set_line_color({1, 0, 0, 1});
        r.set_stroke(1.0f, stroke_mode::solid);
        r.draw_rect({2, 3, 10, 8});
    });
    for (uint32_t x = 2; x <= 11; ++x) {
        EXPECT_EQ(canvas.pixel(x, 3), red) << x;
        EXPECT_EQ(canvas.pixel(x, 10), red) << x;
    }
    for (uint32_t y = 3; y <= 10; ++y) {
        EXPECT_EQ(canvas.pixel(2, y), red) << y;
        EXPECT_EQ(canvas.pixel(11, y), red) << y;
    }
    EXPECT_EQ(canvas.pixel(1, 3), clear);
    EXPECT_EQ(canvas.pixel(12, 3), clear);
    EXPECT_EQ(canvas.pixel(5, 6), clear);
    EXPECT_EQ(canvas.pixel(5, 11), clear);

    canvas.draw([](renderer& r) {
        r.set_line_color({0, 1, 0, 1});
        r.set_stroke(2.0f, stroke_mode::solid);
        r.draw_rect({0, 0, 10, 10});
    });
    for (uint32_t i : {0u, 1u, 8u, 9u}) EXPECT_EQ(canvas.pixel(i, 5), green) << i;
    EXPECT_EQ(canvas.pixel(2, 5), clear);
    EXPECT_EQ(canvas.pixel(10, 5), clear);
}

TEST(Renderer, FillsAndGradients)
{
    wic_canvas canvas(10, 20);
    canvas.draw([](renderer& r) {
        r.set_fill_color({0, 1, 0, 1});
        r.fill_rect({0, 0, 5, 20});
        r.fill_vertical_gradient({5, 0, 5, 20}, {1, 0, 0, 1}, {0, 0, 1, 1});
    });
    EXPECT_EQ(canvas.pixel(4, 19), green);
    EXPECT_EQ(canvas.pixel(5, 0).a, 255);
    EXPECT_GT(canvas.pixel(7, 0).r, 200);
    EXPECT_LT(canvas.pixel(7, 0).b, 50);
    EXPECT_GT(canvas.pixel(7, 19).b, 200);
    EXPECT_LT(canvas.pixel(7, 19).r, 50);
}

// Counts the painted pixels where one channel clearly dominates.
struct ink {
    int red = 0, blue = 0, other = 0;
};

ink count_ink(wic_canvas& canvas, uint32_t width, uint32_t height)
{
    ink found;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const bgra p = canvas.pixel(x, y);
            if (p.a < 128) continue;
            if (p.r > 2 * p.b + 40 && p.r > 2 * p.g + 40) ++found.red;
            else if (p.b > 2 * p.r + 40 && p.b > 2 * p.g + 40) ++found.blue;
            else ++found.other;
        }
    return found;
}

TEST(Renderer, RangesCarryTheirOwnColoursAndZeroKeepsTheTextBrush)
{
    wic_canvas canvas(120, 30);
    canvas.draw([](renderer& r) {
        r.set_font("tahoma", 16.0f, 2, 0);
        r.set_text_color({0, 0, 1, 1});
        text_style_range tinted;
        tinted.start = 0;
        tinted.length = 4;
        tinted.size = 16.0f;
        tinted.weight = 2;
        tinted.color = {1, 0, 0, 1};
        text_style_range plain = tinted;
        plain.start = 4;
        plain.color = {};
        r.draw_text({0, 0, 120, 30}, "MMMMWWWW", {tinted, plain});
    });
    const ink found = count_ink(canvas, 120, 30);
    EXPECT_GT(found.red, 0);
    EXPECT_GT(found.blue, 0);
}

TEST(Renderer, MeasuresEmptyTextTrailingBlanksAndUnboundedWidth)
{
    wic_canvas canvas(4, 4);
    renderer& r = canvas.renderer();
    r.set_font("tahoma", 12.0f, 0, 0);
    const text_extent empty = r.measure_text("");
    const text_extent word = r.measure_text("word");
    const text_extent spaced = r.measure_text("word   ");
    EXPECT_EQ(empty.width, 1u);
    EXPECT_GT(empty.height, 1u);
    EXPECT_EQ(empty.height, word.height);  // the current font's line
    EXPECT_GT(spaced.width, word.width);

    const std::string sentence = "a sentence long enough to wrap inside a narrow box";
    const text_extent unbounded = r.measure_text(sentence, 0, 0);
    const text_extent narrow = r.measure_text(sentence, 60, 0);
    EXPECT_EQ(unbounded.height, word.height);
    EXPECT_GT(unbounded.width, 60u);
    EXPECT_GT(narrow.height, unbounded.height);

    r.set_font("tahoma", 24.0f, 0, 0);
    EXPECT_GT(r.measure_text("").height, empty.height);

    const std::vector<float> clusters = r.cluster_widths("abc");
    ASSERT_EQ(clusters.size(), 4u);
    EXPECT_EQ(clusters[0], 0.0f);
    EXPECT_GT(clusters[1], 0.0f);
}

TEST(Renderer, FontNamesWithATerminatingZeroMeasureLikeWithout)
{
    wic_canvas canvas(4, 4);
    renderer& r = canvas.renderer();
    r.set_font("Arial", 12.0f, 0, 0);
    const text_extent plain = r.measure_text("text");
    r.set_font(std::string_view("Arial", 6), 12.0f, 0, 0);
    const text_extent stored = r.measure_text("text");
    EXPECT_EQ(plain.width, stored.width);
    EXPECT_EQ(plain.height, stored.height);
}

// A family that cannot be laid out measures nothing rather than whatever was in memory.
TEST(Renderer, AnUnusableFontMeasuresZeroOrSomethingSane)
{
    wic_canvas canvas(4, 4);
    renderer& r = canvas.renderer();
    r.set_font("No Such Family Anywhere", 12.0f, 0, 0);
    const text_extent size = r.measure_text("text");
    EXPECT_EQ(size.width == 0, size.height == 0);
    EXPECT_LT(size.width, 1000u);
    EXPECT_LT(size.height, 1000u);
    r.set_font("tahoma", 0.0f, 0, 0);  // DirectWrite refuses a zero size
    EXPECT_EQ(r.measure_text("text").width, 0u);
    canvas.draw([](renderer& painter) { painter.draw_text({0, 0, 4, 4}, "text"); });
}

// After a lost device the renderer draws again: new target, brushes in their colours, images remade.
// While the target cannot be made again, nothing is drawn and nothing throws; the next paint retries.
TEST(Renderer, RecreatesItsTargetWhenTheDeviceIsLost)
{
    image picture;
    ASSERT_TRUE(picture.create_blank(2, 2, 0));
    test::fill_pixels(picture, std::vector<bgra>(4, green));
    Microsoft::WRL::ComPtr<IWICImagingFactory> wic;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_PPV_ARGS(wic.GetAddressOf()))));
    Microsoft::WRL::ComPtr<IWICBitmap> refused;
    ASSERT_TRUE(SUCCEEDED(wic->CreateBitmap(6, 6, GUID_WICPixelFormat8bppGray, WICBitmapCacheOnLoad,
                                            refused.GetAddressOf())));
    wic_canvas canvas(6, 6);
    canvas.draw([&](renderer& r) {
        r.set_fill_color({1, 0, 0, 1});
        r.draw_image({0, 0}, picture);
    });
    auto good = renderer_test_api::exchange_bitmap(canvas.renderer(), refused);
    renderer_test_api::lose_device(canvas.renderer());
    EXPECT_FALSE(canvas.renderer().begin_draw());
    EXPECT_FALSE(canvas.renderer().begin_draw());
    renderer_test_api::exchange_bitmap(canvas.renderer(), good);
    canvas.draw([&](renderer& r) {
        r.fill_rect({4, 4, 2, 2});
        r.draw_image({0, 0}, picture);
    });
    EXPECT_EQ(canvas.pixel(1, 1), green);
    EXPECT_EQ(canvas.pixel(5, 5), red);
}

// A renderer on a real window: made, painted, resized.
TEST(Renderer, DrawsOnAWindowHandle)
{
    HWND handle = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 64, 32, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(handle, nullptr);
    {
        renderer r(handle);
        r.begin_draw();
        r.set_fill_color({1, 0, 0, 1});
        r.fill_rect({0, 0, 64, 32});
        r.end_draw();
        EXPECT_FALSE(r.is_drawing());
        r.resize(128, 64);
        r.begin_draw();
        r.end_draw();
    }
    DestroyWindow(handle);
}

image& two_to_one(image& picture)
{
    EXPECT_TRUE(picture.create_blank(200, 100, 0));
    test::fill_pixels(picture, std::vector<bgra>(200 * 100, red));
    return picture;
}

TEST(Renderer, FitKeepsTheAspectAndCentres)
{
    image picture;
    wic_canvas canvas(100, 100);
    canvas.draw([&](renderer& r) { r.draw_image_fit({0, 0, 100, 100}, two_to_one(picture), false); });
    EXPECT_EQ(canvas.pixel(50, 24), clear);
    EXPECT_EQ(canvas.pixel(50, 25), red);
    EXPECT_EQ(canvas.pixel(0, 74), red);
    EXPECT_EQ(canvas.pixel(99, 74), red);
    EXPECT_EQ(canvas.pixel(50, 75), clear);

    canvas.draw([&](renderer& r) { r.draw_image_fit({0, 0, 100, 100}, picture, true); });
    EXPECT_EQ(canvas.pixel(50, 1), red);
    EXPECT_EQ(canvas.pixel(50, 98), red);
}

TEST(Renderer, ImagesSmallerThanTheirScaleOrEmptyDrawNothing)
{
    image tiny;
    ASSERT_TRUE(tiny.create_blank(2, 2, 0));
    test::fill_pixels(tiny, std::vector<bgra>(4, red));
    tiny.set_scale(4.0f);
    image empty;
    wic_canvas canvas(10, 10);
    canvas.draw([&](renderer& r) {
        r.draw_image_fit({0, 0, 10, 10}, tiny, false);
        r.draw_image_fit({0, 0, 10, 10}, empty, true);
        r.draw_image({0, 0}, empty);
        r.draw_image_part({0, 0}, empty, {0, 0, 4, 4});
    });
    EXPECT_EQ(canvas.pixel(5, 5), clear);
}

TEST(Renderer, ImageAtItsNaturalSizeAndOneFrameOfAStrip)
{
    image strip;
    ASSERT_TRUE(strip.create_blank(4, 8, 0));
    std::vector<bgra> pixels(32, red);
    std::fill(pixels.begin() + 16, pixels.end(), green);  // frame 1 is the lower half
    test::fill_pixels(strip, pixels);
    strip.set_scale(2.0f);  // 2 x 4 units, frames of 2 x 2

    wic_canvas canvas(10, 10);
    canvas.draw([&](renderer& r) {
        r.draw_image({0, 0}, strip);
        r.draw_image_part({5, 5}, strip, {0, 2, 2, 2});
    });
    EXPECT_EQ(canvas.pixel(1, 0), red);
    EXPECT_EQ(canvas.pixel(1, 3), green);
    EXPECT_EQ(canvas.pixel(2, 0), clear);
    EXPECT_EQ(canvas.pixel(1, 4), clear);
    EXPECT_EQ(canvas.pixel(5, 5), green);
    EXPECT_EQ(canvas.pixel(6, 6), green);
    EXPECT_EQ(canvas.pixel(7, 7), clear);
}

TEST(Renderer, ClipsAndTranslationPlaceTheDrawing)
{
    wic_canvas canvas(10, 10);
    canvas.draw([](renderer& r) {
        r.set_translation(2, 3);
        r.push_clip({0, 0, 4, 4});
        r.set_fill_color({1, 0, 0, 1});
        r.fill_rect({0, 0, 10, 10});
        r.pop_clip();
        r.set_translation(0, 0);
    });
    EXPECT_EQ(canvas.pixel(2, 3), red);
    EXPECT_EQ(canvas.pixel(5, 6), red);
    EXPECT_EQ(canvas.pixel(6, 6), clear);
    EXPECT_EQ(canvas.pixel(1, 3), clear);
}

}  // namespace
}  // namespace qzsdk::ui
