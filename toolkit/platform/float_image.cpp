#include "toolkit/platform/float_image.h"

#include <emmintrin.h>

#include <cstring>

namespace qzsdk {

namespace {

template <typename Channel>
void convert_rows(const uint8_t* source, uint32_t row_bytes, float scale, float_image& image,
                  const thread_worker_data& rows)
{
    size_t channels_per_row = size_t(image.width) * 4;
    for (uint32_t y = rows.first; y < rows.end; ++y) {
        const uint8_t* row = source + size_t(y) * row_bytes;
        float* target = image.pixel(0, y);
        for (size_t c = 0; c < channels_per_row; ++c) {
            Channel value;
            std::memcpy(&value, row + c * sizeof(Channel), sizeof(Channel));
            target[c] = static_cast<float>(value) * scale;
        }
    }
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
    for (uint32_t r = rows.first; r < rows.end; ++r) {
        const float* source = job.image->pixel(job.rect.x, job.rect.y + r);
        uint8_t* target = job.destination + size_t(r) * job.destination_stride;
        uint32_t x = 0;
        for (; x + 4 <= job.rect.width; x += 4, source += 16, target += 16) {
            __m128i low = _mm_packs_epi32(to_8bit_lanes(_mm_loadu_ps(source)), to_8bit_lanes(_mm_loadu_ps(source + 4)));
            __m128i high =
                _mm_packs_epi32(to_8bit_lanes(_mm_loadu_ps(source + 8)), to_8bit_lanes(_mm_loadu_ps(source + 12)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(target), _mm_packus_epi16(low, high));
        }
        for (; x < job.rect.width; ++x, source += 4, target += 4) {
            __m128i lanes = to_8bit_lanes(_mm_loadu_ps(source));
            __m128i packed = _mm_packus_epi16(_mm_packs_epi32(lanes, lanes), lanes);
            int32_t pixel = _mm_cvtsi128_si32(packed);
            std::memcpy(target, &pixel, 4);
        }
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
