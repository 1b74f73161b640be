#pragma once
// Whole-file reading and replacing of the two list files.
#include "toolkit/platform/path.h"

#include <string>
#include <string_view>

// The file's bytes; empty when it is missing, cannot be read, or is larger than any list a user keeps.
std::string read_list_file(const qzsdk::path& folder, const wchar_t* file_name);

// Replaces the file whole, or leaves the old one as it was and returns false. A file too large to have been
// read is kept as "<name>.too-large" rather than replaced.
bool write_list_file(const qzsdk::path& folder, const wchar_t* file_name, std::string_view text);
