#include "toolkit/ui/png_encoder.h"

#include "toolkit/platform/background_task.h"

#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <memory>
#include <new>
#include <thread>

namespace qzsdk::ui {

namespace {

constexpr uint8_t png_signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Deflate's fastest level: a screenshot is written while the user waits for the flash.
constexpr int deflate_level = 1;
// The zlib header of a 32 KiB window at the fastest level; 0x7801 is a multiple of 31, as the header requires.
constexpr uint8_t zlib_header[2] = {0x78, 0x01};
constexpr uint8_t filter_up = 2;
// Fewer rows than this in a strip cost more in start-up than they save.
constexpr uint32_t minimum_strip_rows = 64;
// Keeps every strip's adler32 length and its IDAT chunk inside 32-bit arithmetic.
constexpr uint64_t largest_strip_bytes = 1ull << 30;

void put_u32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(value >> shift));
}

// Length, type, data, and the CRC of type and data, as every PNG chunk.
void append_chunk(std::vector<uint8_t>& out, const char (&type)[5], const std::vector<uint8_t>& data)
{
    put_u32(out, uint32_t(data.size()));
    const auto* type_bytes = reinterpret_cast<const uint8_t*>(type);
    out.insert(out.end(), type_bytes, type_bytes + 4);
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0, type_bytes, 4);
    // zlib takes a null buffer as asking for the initial value, which an empty vector's data may be.
    if (!data.empty())
        crc = crc32_z(crc, data.data(), data.size());
    put_u32(out, uint32_t(crc));
}

bool all_opaque(const bgra_view& picture)
{
    for (uint32_t y = 0; y < picture.height; ++y) {
        const uint8_t* row = picture.pixels + size_t(y) * picture.stride;
        for (uint32_t x = 0; x < picture.width; ++x)
            if (row[x * 4 + 3] != 255)
                return false;
    }
    return true;
}

// One row in the file's channel order: R, G, B and, with four channels, A.
void pack_row(const bgra_view& picture, uint32_t y, uint32_t channels, uint8_t* out)
{
    const uint8_t* from = picture.pixels + size_t(y) * picture.stride;
    for (uint32_t x = 0; x < picture.width; ++x, from += 4, out += channels) {
        out[0] = from[2];
        out[1] = from[1];
        out[2] = from[0];
        if (channels == 4)
            out[3] = from[3];
    }
}

struct deflated_strip {
    std::vector<uint8_t> bytes;
    uLong adler = 1;  // of the filtered rows, as zlib's trailer counts them
    uint64_t filtered_size = 0;
    bool ok = false;
};

