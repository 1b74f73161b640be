#include "toolkit/ui/split_panel.h"

#include <algorithm>
#include <cstring>

#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/pixel_line.h"
#include "toolkit/ui/system_cursors.h"
#include "toolkit/ui/widget_painting.h"
#include "toolkit/ui/window.h"

namespace qzsdk::ui {

split_panel::split_panel()
{
    connect_member(this, event_id::attached, &split_panel::on_attached, this);
}

int32_t split_panel::extent() const
{
    return side_by_side() ? bounds().width : bounds().height;
}

// A negative thickness from a skin would turn every bound below inside out.
int32_t split_panel::thickness() const
{
    return std::max(properties.get_int("splitpanel_split_thickness"), 0);
}

int32_t split_panel::bar_position() const
{
    return side_by_side() ? split_rect_.x : split_rect_.y;
}

void split_panel::set_bar_position(int32_t position)
{
    (side_by_side() ? split_rect_.x : split_rect_.y) = position;
}

void split_panel::centre_bar()
{
    const int32_t t = thickness();
    const int32_t w = bounds().width;
    const int32_t h = bounds().height;
    split_rect_ = side_by_side() ? rect{(w - t) / 2, 0, t, h} : rect{0, (h - t) / 2, w, t};
}

void split_panel::set_ratio(float r)
{
    ratio_ = r >= 0.0f ? std::min(r, 1.0f) : 0.0f;
    set_bar_position(int32_t(float(extent()) * ratio_) - thickness() / 2);
    clamp_split(false);
    layout();
}

void split_panel::clamp_split(bool force)
{
    const int32_t e = extent();
    const int32_t t = thickness();
    const int32_t current = bar_position();
    int32_t wanted = current;
    if (current < first_min)
        wanted = first_min;
    else if (current > e - second_min - t)
        wanted = e - second_min - t;
    // When the minimums do not fit, the bar still stays inside the panel, so no side gets a negative size.
    wanted = std::clamp(wanted, 0, std::max(e - t, 0));
    if (wanted == current && !force)
        return;
    set_bar_position(wanted);
    // A panel without extent has no ratio to recompute.
    if (e > 0)
        ratio_ = float(t / 2 + wanted) / float(e);
}

void split_panel::layout()
{
    if (!first_side || !second_side)
        return;
    const int32_t w = bounds().width;
    const int32_t h = bounds().height;
    const int32_t t = thickness();
    if (side_by_side()) {
        const int32_t x = split_rect_.x;
        first_side->set_bounds(rect{0, 0, std::max(x, 0), h}, true);
        second_side->set_bounds(rect{x + t, 0, std::max(w - x - t, 0), h}, true);
    } else {
        const int32_t y = split_rect_.y;
        first_side->set_bounds(rect{0, 0, w, std::max(y, 0)}, true);
        second_side->set_bounds(rect{0, y + t, w, std::max(h - y - t, 0)}, true);
    }
    invalidate(false);
    // Last: a handler may destroy the panel.
    fire_event(this, event_id::value_changed, reinterpret_cast<uint64_t>(&ratio_));
}

void split_panel::attach_side(generic_panel& side)
{
    side.attach_to_window(this, rect{0, 0, bounds().width, bounds().height});
    side.properties.set_color("default_back_color", properties.get_color("default_back_color"));
    if (side.is_visible(true))
        side.invalidate(false);
}

void split_panel::on_attached()
{
    connect_member_info(this, event_id::resized, &split_panel::on_resized, this);
    connect_member_info(this, event_id::mouse_down, &split_panel::on_mouse_down, this);
    connect_member_info(this, event_id::mouse_up, &split_panel::on_mouse_up, this);
    auto& events = event_manager::instance();
    events.connect(this, this, event_id::mouse_enter, [this](const event_info&) { on_hover(true); });
    events.connect(this, this, event_id::mouse_leave, [this](const event_info&) { on_hover(false); });
    connect_member(this, event_id::mouse_move, &split_panel::on_mouse_move, this);
    connect_member(this, event_id::paint, &split_panel::on_paint, this);
    connect_member_info(this, event_id::property_changed, &split_panel::on_property_changed, this);
    connect_member(this, event_id::capture_lost, &split_panel::on_drag_stopped, this);

    centre_bar();
    attach_side(first_panel);
    first_side = &first_panel;
    first_keep_size = false;
    attach_side(second_panel);
    second_side = &second_panel;
    second_keep_size = false;
    layout();
}

void split_panel::on_resized(const event_info& info)
{
    const int32_t old_width = int32_t(uint32_t(info.param));
    const int32_t old_height = int32_t(uint32_t(info.param >> 32));
    const int32_t w = bounds().width;
    const int32_t h = bounds().height;
    if (old_width == w && old_height == h)
        return;
    const int32_t e = extent();
    const int32_t t = thickness();
    const int32_t old_extent = side_by_side() ? old_width : old_height;
    if (second_keep_size)
        set_bar_position(bar_position() - old_extent + e);
    else if (!first_keep_size)
        set_bar_position(int32_t(float(e) * ratio_) - t / 2);
    // A kept side keeps its bar position exactly: the ratio follows it instead of moving it.
    if ((first_keep_size || second_keep_size) && e > 0)
        ratio_ = std::clamp((float(bar_position()) + float(t) * 0.5f) / float(e), 0.0f, 1.0f);
    (side_by_side() ? split_rect_.height : split_rect_.width) = side_by_side() ? h : w;
    clamp_split(false);
    layout();
}

void split_panel::on_mouse_down(const event_info& info)
{
    if (info.param == 0) {
        const point cursor = cursor_position(this);
        drag_.begin(*this, point{cursor.x - split_rect_.x, cursor.y - split_rect_.y});
        invalidate(false);
    } else if (info.param == 2) {
        orientation = side_by_side() ? 0 : 1;
        centre_bar();
        layout();
    }
}

void split_panel::on_mouse_move()
{
    if (!drag_.active())
        return;
    const point cursor = cursor_position(this);
    const int32_t t = thickness();
    if (side_by_side())
        split_rect_.x = std::max(std::min(bounds().width - 2 * t, cursor.x - drag_.anchor().x), t);
    else
        split_rect_.y = std::max(std::min(bounds().height - 2 * t, cursor.y - drag_.anchor().y), t);
    clamp_split(true);
    layout();
}

void split_panel::on_mouse_up(const event_info& info)
{
    if (info.param != 0)
        return;
    drag_.end(*this);
    invalidate(false);
}

void split_panel::on_drag_stopped()
{
    if (drag_.active())
        drag_.end(*this);
}

void split_panel::on_hover(bool inside)
{
    SetCursor(system_cursors[inside ? (side_by_side() ? cursor_size_we : cursor_size_ns) : cursor_arrow]);
    hovered_ = inside;
    invalidate(false);
}

void split_panel::on_property_changed(const event_info& info)
{
    invalidate(false);
    const char* key = reinterpret_cast<const char*>(info.param);
    if (key && std::strcmp(key, "splitpanel_split_thickness") == 0) {
        centre_bar();
        set_ratio(ratio_);
    }
}

void split_panel::on_paint()
{
    renderer* r = renderer_of(*this);
    if (!r)
        return;
    const int32_t w = bounds().width;
    const int32_t h = bounds().height;
    const int32_t t = thickness();
    const rect& bar = split_rect_;
    r->set_fill_color(properties.get_color("default_back_color"));
    r->fill_rect(rect{0, 0, w, h});
    r->set_fill_color(properties.get_color("splitpanel_back_color"));
    r->fill_rect(bar);

    r->set_stroke(1.0f, stroke_mode::solid);
    r->set_antialiased_outlines(false);
    color mark = properties.get_color("splitpanel_mark_color");
    if (hovered_)
        mark.a = 1.0f;
    r->set_line_color(mark);
    if (side_by_side())
        draw_pixel_line(*r, bar.x + t / 2, h / 2 - 20, bar.x + t / 2, h / 2 + 20);
    else
        draw_pixel_line(*r, w / 2 - 20, bar.y + t / 2, w / 2 + 20, bar.y + t / 2);
    r->set_line_color(properties.get_color("splitpanel_border_color_1"));
    if (side_by_side())
        draw_pixel_line(*r, bar.x, 0, bar.x, h);
    else
        draw_pixel_line(*r, 0, bar.y, w, bar.y);
    r->set_line_color(properties.get_color("splitpanel_border_color_2"));
    if (side_by_side())
        draw_pixel_line(*r, bar.x + bar.width - 1, 0, bar.x + bar.width - 1, h);
    else
        draw_pixel_line(*r, 0, bar.y + bar.height - 1, w, bar.y + bar.height - 1);
}

}  // namespace qzsdk::ui
