#pragma once
// One file holding every file of a folder tree, each compressed on its own with zlib.
//
// Layout, little-endian, no padding: the magic 'q' 'z' '^' 0x1A; u32 folder count and per folder {u32 length,
// UTF-8 relative path}; u32 file count and per file {u32 length, UTF-8 relative path, u32 size,
// u32 compressed size, u32 data offset, i64 created, i64 modified (Unix seconds)}; then one zlib stream per
// file, back to back. Paths use '\'. Folders are listed only as the ancestors of files.
#include "toolkit/platform/path.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qzsdk {

enum class folder_archive_result : int32_t {
    ok = 0,
    open_failed = 10,           // the archive cannot be created or opened
    bad_magic = 11,
    bad_file_record = 12,       // truncated, or a name that is not a plain relative path
    file_open_failed = 20,      // pack: a file cannot be read; unpack: a file cannot be created
    read_failed = 21,
    stream_failed = 22,         // pack: writing the archive fails; unpack: the compressed data is corrupt
    write_failed = 23,
    data_truncated = 24,        // a file's compressed bytes end, or lie past the archive's end
    size_mismatch = 25,         // the data does not inflate to the recorded size, or claims an absurd one
    too_large = 26,             // pack: a file or the archive would reach 4 GiB
    not_accepted = 27,          // unpack: a folder, name or size the caller's limits refuse
    bad_folder_record = 30,     // truncated, or a path that is not a plain relative path
    folder_create_failed = 31,
    zlib_init_failed = 100,
};

// What an unpack accepts of an archive from elsewhere, checked before anything is created.
struct unpack_limits {
    // The only file names accepted, each at most once, and then no folders; empty accepts any.
    std::vector<std::string> names;
    uint64_t largest_file = UINT64_MAX;
    uint64_t largest_total = UINT64_MAX;
};

class folder_archive {
public:
    // Writes the archive beside its target and renames it into place: a failed pack leaves an older
    // archive file untouched.
    static folder_archive_result pack(const path& folder, const path& archive);
    // Reads and checks every record before anything is created; a file is written beside its place and
    // renamed into it once complete, so a failure leaves only whole files from earlier records.
    static folder_archive_result unpack(const path& archive, const path& destination, const unpack_limits& limits = {});
};

}  // namespace qzsdk
