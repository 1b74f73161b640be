#include "toolkit/ui/window_move.h"
#include "toolkit/ui/window.h"

namespace qzsdk::ui {

void window_move::begin(window& target)
{
    GetWindowRect(target.handle(), &start_frame_);
    GetCursorPos(&start_cursor_);
    set_captured_widget(&target.root());
}

bool window_move::follow(window& target) const
{
    if (captured_widget() != &target.root())
        return false;
    POINT cursor{};
    GetCursorPos(&cursor);
    SetWindowPos(target.handle(), nullptr, start_frame_.left + cursor.x - start_cursor_.x,
                 start_frame_.top + cursor.y - start_cursor_.y, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
    return true;
}

}  // namespace qzsdk::ui
