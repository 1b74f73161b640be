#pragma once
// A wide Windows path. Every constructor turns '/' into '\'; the empty path stands for no path.
#include <string>
#include <string_view>

namespace qzsdk {

class path {
public:
    path() = default;
    path(const wchar_t* text);
    explicit path(std::wstring text);
    static path from_utf8(std::string_view text);

    path join(const path& other) const;
    path parent() const;
    path file_name(bool with_extension = true) const;
    std::string extension() const;
    path append_extension(std::string_view extension) const;
    std::string to_utf8() const;

    const std::wstring& wide() const { return text_; }
    const wchar_t* c_str() const { return text_.c_str(); }
    bool empty() const { return text_.empty(); }
    // A drive path ("C:\...") or a share ("\\server\..."): the same place whatever the working folder is.
    bool is_absolute() const;
    bool operator==(const path&) const = default;

private:
    // Without a trailing '\', so that "C:\data\" names the same folder as "C:\data".
    std::wstring_view without_trailing_separator() const;

    std::wstring text_;
};

}  // namespace qzsdk
