#pragma once
// A cheap look at a PNG file's layout before a decoder trusts it: damaged files declaring chunks of gigabytes
// in a few bytes would otherwise make the decoder allocate what they claim.
#include <cstddef>
#include <cstdint>

namespace qzsdk::ui {

// True when the bytes start with the PNG signature and an IHDR whose size fits the image size cap, and every
// chunk up to IEND lies within the bytes.
bool png_structure_sound(const uint8_t* bytes, size_t size);

}  // namespace qzsdk::ui
