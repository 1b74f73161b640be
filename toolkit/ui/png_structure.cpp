#include "toolkit/ui/png_structure.h"

#include "toolkit/ui/image.h"

#include <cstring>

namespace qzsdk::ui {

namespace {

constexpr uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr size_t chunk_overhead = 12;  // length, type and CRC
constexpr uint32_t header_length = 13;

uint32_t read_u32_big_endian(const uint8_t* at)
{
    return uint32_t(at[0]) << 24 | uint32_t(at[1]) << 16 | uint32_t(at[2]) << 8 | uint32_t(at[3]);
}

}  // namespace

bool png_structure_sound(const uint8_t* bytes, size_t size)
{
    if (!bytes || size < sizeof signature || std::memcmp(bytes, signature, sizeof signature) != 0)
        return false;
    size_t at = sizeof signature;
    bool first = true;
    while (size - at >= chunk_overhead) {
        const uint32_t length = read_u32_big_endian(bytes + at);
        const uint8_t* type = bytes + at + 4;
        if (length > size - at - chunk_overhead)
            return false;
        const bool header = std::memcmp(type, "IHDR", 4) == 0;
        if (first != header)
            return false;
        if (header && (length != header_length ||
                       !image_size_fits(read_u32_big_endian(type + 4), read_u32_big_endian(type + 8))))
            return false;
        if (std::memcmp(type, "IEND", 4) == 0)
            return true;
        first = false;
        at += chunk_overhead + length;
    }
    return false;
}

}  // namespace qzsdk::ui
