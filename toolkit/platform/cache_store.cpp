#include "toolkit/platform/cache_store.h"

#include "toolkit/platform/text.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

namespace qzsdk {

namespace {

constexpr char directory_magic[8] = {'Q', 'Z', 'M', 'P', 'C', 0, 0, 0};
constexpr uint64_t header_size = 24;
constexpr uint64_t slot_size = 200;
constexpr uint64_t new_slot_count = 50;
constexpr uint64_t new_directory_size = header_size + new_slot_count * slot_size;  // 10024
constexpr uint64_t directory_growth = 10 * slot_size;
constexpr uint64_t new_data_size = 0x500000;
constexpr uint64_t data_growth = 0xA00000;
constexpr uint64_t default_max_data_size = 524288000;
// Mapped files are 32-bit.
constexpr uint64_t largest_file = 0xFFFFFFFFu;
constexpr size_t longest_name_tail = 128;

// A file that was never made is as gone as a deleted one.
bool delete_if_present(const path& file)
{
    if (DeleteFileW(file.c_str()))
        return true;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

struct directory_slot {
    char key[152];
    uint64_t offset;
    uint64_t size;
    double last_use;
    double stored;
    uint64_t index;
    uint32_t in_use;
    uint32_t reserved;
};
static_assert(sizeof(directory_slot) == slot_size);
static_assert(offsetof(directory_slot, offset) == 152 && offsetof(directory_slot, in_use) == 192);

uint64_t fnv1a(std::string_view bytes)
{
    uint64_t hash = 0xcbf29ce484222325ull;
    for (char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ull;
    }
    return hash;
}

double now_microseconds()
{
    return static_cast<double>(clock_now()) * 100 * 0.001;
}

uint64_t read_u64(const uint8_t* at)
{
    uint64_t value;
    std::memcpy(&value, at, 8);
    return value;
}

void write_u64(uint8_t* at, uint64_t value)
{
    std::memcpy(at, &value, 8);
}

bool has_content(const path& file)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    return GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data) &&
           !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && (data.nFileSizeHigh != 0 || data.nFileSizeLow != 0);
}

}  // namespace

size_t cache_store::key_hash::operator()(const std::string& key) const
{
    return static_cast<size_t>(fnv1a(key));
}

std::string cache_store::key_for(std::string_view name)
{
    std::string_view tail = name.size() > longest_name_tail ? name.substr(name.size() - longest_name_tail) : name;
    return std::string(tail) + std::to_string(fnv1a(name));
}

void cache_store::open(const path& data_file)
{
    std::lock_guard lock(mutex_);
    if (state_ != store_state::closed)
        return;
    data_path_ = data_file;
    directory_path_ = path(data_file.wide() + L".header");
    state_ = store_state::paths_set;
}

void cache_store::close()
{
    std::lock_guard lock(mutex_);
    close_files();
    state_ = store_state::closed;
}

bool cache_store::clear()
{
    std::lock_guard lock(mutex_);
    if (state_ == store_state::closed)
        return true;
    close_files();
    const bool directory_gone = delete_if_present(directory_path_);
    const bool data_gone = delete_if_present(data_path_);
    state_ = store_state::closed;
    return directory_gone && data_gone;
}

cache_store::blob cache_store::find(std::string_view name)
{
    std::lock_guard lock(mutex_);
    if (name.empty() || !make_ready())
        return {};
    auto found = index_.find(key_for(name));
    if (found == index_.end())
        return {};
    entry& hit = found->second;
    const uint8_t* bytes = map_data(hit.offset, hit.size);
    if (!bytes)
        return {};
    hit.last_use = now_microseconds();
    std::memcpy(slot_bytes(hit.slot_index) + offsetof(directory_slot, last_use), &hit.last_use, 8);
    by_use_.splice(by_use_.begin(), by_use_, hit.use_position);
    return {bytes, hit.size};
}

