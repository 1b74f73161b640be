#pragma once
// Whether a path read from an archive may be created under the destination folder.
#include <string_view>

namespace qzsdk {

// True for a relative UTF-8 path whose every component is an ordinary Windows file name: no "." or "..",
// no drive, root, share or stream (':'), no device name (CON, NUL.txt, ...), no character Windows refuses
// in names, and no component ending in a dot or space (Windows strips those, so "..." would climb).
bool is_safe_archive_entry_name(std::string_view name);

}  // namespace qzsdk
