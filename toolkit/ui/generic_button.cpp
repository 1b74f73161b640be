#include "toolkit/ui/generic_button.h"

#include <cstring>

#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/image_strip.h"
#include "toolkit/ui/widget_painting.h"
#include "toolkit/ui/window.h"

namespace qzsdk::ui {

generic_button::generic_button()
{
    tab_stop = true;
    connect_member(this, event_id::paint, &generic_button::on_paint, this);
    connect_member(this, event_id::mouse_enter, &generic_button::on_mouse_enter, this);
    connect_member(this, event_id::mouse_leave, &generic_button::on_mouse_leave, this);
    connect_member(this, event_id::disabled, &generic_button::on_mouse_leave, this);
    connect_member(this, event_id::focus_gained, &generic_button::on_focus_changed, this);
    connect_member(this, event_id::focus_lost, &generic_button::on_focus_changed, this);
    connect_member_info(this, event_id::mouse_down, &generic_button::on_mouse_down, this);
    connect_member_info(this, event_id::mouse_up, &generic_button::on_mouse_up, this);
    connect_member_info(this, event_id::key_down, &generic_button::on_key_down, this);
    connect_member_info(this, event_id::property_changed, &generic_button::on_property_changed, this);
}

void generic_button::set_text(const std::string& text)
{
    if (&text != &text_)
        text_ = text;
    invalidate(false);
}

void generic_button::on_mouse_enter()
{
    hovered_ = true;
    invalidate(false);
}

void generic_button::on_mouse_leave()
{
    hovered_ = false;
    pressed_ = false;
    armed_ = false;
    invalidate(false);
}

void generic_button::on_focus_changed()
{
    pressed_ = false;
    armed_ = false;
    invalidate(false);
}

void generic_button::on_mouse_down(const event_info& info)
{
    pressed_ = true;
    armed_ = info.param == 0;
    invalidate(false);
}

void generic_button::on_mouse_up(const event_info& info)
{
    if (info.param != 0)
        return;
    // A press that began elsewhere (a popup opened by it, a drag) is not a click on this button.
    const bool clicked = armed_;
    pressed_ = false;
    armed_ = false;
    invalidate(false);
    if (clicked)
        activate();
}

void generic_button::on_key_down(const event_info& info)
{
    if (info.param != VK_RETURN)
        return;
    invalidate(false);
    activate();
}

// The last thing every handler does: a handler of 38 may destroy the button or its window.
void generic_button::activate()
{
    if (toggle_mode) {
        toggled = !toggled;
        invalidate(false);
    }
    fire_event(this, event_id::activated, toggled ? 1 : 0);
}

void generic_button::on_property_changed(const event_info& info)
{
    const char* key = reinterpret_cast<const char*>(info.param);
    if (!key || std::strcmp(key, "button_back_image") != 0)
        return;
    if (back_image_->valid())
        back_image_->reset();
    invalidate(false);
}

uint32_t generic_button::frame_index(uint32_t n) const
{
    // Each later rule overrides an earlier one; a rule whose strip is too short leaves the index alone.
    uint32_t k = toggled && n >= 5 ? 4 : 0;
    auto apply = [&](bool state, uint32_t plain, uint32_t toggled_frame) {
        if (!state)
            return;
        if (toggled && n > toggled_frame)
            k = toggled_frame;
        else if (n > plain)
            k = plain;
    };
    apply(hovered_, 1, 5);
    apply(!is_enabled(true), 2, 6);
    apply(pressed_, 3, 7);
    return k;
}

void generic_button::paint_back_image()
{
    const embedded_image value = properties.get_image("button_back_image");
    if (value.length == 0)
        return;
    image& picture = *back_image_;
    const int32_t w = bounds().width;
    const int32_t h = bounds().height;
    if (!picture.valid()) {
        if (!decode_strip(picture, value))
            return;
        // Placed once per decode: a resize keeps the placement until the skin value is set again.
        const point frame = strip_frame_size(picture, value.frame_count);
        back_image_rect_ = rect{(w - frame.x) / 2, (h - frame.y) / 2, frame.x, frame.y};
    }
    const point frame = strip_frame_size(picture, value.frame_count);
    const rect source{0, int32_t(frame_index(value.frame_count)) * frame.y, frame.x, frame.y};
    if (properties.get_flag("button_back_image_strech")) {
        renderer* r = renderer_of(*this);
        ID2D1Bitmap* bitmap = r ? picture.bitmap_for(*r) : nullptr;
        if (!bitmap)
            return;
        const float s = picture.scale();
        const D2D1_RECT_F from{float(source.x) * s, float(source.y) * s, float(source.x + source.width) * s,
                               float(source.y + source.height) * s};
        r->target()->DrawBitmap(bitmap, D2D1::RectF(0, 0, float(w), float(h)), 1.0f,
                                D2D1_BITMAP_INTERPOLATION_MODE_LINEAR, &from);
    } else {
        draw_image_part(*this, point{back_image_rect_.x, back_image_rect_.y}, picture, source);
    }
}

void generic_button::on_paint()
{
    renderer* r = renderer_of(*this);
    if (!r)
        return;
    const rect whole{0, 0, bounds().width, bounds().height};
    r->set_fill_color(properties.get_color(toggled   ? "button_color_toggle"
                                           : hovered_ ? "button_color_hover"
                                                      : "button_color_normal"));
    r->fill_rect(whole);
    paint_back_image();

    r->set_text_color(properties.get_color("button_font_color"));
    r->set_line_color(properties.get_color("button_border_color_normal"));
    r->set_stroke(1.0f, stroke_mode::solid);
    if (owner_window() && owner_window()->focused_widget() == this) {
        r->set_line_color(properties.get_color("button_border_color_focus"));
        r->set_stroke(1.0f, stroke_mode::dotted);
    }
    if (hovered_) {
        r->set_stroke(1.0f, stroke_mode::solid);
        r->set_line_color(properties.get_color("button_border_color_hover"));
        r->set_text_color(properties.get_color("button_font_color_hover"));
    }
    if (pressed_)
        r->set_text_color(properties.get_color("button_font_color_pressed"));
    r->set_antialiased_outlines(false);
    r->draw_rect(whole);

    r->set_font(properties.get_string("button_font_name"), properties.get_float("button_font_size"),
                uint32_t(properties.get_int("button_font_weight")), uint32_t(properties.get_int("button_font_style")));
    r->set_alignment(text_align::center, paragraph_align::center);
    if (!text_.empty())
        r->draw_text(whole, text_);
}

}  // namespace qzsdk::ui
