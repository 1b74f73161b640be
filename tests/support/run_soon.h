#pragma once
// Runs an action once from a timer tick of a widget, inside whatever loop is pumping then (a modal loop).
#include <functional>

#include "toolkit/ui/widget.h"

namespace qzsdk::test {

void run_soon(ui::widget& on, std::function<void()> action, uint32_t delay_ms = 10);

}  // namespace qzsdk::test
