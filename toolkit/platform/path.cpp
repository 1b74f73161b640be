#include "toolkit/platform/path.h"

#include "toolkit/platform/text.h"

#include <algorithm>

namespace qzsdk {

path::path(const wchar_t* text) : path(std::wstring(text ? text : L"")) {}

path::path(std::wstring text) : text_(std::move(text))
{
    std::replace(text_.begin(), text_.end(), L'/', L'\\');
}

path path::from_utf8(std::string_view text)
{
    return path(utf8_to_wide(text));
}

path path::join(const path& other) const
{
    if (other.empty())
        return *this;
    std::wstring joined = text_;
    if (!joined.empty() && joined.back() != L'\\')
        joined += L'\\';
    std::wstring_view tail = other.text_;
    if (tail.front() == L'\\')
        tail.remove_prefix(1);
    joined += tail;
    return path(std::move(joined));
}

std::wstring_view path::without_trailing_separator() const
{
    std::wstring_view text = text_;
    if (!text.empty() && text.back() == L'\\')
        text.remove_suffix(1);
    return text;
}

path path::parent() const
{
    std::wstring_view text = without_trailing_separator();
    size_t separator = text.rfind(L'\\');
    if (separator == std::wstring_view::npos)
        return {};
    return path(std::wstring(text.substr(0, separator)));
}

path path::file_name(bool with_extension) const
{
    std::wstring_view name = without_trailing_separator();
    size_t separator = name.rfind(L'\\');
    if (separator != std::wstring_view::npos)
        name.remove_prefix(separator + 1);
    if (!with_extension) {
        size_t dot = name.rfind(L'.');
        if (dot != std::wstring_view::npos)
            name = name.substr(0, dot);
    }
    return path(std::wstring(name));
}

std::string path::extension() const
{
    size_t dot = text_.rfind(L'.');
    if (dot == std::wstring::npos)
        return {};
    size_t separator = text_.rfind(L'\\');
    if (separator != std::wstring::npos && separator > dot)
        return {};
    return wide_to_utf8(std::wstring_view(text_).substr(dot + 1));
}

path path::append_extension(std::string_view extension) const
{
    return path(text_ + L'.' + utf8_to_wide(extension));
}

std::string path::to_utf8() const
{
    return wide_to_utf8(text_);
}

bool path::is_absolute() const
{
    const wchar_t letter = text_.empty() ? 0 : wchar_t(text_[0] | 0x20);
    const bool drive = text_.size() >= 3 && letter >= L'a' && letter <= L'z' && text_[1] == L':' && text_[2] == L'\\';
    return drive || text_.starts_with(L"\\\\");
}

}  // namespace qzsdk
