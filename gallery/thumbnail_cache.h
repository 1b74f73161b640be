#pragma once
// The gallery's disk cache of thumbnail pictures: one blob per image file, keyed by its full path, holding
// the file's last-write time (i64 little-endian, Unix seconds) followed by the thumbnail's encoded bytes
// (JPEG; older entries hold PNG). A cached picture is always thumbnail_width pixels wide.
#include "toolkit/platform/path.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ThumbnailCache {

constexpr uint32_t thumbnail_width = 512;
// Beyond this a cached picture is damaged, not a thumbnail of a very tall image.
constexpr uint32_t tallest_thumbnail = 16 * thumbnail_width;

// The store's data file: "effects_cache" in the maker folder under local application data, or in the maker
// folder given.
qzsdk::path StoreFile();
qzsdk::path StoreFile(const qzsdk::path& maker_folder);

std::vector<uint8_t> MakeValue(int64_t time, const std::vector<uint8_t>& encoded);
// The encoded picture of a value, only when it was stored for exactly this last-write time.
std::optional<std::span<const uint8_t>> PictureOf(const uint8_t* value, uint64_t size, int64_t time);

}  // namespace ThumbnailCache
