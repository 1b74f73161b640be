// Repaint requests gathered while a window handles a message: one native rectangle after the message, and
// never a repaint lost to a loop or a paint run inside the handler.
#include "toolkit/ui/invalidation_batch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/window_fixture.h"
#include "tests/support/window_test_api.h"
#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/widget_painting.h"

using namespace qzsdk::ui;
using qzsdk::test::pump_until;
using qzsdk::test::window_test;
using lines = std::vector<std::string>;

namespace {

// Read from another thread, which sends the user-interface thread no message that could flush a batch.
bool screen_shows(POINT at, COLORREF expected)
{
    HDC screen = GetDC(nullptr);
    COLORREF actual = GetPixel(screen, at.x, at.y);
    ReleaseDC(nullptr, screen);
    return std::abs(GetRValue(actual) - GetRValue(expected)) <= 2 &&
           std::abs(GetGValue(actual) - GetGValue(expected)) <= 2 &&
           std::abs(GetBValue(actual) - GetBValue(expected)) <= 2;
}

bool screen_comes_to_show(POINT at, COLORREF expected, DWORD timeout_ms)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeout_ms; Sleep(20))
        if (screen_shows(at, expected))
            return true;
    return false;
}

// A small window filled by one cell, red until the test changes `fill`.
struct red_window {
    explicit red_window(qzsdk::ui::window* owner)
    {
        if (owner)
            dialog.set_owner(owner);
        dialog.create("dialog", rect{40, 40, 60, 60}, window_style::borderless);
        cell.attach_to_window(&dialog.root(), rect{0, 0, 60, 60});
        event_manager::instance().connect(&cell, &cell, event_id::paint, [this](const event_info&) {
            renderer_of(cell)->set_fill_color(fill);
            renderer_of(cell)->fill_rect(rect{0, 0, 60, 60});
        });
    }
    qzsdk::ui::window dialog;
    widget cell;
    color fill{1, 0, 0, 1};
};

class batching : public window_test {
protected:
    void SetUp() override
    {
        window_test::SetUp();
        top.name = "top";
        bottom.name = "bottom";
        top.attach_to_window(&window.root(), rect{10, 10, 50, 20});
        bottom.attach_to_window(&window.root(), rect{200, 150, 50, 20});
        record_paints(top);
        record_paints(bottom);
        show_without_focus();
    }
    // The handler runs inside the key's message, as typing runs the popup's search.
    void on_key(WPARAM key, std::function<void()> handler)
    {
        event_manager::instance().connect(&window, &window, event_id::key_down, [key, handler](const event_info& info) {
            if (info.param == key)
                handler();
        });
    }
    bool pending(RECT* update = nullptr)
    {
        RECT ignored{};
        return GetUpdateRect(window.handle(), update ? update : &ignored, FALSE) != FALSE;
    }

    widget top, bottom;
};

}  // namespace

TEST_F(batching, RepaintsAskedForInAHandlerReachTheSystemAsOneRectangleWhenItReturns)
{
    bool native_inside = true;
    on_key('A', [&] {
        top.invalidate(false);
        bottom.invalidate(false);
        native_inside = pending();
    });
    send(WM_KEYDOWN, 'A');
    EXPECT_FALSE(native_inside);
    RECT update{}, both{10, 10, 250, 170};
    ASSERT_TRUE(pending(&update));
    EXPECT_TRUE(EqualRect(&update, &both));
    EXPECT_EQ(paint_now(), (lines{"top", "bottom"}));

    top.invalidate(false);  // outside any message: at once, as before
    EXPECT_TRUE(pending());
}

TEST_F(batching, APaintOrALoopInsideTheHandlerIncludesWhatWasGatheredBeforeIt)
{
    lines painted_inside;
    on_key('A', [&] {
        top.invalidate(false);
        bottom.invalidate(true);  // paints now: the top too
        painted_inside = painted_;
    });
    painted_.clear();
    send(WM_KEYDOWN, 'A');
    EXPECT_EQ(painted_inside, (lines{"top", "bottom"}));
    EXPECT_FALSE(pending());

    // A loop run by the handler (a menu, a modal window) dispatches the window's messages and so its paint.
    painted_.clear();
    bool painted_in_loop = false;
    on_key('B', [&] {
        top.invalidate(false);
        PostMessageW(window.handle(), WM_NULL, 0, 0);
        painted_in_loop = pump_until([&] { return !painted_.empty(); });
    });
    send(WM_KEYDOWN, 'B');
    EXPECT_TRUE(painted_in_loop);
    EXPECT_EQ(painted_.front(), "top");
}

