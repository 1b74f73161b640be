#pragma once
// The objects behind the render, world and colour handles.
#include "host/sdk/host_types.h"

#include <cstdint>
#include <vector>

namespace standin {

struct World {
    AEGP_WorldType type = 1;
    A_long width = 0;
    A_long height = 0;
    A_long rowbytes = 0;
    std::vector<uint8_t> pixels;

    World(AEGP_WorldType type, A_long width, A_long height);
    static int bytes_per_channel(AEGP_WorldType type);
    static bool valid_type(AEGP_WorldType type) { return type >= 1 && type <= 3; }
    // A, R, G, B: red grows to the right, green downwards, blue at half, alpha as given.
    void fill_gradient(double alpha);
    PF_EffectWorld describe();
};

struct RenderOptions {
    int item;
    A_Time time{0, 1};
    AEGP_WorldType world_type;
    A_short downsample_x = 1;
    A_short downsample_y = 1;
};

struct FrameReceipt {
    World world;
};

struct ColorConversion {
    int comp_item;
};

// Stand-in for colour management: red and blue swap and alpha becomes full, so a test sees that pixels
// went through the conversion and whether the caller restored alpha.
bool convert_world(const PF_EffectWorld& source, PF_EffectWorld& target);

}  // namespace standin
