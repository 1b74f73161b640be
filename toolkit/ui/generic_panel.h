#pragma once
// The plain container widget: a background and a border from its property bag.
#include "toolkit/ui/widget.h"

namespace qzsdk::ui {

class generic_panel : public widget {
public:
    generic_panel();

protected:
    virtual void on_paint();
};

// Fills the widget with its "default_back_color" and outlines it in "default_border_color", aliased, the
// outline inside the widget's edges.
void paint_back_and_border(const widget& painted, float border_width);

}  // namespace qzsdk::ui
