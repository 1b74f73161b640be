#pragma once
#include "toolkit/ui/image_panel.h"

namespace qzsdk::ui {

class image_panel_test_api {
public:
    static rect shown(const image_panel& panel) { return panel.shown_; }
    static bool dragging(const image_panel& panel) { return panel.dragging_; }
};

}  // namespace qzsdk::ui
