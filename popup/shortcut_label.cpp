#include "popup/shortcut_label.h"

namespace {

constexpr size_t label_characters = 3;

bool is_continuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The bytes of the UTF-8 character starting at `start`: its lead byte and the continuation bytes that
// follow it, at most as many as the lead announces. A stray byte counts as a character of its own, so
// a broken name is cut somewhere too, never split inside a sequence it does hold.
size_t character_length(std::string_view text, size_t start)
{
    const auto lead = static_cast<unsigned char>(text[start]);
    const size_t announced = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    size_t length = 1;
    while (length < announced && start + length < text.size() &&
           is_continuation(static_cast<unsigned char>(text[start + length])))
        ++length;
    return length;
}

}  // namespace

std::string shortened_label(std::string_view name)
{
    size_t end = 0;
    for (size_t count = 0; count < label_characters && end < name.size(); ++count)
        end += character_length(name, end);
    return std::string(name.substr(0, end));
}

std::string shortcut_label(std::string_view name)
{
    std::string label = shortened_label(name);
    if (!label.empty() && label[0] >= 'a' && label[0] <= 'z')
        label[0] = static_cast<char>(label[0] - 'a' + 'A');
    return label;
}
