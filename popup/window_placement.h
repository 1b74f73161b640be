#pragma once
// Moving toolkit windows given in 96-dpi units, and keeping them on a monitor.
#include "toolkit/ui/rect.h"
#include "toolkit/ui/window.h"

// Scales the client rectangle with the window's DPI, grows it by the frame and moves the window there,
// without activating it or changing its z-order.
void place_window_units(qzsdk::ui::window& target, const qzsdk::ui::rect& client_units);

// Moves the window without resizing so that all of it lies on the monitor nearest to it (the whole
// monitor, not the work area); a window larger than the monitor keeps its top-left corner on it.
void keep_on_monitor(HWND handle);