// Rows [first, end) with the Up filter (which needs the row above, so strips stay independent of each other)
// as raw deflate blocks; every strip but the last ends on a byte boundary without the final-block mark, so
// the strips concatenate into one stream.
deflated_strip deflate_strip(const bgra_view& picture, uint32_t channels, uint32_t first, uint32_t end, bool last)
{
    deflated_strip strip;
    z_stream stream{};
    if (deflateInit2(&stream, deflate_level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return strip;
    const std::unique_ptr<z_stream, int (*)(z_streamp)> ender(&stream, &deflateEnd);
    try {
        const size_t row_bytes = size_t(picture.width) * channels;
        std::vector<uint8_t> above(row_bytes, 0), current(row_bytes), line(row_bytes + 1);
        if (first > 0)
            pack_row(picture, first - 1, channels, above.data());
        strip.filtered_size = uint64_t(row_bytes + 1) * (end - first);
        // Room for everything at once, sync-flush marker included: deflate never has to be called again.
        strip.bytes.resize(deflateBound(&stream, uLong(strip.filtered_size)) + 64);
        stream.next_out = strip.bytes.data();
        stream.avail_out = uInt(strip.bytes.size());
        line[0] = filter_up;
        for (uint32_t y = first; y < end; ++y) {
            pack_row(picture, y, channels, current.data());
            for (size_t i = 0; i < row_bytes; ++i)
                line[i + 1] = uint8_t(current[i] - above[i]);
            strip.adler = adler32_z(strip.adler, line.data(), line.size());
            stream.next_in = line.data();
            stream.avail_in = uInt(line.size());
            const int flush = y + 1 < end ? Z_NO_FLUSH : last ? Z_FINISH : Z_SYNC_FLUSH;
            const int result = deflate(&stream, flush);
            if (stream.avail_in != 0 || (result != Z_OK && result != Z_STREAM_END))
                return strip;
            above.swap(current);
        }
        strip.bytes.resize(stream.total_out);
        strip.ok = true;
    } catch (const std::bad_alloc&) {
        strip.ok = false;
    }
    return strip;
}

std::vector<uint8_t> header_bytes(const bgra_view& picture, uint32_t channels)
{
    std::vector<uint8_t> header;
    put_u32(header, picture.width);
    put_u32(header, picture.height);
    // 8 bits a channel; colour type 6 (RGBA) or 2 (RGB); deflate; adaptive filtering; no interlace.
    for (uint8_t byte : {uint8_t(8), uint8_t(channels == 4 ? 6 : 2), uint8_t(0), uint8_t(0), uint8_t(0)})
        header.push_back(byte);
    return header;
}

// Deflates every strip, the first on this thread and the others on the system's pool; waits for all of them,
// also when starting one fails, since they write into the results.
std::vector<deflated_strip> deflate_strips(const bgra_view& picture, uint32_t channels, uint32_t strips)
{
    std::vector<deflated_strip> results(strips);
    auto bounds = [&](uint32_t k) { return std::pair{uint32_t(uint64_t(picture.height) * k / strips),
                                                     uint32_t(uint64_t(picture.height) * (k + 1) / strips)}; };
    auto run = [&](uint32_t k) {
        const auto [first, end] = bounds(k);
        results[k] = deflate_strip(picture, channels, first, end, k + 1 == strips);
    };
    std::vector<std::unique_ptr<background_task>> others;
    others.reserve(strips);  // a task once started is never dropped unwaited by a failing push_back
    struct wait_all {
        std::vector<std::unique_ptr<background_task>>& tasks;
        ~wait_all()
        {
            for (auto& task : tasks)
                task->wait(INFINITE);
        }
    } waiter{others};
    for (uint32_t k = 1; k < strips; ++k)
        others.push_back(std::make_unique<background_task>([&run, k] { run(k); }));
    run(0);
    return results;
}

}  // namespace

uint32_t png_strip_count_for_machine()
{
    return std::max(1u, std::thread::hardware_concurrency());
}

std::vector<uint8_t> encode_png_fast(const bgra_view& picture, uint32_t strip_count)
{
    constexpr uint32_t largest_side = 0x7FFFFFFF;
    if (!picture.pixels || picture.width == 0 || picture.height == 0 || picture.width > largest_side ||
        picture.height > largest_side || picture.stride / 4 < picture.width)
        return {};
    try {
        const uint32_t channels = all_opaque(picture) ? 3 : 4;
        const uint64_t filtered = (uint64_t(picture.width) * channels + 1) * picture.height;
        const uint32_t by_size = uint32_t(std::min<uint64_t>(filtered / largest_strip_bytes + 1, picture.height));
        const uint32_t by_rows = std::max(1u, picture.height / minimum_strip_rows);
        const uint32_t strips = std::max(by_size, std::min(std::max(strip_count, 1u), by_rows));
        std::vector<deflated_strip> deflated = deflate_strips(picture, channels, strips);

        std::vector<uint8_t> file(std::begin(png_signature), std::end(png_signature));
        append_chunk(file, "IHDR", header_bytes(picture, channels));
        uLong adler = 1;
        for (uint32_t k = 0; k < strips; ++k) {
            deflated_strip& strip = deflated[k];
            if (!strip.ok)
                return {};
            adler = k == 0 ? strip.adler : adler32_combine(adler, strip.adler, z_off_t(strip.filtered_size));
            if (k == 0)
                strip.bytes.insert(strip.bytes.begin(), std::begin(zlib_header), std::end(zlib_header));
            if (k + 1 == strips)
                put_u32(strip.bytes, uint32_t(adler));
            append_chunk(file, "IDAT", strip.bytes);
            std::vector<uint8_t>().swap(strip.bytes);
        }
        append_chunk(file, "IEND", {});
        return file;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

}  // namespace qzsdk::ui
