#pragma once
#include "toolkit/ui/native_window.h"

namespace qzsdk::ui {

class native_window_test_api {
public:
    static void set_dpi(native_window& holder, int dpi) { holder.dpi_x_ = holder.dpi_y_ = dpi; }
};

}  // namespace qzsdk::ui
