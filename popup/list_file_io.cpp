#include "popup/list_file_io.h"

#include "popup/unread_files.h"
#include "toolkit/platform/atomic_write.h"
#include "toolkit/platform/whole_file.h"

#include <windows.h>

#include <optional>

namespace {

// Thousands of lists' worth; anything larger is not a list file of ours.
constexpr uint64_t max_list_file_size = 16ull << 20;

// Nothing for an odd length or a broken surrogate pair.
std::optional<std::string> utf16_to_utf8(std::string_view bytes, bool big_endian)
{
    if (bytes.size() % 2)
        return std::nullopt;
    std::wstring wide(bytes.size() / 2, L'\0');
    for (size_t i = 0; i < wide.size(); ++i) {
        auto first = uint8_t(bytes[2 * i]), second = uint8_t(bytes[2 * i + 1]);
        wide[i] = wchar_t(big_endian ? first << 8 | second : second << 8 | first);
    }
    if (wide.empty())
        return std::string();
    int size = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), int(wide.size()), nullptr, 0,
                                   nullptr, nullptr);
    if (size <= 0)
        return std::nullopt;
    std::string text(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), int(wide.size()), text.data(), size, nullptr,
                        nullptr);
    return text;
}

// Notepad's "Unicode" and PowerShell's redirection write UTF-16 with a byte-order mark.
std::optional<std::string> list_text(std::string_view bytes)
{
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))
        return utf16_to_utf8(bytes.substr(2), bytes[0] == '\xFE');
    return std::string(bytes);
}

}  // namespace

std::string read_list_file(const qzsdk::path& folder, const wchar_t* file_name)
{
    if (folder.empty())
        return {};
    qzsdk::path file = folder.join(file_name);
    qzsdk::whole_file read = qzsdk::read_whole_file(file, max_list_file_size);
    std::optional<std::string> text;
    if (read.state == qzsdk::whole_file_state::read)
        text = list_text(read.bytes);
    // A zero byte ends the text that can be read: what follows it would be lost by a save.
    bool understood = read.state == qzsdk::whole_file_state::missing ||
                      (text && text->find('\0') == std::string::npos);
    if (understood)
        forget_unread_file(file);
    else
        remember_unread_file(file);
    return text.value_or(std::string());
}

bool write_list_file(const qzsdk::path& folder, const wchar_t* file_name, std::string_view text)
{
    if (folder.empty())
        return false;
    qzsdk::path file = folder.join(file_name);
    return !is_unread_file(file) && qzsdk::write_file_atomically(file, text);
}
