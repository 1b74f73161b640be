#pragma once
// Conversions at the stand-in's boundaries: UTF-8 inside, UTF-16 for Windows, the ANSI code page for the
// module's name buffers.
#include <string>
#include <string_view>

namespace standin {

std::wstring to_wide(std::string_view utf8);
std::string to_utf8(std::wstring_view wide);
std::string utf8_to_ansi(std::string_view utf8);
std::string ansi_to_utf8(std::string_view ansi);

// Copies UTF-8 text into a name buffer of `size` bytes in the ANSI code page, cut to fit and always
// zero-terminated.
void fill_name_buffer(char* buffer, size_t size, std::string_view utf8);

}  // namespace standin
