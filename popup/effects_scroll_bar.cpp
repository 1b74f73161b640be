#include "popup/effects_scroll_bar.h"

#include "toolkit/ui/pixel_line.h"
#include "toolkit/ui/widget_painting.h"

using namespace qzsdk::ui;

EffectsScrollBar::EffectsScrollBar()
{
    name = "EffectsScrollBar";
}

void EffectsScrollBar::ApplyTheme(const EffectsTheme* theme)
{
    if (!theme)
        return;
    thumb_color = theme->scroll_thumb_color;
    grip_color = theme->scroll_grip_color;
    properties.set_color("default_back_color", theme->popup_body_color);
    if (is_visible(true))
        invalidate(false);
}

void EffectsScrollBar::paint_background(const rect& area)
{
    renderer* r = renderer_of(*this);
    if (!r)
        return;
    r->set_fill_color(properties.get_color("default_back_color"));
    r->fill_rect(area);
}

void EffectsScrollBar::paint_thumb(const rect& area)
{
    renderer* r = renderer_of(*this);
    // A list that fits its view has nothing to scroll: a thumb as long as the track would say otherwise.
    if (!r || range() <= 0)
        return;
    r->set_fill_color(thumb_color);
    r->fill_rect(area);
    r->set_line_color(grip_color);
    r->set_stroke(1.0f, stroke_mode::solid);
    r->set_antialiased_outlines(false);
    const bool along_y = orientation == 0;
    const int32_t centre = along_y ? area.y + area.height / 2 : area.x + area.width / 2;
    for (int32_t c : {centre - 3, centre, centre + 3}) {
        if (along_y)
            draw_pixel_line(*r, area.x + 4, c, area.x + area.width - 4, c);
        else
            draw_pixel_line(*r, c, area.y + 4, c, area.y + area.height - 4);
    }
}
