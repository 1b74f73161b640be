#include "toolkit/platform/float_image.h"

#include <emmintrin.h>

#include <cstring>
#include <vector>

namespace qzsdk {

namespace {

template <typename Channel>
void channels_to_float(const uint8_t* row, float* target, size_t channel_count, float scale)
{
    for (size_t c = 0; c < channel_count; ++c) {
        Channel value;
        std::memcpy(&value, row + c * sizeof(Channel), sizeof(Channel));
        target[c] = static_cast<float>(value) * scale;
    }
}

// One source row of 1, 2 or 4 bytes a channel as floats.
void row_to_float(const uint8_t* row, uint32_t bytes_per_channel, float* target, size_t channel_count)
{
    if (bytes_per_channel == 1)
        channels_to_float<uint8_t>(row, target, channel_count, 1.0f / 255.0f);
    else if (bytes_per_channel == 2)
        channels_to_float<uint16_t>(row, target, channel_count, 1.0f / 32767.0f);
    else
        std::memcpy(target, row, channel_count * sizeof(float));
}

template <typename Channel>
void convert_rows(const uint8_t* source, uint32_t row_bytes, float scale, float_image& image,
                  const thread_worker_data& rows)
{
    size_t channels_per_row = size_t(image.width) * 4;
    for (uint32_t y = rows.first; y < rows.end; ++y)
        channels_to_float<Channel>(source + size_t(y) * row_bytes, image.pixel(0, y), channels_per_row, scale);
}

void copy_float_rows(const uint8_t* source, uint32_t row_bytes, float_image& image, const thread_worker_data& rows)
{
    size_t pixel_row_bytes = size_t(image.width) * 16;
    if (rows.first >= rows.end)
        return;
    if (row_bytes == pixel_row_bytes) {
        std::memcpy(image.pixel(0, rows.first), source + size_t(rows.first) * row_bytes,
                    pixel_row_bytes * (rows.end - rows.first));
        return;
    }
    for (uint32_t y = rows.first; y < rows.end; ++y)
        std::memcpy(image.pixel(0, y), source + size_t(y) * row_bytes, pixel_row_bytes);
}

// Clamping before the conversion keeps huge values and NaN (which convert to INT_MIN) inside 0..255.
inline __m128i to_8bit_lanes(__m128 channels)
{
    const __m128 zero = _mm_setzero_ps();
    const __m128 top = _mm_set1_ps(255.0f);
    return _mm_cvtps_epi32(_mm_min_ps(_mm_max_ps(_mm_mul_ps(channels, top), zero), top));
}

void floats_to_8bit(const float* source, uint8_t* target, uint32_t pixels)
{
    uint32_t x = 0;
    for (; x + 4 <= pixels; x += 4, source += 16, target += 16) {
        __m128i low = _mm_packs_epi32(to_8bit_lanes(_mm_loadu_ps(source)), to_8bit_lanes(_mm_loadu_ps(source + 4)));
        __m128i high = _mm_packs_epi32(to_8bit_lanes(_mm_loadu_ps(source + 8)), to_8bit_lanes(_mm_loadu_ps(source + 12)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target), _mm_packus_epi16(low, high));
    }
    for (; x < pixels; ++x, source += 4, target += 4) {
        __m128i lanes = to_8bit_lanes(_mm_loadu_ps(source));
        __m128i packed = _mm_packus_epi16(_mm_packs_epi32(lanes, lanes), lanes);
        int32_t pixel = _mm_cvtsi128_si32(packed);
        std::memcpy(target, &pixel, 4);
    }
}

}  // namespace

float_image make_float_image(const void* source, image_size size, uint32_t source_row_bytes,
                             uint32_t bytes_per_channel)
{
    float_image image;
    image.width = size.width;
    image.height = size.height;
    image.channels.assign(size_t(size.width) * size.height * 4, 0.0f);
    bool known_depth = bytes_per_channel == 1 || bytes_per_channel == 2 || bytes_per_channel == 4;
    if (!source || !known_depth || image.channels.empty() ||
        uint64_t(source_row_bytes) < uint64_t(size.width) * 4 * bytes_per_channel)
        return image;
    auto bytes = static_cast<const uint8_t*>(source);
    thread_pool::instance().run(size.height, [&](const thread_worker_data& rows) {
        if (bytes_per_channel == 1)
            convert_rows<uint8_t>(bytes, source_row_bytes, 1.0f / 255.0f, image, rows);
        else if (bytes_per_channel == 2)
            convert_rows<uint16_t>(bytes, source_row_bytes, 1.0f / 32767.0f, image, rows);
        else
            copy_float_rows(bytes, source_row_bytes, image, rows);
    });
    return image;
}

void convert_float_rows_to_8bit(const float_to_8bit_job& job, const thread_worker_data& rows)
{
    for (uint32_t r = rows.first; r < rows.end; ++r)
        floats_to_8bit(job.image->pixel(job.rect.x, job.rect.y + r), job.destination + size_t(r) * job.destination_stride,
                       job.rect.width);
}

void convert_frame_rows_to_8bit(const frame_to_8bit_job& job, const thread_worker_data& rows)
{
    const size_t channel_count = size_t(job.size.width) * 4;
    if (job.bytes_per_channel == 1) {
        // v / 255 x 255 rounds back to v for every byte: the float pass would change nothing.
        for (uint32_t y = rows.first; y < rows.end; ++y)
            std::memcpy(job.destination + size_t(y) * job.destination_stride,
                        static_cast<const uint8_t*>(job.source) + size_t(y) * job.source_row_bytes, channel_count);
        return;
    }
    std::vector<float> row(channel_count);
    for (uint32_t y = rows.first; y < rows.end; ++y) {
        row_to_float(static_cast<const uint8_t*>(job.source) + size_t(y) * job.source_row_bytes,
                     job.bytes_per_channel, row.data(), channel_count);
        floats_to_8bit(row.data(), job.destination + size_t(y) * job.destination_stride, job.size.width);
    }
}

bool convert_float_to_8bit(const float_to_8bit_job& job, thread_pool& pool)
{
    if (!job.image || !job.destination)
        return false;
    const image_rect& rect = job.rect;
    if (uint64_t(rect.x) + rect.width > job.image->width || uint64_t(rect.y) + rect.height > job.image->height ||
        uint64_t(rect.width) * 4 > job.destination_stride)
        return false;
    pool.run(rect.height, [&](const thread_worker_data& rows) { convert_float_rows_to_8bit(job, rows); });
    return true;
}

}  // namespace qzsdk
