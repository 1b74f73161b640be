#include "toolkit/platform/archive_entry_name.h"

#include "toolkit/platform/text.h"

#include <array>

namespace qzsdk {

namespace {

constexpr size_t longest_name = 4096;

bool is_device_name(std::string_view component)
{
    std::string stem = to_lower(component.substr(0, component.find('.')));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    static constexpr std::array<std::string_view, 6> plain = {"con", "prn", "aux", "nul", "conin$", "conout$"};
    for (std::string_view device : plain)
        if (stem == device)
            return true;
    bool numbered = stem.size() == 4 && (stem.starts_with("com") || stem.starts_with("lpt")) && stem[3] >= '0' &&
                    stem[3] <= '9';
    return numbered;
}

bool is_safe_component(std::string_view component)
{
    if (component.empty() || component == "." || component == "..")
        return false;
    for (char c : component) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || std::string_view("<>:\"|?*").find(c) != std::string_view::npos)
            return false;
    }
    if (component.back() == '.' || component.back() == ' ')
        return false;
    return !is_device_name(component);
}

}  // namespace

bool is_safe_archive_entry_name(std::string_view name)
{
    if (name.empty() || name.size() > longest_name)
        return false;
    // Text that is not valid UTF-8 would be created under another name than the archive holds.
    if (wide_to_utf8(utf8_to_wide(name)) != name)
        return false;
    size_t start = 0;
    for (;;) {
        size_t separator = name.find_first_of("\\/", start);
        if (!is_safe_component(name.substr(start, separator - start)))
            return false;
        if (separator == std::string_view::npos)
            return true;
        start = separator + 1;
    }
}

}  // namespace qzsdk
