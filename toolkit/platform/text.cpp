#include "toolkit/platform/text.h"

#include <windows.h>

#include <climits>
#include <cstdio>
#include <ctime>

namespace qzsdk {

namespace {

// Unix epoch as a FILETIME count.
constexpr int64_t epoch_ticks = 116'444'736'000'000'000LL;

std::wstring to_wide(UINT code_page, std::string_view text)
{
    if (text.empty() || text.size() > INT_MAX)
        return {};
    int length = MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

// Length of the longest prefix of text that does not end inside a UTF-8 sequence.
size_t whole_characters(std::string_view text)
{
    size_t end = text.size();
    size_t lead = end;
    while (lead > 0 && (static_cast<unsigned char>(text[lead - 1]) & 0xC0) == 0x80)
        --lead;
    if (lead == 0)
        return end;
    unsigned char c = static_cast<unsigned char>(text[lead - 1]);
    size_t need = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    return end - (lead - 1) >= need ? end : lead - 1;
}

}  // namespace

std::wstring utf8_to_wide(std::string_view text)
{
    return to_wide(CP_UTF8, text);
}

std::string wide_to_utf8(std::wstring_view text)
{
    if (text.empty() || text.size() > INT_MAX)
        return {};
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                     nullptr, nullptr);
    if (length <= 0)
        return {};
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length, nullptr,
                        nullptr);
    return narrow;
}

std::string ansi_to_utf8(std::string_view text)
{
    return wide_to_utf8(to_wide(CP_ACP, text));
}

std::string format_to_string(const char* format, ...)
{
    char buffer[512];
    va_list args;
    va_start(args, format);
    int written = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (written < 0)
        return {};
    std::string_view text(buffer, std::min<size_t>(static_cast<size_t>(written), sizeof buffer - 1));
    if (static_cast<size_t>(written) >= sizeof buffer)
        text = text.substr(0, whole_characters(text));
    return std::string(text);
}

std::string to_lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

bool is_ascii_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string trim_left(std::string_view text)
{
    size_t first = 0;
    while (first < text.size() && is_ascii_space(text[first]))
        ++first;
    return std::string(text.substr(first));
}

std::string trim(std::string_view text)
{
    size_t first = 0;
    size_t end = text.size();
    while (first < end && is_ascii_space(text[first]))
        ++first;
    while (end > first && is_ascii_space(text[end - 1]))
        --end;
    return std::string(text.substr(first, end - first));
}

int64_t clock_now()
{
    // Looked up at run time: Windows 7, where older hosts run, has only the coarse clock, and a static
    // import of the precise one would keep the module from loading there at all.
    using file_time_clock = void(WINAPI*)(FILETIME*);
    static const file_time_clock read_clock = [] {
        HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        FARPROC precise = kernel ? GetProcAddress(kernel, "GetSystemTimePreciseAsFileTime") : nullptr;
        return precise ? reinterpret_cast<file_time_clock>(reinterpret_cast<void*>(precise)) : &GetSystemTimeAsFileTime;
    }();
    FILETIME now;
    read_clock(&now);
    int64_t ticks = (static_cast<int64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return ticks - epoch_ticks;
}

std::string timestamp_text()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    char buffer[22];
    size_t length = std::strftime(buffer, sizeof buffer, "%Y-%m-%d_%H.%M.%S", &local);
    return std::string(buffer, length);
}

}  // namespace qzsdk
