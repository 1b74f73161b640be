#include "toolkit/ui/drop_down_box.h"

#include <windows.h>

#include <algorithm>

#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/popup_menu.h"
#include "toolkit/ui/renderer.h"
#include "toolkit/ui/widget_painting.h"
#include "toolkit/ui/window.h"

namespace qzsdk::ui {
namespace {

constexpr uint32_t key_space = 0x20;
constexpr uint32_t key_up = 0x26;
constexpr uint32_t key_down = 0x28;
constexpr int32_t unbounded_layout = 1000;

std::string without_bars(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '|'), text.end());
    return text;
}

void set_skin_font(renderer& r, const property_bag& skin, const char* size_key)
{
    r.set_font(skin.get_string("dropdown_font_name"), skin.get_float(size_key),
               static_cast<uint32_t>(skin.get_int("dropdown_font_weight")),
               static_cast<uint32_t>(skin.get_int("dropdown_font_style")));
}

}  // namespace

drop_down_box::drop_down_box()
{
    tab_stop = true;
    connect_member(this, event_id::attached, &drop_down_box::on_attached, this);
}

drop_down_box::~drop_down_box()
{
    *alive_ = false;
}

void drop_down_box::on_attached()
{
    auto guarded = [this](auto action) {
        return [this, action](const event_info& info) {
            if (is_enabled(true))
                action(info);
        };
    };
    auto& events = event_manager::instance();
    events.connect(this, this, event_id::paint, guarded([this](const event_info&) { on_paint(); }));
    events.connect(this, this, event_id::mouse_down, guarded([this](const event_info& info) {
                       if (info.param == 0)
                           show_list();
                   }));
    events.connect(this, this, event_id::mouse_enter, guarded([this](const event_info&) { set_hovered(true); }));
    events.connect(this, this, event_id::mouse_leave, guarded([this](const event_info&) { set_hovered(false); }));
    events.connect(this, this, event_id::key_down, guarded([this](const event_info& info) { on_key_down(info); }));
    events.connect(this, this, event_id::key_up, guarded([this](const event_info& info) {
                       if (info.param == key_space)
                           show_list();
                   }));
    for (uint32_t id : {event_id::focus_gained, event_id::focus_lost, event_id::property_changed})
        events.connect(this, this, id, guarded([this](const event_info&) { invalidate(false); }));
    // Disabled until a variable is bound.
    set_enabled(false);
}

void drop_down_box::set_hovered(bool hovered)
{
    hovered_ = hovered;
    invalidate(false);
}

void drop_down_box::on_key_down(const event_info& info)
{
    int32_t count = static_cast<int32_t>(items_.size());
    if (info.param == key_up && selected_ > 0)
        select_index(selected_ - 1, false, 1);
    else if (info.param == key_down && selected_ < count - 1)
        select_index(selected_ + 1, false, 1);
}

void drop_down_box::add_item(uint32_t value, const std::string& text)
{
    items_.push_back(item{static_cast<int32_t>(value), text});
    if (items_.size() == 1)
        select_index(0, false, 1);
}

void drop_down_box::set_item_text(uint32_t value, const std::string& text)
{
    for (item& entry : items_) {
        if (entry.value == static_cast<int32_t>(value)) {
            entry.text = text;
            invalidate(false);
            return;
        }
    }
}

void drop_down_box::bind_value(uint32_t* variable)
{
    bound_value_ = variable;
    set_enabled(variable != nullptr);
    if (!variable)
        return;
    for (size_t index = 0; index < items_.size(); ++index) {
        if (items_[index].value == static_cast<int32_t>(*variable)) {
            select_index(static_cast<int32_t>(index), true, 1);
            return;
        }
    }
}

void drop_down_box::select_index(int32_t index, bool silent, uint32_t flag)
{
    // An index past the list would leave a selection that reads and paints beyond it.
    if (index < -1 || index >= static_cast<int32_t>(items_.size()))
        return;
    selected_ = index;
    uint64_t param = reinterpret_cast<uint64_t>(bound_value_);
    std::shared_ptr<bool> alive = alive_;
    if (!silent) {
        event_manager::instance().fire(this, event_id::value_changed, 0, flag, param);
        // A handler of the first notification may destroy the box.
        if (!*alive)
            return;
    }
    if (bound_value_ && selected_ >= 0)
        *bound_value_ = static_cast<uint32_t>(items_[selected_].value);
    invalidate(false);
    if (!silent)
        event_manager::instance().fire(this, event_id::value_changed, 2, flag, param);
}

drop_down_box::item drop_down_box::get_selected() const
{
    if (selected_ < 0)
        return item{-1, {}};
    return items_[selected_];
}

void drop_down_box::show_list()
{
    window* owner = owner_window();
    if (!owner || !owner->handle())
        return;
    const point origin = window_position();
    popup_menu_owner menu = popup_menu::create();
    for (const item& entry : items_) {
        std::string shown = without_bars(entry.text);
        if (shown == "__")
            menu->add_separator(static_cast<uint32_t>(entry.value), 0xFFFFFFFFu);
        else
            menu->add_item(static_cast<uint32_t>(entry.value), 0xFFFFFFFFu, shown);
    }
    if (selected_ >= 0)
        menu->set_checked(static_cast<uint32_t>(items_[selected_].value));
    if (max_list_height != 0) {
        MENUINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = MIM_MAXHEIGHT;
        info.cyMax = max_list_height;
        SetMenuInfo(menu->handle(), &info);
    }
    POINT client{0, 0};
    ClientToScreen(owner->handle(), &client);
    const native_window& holder = owner->holder();
    int x = client.x + MulDiv(origin.x, holder.dpi_x(), 96);
    int y = client.y + MulDiv(origin.y + bounds().height, holder.dpi_y(), 96);
    std::shared_ptr<bool> alive = alive_;
    BOOL command = TrackPopupMenuEx(menu->handle(), TPM_RETURNCMD, x, y, owner->handle(), nullptr);
    int32_t chosen = static_cast<int32_t>(command) - 1;
    // The menu loop dispatches messages: the box, or its window, may have been destroyed meanwhile.
    if (!*alive || chosen < 0)
        return;
    for (size_t index = 0; index < items_.size(); ++index) {
        if (items_[index].value == chosen) {
            select_index(static_cast<int32_t>(index), false, 0);
            return;
        }
    }
}

