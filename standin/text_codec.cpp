#include "standin/text_codec.h"

#include <windows.h>

#include <cstring>

namespace standin {

namespace {

std::wstring decode(UINT code_page, std::string_view text)
{
    if (text.empty())
        return {};
    int length = MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(length, L'\0');
    MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string encode(UINT code_page, std::wstring_view text)
{
    if (text.empty())
        return {};
    int length = WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                     nullptr);
    std::string bytes(length, '\0');
    WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                        nullptr);
    return bytes;
}

}  // namespace

std::wstring to_wide(std::string_view utf8) { return decode(CP_UTF8, utf8); }
std::string to_utf8(std::wstring_view wide) { return encode(CP_UTF8, wide); }
std::string utf8_to_ansi(std::string_view utf8) { return encode(CP_ACP, to_wide(utf8)); }
std::string ansi_to_utf8(std::string_view ansi) { return to_utf8(decode(CP_ACP, ansi)); }

void fill_name_buffer(char* buffer, size_t size, std::string_view utf8)
{
    if (!buffer || size == 0)
        return;
    std::string ansi = utf8_to_ansi(utf8);
    size_t length = std::min(ansi.size(), size - 1);
    std::memcpy(buffer, ansi.data(), length);
    buffer[length] = '\0';
}

}  // namespace standin
