#pragma once
#include "toolkit/ui/rect.h"

namespace qzsdk::ui {

// The screen's dots per inch on each axis, read once per process.
point screen_dpi();

}  // namespace qzsdk::ui
