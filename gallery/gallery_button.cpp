#include "gallery/gallery_button.h"

#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/image_strip.h"
#include "toolkit/ui/widget_painting.h"
#include "toolkit/ui/window.h"

#include <cstring>

using namespace qzsdk::ui;

GalleryButton::GalleryButton()
{
    connect_member_info(this, event_id::property_changed, &GalleryButton::OnPropertyChanged, this);
}

GalleryButton::~GalleryButton() = default;

void GalleryButton::SetBadge(const std::string& text)
{
    badge_ = text;
    invalidate(false);
}

void GalleryButton::OnPropertyChanged(const event_info& info)
{
    const char* key = reinterpret_cast<const char*>(info.param);
    if (key && std::strcmp(key, "button_back_image") == 0)
        icon_->reset();
}

uint32_t GalleryButton::IconFrame(uint32_t frame_count) const
{
    uint32_t frame = 0;
    if ((is_hovered() || toggled) && frame_count >= 2)
        frame = 1;
    if (!is_enabled(true) && frame_count >= 3)
        frame = 2;
    if (is_pressed() && frame_count >= 4)
        frame = 3;
    return frame;
}

void GalleryButton::on_paint()
{
    renderer* r = renderer_of(*this);
    if (!r)
        return;
    const int32_t w = bounds().width;
    const int32_t h = bounds().height;
    r->set_fill_color(properties.get_color(toggled       ? "button_color_toggle"
                                           : is_hovered() ? "button_color_hover"
                                                          : "button_color_normal"));
    r->fill_rect(rect{0, 0, w, h});

    const embedded_image icon = properties.get_image("button_back_image");
    const bool has_icon = icon.length != 0 && decode_strip(*icon_, icon);
    const point frame = has_icon ? strip_frame_size(*icon_, icon.frame_count) : point{0, 0};

    color label_color = properties.get_color("button_font_color");
    r->set_stroke(1.0f, stroke_mode::solid);
    r->set_antialiased_outlines(false);
    if (is_hovered()) {
        r->set_line_color(properties.get_color("button_border_color_hover"));
        r->draw_rect(rect{0, 0, w, h});
        label_color = properties.get_color("button_font_color_hover");
    }
    if (is_pressed())
        label_color = properties.get_color("button_font_color_pressed");
    if (owner_window() && owner_window()->focused_widget() == this) {
        r->set_line_color(properties.get_color("button_border_color_focus"));
        r->draw_rect(rect{0, 0, w, h});
    }

    r->set_font(properties.get_string("button_font_name"), properties.get_float("button_font_size"),
                uint32_t(properties.get_int("button_font_weight")), uint32_t(properties.get_int("button_font_style")));
    r->set_alignment(text_align::leading, paragraph_align::center);
    const int32_t label_width = text().empty() ? 0 : int32_t(r->measure_text(text()).width);
    const int32_t badge_width = badge_.empty() ? 0 : int32_t(r->measure_text(badge_).width);
    const int32_t x0 = (w - (label_width + 9 + frame.x + badge_width)) / 2;
    r->set_text_color(label_color);
    if (!text().empty())
        r->draw_text(rect{x0 + frame.x + 5, 0, w, h}, text());
    if (!badge_.empty()) {
        color badge_color = properties.get_color("button_font_color");
        badge_color.a = 0.5f;
        r->set_text_color(badge_color);
        r->draw_text(rect{x0 + frame.x + label_width + 9, 0, w, h}, badge_);
    }
    if (has_icon)
        draw_image_part(*this, point{x0, (h - frame.y) / 2}, *icon_,
                        rect{0, int32_t(IconFrame(icon.frame_count)) * frame.y, frame.x, frame.y});
}
