#pragma once
// A box showing the selected entry of a list of (value, text) items; a click or Space lists them in a native
// popup menu under the box. The choice goes into a bound u32 variable, announced by event 37 before (phase 0)
// and after (phase 2) the write, with the variable's address as param.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/ui/event_info.h"
#include "toolkit/ui/image_handle.h"
#include "toolkit/ui/widget.h"

namespace qzsdk::ui {

class drop_down_box : public widget {
public:
    struct item {
        int32_t value = 0;
        std::string text;  // may hold one '|' between a main and an extra part; "__" is a separator
    };

    drop_down_box();
    ~drop_down_box() override;

    void add_item(uint32_t value, const std::string& text);
    void set_item_text(uint32_t value, const std::string& text);
    // Binds the variable, enables the box and selects the variable's value silently when an item has it.
    // Null unbinds and disables the box again, for a variable that dies before the box.
    void bind_value(uint32_t* variable);
    void select_index(int32_t index, bool silent, uint32_t flag);
    item get_selected() const;
    void show_list();

    int32_t text_margin_x = 5;
    int32_t text_margin_y = 1;
    uint32_t max_list_height = 0;

protected:
    virtual void on_paint();
    bool hovered() const { return hovered_; }

private:
    friend class drop_down_box_test_api;

    void on_attached();
    void on_key_down(const event_info& info);
    void paint_text(int32_t text_width, int32_t text_height);
    void set_hovered(bool hovered);

    bool hovered_ = false;
    int32_t selected_ = -1;
    std::vector<item> items_;
    image_handle button_image_{std::make_unique<image>()};
    uint32_t* bound_value_ = nullptr;
    // Lets code that ran handlers or a menu loop learn whether the box survived them.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace qzsdk::ui
