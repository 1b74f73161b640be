#pragma once
// Real mouse input (SendInput) from the test's own thread, reaching whatever window lies under the cursor as
// a user's hand would. Each step is dispatched before the next is sent, so a handler that reads the cursor
// finds it where that step left it.
#include <windows.h>

namespace qzsdk::test {

void real_mouse_move(POINT screen);
void real_mouse_press(POINT screen, bool right = false);
void real_mouse_release(bool right = false);
void real_click(POINT screen, bool right = false);
void real_double_click(POINT screen);
// Press at the first point, move to the second in steps, release there.
void real_drag(POINT from, POINT to);

}  // namespace qzsdk::test