void cache_store::store(std::string_view name, uint64_t size, const void* bytes)
{
    std::lock_guard lock(mutex_);
    if (name.empty() || !bytes || size == 0 || !make_ready())
        return;
    // A blob that could never fit is refused before anything is evicted.
    if (size > max_data_size_)
        return;
    // The bytes may come from an earlier find, whose view moves below.
    std::vector<uint8_t> own_copy;
    const uint8_t* view = data_->view();
    auto source = static_cast<const uint8_t*>(bytes);
    if (view && source < view + data_->size() && source + size > view) {
        own_copy.assign(source, source + size);
        source = own_copy.data();
    }

    std::string key = key_for(name);
    if (auto old = index_.find(key); old != index_.end())
        remove_entry(old->second);
    uint64_t place = first_fit(size);
    while (place + size > max_data_size_ && !by_use_.empty()) {
        remove_entry(*by_use_.back());
        place = first_fit(size);
    }
    uint64_t slot = free_slot();
    if (slot >= slot_capacity() && !grow_directory())
        return fail();
    if (place + size > data_->size() && !grow_data(place + size))
        return fail();
    // The bytes go in before the slot that names them: a crash in between leaves the slot free.
    uint8_t* target = map_data(place, size);
    if (!target)
        return;
    std::memcpy(target, source, size);

    entry added;
    added.key = std::move(key);
    added.offset = place;
    added.size = size;
    added.last_use = added.stored = now_microseconds();
    added.slot_index = slot;
    write_slot(added);
    add_entry(std::move(added), true);
}

bool cache_store::make_ready()
{
    if (state_ == store_state::ready)
        return true;
    if (state_ != store_state::paths_set)
        return false;
    if (has_content(directory_path_) && has_content(data_path_)) {
        // Files that exist but cannot be opened (locked, read-only) are someone's cache: fail for this session
        // rather than delete them.
        if (!open_files()) {
            fail();
            return false;
        }
        if (load_directory()) {
            state_ = store_state::ready;
            return true;
        }
    }
    // Missing, empty or damaged: start anew; what cannot be recreated (no folder, no access) fails.
    if (!create_files() || !load_directory()) {
        fail();
        return false;
    }
    state_ = store_state::ready;
    return true;
}

bool cache_store::open_files()
{
    directory_ = std::make_unique<mapped_file>(directory_path_, mapped_file_full_access);
    data_ = std::make_unique<mapped_file>(data_path_, mapped_file_full_access, 0, true);
    return directory_->view() && data_->is_open();
}

bool cache_store::create_files()
{
    close_files();
    DeleteFileW(directory_path_.c_str());
    DeleteFileW(data_path_.c_str());
    directory_ = std::make_unique<mapped_file>(directory_path_, mapped_file_full_access, new_directory_size, false, true);
    data_ = std::make_unique<mapped_file>(data_path_, mapped_file_full_access, new_data_size, true, true);
    uint8_t* header = directory_->view();
    if (!header || !data_->is_open())
        return false;
    std::memcpy(header, directory_magic, 8);
    write_u64(header + 8, default_max_data_size);
    write_u64(header + 16, new_slot_count);
    std::memset(header + header_size, 0, new_directory_size - header_size);
    return true;
}

bool cache_store::load_directory()
{
    const uint8_t* header = directory_->view();
    uint64_t size = directory_->size();
    if (!header || size < header_size || std::memcmp(header, directory_magic, 8) != 0)
        return false;
    uint64_t max_data_size = read_u64(header + 8);
    if (read_u64(header + 16) > slot_capacity() || max_data_size == 0 || max_data_size > largest_file)
        return false;
    max_data_size_ = max_data_size;
    // Every slot the file holds: a crash after the directory grew may have left the count behind.
    uint64_t data_size = data_->size();
    for (uint64_t index = 0; index < slot_capacity(); ++index)
        if (!load_slot(index, data_size))
            std::memset(slot_bytes(index), 0, slot_size);
    drop_overlapping_entries();
    by_use_.sort([](const entry* a, const entry* b) { return a->last_use > b->last_use; });
    return true;
}

