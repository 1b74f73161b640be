#pragma once
// Text and time helpers shared by the whole program. Text is UTF-8 in memory; wide strings exist only
// at the Windows boundary.
#include <cstdarg>
#include <cstdint>
#include <string>
#include <string_view>

namespace qzsdk {

std::wstring utf8_to_wide(std::string_view text);
std::string wide_to_utf8(std::wstring_view text);
// Text in the system's ANSI code page (the host's name buffers) to UTF-8.
std::string ansi_to_utf8(std::string_view text);

// printf-style; the result is cut at 511 bytes, never inside a UTF-8 character.
std::string format_to_string(const char* format, ...) __attribute__((format(printf, 1, 2)));

// ASCII only, so UTF-8 survives whatever the C runtime's locale is.
std::string to_lower(std::string_view text);
bool is_ascii_space(char c);
std::string trim_left(std::string_view text);
std::string trim(std::string_view text);

// 100-ns ticks since 1970-01-01 UTC.
int64_t clock_now();
constexpr int64_t ticks_per_second = 10'000'000;

// Local time as "%Y-%m-%d_%H.%M.%S", the name of a screenshot.
std::string timestamp_text();

}  // namespace qzsdk
