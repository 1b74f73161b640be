#include "preferences/preferences_row_geometry.h"

#include "toolkit/ui/widget_painting.h"

#include <algorithm>
#include <string>

using namespace qzsdk::ui;

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
    // A text longer than its box would wrap onto a second line: its box grows to hold it on one.
    const int32_t one_line = static_cast<int32_t>(target->measure_text(text).width);
    target->draw_text_clipped(rect{box.x, box.y, std::max(box.width, one_line), box.height}, clip, text);
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
