#pragma once
#include "toolkit/ui/drop_down_box.h"

namespace qzsdk::ui {

class drop_down_box_test_api {
public:
    static int32_t selected(const drop_down_box& box) { return box.selected_; }
    static bool hovered(const drop_down_box& box) { return box.hovered_; }
};

}  // namespace qzsdk::ui
