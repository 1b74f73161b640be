#include "toolkit/ui/input_box.h"

#include <cstring>

#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/window.h"

namespace qzsdk::ui {

input_box::input_box()
{
    properties.set_color("default_back_color", color{0.1f, 0.1f, 0.1f, 1.0f});
    if (is_visible(true))
        invalidate(false);
    connect_member(this, event_id::attached, &input_box::on_attached, this);
}

void input_box::on_attached()
{
    margins.name = name + "margins";
    inside.name = name + "inside";
    connect_member(this, event_id::paint, &input_box::on_paint, this);
    connect_member_info(this, event_id::resized, &input_box::on_resized, this);
    connect_member(this, event_id::focus_gained, &input_box::on_focus_gained, this);
    connect_member_info(this, event_id::property_changed, &input_box::on_property_changed, this);
    read_margins();
    const rect b = bounds();
    margins.attach_to_window(this, rect{margin_x_, margin_y_, b.width - 2 * margin_x_ + 1, b.height - 2 * margin_y_});
    inside.attach_to_window(&margins, rect{0, 0, b.width - 2 * margin_x_, b.height - 2 * margin_y_});
}

void input_box::read_margins()
{
    const auto [x, y] = properties.get_pair("input_inside_margins");
    margin_x_ = x;
    margin_y_ = y;
}

void input_box::place_children()
{
    const rect b = bounds();
    margins.set_bounds(rect{margin_x_, margin_y_, b.width - 2 * margin_x_ + 1, b.height - 2 * margin_y_}, true);
    inside.set_bounds(rect{0, 0, b.width - 2 * margin_x_, b.height - 2 * margin_y_}, true);
}

void input_box::on_paint()
{
    ui::renderer* r = owner_window() ? owner_window()->renderer() : nullptr;
    if (!r)
        return;
    const rect b = bounds();
    r->set_fill_color(properties.get_color("default_back_color"));
    r->fill_rect(rect{0, 0, b.width, b.height});
    r->set_line_color(properties.get_color("input_border_color"));
    r->set_stroke(1.0f, stroke_mode::solid);
    r->set_antialiased_outlines(false);
    r->draw_rect(rect{0, 0, b.width, b.height});
    r->set_antialiased_outlines(true);
}

void input_box::on_resized(const event_info& info)
{
    const auto old_width = static_cast<int32_t>(info.param & 0xFFFFFFFFu);
    const auto old_height = static_cast<int32_t>(info.param >> 32);
    rect m = margins.bounds();
    m.width += bounds().width - old_width;
    m.height += bounds().height - old_height;
    margins.set_bounds(m);
}

void input_box::on_focus_gained()
{
    if (window* owner = owner_window())
        owner->set_focus_widget(&inside, 2);
}

void input_box::on_property_changed(const event_info& info)
{
    const auto* key = reinterpret_cast<const char*>(info.param);
    if (!is_attached())
        return;
    if (key && std::strcmp(key, "input_inside_margins") == 0) {
        read_margins();
        place_children();
    }
    invalidate(false);
    inside.scroll_to_caret();
    inside.fit_width();
}

}  // namespace qzsdk::ui
