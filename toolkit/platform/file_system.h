#pragma once
// Files and folders by their wide paths. Nothing here throws: failures are the results. The empty path
// stands for no path, so every operation on it does nothing and reports false.
#include "toolkit/platform/path.h"

#include <cstdint>

namespace qzsdk {

enum file_kind : uint32_t { file_kind_file = 0, file_kind_folder = 1, file_kind_other = 2 };

struct file_info {
    uint8_t exists = 0;
    uint64_t size = 0;
    int64_t created = 0;   // Unix seconds
    int64_t modified = 0;  // Unix seconds
    uint32_t kind = file_kind_other;
};

// Creates the folder and every missing parent; false when a file stands in the way.
bool create_directories(const path& folder);
// Deletes a folder with everything in it; true when the folder itself was removed. A link is removed as a
// link: its target is left alone.
bool remove_tree(path folder);
bool remove_file(path file);
// True once both files are open and every byte was written. Copying a file onto itself (under any
// spelling) leaves it as it is.
bool copy_file(const path& source, const path& target);
file_info get_file_info(const path& file);
// Sets the creation and last-write times (Unix seconds); a time outside the range Windows can store is left
// unchanged. False when the file cannot be opened or the times cannot be set.
bool set_file_times(const path& file, int64_t created, int64_t modified);

}  // namespace qzsdk
