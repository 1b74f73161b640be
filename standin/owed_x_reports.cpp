#include "standin/owed_x_reports.h"

#include <windows.h>

namespace standin {

namespace {

// Wine answers GetCursorPos from the wineserver's copy of the cursor while the cursor changed within this many
// milliseconds of the tick count, and asks the X server otherwise.
constexpr DWORD cursor_copy_ms = 100;
// The wineserver moves the tick count on at least this often; its record of the last change may run ahead of
// the tick count by as much.
constexpr DWORD tick_step_ms = 16;

}  // namespace

// The question to the X server is a round trip on this thread's connection, XQueryPointer, which has no effect:
// the server answers only after every report it generated for the connection before, and Xlib reads those
// reports into the connection's queue while it waits for the answer. A wait of no length then makes Wine handle
// everything in the queue (with every input type in the mask it filters nothing). Nothing changes the cursor
// meanwhile: the session's input waits for this, and this thread, which takes the pointer's reports, sleeps.
// Moving the pointer would be a round trip too, but Wine ends it with a pointer grab whose end reports the
// pointer entering the window under it, and then reads the X keyboard, which never saw the session's keys: a
// key pressed next would read released.
void take_owed_x_reports()
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start <= cursor_copy_ms + tick_step_ms)
        Sleep(tick_step_ms);
    POINT ignored{};
    GetCursorPos(&ignored);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
}

}  // namespace standin
