#pragma once
// The gallery's disk cache of thumbnail pictures: one blob per image file, keyed by its full path, holding
// the file's last-write time (i64 little-endian, Unix seconds) followed by the thumbnail's PNG bytes.
#include "toolkit/platform/path.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace ThumbnailCache {

// The store's data file: "effects_cache" in the maker folder under local application data.
qzsdk::path StoreFile();

// The cached PNG bytes of the file, only when they were stored for exactly this last-write time.
std::optional<std::vector<uint8_t>> Find(const qzsdk::path& file, int64_t time);
void Store(const qzsdk::path& file, int64_t time, const std::vector<uint8_t>& png);

}  // namespace ThumbnailCache
