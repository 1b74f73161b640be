#pragma once
// Scrolls its target inside the target's parent (the view): the target's offset along one axis is minus the
// scroll position. Draws a track, a draggable thumb and two optional arrow buttons, follows the target's size
// and position, and fires 37 with a position when the user scrolls.
#include <cstdint>
#include <memory>
#include <vector>

#include "toolkit/ui/drag_capture.h"
#include "toolkit/ui/event_info.h"
#include "toolkit/ui/image_handle.h"
#include "toolkit/ui/renderer.h"
#include "toolkit/ui/widget.h"

namespace qzsdk::ui {

class scroll_bar : public widget {
public:
    scroll_bar();

    // Also drops every connection made for an earlier target.
    void set_target(widget* target);
    // Moves the target; unless exact, the position snaps down to a multiple of `step`.
    void scroll_to(int32_t position, bool exact);
    void scroll_to_and_notify(int32_t position, bool exact);
    // A positive delta scrolls toward the start.
    void scroll_by(int32_t delta);
    void layout();
    void update_thumb();

    widget* target() const { return target_; }
    int32_t position() const { return position_; }
    int32_t range() const { return range_; }
    float ratio() const { return ratio_; }
    const rect& thumb_rect() const { return thumb_rect_; }
    const rect& first_button_rect() const { return first_button_rect_; }
    const rect& second_button_rect() const { return second_button_rect_; }
    bool is_dragging() const { return drag_.active(); }

    uint32_t orientation = 0;  // 0 vertical, 1 horizontal, anything else inert
    bool show_buttons = false;
    int32_t step = 10;  // snapping unit of a drag and the distance of an arrow click

protected:
    virtual void paint_arrow_button(const rect& area, bool first);
    virtual void paint_thumb(const rect& area);
    virtual void paint_background(const rect& area);

private:
    bool vertical() const { return orientation == 0; }
    bool inert() const { return orientation > 1; }
    int32_t along(point p) const { return vertical() ? p.y : p.x; }
    int32_t offset_of(const rect& r) const { return vertical() ? r.y : r.x; }
    int32_t extent_of(const rect& r) const { return vertical() ? r.height : r.width; }
    int32_t button_extent() const;
    int32_t track_length() const;
    int32_t position_for(int32_t travel) const;
    void move_target(int64_t offset);
    void drop_target();

    void on_attached();
    void on_mouse_down(const event_info& info);
    void on_mouse_up(const event_info& info);
    void on_mouse_move();
    void on_wheel(const event_info& info);
    void on_view_resized();
    void on_drag_stopped();
    void on_paint();
    // Fills the area and leaves the renderer set for aliased lines 1 unit wide; null without a renderer.
    renderer* fill_for_lines(const rect& area, const char* fill_key, const char* line_key);

    image_handle arrow_image_{std::make_unique<image>()};
    rect thumb_rect_;
    rect first_button_rect_;
    rect second_button_rect_;
    drag_capture drag_;
    int32_t position_ = 0;
    int32_t range_ = 0;
    float ratio_ = 0.0f;
    widget* target_ = nullptr;
    std::vector<uint32_t> target_connections_;
};

}  // namespace qzsdk::ui
