#pragma once
// Image files for the gallery's tests, written through WIC, and a clean thumbnail cache.
#include "toolkit/platform/path.h"

#include <cstdint>
#include <string>

namespace gallery_test {

// A PNG (or, for a name ending in ".jpg", a JPEG) of one colour.
void write_image(const qzsdk::path& file, uint32_t width, uint32_t height, uint8_t blue = 40);
// A PNG cut off after its first bytes: the header is right, the picture data is missing.
void write_truncated_png(const qzsdk::path& file);
void set_modified(const qzsdk::path& file, int64_t unix_seconds);
// Empties the thumbnail store the gallery uses.
void clear_thumbnail_cache();

}  // namespace gallery_test
