#include "toolkit/ui/png_structure.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string u32(uint32_t v)
{
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

// A chunk whose declared length may differ from the bytes that follow it; the CRC is not looked at.
std::string chunk(const char* type, const std::string& data, uint32_t declared)
{
    return u32(declared) + type + data + "CRC!";
}
std::string chunk(const char* type, const std::string& data = {})
{
    return chunk(type, data, uint32_t(data.size()));
}

const std::string signature("\x89PNG\r\n\x1A\n", 8);
std::string header(uint32_t width, uint32_t height)
{
    return chunk("IHDR", u32(width) + u32(height) + std::string(5, '\0'));
}

}  // namespace

TEST(png_structure, AcceptsOnlyFilesWhoseChunksFitAndWhoseHeaderIsSane)
{
    const std::string body = chunk("IDAT", "pixels") + chunk("IEND");
    const struct {
        const char* name;
        std::string bytes;
        bool sound;
    } cases[] = {
        {"good", signature + header(1920, 1080) + body, true},
        {"no signature", "GIF89a" + header(1, 1) + body, false},
        {"signature only", signature, false},
        {"chunk of 2 GB in a tiny file", signature + header(1, 1) + chunk("IDAT", "xy", 0x7FFFFFF0u) + chunk("IEND"), false},
        {"length just past the end", signature + header(1, 1) + chunk("IDAT", "xy", 3) + chunk("IEND"), false},
        {"cut before IEND", signature + header(1, 1) + chunk("IDAT", "pixels"), false},
        {"data before the header", signature + chunk("IDAT", "x") + header(1, 1) + chunk("IEND"), false},
        {"header of the wrong length", signature + chunk("IHDR", u32(1) + u32(1)) + body, false},
        {"zero width", signature + header(0, 10) + body, false},
        {"beyond the size cap", signature + header(40000, 40000) + body, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(qzsdk::ui::png_structure_sound(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size()),
                  c.sound)
            << c.name;
}
