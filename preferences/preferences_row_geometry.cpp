#include "preferences/preferences_row_geometry.h"

#include "toolkit/ui/widget_painting.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace qzsdk::ui;

namespace {

// Wider than any row: the text is laid out on one line and never wraps.
constexpr int32_t no_wrap_width = 4096;

// The text as it fits on one line in `width` with the current font: cut after a whole character and
// followed by an ellipsis when it is longer.
std::string FitOnOneLine(renderer& target, std::string_view text, int32_t width)
{
    if (target.measure_text(text).width <= static_cast<uint32_t>(std::max(width, 0)))
        return std::string(text);
    std::vector<size_t> starts;
    for (size_t i = 0; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            starts.push_back(i);
    auto cut = [&](size_t kept) { return std::string(text.substr(0, starts[kept])) + "\xE2\x80\xA6"; };
    size_t low = 0, high = starts.size() - 1;
    while (low < high) {
        size_t middle = (low + high + 1) / 2;
        if (target.measure_text(cut(middle)).width <= static_cast<uint32_t>(width))
            low = middle;
        else
            high = middle - 1;
    }
    return cut(low);
}

}  // namespace

bool BeginRowText(const widget& painted, const color& text_color)
{
    renderer* target = renderer_of(painted);
    if (!target)
        return false;
    target->set_font("Arial", 12.0f, 0, 0);
    target->set_text_color(text_color);
    target->set_alignment(text_align::leading, paragraph_align::center);
    return true;
}

void DrawRowText(const widget& painted, const rect& box, const rect& clip, std::string_view text)
{
    renderer* target = renderer_of(painted);
    if (!target || text.empty())
        return;
    std::string shown = FitOnOneLine(*target, text, clip.x + clip.width - box.x);
    target->draw_text_clipped(rect{box.x, box.y, no_wrap_width, box.height}, clip, shown);
}

void DrawRowNumber(const widget& painted, uint64_t index, int32_t h)
{
    renderer* target = renderer_of(painted);
    if (!target)
        return;
    target->set_alignment(text_align::center, paragraph_align::center);
    target->draw_text(rect{5, 0, 20, h}, std::to_string(index + 1));
    target->set_alignment(text_align::leading, paragraph_align::center);
}

void DrawGridLine(const widget& painted, int32_t x, int32_t h, const color& line)
{
    renderer* target = renderer_of(painted);
    if (!target)
        return;
    target->set_antialiased_outlines(false);
    target->set_stroke(1.0f, stroke_mode::solid);
    target->set_line_color(line);
    target->draw_line(static_cast<float>(x) + 0.5f, 0.5f, static_cast<float>(x) + 0.5f, static_cast<float>(h) + 0.5f);
}
