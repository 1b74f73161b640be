#include "gallery/thumbnail_cache.h"

#include "popup/maker_folders.h"

namespace ThumbnailCache {

namespace {

constexpr size_t time_size = 8;

}  // namespace

qzsdk::path StoreFile()
{
    return StoreFile(MakerFolders::standard().local);
}

qzsdk::path StoreFile(const qzsdk::path& maker_folder)
{
    return maker_folder.empty() ? qzsdk::path() : maker_folder.join(qzsdk::path(L"effects_cache"));
}

std::vector<uint8_t> MakeValue(int64_t time, const std::vector<uint8_t>& encoded)
{
    std::vector<uint8_t> value(time_size);
    for (size_t i = 0; i < time_size; ++i)
        value[i] = uint8_t(uint64_t(time) >> (8 * i));
    value.insert(value.end(), encoded.begin(), encoded.end());
    return value;
}

std::optional<std::span<const uint8_t>> PictureOf(const uint8_t* value, uint64_t size, int64_t time)
{
    if (!value || size <= time_size)
        return std::nullopt;
    uint64_t bits = 0;
    for (size_t i = 0; i < time_size; ++i)
        bits |= uint64_t(value[i]) << (8 * i);
    if (int64_t(bits) != time)
        return std::nullopt;
    return std::span<const uint8_t>(value + time_size, size_t(size - time_size));
}

}  // namespace ThumbnailCache