TEST_F(batching, RepaintsAskedForWhilePaintingAreDroppedAndADestroyedWindowIsForgotten)
{
    event_manager::instance().connect(&top, &top, event_id::paint, [this](const event_info&) { top.invalidate(false); });
    top.invalidate(false);
    EXPECT_EQ(paint_now(), lines{"top"});
    EXPECT_FALSE(pending());  // no endless repaint

    auto doomed = std::make_unique<qzsdk::ui::window>();
    doomed->create("doomed", rect{0, 0, 100, 100}, window_style::borderless);
    widget cell;
    cell.attach_to_window(&doomed->root(), rect{0, 0, 50, 50});
    on_key('A', [&] {
        cell.invalidate(false);
        doomed.reset();
    });
    send(WM_KEYDOWN, 'A');
    EXPECT_EQ(doomed, nullptr);
}

// A handler run by a modal loop inside another handler (a message over the preferences opened from the popup)
// asks for a repaint and nothing else comes: the loop waits for input next, and the repaint must not wait
// for it. The repaint is asked for once the windows' own repaints after their first frames are over, which
// would show it too.
TEST_F(batching, ARepaintAskedForInsideAModalLoopIsShownWithoutAnotherMessage)
{
    red_window red(&window);
    qzsdk::ui::window& dialog = red.dialog;
    widget& cell = red.cell;
    color& fill = red.fill;
    std::atomic<bool> red_shown{false}, repaint_asked{false}, green_shown{false};
    // Ticks until the first colour is on the screen and nothing repaints either window on its own any more,
    // then asks once for the second colour and stops ticking.
    auto repainting = [](const qzsdk::ui::window& w) {
        return !window_test_api::repaints_again_over(w) || GetUpdateRect(w.handle(), nullptr, FALSE);
    };
    constexpr uint32_t tick = 7;
    cell.set_timer(tick, 20, false);
    event_manager::instance().connect(&cell, &cell, event_id::timer, [&](const event_info& info) {
        if (info.param != tick || !red_shown || repainting(dialog) || repainting(window))
            return;
        cell.kill_timer(tick);
        fill = color{0, 1, 0, 1};
        cell.invalidate(false);
        repaint_asked = true;
    });
    on_key('A', [&] { dialog.show_modal(); });
    std::thread watcher([&] {
        POINT centre{30, 30};
        ClientToScreen(dialog.handle(), &centre);
        red_shown = screen_comes_to_show(centre, RGB(255, 0, 0), 20000);
        for (DWORD start = GetTickCount(); !repaint_asked && GetTickCount() - start < 20000;)
            Sleep(10);
        green_shown = repaint_asked && screen_comes_to_show(centre, RGB(0, 255, 0), 10000);
        PostMessageW(dialog.handle(), WM_CLOSE, 0, 0);
    });
    send(WM_KEYDOWN, 'A');
    watcher.join();
    ASSERT_TRUE(red_shown) << "the modal window never showed its first paint";
    ASSERT_TRUE(repaint_asked) << "the tick inside the modal loop never ran";
    EXPECT_TRUE(green_shown) << "the repaint asked for inside the modal loop waited for another message";
}

// The opener asks for a repaint and runs a modal loop over a window already shown: nothing is sent on the way
// in and the queue is empty, so the loop waits for input at once, and the repaint must not wait with it.
TEST_F(batching, ARepaintAskedForJustBeforeAModalLoopOverAShownWindowIsShownWithoutAnotherMessage)
{
    red_window red(nullptr);
    qzsdk::ui::window& dialog = red.dialog;
    widget& cell = red.cell;
    ShowWindow(dialog.handle(), SW_SHOWNOACTIVATE);
    POINT centre{30, 30};
    ClientToScreen(dialog.handle(), &centre);
    ASSERT_TRUE(pump_until(
        [&] {
            return screen_shows(centre, RGB(255, 0, 0)) && window_test_api::repaints_again_over(dialog) &&
                   !GetUpdateRect(dialog.handle(), nullptr, FALSE) && !pending();
        },
        20000))
        << "the window never settled on its first colour";

    on_key('A', [&] {
        red.fill = color{0, 1, 0, 1};
        cell.invalidate(false);
        dialog.show_modal();
    });
    std::atomic<bool> green_shown{false};
    std::thread watcher([&] {
        green_shown = screen_comes_to_show(centre, RGB(0, 255, 0), 10000);
        PostMessageW(dialog.handle(), WM_CLOSE, 0, 0);
    });
    send(WM_KEYDOWN, 'A');
    watcher.join();
    EXPECT_TRUE(green_shown) << "the repaint asked for before the modal loop waited for another message";
}
