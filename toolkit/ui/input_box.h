#pragma once
// The toolkit's one-line text field: a framed widget holding a clipping margins widget and the
// editing panel. Every event of the field (37, 38, 39, 11, 33, 34) is fired on the box itself.
#include <cstdint>
#include <string>

#include "toolkit/ui/input_inside_panel.h"
#include "toolkit/ui/widget.h"

namespace qzsdk::ui {

class input_box : public widget {
public:
    input_box();

    std::string get_text() const { return inside.get_text(); }

    // Declared in this order: the panel dies before the margins widget that holds it.
    widget margins;
    input_inside_panel inside;

private:
    void on_attached();
    void on_paint();
    void on_resized(const event_info& info);
    void on_focus_gained();
    void on_property_changed(const event_info& info);
    void read_margins();
    void place_children();

    int32_t margin_x_ = 0;
    int32_t margin_y_ = 0;
};

}  // namespace qzsdk::ui
