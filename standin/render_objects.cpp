#include "standin/render_objects.h"

#include <cstring>

namespace standin {

namespace {

// Full channel values: 8-bit 255, 16-bit 32768 (the host's 16-bit range), 32-bit 1.0.
void put_channel(uint8_t* at, AEGP_WorldType type, double fraction)
{
    if (type == 1) {
        *at = static_cast<uint8_t>(fraction * 255.0 + 0.5);
    } else if (type == 2) {
        uint16_t value = static_cast<uint16_t>(fraction * 32768.0 + 0.5);
        std::memcpy(at, &value, 2);
    } else {
        float value = static_cast<float>(fraction);
        std::memcpy(at, &value, 4);
    }
}

}  // namespace

World::World(AEGP_WorldType type, A_long width, A_long height)
    : type(type), width(width), height(height), rowbytes(width * 4 * bytes_per_channel(type)),
      pixels(static_cast<size_t>(rowbytes) * height)
{
}

int World::bytes_per_channel(AEGP_WorldType type) { return type == 1 ? 1 : type == 2 ? 2 : 4; }

void World::fill_gradient(double alpha)
{
    int channel = bytes_per_channel(type);
    for (A_long y = 0; y < height; ++y) {
        uint8_t* row = pixels.data() + static_cast<size_t>(y) * rowbytes;
        for (A_long x = 0; x < width; ++x) {
            uint8_t* pixel = row + static_cast<size_t>(x) * 4 * channel;
            put_channel(pixel, type, alpha);
            put_channel(pixel + channel, type, width > 1 ? double(x) / (width - 1) : 0.0);
            put_channel(pixel + 2 * channel, type, height > 1 ? double(y) / (height - 1) : 0.0);
            put_channel(pixel + 3 * channel, type, 0.5);
        }
    }
}

PF_EffectWorld World::describe() { return {width, height, rowbytes, type, pixels.data()}; }

bool convert_world(const PF_EffectWorld& source, PF_EffectWorld& target)
{
    if (!source.data || !target.data || source.width != target.width || source.height != target.height ||
        source.world_type != target.world_type || !World::valid_type(source.world_type))
        return false;
    int channel = World::bytes_per_channel(source.world_type);
    for (A_long y = 0; y < source.height; ++y) {
        auto* from = static_cast<const uint8_t*>(source.data) + static_cast<size_t>(y) * source.rowbytes;
        auto* to = static_cast<uint8_t*>(target.data) + static_cast<size_t>(y) * target.rowbytes;
        for (A_long x = 0; x < source.width; ++x, from += 4 * channel, to += 4 * channel) {
            put_channel(to, source.world_type, 1.0);
            std::memcpy(to + channel, from + 3 * channel, channel);
            std::memcpy(to + 2 * channel, from + 2 * channel, channel);
            std::memcpy(to + 3 * channel, from + channel, channel);
        }
    }
    return true;
}

}  // namespace standin
