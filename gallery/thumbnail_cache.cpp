#include "gallery/thumbnail_cache.h"

#include "popup/maker_folders.h"
#include "toolkit/platform/cache_store.h"
#include "toolkit/platform/file_system.h"

#include <cstring>

namespace ThumbnailCache {

namespace {

constexpr size_t time_size = 8;

void write_time(uint8_t* out, int64_t time)
{
    const uint64_t bits = uint64_t(time);
    for (size_t i = 0; i < time_size; ++i)
        out[i] = uint8_t(bits >> (8 * i));
}

int64_t read_time(const uint8_t* in)
{
    uint64_t bits = 0;
    for (size_t i = 0; i < time_size; ++i)
        bits |= uint64_t(in[i]) << (8 * i);
    return int64_t(bits);
}

}  // namespace

qzsdk::path StoreFile()
{
    const qzsdk::path folder = MakerFolders::standard().local;
    return folder.empty() ? qzsdk::path() : folder.join(qzsdk::path(L"effects_cache"));
}

std::optional<std::vector<uint8_t>> Find(const qzsdk::path& file, int64_t time)
{
    const qzsdk::path store_file = StoreFile();
    if (store_file.empty())
        return std::nullopt;
    qzsdk::cache_store store;
    store.open(store_file);
    const qzsdk::cache_store::blob found = store.find(file.to_utf8());
    std::optional<std::vector<uint8_t>> png;
    if (found.data && found.size > time_size && read_time(found.data) == time)
        png.emplace(found.data + time_size, found.data + found.size);
    store.close();
    return png;
}

void Store(const qzsdk::path& file, int64_t time, const std::vector<uint8_t>& png)
{
    const qzsdk::path store_file = StoreFile();
    if (store_file.empty() || png.empty())
        return;
    // The store makes its files but not the folder they live in.
    qzsdk::create_directories(store_file.parent());
    std::vector<uint8_t> value(time_size + png.size());
    write_time(value.data(), time);
    std::memcpy(value.data() + time_size, png.data(), png.size());
    qzsdk::cache_store store;
    store.open(store_file);
    store.store(file.to_utf8(), value.size(), value.data());
    store.close();
}

}  // namespace ThumbnailCache
