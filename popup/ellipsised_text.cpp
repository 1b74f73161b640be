#include "popup/ellipsised_text.h"

#include <vector>

namespace {

constexpr std::string_view ellipsis = "\xE2\x80\xA6";

bool fits(qzsdk::ui::renderer& r, std::string_view text, int32_t room)
{
    return int64_t(r.measure_text(text).width) <= int64_t(room);
}

}  // namespace

std::string ellipsised_text(qzsdk::ui::renderer& r, std::string_view text, int32_t room)
{
    if (fits(r, text, room))
        return std::string(text);
    // Where each whole character ends; a binary search keeps long names to a few measurements.
    std::vector<size_t> ends;
    for (size_t i = 1; i <= text.size(); ++i)
        if (i == text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            ends.push_back(i);
    size_t low = 0;  // characters known to fit
    size_t high = ends.size();
    while (low < high) {
        const size_t middle = (low + high + 1) / 2;
        if (fits(r, std::string(text.substr(0, ends[middle - 1])) + std::string(ellipsis), room))
            low = middle;
        else
            high = middle - 1;
    }
    return std::string(text.substr(0, low ? ends[low - 1] : 0)) + std::string(ellipsis);
}
