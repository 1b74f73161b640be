#pragma once
#include <string>

#include "toolkit/ui/rect.h"

namespace qzsdk::ui {

// One tooltip registration; an all-zero rect means the whole widget.
struct tooltip_region {
    rect area;
    std::string title;
    std::string text;
};

}  // namespace qzsdk::ui
