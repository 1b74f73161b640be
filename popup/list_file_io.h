#pragma once
// Whole-file reading and replacing of the two list files.
#include "toolkit/platform/path.h"

#include <string>
#include <string_view>

// The file's text as UTF-8: UTF-16 with its byte-order mark (either order) is converted, anything else is
// taken as it is. Empty when the file is missing or cannot be read. A file that exists but cannot be read,
// or whose bytes are not text (a zero byte, broken UTF-16), is remembered as unread: it is not written over
// in this session.
std::string read_list_file(const qzsdk::path& folder, const wchar_t* file_name);

// Replaces the file whole, or leaves the old one as it was and returns false; an unread file is left alone.
bool write_list_file(const qzsdk::path& folder, const wchar_t* file_name, std::string_view text);
