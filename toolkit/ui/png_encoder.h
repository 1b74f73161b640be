#pragma once
// A PNG encoder for large straight-alpha BGRA pictures (screenshots), much faster than WIC's: rows are
// filtered and deflated in horizontal strips at once, on the system's thread pool, and the strips are joined
// into one standard zlib stream. Safe to call from any thread.
#include <cstdint>
#include <vector>

namespace qzsdk::ui {

struct bgra_view {
    const uint8_t* pixels = nullptr;  // B, G, R, A, straight alpha
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t stride = 0;  // bytes from one row to the next, at least width x 4
};

// An 8-bit RGBA PNG, or RGB when every pixel is opaque; empty when the view is malformed or memory runs out.
// At most strip_count strips are deflated at once (at least one).
std::vector<uint8_t> encode_png_fast(const bgra_view& picture, uint32_t strip_count);

// The strip count for this machine: one a logical processor.
uint32_t png_strip_count_for_machine();

}  // namespace qzsdk::ui
