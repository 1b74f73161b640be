#pragma once
// PNG bytes embedded into the module at build time.
#include <cstdint>

namespace qzsdk::resources {

struct png_bytes {
    const uint8_t* data;
    uint64_t length;
};

}  // namespace qzsdk::resources
