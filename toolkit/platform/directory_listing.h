#pragma once
// Lists one folder, or walks a tree breadth first: every entry of a folder, then its sub-folders in the
// order they were met. Yielded paths are relative to the listed folder; "." and ".." are yielded like any
// other entry and callers skip them.
#include "toolkit/platform/path.h"
#include "toolkit/platform/unique_handle.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <iterator>

namespace qzsdk {

struct directory_entry {
    uint32_t is_folder = 0;
    path relative_path;
};

struct directory_listing;

class directory_iterator {
public:
    using iterator_category = std::input_iterator_tag;
    using value_type = directory_entry;
    using difference_type = std::ptrdiff_t;
    using pointer = const directory_entry*;
    using reference = const directory_entry&;

    directory_iterator() = default;  // the end
    explicit directory_iterator(const directory_listing& listing);
    directory_iterator(directory_iterator&&) = default;
    directory_iterator& operator=(directory_iterator&&) = default;

    reference operator*() const { return entry_; }
    pointer operator->() const { return &entry_; }
    directory_iterator& operator++()
    {
        next();
        return *this;
    }
    void next();
    // Equal when both ended or both walk the same listing, which is all a range loop asks.
    bool operator==(const directory_iterator& other) const { return listing_ == other.listing_; }

private:
    bool open_folder(path relative_folder);
    void take_record();

    const directory_listing* listing_ = nullptr;
    WIN32_FIND_DATAW record_{};
    find_handle find_;
    path relative_folder_;
    std::deque<path> pending_folders_;
    directory_entry entry_;
};

struct directory_listing {
    path folder;
    uint32_t recursive = 0;

    directory_iterator begin() const { return directory_iterator(*this); }
    directory_iterator end() const { return {}; }
};

}  // namespace qzsdk
