#pragma once
// Repaint requests made while a toolkit window handles a message are gathered per native window and given to
// the system once, when that message is done: each InvalidateRect is a round trip to the window server under
// Wine, and one typed key invalidates dozens of widgets. The paint pass redraws the bounding rectangle of the
// update region, so one rectangle per window paints exactly what the many would have.
#include <windows.h>

namespace qzsdk::ui::invalidation_batch {

// Held by the window procedure for each message. Entering a message while another is being handled gives
// what was gathered to the system first, so a paint forced by UpdateWindow includes it; leaving any message
// gives it too, as the message may have come from a loop run inside a handler (a menu, a modal window, a
// message box) that waits for input next.
class dispatch_scope {
public:
    dispatch_scope();
    ~dispatch_scope();
    dispatch_scope(const dispatch_scope&) = delete;
    dispatch_scope& operator=(const dispatch_scope&) = delete;
};

// Gathers the pixel rectangle while a message is being handled and answers true; outside one it answers
// false and the caller asks the system itself.
bool defer(HWND handle, const RECT& pixels);
// Gives everything gathered to the system now: before a paint that must include it.
void flush();
// The window is going away: what was gathered for it is dropped.
void forget(HWND handle);

}  // namespace qzsdk::ui::invalidation_batch
