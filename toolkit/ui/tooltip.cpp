#include "toolkit/ui/tooltip.h"

#include <algorithm>

#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/invalidation_batch.h"

namespace qzsdk::ui {

tooltip::tooltip(widget* skin_source) : skin_source_(skin_source)
{
    connect_member(&root(), event_id::paint, &tooltip::paint, this);
}

tooltip::~tooltip() = default;

void tooltip::set_title_font(ui::renderer& r) const
{
    const property_bag& skin = skin_source_->properties;
    r.set_font(skin.get_string("tooltip_title_font_name"), skin.get_float("tooltip_title_font_size"),
               static_cast<uint32_t>(skin.get_int("tooltip_title_font_weight")),
               static_cast<uint32_t>(skin.get_int("tooltip_title_font_style")));
}

void tooltip::set_text_font(ui::renderer& r) const
{
    const property_bag& skin = skin_source_->properties;
    r.set_font(skin.get_string("tooltip_font_name"), skin.get_float("tooltip_font_size"),
               static_cast<uint32_t>(skin.get_int("tooltip_font_weight")),
               static_cast<uint32_t>(skin.get_int("tooltip_font_style")));
}

void tooltip::show(point position, const std::string& title, const std::string& text)
{
    ui::renderer* r = renderer();
    if (!r || !handle())
        return;
    title_ = title;
    text_ = text;
    gap_ = !title.empty() && !text.empty() ? 2 : 0;
    title_size_ = {};
    text_size_ = {};
    if (!title.empty()) {
        set_title_font(*r);
        title_size_ = r->measure_text(title);
    }
    if (!text.empty()) {
        set_text_font(*r);
        text_size_ = r->measure_text(text);
    }
    content_size_ = {std::max(title_size_.width, text_size_.width),
                     title_size_.height + text_size_.height + static_cast<uint32_t>(gap_)};

    native_window& native = holder();
    int left = native.to_pixels_x(position.x);
    int top = native.to_pixels_y(position.y);
    RECT outer{left, top, left + native.to_pixels_x(static_cast<int32_t>(content_size_.width) + 16),
               top + native.to_pixels_y(static_cast<int32_t>(content_size_.height) + 8)};
    AdjustWindowRectEx(&outer, native.style, FALSE, native.extended_style);
    native.maximized = false;
    SetWindowPos(handle(), nullptr, outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    native.visible = true;
    ShowWindow(handle(), SW_SHOWNOACTIVATE);
    invalidation_batch::flush();
    UpdateWindow(handle());
}

void tooltip::hide()
{
    if (!is_visible())
        return;
    if (handle())
        ShowWindow(handle(), SW_HIDE);
    holder().visible = false;
    fire_event(this, event_id::hidden);
}

void tooltip::paint()
{
    ui::renderer* r = renderer();
    if (!r)
        return;
    const property_bag& skin = skin_source_->properties;
    int32_t w = root().bounds().width;
    int32_t h = root().bounds().height;
    r->set_fill_color(skin.get_color("tooltip_back_color"));
    r->fill_rect(rect{0, 0, w, h});
    r->set_antialiased_outlines(false);
    r->set_stroke(1.0f, stroke_mode::solid);
    r->set_line_color(skin.get_color("tooltip_border_color"));
    r->draw_rect(rect{0, 0, w, h});
    r->set_line_color(skin.get_color("tooltip_border_color_1"));
    r->draw_rect(rect{1, 1, w - 2, h - 2});
    int32_t title_height = static_cast<int32_t>(title_size_.height);
    if (!title_.empty()) {
        set_title_font(*r);
        r->set_text_color(skin.get_color("tooltip_title_font_color"));
        r->draw_text(rect{8, 4, w - 16, title_height}, title_);
    }
    if (!text_.empty()) {
        set_text_font(*r);
        r->set_text_color(skin.get_color("tooltip_font_color"));
        r->draw_text(rect{8, 4 + title_height + gap_, w - 16, static_cast<int32_t>(text_size_.height)}, text_);
    }
}

}  // namespace qzsdk::ui
