#pragma once
// A file read or written as raw bytes through its wide path, with the position kept here.
#include "toolkit/platform/path.h"
#include "toolkit/platform/unique_handle.h"

#include <cstddef>
#include <cstdint>

namespace qzsdk {

class binary_file {
public:
    static binary_file open_for_reading(const path& file);
    // Creates the file or truncates an existing one.
    static binary_file create(const path& file);

    explicit operator bool() const { return static_cast<bool>(handle_); }
    // False on a hard read error; at the end of the file it succeeds with fewer bytes (0 at the end).
    bool read_some(void* buffer, uint32_t size, uint32_t& read);
    // False unless every byte was read.
    bool read_exact(void* buffer, uint32_t size);
    bool write_all(const void* bytes, size_t size);
    bool seek(uint64_t position);
    uint64_t position() const { return position_; }
    uint64_t size() const;
    // Writes the system's buffers through to the disk.
    bool flush();
    void close() { handle_.reset(); }

private:
    explicit binary_file(HANDLE handle) : handle_(handle) {}

    file_handle handle_;
    uint64_t position_ = 0;
};

}  // namespace qzsdk
