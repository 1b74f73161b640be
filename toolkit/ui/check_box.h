#pragma once
// A two-state box image with a text label in one of eight arrangements. A click (any button) or Space
// flips it, writes the state into the bound bool and fires 37 twice: phase 0 before, phase 2 after.
#include <cstdint>
#include <memory>
#include <string>

#include "toolkit/ui/event_info.h"
#include "toolkit/ui/image_handle.h"
#include "toolkit/ui/widget.h"

namespace qzsdk::ui {

class check_box : public widget {
public:
    check_box();
    ~check_box() override;

    // Binds the variable, takes its value and enables the box. Null unbinds: the box keeps its state and is
    // disabled again, so an owner whose variable dies first can let go of it.
    void bind_value(bool* value);
    void set_text(const std::string& text);
    // mode 0 to 7: box then label (left, right, centred), box and label at opposite edges, and the same four
    // with the label first; 8 and above leave the horizontal positions as they are.
    void set_layout(uint32_t mode, int32_t gap);

    bool is_checked() const { return checked_; }
    bool is_hovered() const { return hovered_; }
    const std::string& text() const { return text_; }
    const rect& box_rect() const { return box_rect_; }
    const rect& label_rect() const { return label_rect_; }

protected:
    virtual void on_paint();

private:
    void on_attached();
    void on_key_up(const event_info& info);
    void on_hover(bool inside);
    void on_mouse_up();
    void on_property_changed(const event_info& info);
    void flip();
    void set_label_font() const;
    uint32_t frame_index(uint32_t frame_count) const;

    std::string text_;
    bool checked_ = false;
    rect box_rect_;
    rect label_rect_;
    int32_t gap_ = 5;
    bool hovered_ = false;
    bool armed_ = false;
    point box_size_;
    uint32_t layout_mode_ = 2;
    bool* bound_value_ = nullptr;
    image_handle box_image_{std::make_unique<image>()};
    // Shared with a flip in progress, which must stop when a handler of its first event destroys the box.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace qzsdk::ui
