#pragma once
// Named blobs in two mapped files: a data file holding the blobs, and a directory file (the data path with
// ".header" appended) recording each blob's key, place, size and times. The least recently used blobs are
// evicted when the data would pass its limit, and freed space is reused first fit. Nothing here throws:
// find misses and store does nothing when the files cannot be used. A damaged directory loses its bad
// entries, or all of them when its header is unusable, and nothing else.
//
// Directory file, little-endian: "QZMPC" 00 00 00; u64 maximum data size; u64 slot count; then 200-byte
// slots {152-byte zero-terminated UTF-8 key, u64 offset, u64 size, f64 last use, f64 store time
// (microseconds since 1970), u64 own index, u32 in use, u32 reserved}; a free slot is all zero.
#include "toolkit/platform/mapped_file.h"
#include "toolkit/platform/path.h"

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace qzsdk {

class cache_store {
public:
    struct blob {
        const uint8_t* data = nullptr;
        uint64_t size = 0;
    };

    cache_store() = default;
    ~cache_store() = default;
    cache_store(const cache_store&) = delete;
    cache_store& operator=(const cache_store&) = delete;

    // Only remembers the paths; the files are opened, created or rebuilt by the first find or store.
    void open(const path& data_file);
    void close();
    // Closes and deletes both files; false when one is still there because it could not be deleted.
    bool clear();
    // The bytes stay valid until the next find or store on this object.
    blob find(std::string_view name);
    void store(std::string_view name, uint64_t size, const void* bytes);

    // The name's last 128 bytes followed by the decimal FNV-1a 64-bit hash of the whole name.
    static std::string key_for(std::string_view name);

private:
    enum class store_state { closed, paths_set, ready, failed };

    struct entry {
        std::string key;
        uint64_t offset = 0;
        uint64_t size = 0;
        double last_use = 0;
        double stored = 0;
        uint64_t slot_index = 0;
        std::list<entry*>::iterator use_position;
        std::multimap<uint64_t, entry*>::iterator offset_position;
    };
    struct key_hash {
        size_t operator()(const std::string& key) const;
    };

    bool make_ready();
    bool open_files();
    bool create_files();
    bool load_directory();
    bool load_slot(uint64_t index, uint64_t data_size);
    void drop_overlapping_entries();
    void close_files();
    void fail();

    void add_entry(entry loaded, bool most_recent);
    void remove_entry(entry& removed);
    uint64_t first_fit(uint64_t size) const;
    uint64_t free_slot() const;
    uint64_t slot_capacity() const;
    uint8_t* slot_bytes(uint64_t index) const;
    void write_slot(const entry& written);
    bool grow_directory();
    bool grow_data(uint64_t end);
    // A pointer to the asked byte through a view moved there; null (and the store failed) when it cannot map.
    uint8_t* map_data(uint64_t offset, uint64_t size);

    std::mutex mutex_;
    store_state state_ = store_state::closed;
    path data_path_;
    path directory_path_;
    std::unique_ptr<mapped_file> directory_;
    std::unique_ptr<mapped_file> data_;
    std::unordered_map<std::string, entry, key_hash> index_;
    std::multimap<uint64_t, entry*> by_offset_;
    std::list<entry*> by_use_;  // most recent first
    uint64_t max_data_size_ = 524288000;
};

}  // namespace qzsdk
