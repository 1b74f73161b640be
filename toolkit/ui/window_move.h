#pragma once
// Moving a borderless window by dragging its title strip: while the root widget holds the capture, the
// window's frame follows the cursor from where the press began.
#include <windows.h>

namespace qzsdk::ui {

class window;

class window_move {
public:
    // Remembers the frame and the cursor in pixels and captures the window's root widget.
    void begin(window& target);
    // Moves the frame with the cursor; false when no move of this window is under way.
    bool follow(window& target) const;

private:
    POINT start_cursor_{};
    RECT start_frame_{};
};

}  // namespace qzsdk::ui
