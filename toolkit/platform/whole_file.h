#pragma once
// A small file read whole, telling a file that is not there from one that is there but could not be read:
// only the first may be replaced by a writer that never saw the old contents.
#include "toolkit/platform/path.h"

#include <cstdint>
#include <string>

namespace qzsdk {

enum class whole_file_state { missing, read, unreadable };

struct whole_file {
    whole_file_state state = whole_file_state::missing;
    std::string bytes;
};

// Unreadable covers a file that exists but cannot be opened (a sharing violation, no access), fails while
// being read, or is larger than max_size.
whole_file read_whole_file(const path& file, uint64_t max_size);

}  // namespace qzsdk
