#pragma once
// Shows one picture at a zoom that never falls below the fit-to-panel scale. The wheel zooms about the cursor,
// a left-button drag pans, and the picture stays against the panel's edges while it is larger than the panel.
#include <cstdint>
#include <memory>

#include "toolkit/ui/event_info.h"
#include "toolkit/ui/image_handle.h"
#include "toolkit/ui/widget.h"

namespace qzsdk::ui {

// The param of the panel's event 37, valid during the call.
struct image_view_state {
    float pan_x = 0;
    float pan_y = 0;
    float zoom = 0;
    float reserved = 0;
};

class image_panel : public widget {
public:
    image_panel();

    // The owner decodes the picture into image, sets its size, then calls this.
    void update_view();

    image_handle image{std::make_unique<ui::image>()};
    uint32_t image_width = 0;
    uint32_t image_height = 0;
    float zoom = 0;
    float zoom_step = 1.1f;
    int32_t pan_x = 0;
    int32_t pan_y = 0;

private:
    friend class image_panel_test_api;

    void paint();
    void on_wheel(const event_info& info);
    void on_mouse_down(const event_info& info);
    void on_mouse_move();
    void on_mouse_up(const event_info& info);
    void on_resized(const event_info& info);
    void on_property_changed(const event_info& info);
    void announce();

    rect shown_;
    point drag_anchor_;
    point drag_pan_;
    bool dragging_ = false;
};

}  // namespace qzsdk::ui
