#include "toolkit/platform/float_image.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using namespace qzsdk;

namespace {

template <typename Channel>
std::vector<uint8_t> frame(uint32_t width, uint32_t height, uint32_t row_bytes, Channel first_value, Channel step)
{
    std::vector<uint8_t> bytes(size_t(row_bytes) * height, 0xEE);
    Channel value = first_value;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t c = 0; c < width * 4; ++c, value = Channel(value + step))
            std::memcpy(bytes.data() + size_t(y) * row_bytes + c * sizeof(Channel), &value, sizeof(Channel));
    return bytes;
}

std::vector<uint8_t> to_8bit(const float_image& image, image_rect rect, uint32_t stride)
{
    std::vector<uint8_t> pixels(size_t(stride) * rect.height, 0xAB);
    thread_pool pool(3);
    EXPECT_TRUE(convert_float_to_8bit({&image, rect, pixels.data(), stride}, pool));
    pool.shutdown();
    return pixels;
}

// A channel whose f32 product with 255 is exactly the product asked for, so that ties are real ties.
float times_255_is(float product)
{
    float value = product / 255;
    for (int step = 0; step < 64 && value * 255.0f != product; ++step)
        value = std::nextafter(value, value * 255.0f < product ? 1e9f : -1e9f);
    EXPECT_EQ(value * 255.0f, product);
    return value;
}

float_image single_row(std::vector<float> channels)
{
    float_image image;
    image.width = static_cast<uint32_t>(channels.size() / 4);
    image.height = 1;
    image.channels = std::move(channels);
    return image;
}

}  // namespace

TEST(FloatImage, EightBitChannelsScaleTo0To1AndBackWithPaddedRows)
{
    // Odd width and row padding: every row must start at its own row bytes.
    uint32_t width = 7, height = 5, row_bytes = width * 4 + 6;
    std::vector<uint8_t> source = frame<uint8_t>(width, height, row_bytes, 0, 7);
    float_image image = make_float_image(source.data(), {width, height}, row_bytes, 1);
    ASSERT_EQ(image.channels.size(), size_t(width) * height * 4);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t c = 0; c < width * 4; ++c)
            ASSERT_FLOAT_EQ(image.pixel(0, y)[c], source[y * row_bytes + c] * (1.0f / 255.0f));

    uint32_t stride = width * 4 + 3;
    std::vector<uint8_t> back = to_8bit(image, {0, 0, width, height}, stride);
    for (uint32_t y = 0; y < height; ++y) {
        EXPECT_EQ(std::memcmp(back.data() + y * stride, source.data() + y * row_bytes, width * 4), 0) << "row " << y;
        EXPECT_EQ(back[y * stride + width * 4], 0xAB) << "padding written in row " << y;
    }
}

TEST(FloatImage, SixteenBitChannelsDivideBy32767)
{
    std::vector<uint8_t> source = frame<uint16_t>(2, 1, 16, 0, 4681);  // 0 ... 32767
    float_image image = make_float_image(source.data(), {2, 1}, 16, 2);
    EXPECT_FLOAT_EQ(image.channels[0], 0.0f);
    EXPECT_FLOAT_EQ(image.channels[7], 1.0f);
    uint16_t white = 32768;
    std::memcpy(source.data(), &white, 2);
    image = make_float_image(source.data(), {2, 1}, 16, 2);
    EXPECT_GT(image.channels[0], 1.0f);
    EXPECT_EQ(to_8bit(image, {0, 0, 2, 1}, 8)[0], 255);
}

TEST(FloatImage, UnknownDepthsAndShortRowsLeaveTheImageZero)
{
    std::vector<uint8_t> source(64, 0x7F);
    for (auto [depth, row_bytes] : {std::pair{3u, 64u}, {0u, 64u}, {2u, 15u}, {4u, 31u}}) {
        float_image image = make_float_image(source.data(), {2, 1}, row_bytes, depth);
        ASSERT_EQ(image.channels.size(), 8u);
        for (float channel : image.channels)
            EXPECT_EQ(channel, 0.0f) << depth << " " << row_bytes;
    }
    EXPECT_TRUE(make_float_image(source.data(), {0, 0}, 0, 1).channels.empty());
}

