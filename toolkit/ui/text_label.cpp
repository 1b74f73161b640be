#include "toolkit/ui/text_label.h"

#include <algorithm>

#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/generic_panel.h"
#include "toolkit/ui/widget_painting.h"

namespace qzsdk::ui {

text_label::text_label()
{
    connect_member(this, event_id::paint, &text_label::on_paint, this);
    connect_member(this, event_id::property_changed, &text_label::measure, this);
}

void text_label::set_text(const std::string& text)
{
    auto_width = false;
    auto_height = false;
    text_ = text;
    measure();
    invalidate(false);
}

void text_label::set_font_and_alignment() const
{
    renderer* r = renderer_of(*this);
    if (!r)
        return;
    r->set_font(properties.get_string("label_font_name"), properties.get_float("label_font_size"),
                uint32_t(properties.get_int("label_font_weight")), uint32_t(properties.get_int("label_font_style")));
    const int32_t align = properties.get_int("label_text_align");
    const int32_t valign = properties.get_int("label_text_valign");
    r->set_alignment(align == 0 ? text_align::leading : align == 2 ? text_align::trailing : text_align::center,
                     valign == 1   ? paragraph_align::top
                     : valign == 2 ? paragraph_align::bottom
                                   : paragraph_align::center);
}

void text_label::measure()
{
    renderer* r = renderer_of(*this);
    if (!(auto_width || auto_height) || !r)
        return;
    set_font_and_alignment();
    const rect b = bounds();
    text_extent size;
    if (!text_.empty())
        size = r->measure_text(text_, auto_width ? 0 : uint32_t(std::max(b.width, 0)),
                               auto_height ? 0 : uint32_t(std::max(b.height, 0)), runs);
    set_bounds(rect{b.x, b.y, auto_width ? int32_t(size.width) : b.width, auto_height ? int32_t(size.height) : b.height},
               true);
}

void text_label::on_paint()
{
    renderer* r = renderer_of(*this);
    if (!r)
        return;
    paint_back_and_border(*this, 1.0f);
    color text_color = properties.get_color("label_font_color");
    if (!is_enabled(true))
        text_color.a = 0.5f;
    r->set_text_color(text_color);
    set_font_and_alignment();
    if (!text_.empty())
        r->draw_text(rect{0, 0, bounds().width, bounds().height}, text_, rich ? runs : std::vector<text_style_range>{});
}

}  // namespace qzsdk::ui
