#include "standin/owed_x_reports.h"

#include <windows.h>

namespace standin {

// Wine warps the X pointer for each change of the cursor's position, inside a pointer grab that is a round trip:
// the X server answers it only after every report it generated for this thread's connection before, and Xlib
// reads those reports into the connection's queue while it waits for the answer. A wait of no length then makes
// Wine handle everything in the queue (with every input type in the mask it filters nothing). The cursor goes
// one unit aside and back, so it ends where it was; meanwhile the mouse's legacy messages are off (raw input
// with RIDEV_NOLEGACY), so the wineserver queues no move for a window to hear.
bool take_owed_x_reports()
{
    POINT at{};
    GetCursorPos(&at);
    RAWINPUTDEVICE mouse{0x01, 0x02, RIDEV_NOLEGACY, nullptr};
    if (!RegisterRawInputDevices(&mouse, 1, sizeof(mouse)))
        return false;
    SetCursorPos(at.x > 0 ? at.x - 1 : at.x + 1, at.y);
    SetCursorPos(at.x, at.y);
    mouse.dwFlags = RIDEV_REMOVE;
    if (!RegisterRawInputDevices(&mouse, 1, sizeof(mouse)))
        return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
    return true;
}

}  // namespace standin