bool cache_store::load_slot(uint64_t index, uint64_t data_size)
{
    directory_slot slot;
    std::memcpy(&slot, slot_bytes(index), slot_size);
    if (slot.in_use == 0)
        return true;
    const char* terminator = static_cast<const char*>(std::memchr(slot.key, 0, sizeof slot.key));
    bool sound = terminator && terminator != slot.key && slot.size > 0 && slot.offset <= data_size &&
                 slot.size <= data_size - slot.offset && slot.index == index && std::isfinite(slot.last_use);
    std::string key(slot.key, terminator ? terminator - slot.key : 0);
    if (!sound || index_.contains(key))
        return false;
    entry loaded;
    loaded.key = std::move(key);
    loaded.offset = slot.offset;
    loaded.size = slot.size;
    loaded.last_use = slot.last_use;
    loaded.stored = slot.stored;
    loaded.slot_index = index;
    add_entry(std::move(loaded), false);
    return true;
}

void cache_store::drop_overlapping_entries()
{
    uint64_t end = 0;
    for (auto next = by_offset_.begin(); next != by_offset_.end();) {
        entry& current = *(next++)->second;
        if (current.offset < end)
            remove_entry(current);
        else
            end = current.offset + current.size;
    }
}

void cache_store::close_files()
{
    by_use_.clear();
    by_offset_.clear();
    index_.clear();
    data_.reset();
    directory_.reset();
}

void cache_store::fail()
{
    close_files();
    state_ = store_state::failed;
}

void cache_store::add_entry(entry loaded, bool most_recent)
{
    std::string key = loaded.key;
    entry& added = index_.insert_or_assign(std::move(key), std::move(loaded)).first->second;
    added.use_position = by_use_.insert(most_recent ? by_use_.begin() : by_use_.end(), &added);
    added.offset_position = by_offset_.emplace(added.offset, &added);
}

void cache_store::remove_entry(entry& removed)
{
    std::memset(slot_bytes(removed.slot_index), 0, slot_size);
    by_use_.erase(removed.use_position);
    by_offset_.erase(removed.offset_position);
    index_.erase(removed.key);
}

uint64_t cache_store::first_fit(uint64_t size) const
{
    uint64_t candidate = 0;
    for (const auto& [offset, placed] : by_offset_) {
        if (candidate + size <= offset)
            return candidate;
        candidate = std::max(candidate, offset + placed->size);
    }
    return candidate;
}

uint64_t cache_store::free_slot() const
{
    for (uint64_t index = 0; index < slot_capacity(); ++index) {
        uint32_t in_use;
        std::memcpy(&in_use, slot_bytes(index) + offsetof(directory_slot, in_use), 4);
        if (in_use == 0)
            return index;
    }
    return slot_capacity();
}

uint64_t cache_store::slot_capacity() const
{
    return (directory_->size() - header_size) / slot_size;
}

uint8_t* cache_store::slot_bytes(uint64_t index) const
{
    return directory_->view() + header_size + index * slot_size;
}

void cache_store::write_slot(const entry& written)
{
    write_u64(directory_->view() + 16, slot_capacity());
    directory_slot slot{};
    std::memcpy(slot.key, written.key.data(), std::min(written.key.size(), sizeof slot.key - 1));
    slot.offset = written.offset;
    slot.size = written.size;
    slot.last_use = written.last_use;
    slot.stored = written.stored;
    slot.index = written.slot_index;
    slot.in_use = 1;
    std::memcpy(slot_bytes(written.slot_index), &slot, slot_size);
}

bool cache_store::grow_directory()
{
    uint64_t grown = directory_->size() + directory_growth;
    directory_.reset();
    if (grown > largest_file)
        return false;
    directory_ = std::make_unique<mapped_file>(directory_path_, mapped_file_full_access, grown);
    return directory_->view() != nullptr;
}

bool cache_store::grow_data(uint64_t end)
{
    uint64_t size = data_->size();
    uint64_t steps = (end - size + data_growth - 1) / data_growth;
    uint64_t grown = std::max(end, std::min(size + steps * data_growth, largest_file));
    data_.reset();
    data_ = std::make_unique<mapped_file>(data_path_, mapped_file_full_access, grown, true);
    return data_->is_open();
}

uint8_t* cache_store::map_data(uint64_t offset, uint64_t size)
{
    uint32_t rounded = data_->map_view(offset, size);
    if (!data_->view()) {
        fail();
        return nullptr;
    }
    return data_->view() + (offset - rounded);
}

}  // namespace qzsdk