void drop_down_box::on_paint()
{
    renderer* r = renderer_of(*this);
    if (!r)
        return;
    const property_bag& skin = properties;
    int32_t w = bounds().width;
    int32_t h = bounds().height;
    int32_t bw = static_cast<int32_t>(h * 1.2);
    rect text_part{0, 0, w - bw, h};
    rect button_part{w - bw, 0, bw, h};
    if (skin.get_flag("dropdown_gradient_text")) {
        r->fill_vertical_gradient(text_part, skin.get_color("dropdown_gradient_text_1"),
                                  skin.get_color("dropdown_gradient_text_2"));
        r->fill_vertical_gradient(button_part, skin.get_color("dropdown_gradient_button_1"),
                                  skin.get_color("dropdown_gradient_button_2"));
    } else {
        r->set_fill_color(skin.get_color(hovered_ ? "dropdown_text_part_color_hover" : "dropdown_text_part_color"));
        r->fill_rect(text_part);
        r->set_fill_color(
            skin.get_color(hovered_ ? "dropdown_button_part_color_hover" : "dropdown_button_part_color"));
        r->fill_rect(button_part);
    }

    embedded_image strip = skin.get_image("dropdown_button_image");
    if (strip.length != 0 && strip.frame_count != 0) {
        if (!button_image_->valid())
            button_image_->load_from_memory(strip.data, strip.length, strip.scale);
        if (button_image_->valid() && strip.scale > 0) {
            int32_t iw = static_cast<int32_t>(button_image_->width() / strip.scale);
            int32_t fh = static_cast<int32_t>(button_image_->height() / strip.scale) /
                         static_cast<int32_t>(strip.frame_count);
            int32_t frame = hovered_ && strip.frame_count >= 2 ? 1 : 0;
            r->draw_image_part(point{w - bw + (bw - iw) / 2, (h - fh) / 2}, *button_image_,
                               rect{0, frame * fh, iw, fh});
        }
    }

    r->set_antialiased_outlines(false);
    r->set_stroke(1.0f, stroke_mode::solid);
    r->set_line_color(skin.get_color(hovered_ ? "dropdown_border_color_hover" : "dropdown_border_color_normal"));
    r->draw_rect(rect{0, 0, w, h});
    if (owner_window() && owner_window()->focused_widget() == this && !hovered_) {
        r->set_line_color(skin.get_color("dropdown_border_color_focus"));
        r->set_stroke(1.0f, stroke_mode::dotted);
        r->draw_rect(rect{0, 0, w, h});
    }
    if (selected_ >= 0)
        paint_text(w - 2 * text_margin_x - bw, h - 2 * text_margin_y);
}

// The main part is placed by "dropdown_text_align"; the extra part after "|" follows it in a smaller font.
void drop_down_box::paint_text(int32_t text_width, int32_t text_height)
{
    renderer& r = *renderer_of(*this);
    const property_bag& skin = properties;
    const std::string& text = items_[selected_].text;
    size_t bar = text.find('|');
    std::string main_part = text.substr(0, bar);
    rect area{text_margin_x, text_margin_y, text_width, text_height};

    set_skin_font(r, skin, "dropdown_font_size");
    text_extent main_size = r.measure_text(main_part);
    if (bar != std::string::npos) {
        std::string extra = text.substr(bar + 1) + " ";
        int32_t mw = static_cast<int32_t>(std::min<uint32_t>(main_size.width, static_cast<uint32_t>(bounds().width)));
        set_skin_font(r, skin, "dropdown_font_size_extra");
        text_extent extra_size = r.measure_text(extra);
        r.set_text_color(skin.get_color("dropdown_font_color_extra"));
        int32_t y = area.y + (area.height - static_cast<int32_t>(extra_size.height)) / 2;
        r.draw_text_clipped(rect{area.x + mw, y, unbounded_layout, static_cast<int32_t>(extra_size.height)},
                            rect{area.x + mw, area.y, area.width - mw, area.height}, extra);
        set_skin_font(r, skin, "dropdown_font_size");
    }

    int32_t x = area.x + (area.width - static_cast<int32_t>(main_size.width)) / 2;
    switch (skin.get_int("dropdown_text_align")) {
    case 0:
        x = area.x;
        break;
    case 2:
        x = area.x + area.width - static_cast<int32_t>(main_size.width);
        break;
    default:
        break;
    }
    int32_t y = area.y + (area.height - static_cast<int32_t>(main_size.height)) / 2;
    r.set_text_color(skin.get_color("dropdown_font_color"));
    // Laid out wider than the area and clipped to it, so the text never wraps.
    r.draw_text_clipped(rect{x, y, static_cast<int32_t>(main_size.width) + unbounded_layout,
                             static_cast<int32_t>(main_size.height)},
                        area, main_part);
}

}  // namespace qzsdk::ui
