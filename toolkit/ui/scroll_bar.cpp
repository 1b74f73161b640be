#include "toolkit/ui/scroll_bar.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/image_strip.h"
#include "toolkit/ui/pixel_line.h"
#include "toolkit/ui/widget_painting.h"
#include "toolkit/ui/window.h"

namespace qzsdk::ui {
namespace {

// Truncates toward zero; NaN and values beyond i32 cannot reach the cast.
int32_t saturating_truncate(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double low = std::numeric_limits<int32_t>::min();
    constexpr double high = std::numeric_limits<int32_t>::max();
    return int32_t(std::clamp(value, low, high));
}

uint64_t position_param(int32_t position)
{
    return uint64_t(int64_t(position));
}

bool contains(const rect& r, point p)
{
    return p.x >= r.x && p.x <= r.x + r.width && p.y >= r.y && p.y <= r.y + r.height;
}

}  // namespace

scroll_bar::scroll_bar()
{
    connect_member(this, event_id::attached, &scroll_bar::on_attached, this);
}

void scroll_bar::on_attached()
{
    connect_member(this, event_id::paint, &scroll_bar::on_paint, this);
    connect_member_info(this, event_id::mouse_down, &scroll_bar::on_mouse_down, this);
    connect_member_info(this, event_id::mouse_up, &scroll_bar::on_mouse_up, this);
    connect_member(this, event_id::mouse_move, &scroll_bar::on_mouse_move, this);
    connect_member_info(this, event_id::mouse_wheel, &scroll_bar::on_wheel, this);
    connect_member(this, event_id::resized, &scroll_bar::layout, this);
    connect_member(this, event_id::capture_lost, &scroll_bar::on_drag_stopped, this);
    layout();
}

int32_t scroll_bar::button_extent() const
{
    return extent_of(first_button_rect_);
}

// Buttons longer than the bar leave no track rather than a negative one.
int32_t scroll_bar::track_length() const
{
    return std::max(extent_of(rect{0, 0, bounds().width, bounds().height}) - 2 * button_extent(), 0);
}

// With nothing to scroll the ratio is 0, and every travel means position 0.
int32_t scroll_bar::position_for(int32_t travel) const
{
    return ratio_ > 0.0f ? saturating_truncate(double(travel) / double(ratio_)) : 0;
}

void scroll_bar::set_target(widget* target)
{
    drop_target();
    target_ = target;
    if (target) {
        move_target(0);
        auto& events = event_manager::instance();
        target_connections_ = {
            connect_member(target, event_id::resized, &scroll_bar::update_thumb, this),
            connect_member(target, event_id::moved, &scroll_bar::update_thumb, this),
            connect_member_info(target, event_id::mouse_wheel, &scroll_bar::on_wheel, this),
            // A target that dies before the bar leaves nothing behind to scroll.
            events.connect(target, this, event_id::destroying, [this](const event_info&) {
                drop_target();
                update_thumb();
            }),
        };
        if (widget* view = target->parent())
            target_connections_.push_back(connect_member(view, event_id::resized, &scroll_bar::on_view_resized, this));
    }
    update_thumb();
}

void scroll_bar::drop_target()
{
    for (uint32_t connection : target_connections_)
        event_manager::instance().disconnect(connection);
    target_connections_.clear();
    target_ = nullptr;
}

void scroll_bar::move_target(int64_t offset)
{
    rect moved = target_->bounds();
    (vertical() ? moved.y : moved.x) = int32_t(offset);
    target_->set_bounds(moved, true);
}

void scroll_bar::layout()
{
    if (inert())
        return;
    const int32_t w = bounds().width;
    const int32_t h = bounds().height;
    if (!show_buttons) {
        first_button_rect_ = second_button_rect_ = rect{};
    } else if (vertical()) {
        first_button_rect_ = rect{0, 0, w, w};
        second_button_rect_ = rect{0, h - w, w, w};
    } else {
        first_button_rect_ = rect{0, 0, h, h};
        second_button_rect_ = rect{w - h, 0, h, h};
    }
    update_thumb();
}

void scroll_bar::update_thumb()
{
    if (inert())
        return;
    const int32_t w = bounds().width;
    const int32_t h = bounds().height;
    const int32_t b = button_extent();
    const int32_t track = track_length();
    if (!target_) {
        thumb_rect_ = vertical() ? rect{0, b, w, track} : rect{b, 0, track, h};
        invalidate(false);
        return;
    }
    const widget* view = target_->parent();
    const int64_t scrolled = -int64_t(offset_of(target_->bounds()));
    range_ = view ? std::max(extent_of(target_->bounds()) - extent_of(view->bounds()), 0) : 0;
    position_ = int32_t(std::min<int64_t>(range_, scrolled));
    // The thumb never outgrows its track: a longer one would run backwards (a negative ratio).
    const int32_t length = std::min(std::max(track - range_, properties.get_int("scroll_min_size")), track);
    ratio_ = range_ > 0 ? float(track - length) / float(range_) : 0.0f;
    const int32_t start = int32_t(float(position_) * ratio_) + b;
    thumb_rect_ = vertical() ? rect{0, start, w, length} : rect{start, 0, length, h};
    invalidate(false);
    // A target scrolled past its new range comes back to the end; notifying is last, as its handler may
    // destroy the bar.
    if (start + length > b + track)
        scroll_to_and_notify(range_, true);
    else if (scrolled > range_)
        scroll_to_and_notify(position_, true);
}

void scroll_bar::on_view_resized()
{
    const widget* view = target_ ? target_->parent() : nullptr;
    if (view && !inert()) {
        const int32_t offset = offset_of(target_->bounds());
        const int64_t end = int64_t(offset) + extent_of(target_->bounds());
        const int32_t view_extent = extent_of(view->bounds());
        if (offset < 0 && end < view_extent)
            move_target(std::min<int64_t>(offset + (view_extent - end), 0));
    }
    update_thumb();
}

void scroll_bar::scroll_to(int32_t position, bool exact)
{
    if (!target_ || inert())
        return;
    // A step of 0 (or less) means no snapping rather than a division by zero.
    if (!exact && step > 0)
        position -= position % step;
    move_target(std::max<int64_t>(-int64_t(range_), std::min<int64_t>(-int64_t(position), 0)));
}

void scroll_bar::scroll_to_and_notify(int32_t position, bool exact)
{
    scroll_to(position, exact);
    fire_event(this, event_id::value_changed, position_param(position));
}

void scroll_bar::scroll_by(int32_t delta)
{
    if (target_ && !inert()) {
        const int64_t moved = int64_t(offset_of(target_->bounds())) + delta;
        move_target(std::max<int64_t>(-int64_t(range_), std::min<int64_t>(moved, 0)));
    }
    fire_event(this, event_id::value_changed, position_param(position_));
}

void scroll_bar::on_mouse_down(const event_info& info)
{
    if (info.param != 0 || inert())
        return;
    const point cursor = cursor_position(this);
    if (contains(thumb_rect_, cursor)) {
        const int32_t travel = int32_t(float(position_) * ratio_);
        drag_.begin(*this, point{cursor.x - travel, cursor.y - travel});
        return;
    }
    if (show_buttons && (contains(first_button_rect_, cursor) || contains(second_button_rect_, cursor)))
        return;
    // Measured from the track's start, so that the arrow button before it does not shift the target.
    const int32_t c = along(cursor) - button_extent();
    const int32_t thumb_start = offset_of(thumb_rect_) - button_extent();
    const int32_t length = extent_of(thumb_rect_);
    if (c < thumb_start)
        scroll_to_and_notify(position_for(c), true);
    else if (c > thumb_start + length)
        scroll_to_and_notify(position_for(c - length), true);
}

void scroll_bar::on_mouse_move()
{
    if (!drag_.active())
        return;
    const int32_t p = position_for(along(cursor_position(this)) - along(drag_.anchor()));
    scroll_to(p, false);
    fire_event(this, event_id::value_changed, position_param(p));
}

void scroll_bar::on_mouse_up(const event_info& info)
{
    if (info.param != 0)
        return;
    if (drag_.active()) {
        drag_.end(*this);
        return;
    }
    if (!target_ || !show_buttons)
        return;
    const point cursor = cursor_position(this);
    if (contains(first_button_rect_, cursor))
        scroll_by(step);
    else if (contains(second_button_rect_, cursor))
        scroll_by(-step);
}

void scroll_bar::on_wheel(const event_info& info)
{
    double delta;
    static_assert(sizeof(delta) == sizeof(info.param));
    std::memcpy(&delta, &info.param, sizeof(delta));
    scroll_by(saturating_truncate(delta));
}

void scroll_bar::on_drag_stopped()
{
    if (drag_.active())
        drag_.end(*this);
}

void scroll_bar::on_paint()
{
    paint_background(rect{0, 0, bounds().width, bounds().height});
    paint_thumb(thumb_rect_);
    if (show_buttons) {
        paint_arrow_button(first_button_rect_, true);
        paint_arrow_button(second_button_rect_, false);
    }
}

void scroll_bar::paint_background(const rect& area)
{
    if (renderer* r = renderer_of(*this)) {
        r->set_fill_color(properties.get_color("scroll_back_color"));
        r->fill_rect(rect{0, 0, area.width, area.height});
    }
}

renderer* scroll_bar::fill_for_lines(const rect& area, const char* fill_key, const char* line_key)
{
    renderer* r = renderer_of(*this);
    if (!r)
        return nullptr;
    r->set_fill_color(properties.get_color(fill_key));
    r->fill_rect(area);
    r->set_line_color(properties.get_color(line_key));
    r->set_stroke(1.0f, stroke_mode::solid);
    r->set_antialiased_outlines(false);
    return r;
}

void scroll_bar::paint_thumb(const rect& area)
{
    renderer* r = fill_for_lines(area, "scroll_bar_back_color", "scroll_bar_line_color");
    if (!r)
        return;
    const int32_t centre = vertical() ? area.y + area.height / 2 : area.x + area.width / 2;
    for (int32_t c : {centre - 3, centre, centre + 3}) {
        if (vertical())
            draw_pixel_line(*r, 4, c, area.width - 4, c);
        else
            draw_pixel_line(*r, c, 4, c, area.height - 4);
    }
}

void scroll_bar::paint_arrow_button(const rect& area, bool first)
{
    renderer* r = fill_for_lines(area, "scroll_button_back_color", "scroll_button_line_color");
    if (!r)
        return;
    if (vertical())
        draw_pixel_line(*r, area.x, area.y, area.x + area.width, area.y);
    else
        draw_pixel_line(*r, area.x, area.y, area.x, area.y + area.height);
    if (!decode_strip(*arrow_image_, properties.get_image("scroll_button_arrow_image")))
        return;
    const int32_t cx = area.x + area.width / 2;
    const int32_t cy = area.y + area.height / 2;
    if (vertical())
        draw_image_part(*this, point{cx - 4, cy - 2}, *arrow_image_, rect{0, first ? 0 : 4, 8, 4});
    else
        draw_image_part(*this, point{cx - 2, cy - 4}, *arrow_image_, rect{first ? 0 : 4, 0, 4, 8});
}

}  // namespace qzsdk::ui
