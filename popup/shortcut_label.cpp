#include "popup/shortcut_label.h"

#include <algorithm>

namespace {

constexpr size_t label_bytes = 3;

size_t utf8_sequence_length(unsigned char lead)
{
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

}  // namespace

std::string shortened_label(std::string_view name)
{
    size_t end = 0;
    while (end < name.size()) {
        size_t next = std::min(name.size(), end + utf8_sequence_length(static_cast<unsigned char>(name[end])));
        if (end > 0 && next > label_bytes)
            break;
        end = next;
    }
    return std::string(name.substr(0, end));
}

std::string shortcut_label(std::string_view name)
{
    std::string label = shortened_label(name);
    if (!label.empty() && label[0] >= 'a' && label[0] <= 'z')
        label[0] = static_cast<char>(label[0] - 'a' + 'A');
    return label;
}
