#include "toolkit/ui/image_panel.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/renderer.h"
#include "toolkit/ui/widget_painting.h"
#include "toolkit/ui/window.h"

namespace qzsdk::ui {
namespace {

constexpr int32_t max_shown_size = 1 << 24;

// Keeps the picture centred when it fits, else against the edge a gap would open at.
void clamp_axis(int32_t panel, int32_t shown, int32_t& position, int32_t& pan)
{
    if (shown <= panel) {
        position = (panel - shown) / 2;
        pan = 0;
    } else if (position >= 1) {
        position = 0;
        pan = -(panel - shown) / 2;
    } else if (position + shown < panel) {
        position = panel - shown;
        pan = (panel - shown) / 2;
    }
}

}  // namespace

image_panel::image_panel()
{
    connect_member(this, event_id::paint, &image_panel::paint, this);
    connect_member_info(this, event_id::mouse_wheel, &image_panel::on_wheel, this);
    connect_member_info(this, event_id::mouse_down, &image_panel::on_mouse_down, this);
    connect_member(this, event_id::mouse_move, &image_panel::on_mouse_move, this);
    connect_member_info(this, event_id::mouse_up, &image_panel::on_mouse_up, this);
    connect_member_info(this, event_id::resized, &image_panel::on_resized, this);
    connect_member_info(this, event_id::property_changed, &image_panel::on_property_changed, this);
    event_manager::instance().connect(this, this, event_id::capture_lost, [this](const event_info&) { dragging_ = false; });
}

void image_panel::update_view()
{
    // A picture of no size would make the fit scale a division by zero.
    if (!image || !image->valid() || image_width == 0 || image_height == 0)
        return;
    int32_t w = bounds().width;
    int32_t h = bounds().height;
    float fit = std::min(static_cast<float>(h) / static_cast<float>(image_height),
                         static_cast<float>(w) / static_cast<float>(image_width));
    zoom = std::max(zoom, fit);
    int32_t sw = static_cast<int32_t>(std::lround(zoom * static_cast<float>(image_width)));
    int32_t sh = static_cast<int32_t>(std::lround(zoom * static_cast<float>(image_height)));
    int32_t x = pan_x + (w - sw) / 2;
    int32_t y = pan_y + (h - sh) / 2;
    clamp_axis(w, sw, x, pan_x);
    clamp_axis(h, sh, y, pan_y);
    shown_ = rect{x, y, sw, sh};
    invalidate(false);
}

void image_panel::paint()
{
    renderer* r = renderer_of(*this);
    if (!r)
        return;
    r->set_fill_color(properties.get_color("default_back_color"));
    r->fill_rect(rect{0, 0, bounds().width, bounds().height});
    if (image && image->valid())
        r->draw_image_fit(shown_, *image, true);
}

void image_panel::announce()
{
    image_view_state state{static_cast<float>(pan_x), static_cast<float>(pan_y), zoom, 0.0f};
    event_manager::instance().fire(this, event_id::value_changed, 2, 1, reinterpret_cast<uint64_t>(&state));
}

void image_panel::on_wheel(const event_info& info)
{
    double delta;
    std::memcpy(&delta, &info.param, sizeof(delta));
    if (delta == 0)
        return;
    float factor = delta > 0 ? zoom_step : 1.0f / zoom_step;
    // A step the shown size could not hold in integers (or a zero step's division) is refused.
    float next = zoom * factor;
    float largest_side = static_cast<float>(std::max(image_width, image_height));
    if (!std::isfinite(next) || next * largest_side > static_cast<float>(max_shown_size))
        return;
    zoom = next;
    point cursor = cursor_position(this);
    int32_t rx = cursor.x - shown_.x - shown_.width / 2;
    int32_t ry = cursor.y - shown_.y - shown_.height / 2;
    pan_x += rx - static_cast<int32_t>(std::lround(static_cast<float>(rx) * factor));
    pan_y += ry - static_cast<int32_t>(std::lround(static_cast<float>(ry) * factor));
    update_view();
    announce();
}

void image_panel::on_mouse_down(const event_info& info)
{
    if (info.param != 0)
        return;
    set_captured_widget(this);
    drag_anchor_ = cursor_position(this);
    drag_pan_ = point{pan_x, pan_y};
    dragging_ = true;
}

void image_panel::on_mouse_move()
{
    if (!dragging_)
        return;
    point cursor = cursor_position(this);
    pan_x = drag_pan_.x + cursor.x - drag_anchor_.x;
    pan_y = drag_pan_.y + cursor.y - drag_anchor_.y;
    update_view();
    announce();
}

void image_panel::on_mouse_up(const event_info& info)
{
    if (info.param != 0 || !dragging_)
        return;
    dragging_ = false;
    set_captured_widget(nullptr);
}

void image_panel::on_resized(const event_info& info)
{
    int32_t old_width = static_cast<int32_t>(static_cast<uint32_t>(info.param));
    int32_t old_height = static_cast<int32_t>(static_cast<uint32_t>(info.param >> 32));
    if (old_width != bounds().width || old_height != bounds().height)
        update_view();
}

void image_panel::on_property_changed(const event_info& info)
{
    if (std::strcmp(reinterpret_cast<const char*>(info.param), "default_back_color") == 0)
        invalidate(false);
}

}  // namespace qzsdk::ui
