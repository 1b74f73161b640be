#pragma once
// Lays its children out in one line, top to bottom or left to right, with fixed gaps and stretchable spaces;
// expanding items share the room left over equally.
#include <cstdint>
#include <vector>

#include "toolkit/ui/event_info.h"
#include "toolkit/ui/widget.h"

namespace qzsdk::ui {

struct flow_item {
    enum kind_code : uint32_t { widget_item = 0, stretch = 1, fixed_gap = 2 };

    static flow_item of_widget(widget* target, bool expand)
    {
        return {reinterpret_cast<uint64_t>(target), widget_item, expand};
    }
    static flow_item of_stretch(bool expand) { return {0, stretch, expand}; }
    static flow_item of_gap(uint32_t size) { return {size, fixed_gap, false}; }

    widget* target() const { return kind == widget_item ? reinterpret_cast<widget*>(value) : nullptr; }

    uint64_t value = 0;  // the widget, or the gap's size
    uint32_t kind = widget_item;
    bool expand = false;
};

class flow_panel : public widget {
public:
    static constexpr uint32_t vertical = 0;
    static constexpr uint32_t horizontal = 1;

    flow_panel(uint32_t orientation, bool fill_parent, bool fit_to_content, bool fill_across);

    void push_item(const flow_item& entry);
    void update_layout();

    const std::vector<flow_item>& items() const { return items_; }

    // Set before adding children: the panel then also follows their sizes and visibility.
    bool track_children = false;

private:
    void on_attached();
    void on_child_added(const event_info& info);
    void on_child_removed(const event_info& info);
    void on_resized(const event_info& info);
    void on_parent_resized();
    void on_child_resized(const event_info& info);
    void paint();

    uint32_t orientation_;
    bool fill_across_;
    bool fill_parent_;
    bool fit_to_content_;
    bool has_expanding_ = false;
    // The children's resize notifications caused by the layout itself must not start another one midway.
    bool laying_out_ = false;
    std::vector<flow_item> items_;
};

}  // namespace qzsdk::ui
