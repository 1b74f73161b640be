#pragma once
// A push button that can also act as a toggle: a state-dependent face (colour, optional strip of state
// images, border, centred label); fires 38 with its toggle state when released with the left button or
// given Enter.
#include <memory>
#include <string>

#include "toolkit/ui/event_info.h"
#include "toolkit/ui/image_handle.h"
#include "toolkit/ui/widget.h"

namespace qzsdk::ui {

class generic_button : public widget {
public:
    generic_button();

    void set_text(const std::string& text);
    const std::string& text() const { return text_; }
    bool is_hovered() const { return hovered_; }
    bool is_pressed() const { return pressed_; }

    bool toggled = false;      // also the parameter of event 38
    bool toggle_mode = false;  // every activation flips `toggled`

protected:
    virtual void on_paint();
    // The frame of an n-frame "button_back_image" strip that shows the current state.
    uint32_t frame_index(uint32_t frame_count) const;

private:
    void paint_back_image();
    void on_mouse_enter();
    void on_mouse_leave();
    void on_focus_changed();
    void on_mouse_down(const event_info& info);
    void on_mouse_up(const event_info& info);
    void on_key_down(const event_info& info);
    void on_property_changed(const event_info& info);
    void activate();

    std::string text_;
    bool hovered_ = false;
    bool pressed_ = false;
    // A left press that began on the button: only its release activates it.
    bool armed_ = false;
    image_handle back_image_{std::make_unique<image>()};
    rect back_image_rect_;
};

}  // namespace qzsdk::ui
