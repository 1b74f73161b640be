#pragma once
// Real toolkit windows for tests: created hidden (or shown without taking the focus), driven with
// real messages, their events recorded.
#include <gtest/gtest.h>
#include <windows.h>

#include <exception>
#include <string>
#include <vector>

#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/guarded_call.h"
#include "toolkit/ui/widget.h"
#include "toolkit/ui/window.h"

namespace qzsdk::test {

// Dispatches every message waiting for this thread.
void pump_messages();
// Pumps until the condition holds or the time is up; returns the condition.
template <class Condition>
bool pump_until(Condition condition, DWORD timeout_ms = 2000)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeout_ms)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        pump_messages();
    }
    return true;
}

// Under X the display server owes a painted window an exposure of the area a growth gained, and Wine turns
// it into an invalidation of that area whenever the thread next takes the server's events: any UpdateWindow
// does. On a loaded machine that can be after the window has painted the growth, among the paints a case
// counts. Called right after the growth, before anything took the server's events: drops what is invalid in
// the area and takes the server's events, dispatching nothing, until the whole area is exposed again;
// whether it came in time.
bool take_exposure(HWND window, const RECT& area, DWORD timeout_ms = 10000);

// The colour on screen at a client point of a shown window, after its pending paint.
COLORREF client_pixel(HWND window, int x, int y);
// Whether the point comes to show the colour, each channel within 2 (colours pass through float
// conversions); the screen may lag behind a paint, so it pumps and looks again for a while.
bool shows_color(HWND window, int x, int y, int r, int g, int b);

// One line per event heard: "<name>:<event id>:<param>".
class event_log : public ui::event_object {
public:
    void listen(ui::event_object* source, const std::string& name, std::vector<uint32_t> ids);
    // The lines recorded since the last take.
    std::vector<std::string> take();
    // Only the lines for one event id.
    std::vector<std::string> take(uint32_t id);

private:
    std::vector<std::pair<uint32_t, std::string>> lines_;
};

// Exceptions caught at the window procedure, collected for the test.
class reported_exceptions {
public:
    reported_exceptions();
    ~reported_exceptions();
    std::vector<std::string> messages;

private:
    ui::exception_reporter previous_;
};

// A created window, hidden, 300 x 200 at 96 dpi, with helpers that send real messages to it.
class window_test : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    LRESULT send(UINT message, WPARAM wparam = 0, LPARAM lparam = 0);
    void mouse(UINT message, int x, int y, WPARAM keys = 0);
    // The same with the real cursor put there first, for widgets that read where it is (drags).
    void mouse_at(UINT message, int x, int y, WPARAM keys = 0);
    // A move inside the window; the first one only arms leave tracking, as on Windows.
    void move_to(int x, int y);
    void show_without_focus();
    // The real cursor, over a client point of the window.
    void place_cursor(int x, int y);
    // Paints now what is invalid and returns the names of the widgets painted, in order.
    std::vector<std::string> paint_now();
    void record_paints(ui::widget& target);

    ui::window window;
    std::vector<std::string> painted_;
};

}  // namespace qzsdk::test
