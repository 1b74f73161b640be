#include "toolkit/ui/drag_capture.h"

#include "toolkit/ui/window.h"

namespace qzsdk::ui {

void drag_capture::begin(widget& dragged, point anchor)
{
    active_ = true;
    anchor_ = anchor;
    set_captured_widget(&dragged);
}

void drag_capture::end(widget& dragged)
{
    active_ = false;
    if (captured_widget() == &dragged)
        set_captured_widget(nullptr);
}

}  // namespace qzsdk::ui
