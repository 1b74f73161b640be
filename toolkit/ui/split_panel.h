#pragma once
// Two generic panels side by side or stacked, divided by a bar the user drags with the left button; a
// right-button press on the bar switches between the two arrangements.
#include <cstdint>

#include "toolkit/ui/drag_capture.h"
#include "toolkit/ui/event_info.h"
#include "toolkit/ui/generic_panel.h"
#include "toolkit/ui/widget.h"

namespace qzsdk::ui {

class split_panel : public widget {
public:
    split_panel();

    // The bar's centre at r (clamped to 0..1) of the panel's extent, then kept inside the minimums.
    void set_ratio(float r);
    // Moves a bar that breaks a minimum back inside; the ratio follows a moved bar, or any bar when forced.
    void clamp_split(bool force);
    // Places the two sides around the bar and fires 37 with a pointer to the ratio.
    void layout();

    float ratio() const { return ratio_; }
    const rect& split_rect() const { return split_rect_; }
    bool is_hovered() const { return hovered_; }
    bool is_dragging() const { return drag_.active(); }

    uint32_t orientation = 1;  // 1 side by side (the bar moves along x), otherwise stacked
    // Declared in this order so that the second side is destroyed first.
    generic_panel first_panel;
    generic_panel second_panel;
    widget* first_side = nullptr;
    widget* second_side = nullptr;
    int32_t first_min = 0;
    int32_t second_min = 0;
    bool first_keep_size = false;
    bool second_keep_size = false;

private:
    bool side_by_side() const { return orientation == 1; }
    int32_t extent() const;
    int32_t thickness() const;
    int32_t bar_position() const;
    void set_bar_position(int32_t position);
    void centre_bar();
    void attach_side(generic_panel& side);

    void on_attached();
    void on_resized(const event_info& info);
    void on_mouse_down(const event_info& info);
    void on_mouse_up(const event_info& info);
    void on_mouse_move();
    void on_hover(bool inside);
    void on_property_changed(const event_info& info);
    void on_drag_stopped();
    void on_paint();

    bool hovered_ = false;
    rect split_rect_;
    drag_capture drag_;
    float ratio_ = 0.5f;
};

}  // namespace qzsdk::ui
