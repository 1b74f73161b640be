#pragma once
// Replaces a file's contents so that a crash, a full disk or a failed write never leaves it half written:
// the bytes go to a temporary file beside the target, which is flushed and then renamed over the target.
#include "toolkit/platform/path.h"

#include <string_view>

namespace qzsdk {

// What becomes of a file already at the target: replaced, or kept (the write then fails).
enum class existing_target { replace, keep };

// True when the target now holds exactly the bytes; on false the old file, if any, is untouched and no
// temporary file is left.
bool write_file_atomically(const path& target, std::string_view bytes,
                           existing_target existing = existing_target::replace);
// A fresh name beside the target for a file that is renamed over it once complete.
path temporary_path_beside(const path& target);
// Puts a complete file in the target's place in one step; false leaves the target as it was. Another program
// holding either file for a moment is waited for, up to half a second; a read-only file or a folder at the
// target fails at once.
bool rename_over(const path& complete_file, const path& target);

}  // namespace qzsdk