TEST(FloatImage, ConversionTo8BitRoundsTiesToEvenAndClamps)
{
    float nan = std::numeric_limits<float>::quiet_NaN();
    float_image image = single_row({times_255_is(0.5f), times_255_is(1.5f), times_255_is(2.5f), 1.6f,  //
                                    -0.3f, 1e30f, -1e30f, nan,                                         //
                                    1.0f, 0.0f, times_255_is(127.5f), times_255_is(128.5f),            //
                                    0.25f, 0.75f, 0.4f / 255, 254.6f / 255,                            //
                                    times_255_is(3.5f), times_255_is(4.5f), 1.0f, 0.999f});
    std::vector<uint8_t> bytes = to_8bit(image, {0, 0, 5, 1}, 20);
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0, 2, 2, 255, 0, 255, 0, 0, 255, 0, 128, 128, 64, 191, 0, 255, 4, 4, 255, 255}));
}

TEST(FloatImage, ConversionReadsTheRectangleOnlyAndRefusesOneOutsideTheImage)
{
    float_image image;
    image.width = 6;
    image.height = 4;
    image.channels.resize(6 * 4 * 4);
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 6; ++x)
            for (int c = 0; c < 4; ++c)
                image.pixel(x, y)[c] = float(y * 10 + x) / 255;
    std::vector<uint8_t> bytes = to_8bit(image, {2, 1, 3, 2}, 12);
    EXPECT_EQ(bytes[0], 12);
    EXPECT_EQ(bytes[8], 14);
    EXPECT_EQ(bytes[12], 22);
    EXPECT_EQ(bytes[23], 24);

    std::vector<uint8_t> untouched(64, 0xAB);
    thread_pool pool(2);
    EXPECT_FALSE(convert_float_to_8bit({&image, {4, 0, 3, 1}, untouched.data(), 64}, pool));
    EXPECT_FALSE(convert_float_to_8bit({&image, {0, 3, 1, 2}, untouched.data(), 64}, pool));
    EXPECT_FALSE(convert_float_to_8bit({&image, {0xFFFFFFFFu, 0, 2, 1}, untouched.data(), 64}, pool));
    EXPECT_FALSE(convert_float_to_8bit({&image, {0, 0, 6, 1}, untouched.data(), 20}, pool));
    EXPECT_EQ(untouched, std::vector<uint8_t>(64, 0xAB));
    pool.shutdown();
}

TEST(FloatImage, FramesGoStraightTo8BitExactlyAsThroughTheFloatImage)
{
    // Padded rows, 16-bit values past the host's white, floats below 0 and above 1.
    const uint32_t width = 9, height = 6;
    for (uint32_t bytes : {1u, 2u, 4u}) {
        SCOPED_TRACE(bytes);
        const uint32_t row_bytes = width * 4 * bytes + 8;
        const std::vector<uint8_t> source = bytes == 1   ? frame<uint8_t>(width, height, row_bytes, 0, 7)
                                            : bytes == 2 ? frame<uint16_t>(width, height, row_bytes, 0, 1111)
                                                         : frame<float>(width, height, row_bytes, -0.3f, 0.0137f);
        const uint32_t stride = width * 4 + 4;
        const std::vector<uint8_t> expected =
            to_8bit(make_float_image(source.data(), {width, height}, row_bytes, bytes), {0, 0, width, height}, stride);
        std::vector<uint8_t> direct(size_t(stride) * height, 0xAB);
        const frame_to_8bit_job job{source.data(), {width, height}, row_bytes, bytes, direct.data(), stride};
        thread_pool pool(4);
        pool.run(height, [&job](const thread_worker_data& rows) { convert_frame_rows_to_8bit(job, rows); });
        pool.shutdown();
        EXPECT_EQ(direct, expected);
    }
}
