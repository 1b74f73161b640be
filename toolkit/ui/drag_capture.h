#pragma once
// A left-button drag of one widget: while it lasts the widget is its window's captured widget and holds the
// native mouse capture, so every move and the release reach it.
#include "toolkit/ui/rect.h"

namespace qzsdk::ui {

class widget;

class drag_capture {
public:
    void begin(widget& dragged, point anchor);
    // Gives the capture back only while the dragged widget still holds it.
    void end(widget& dragged);

    bool active() const { return active_; }
    point anchor() const { return anchor_; }

private:
    bool active_ = false;
    point anchor_;
};

}  // namespace qzsdk::ui
