#include "tests/support/real_mouse.h"

#include "standin/input.h"
#include "tests/support/window_fixture.h"

namespace qzsdk::test {

namespace {

using standin::MouseButton;

// The input lands in this thread's queue; it counts as handled once the queue holds no input any more.
void dispatch_input()
{
    pump_until([] { return HIWORD(GetQueueStatus(QS_INPUT)) == 0; }, 2000);
    pump_messages();
}

MouseButton button_of(bool right)
{
    return right ? MouseButton::right : MouseButton::left;
}

}  // namespace

void real_mouse_move(POINT screen)
{
    standin::send_mouse_move(screen);
    pump_until([screen] {
        POINT at{};
        return GetCursorPos(&at) && at.x == screen.x && at.y == screen.y;
    });
    dispatch_input();
}

void real_mouse_press(POINT screen, bool right)
{
    real_mouse_move(screen);
    standin::send_mouse_button(button_of(right), true);
    dispatch_input();
}

void real_mouse_release(bool right)
{
    standin::send_mouse_button(button_of(right), false);
    dispatch_input();
}

void real_click(POINT screen, bool right)
{
    real_mouse_press(screen, right);
    real_mouse_release(right);
}

void real_double_click(POINT screen)
{
    real_mouse_move(screen);
    standin::send_click(screen.x, screen.y, MouseButton::left, 2);
    dispatch_input();
}

void real_drag(POINT from, POINT to)
{
    constexpr int steps = 6;
    real_mouse_press(from);
    for (int step = 1; step <= steps; ++step)
        real_mouse_move(POINT{from.x + (to.x - from.x) * step / steps, from.y + (to.y - from.y) * step / steps});
    real_mouse_release();
}

}  // namespace qzsdk::test
