#include "toolkit/ui/check_box.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/image_strip.h"
#include "toolkit/ui/widget_painting.h"
#include "toolkit/ui/window.h"

namespace qzsdk::ui {

check_box::check_box()
{
    name = "check_box";
    tab_stop = true;
    connect_member(this, event_id::attached, &check_box::on_attached, this);
}

check_box::~check_box()
{
    *alive_ = false;
}

void check_box::on_attached()
{
    connect_member(this, event_id::paint, &check_box::on_paint, this);
    connect_member(this, event_id::mouse_up, &check_box::on_mouse_up, this);
    connect_member_info(this, event_id::key_up, &check_box::on_key_up, this);
    auto& events = event_manager::instance();
    // A release whose press began elsewhere (a drag, a menu opened by it) is not a click on the box.
    events.connect(this, this, event_id::mouse_down, [this](const event_info&) { armed_ = true; });
    events.connect(this, this, event_id::mouse_enter, [this](const event_info&) { on_hover(true); });
    events.connect(this, this, event_id::mouse_leave, [this](const event_info&) { on_hover(false); });
    events.connect(this, this, event_id::focus_gained, [this](const event_info&) { invalidate(false); });
    events.connect(this, this, event_id::focus_lost, [this](const event_info&) {
        armed_ = false;
        invalidate(false);
    });
    connect_member_info(this, event_id::property_changed, &check_box::on_property_changed, this);
    set_layout(2, gap_);
    // Bound before it was attached, the box has its variable already and stays usable.
    if (!bound_value_)
        set_enabled(false);
}

void check_box::bind_value(bool* value)
{
    bound_value_ = value;
    if (value)
        checked_ = *value;
    set_enabled(value != nullptr);
    invalidate(false);
}

void check_box::set_text(const std::string& text)
{
    text_ = text;
    set_layout(layout_mode_, gap_);
    invalidate(false);
}

void check_box::set_label_font() const
{
    set_font(*this, properties.get_string("checkbox_font_name"), properties.get_float("checkbox_font_size"),
             uint32_t(properties.get_int("checkbox_font_weight")), uint32_t(properties.get_int("checkbox_font_style")));
}

void check_box::set_layout(uint32_t mode, int32_t gap)
{
    gap_ = gap;
    renderer* r = renderer_of(*this);
    int32_t tw = 0, th = 0;
    if (r) {
        set_label_font();
        r->set_alignment(text_align::leading, paragraph_align::top);
        if (!text_.empty()) {
            const text_extent measured = r->measure_text(text_);
            tw = int32_t(measured.width);
            th = int32_t(measured.height);
        }
    }
    const embedded_image value = properties.get_image("checkbox_image");
    if (value.length != 0 && !box_image_->valid() && decode_strip(*box_image_, value))
        box_size_ = strip_frame_size(*box_image_, value.frame_count);

    // Signed throughout: a label wider than the widget puts positions left of 0, never far to the right.
    const int32_t w = bounds().width;
    const int32_t h = bounds().height;
    const int32_t bw = box_size_.x;
    const int32_t bh = box_size_.y;
    const int32_t g = tw >= 1 ? gap_ : 0;
    const int32_t spare = w - bw - g - tw;
    struct positions {
        int32_t box, label;
    };
    const positions table[] = {
        {0, bw + g},          {w - bw - g - tw, w - tw},    {spare / 2, bw + spare / 2 + g}, {0, w - tw},
        {g + tw, 0},          {w - bw, w - bw - g - tw},    {spare / 2 + g + tw, spare / 2}, {w - bw, 0},
    };
    if (mode < 8) {
        box_rect_.x = table[mode].box;
        label_rect_.x = table[mode].label;
    }
    box_rect_ = rect{box_rect_.x, (h - bh) / 2, bw, bh};
    label_rect_ = rect{label_rect_.x, (h - th) / 2, tw, th};
    layout_mode_ = mode;
    invalidate(false);
}

void check_box::on_key_up(const event_info& info)
{
    if (info.param == VK_SPACE)
        flip();
}

void check_box::on_mouse_up()
{
    if (std::exchange(armed_, false))
        flip();
}

void check_box::on_hover(bool inside)
{
    hovered_ = inside;
    invalidate(false);
}

void check_box::on_property_changed(const event_info& info)
{
    const char* key = reinterpret_cast<const char*>(info.param);
    if (key && std::strcmp(key, "checkbox_image") == 0)
        box_image_->reset();
    set_layout(layout_mode_, gap_);
    invalidate(false);
}

void check_box::flip()
{
    std::shared_ptr<bool> alive = alive_;
    event_manager::instance().fire(this, event_id::value_changed, 0, 0, 0);
    if (!*alive)
        return;
    // The variable may have been changed by others since the last paint: flip what it holds now.
    if (bound_value_)
        checked_ = *bound_value_;
    checked_ = !checked_;
    if (bound_value_)
        *bound_value_ = checked_;
    invalidate(false);
    event_manager::instance().fire(this, event_id::value_changed, 2, 0, 0);
}

uint32_t check_box::frame_index(uint32_t n) const
{
    uint32_t index = checked_ && is_enabled(true) ? 1 : (n >= 2 ? 0 : 1);
    if (hovered_ && n >= 4)
        index += 2;
    // A strip too short for the state shows its last frame instead of reading below the image.
    return std::min(index, std::max(n, 1u) - 1);
}

void check_box::on_paint()
{
    renderer* r = renderer_of(*this);
    if (!r)
        return;
    if (bound_value_)
        checked_ = *bound_value_;
    r->set_fill_color(properties.get_color("checkbox_back_color"));
    r->fill_rect(rect{0, 0, bounds().width, bounds().height});

    if (box_image_->valid()) {
        const uint32_t n = properties.get_image("checkbox_image").frame_count;
        const rect source{0, int32_t(frame_index(n)) * box_size_.y, box_size_.x, box_size_.y};
        draw_image_part(*this, point{box_rect_.x, box_rect_.y}, *box_image_, source);
    }

    r->set_line_color(properties.get_color(hovered_ ? "checkbox_border_color_hover" : "checkbox_border_color_normal"));
    r->set_stroke(properties.get_float("checkbox_border_width"), stroke_mode::solid);
    r->set_antialiased_outlines(false);
    r->draw_rect(box_rect_);
    if (owner_window() && owner_window()->focused_widget() == this && !hovered_) {
        r->set_line_color(properties.get_color("checkbox_border_color_focus"));
        r->set_stroke(1.0f, stroke_mode::dotted);
        r->draw_rect(box_rect_);
    }

    color text_color = properties.get_color("checkbox_font_color");
    text_color.a = is_enabled(true) ? 1.0f : 0.5f;
    r->set_text_color(text_color);
    set_label_font();
    r->set_alignment(text_align::leading, paragraph_align::center);
    if (!text_.empty())
        r->draw_text(label_rect_, text_);
}

}  // namespace qzsdk::ui
