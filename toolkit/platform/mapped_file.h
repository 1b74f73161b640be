#pragma once
// A file mapped into memory, whole or through a window that starts at an allocation-granularity offset.
// Sizes and offsets are 32-bit: a file of 4 GiB or more is not mapped.
#include "toolkit/platform/path.h"
#include "toolkit/platform/unique_handle.h"

#include <cstdint>

namespace qzsdk {

enum mapped_file_mode : int32_t { mapped_file_read = 0, mapped_file_write = 1, mapped_file_full_access = 2 };

class mapped_file {
public:
    // Size 0 maps the file's current size; a larger size than the file grows it. Read mode opens an existing
    // file only; the other modes create a missing one. When anything fails the object is closed.
    mapped_file(const path& file, int32_t mode, uint64_t size = 0, bool defer_mapping = false, bool truncate = false);
    ~mapped_file() = default;
    mapped_file(const mapped_file&) = delete;
    mapped_file& operator=(const mapped_file&) = delete;

    void close();
    // Maps length bytes from offset and returns the offset rounded down to the allocation granularity: the
    // asked byte lies at view() + (offset - result). Failure closes the object.
    uint32_t map_view(uint64_t offset, uint64_t length);

    uint8_t* view() const { return static_cast<uint8_t*>(view_.get()); }
    uint64_t size() const { return size_; }
    int32_t mode() const { return mode_; }
    bool is_open() const { return open_; }

private:
    view_handle view_;
    uint64_t size_ = 0;
    int32_t mode_;
    bool open_ = false;
    file_handle file_;
    file_handle mapping_;
};

}  // namespace qzsdk
