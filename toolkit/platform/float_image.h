#pragma once
// Frames rendered by the host (8, 16 or 32 bits a channel, four channels) as float pixels, and float
// pixels back to the 8-bit pixels of a toolkit image. Rows are converted on the thread pool.
#include "toolkit/platform/thread_pool.h"

#include <cstdint>
#include <vector>

namespace qzsdk {

struct image_size {
    uint32_t width = 0;
    uint32_t height = 0;
};

struct image_rect {
    uint32_t x = 0;
    uint32_t y = 0;
    uint32_t width = 0;
    uint32_t height = 0;
};

// Four f32 channels a pixel, in the order of the source pixels, rows back to back.
struct float_image {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<float> channels;

    const float* pixel(uint32_t x, uint32_t y) const { return channels.data() + (size_t(y) * width + x) * 4; }
    float* pixel(uint32_t x, uint32_t y) { return channels.data() + (size_t(y) * width + x) * 4; }
};

// 1 byte a channel maps 255 to 1.0, 2 bytes map 32767 to 1.0 (the host's 16-bit white is 32768), 4 bytes
// are f32 copied as they are. Another channel size, or rows shorter than a pixel row, leave it all zero.
float_image make_float_image(const void* source, image_size size, uint32_t source_row_bytes,
                             uint32_t bytes_per_channel);

struct float_to_8bit_job {
    const float_image* image = nullptr;
    image_rect rect;  // read from the float image; lies inside it
    uint8_t* destination = nullptr;
    uint32_t destination_stride = 0;  // bytes; destination row r holds image row rect.y + r
};

// Job body for the rows [first, end) of the rectangle: channel x 255, rounded to nearest (ties to even),
// clamped to 0..255 (NaN gives 0), four bytes a pixel in the same channel order.
void convert_float_rows_to_8bit(const float_to_8bit_job& job, const thread_worker_data& rows);

// A frame straight to 8-bit pixels: the same arithmetic as make_float_image followed by
// convert_float_rows_to_8bit, without the float image (each row passes through a row of floats).
struct frame_to_8bit_job {
    const void* source = nullptr;
    image_size size;
    uint32_t source_row_bytes = 0;   // at least width x 4 x bytes_per_channel
    uint32_t bytes_per_channel = 1;  // 1, 2 or 4
    uint8_t* destination = nullptr;
    uint32_t destination_stride = 0;  // at least width x 4
};

// Job body for the frame rows [first, end); the caller has checked the job's sizes.
void convert_frame_rows_to_8bit(const frame_to_8bit_job& job, const thread_worker_data& rows);

// Runs the conversion of the whole rectangle on the pool. False, with nothing written, when the rectangle
// does not lie inside the image or a destination row is shorter than its pixels.
bool convert_float_to_8bit(const float_to_8bit_job& job, thread_pool& pool = thread_pool::instance());

}  // namespace qzsdk
