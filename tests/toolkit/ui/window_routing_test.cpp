#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <memory>

#include "tests/support/key_state.h"
#include "tests/support/real_mouse.h"
#include "tests/support/window_fixture.h"

using namespace qzsdk::ui;
using qzsdk::test::event_log;
using qzsdk::test::window_test;

namespace {

// Root 300 x 200; "a" at (10, 10, 100, 100) holding "inner" at (10, 10, 30, 30); "b" at (150, 10, 100, 100).
class routing : public window_test {
protected:
    void SetUp() override
    {
        window_test::SetUp();
        a.name = "a";
        b.name = "b";
        inner.name = "inner";
        a.attach_to_window(&window.root(), rect{10, 10, 100, 100});
        inner.attach_to_window(&a, rect{10, 10, 30, 30});
        b.attach_to_window(&window.root(), rect{150, 10, 100, 100});
        // No widget listens for double clicks unless a test says so.
        const std::vector<uint32_t> mouse_ids{event_id::mouse_up,    event_id::mouse_down, event_id::mouse_enter,
                                              event_id::mouse_leave, event_id::mouse_move, event_id::focus_gained,
                                              event_id::focus_lost};
        log.listen(&a, "a", mouse_ids);
        log.listen(&inner, "inner", mouse_ids);
        log.listen(&b, "b", mouse_ids);
        log.listen(&window, "window", {event_id::mouse_up, event_id::mouse_down, event_id::mouse_double_click});
    }

    void wheel_at(int x, int y, short delta)
    {
        POINT screen{x, y};
        ClientToScreen(window.handle(), &screen);
        send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), MAKELPARAM(screen.x, screen.y));
    }

    widget a, b, inner;
    event_log log;
};

using lines = std::vector<std::string>;

}  // namespace

TEST_F(routing, ButtonDownFocusesThenReachesWidgetThenWindow)
{
    mouse(WM_LBUTTONDOWN, 30, 30);
    EXPECT_EQ(log.take(), (lines{"inner:33:0", "inner:2:0", "window:2:0"}));
    EXPECT_EQ(window.focused_widget(), &inner);
    mouse(WM_RBUTTONDOWN, 160, 20);
    EXPECT_EQ(log.take(), (lines{"inner:34:0", "b:33:0", "b:2:2", "window:2:2"}));
    mouse(WM_MBUTTONUP, 160, 20);
    EXPECT_EQ(log.take(), (lines{"b:1:1", "window:1:1"}));
}

TEST_F(routing, DisabledWidgetsAreSkippedButTheWindowHearsIt)
{
    a.set_enabled(false);
    mouse(WM_LBUTTONDOWN, 30, 30);
    EXPECT_EQ(log.take(), (lines{"window:2:0"}));
    EXPECT_EQ(window.focused_widget(), &window.root());
}

TEST_F(routing, DoubleClickWithoutHandlerIsASecondPressAndSwallowsTheRelease)
{
    mouse(WM_LBUTTONDOWN, 160, 20);
    mouse(WM_LBUTTONUP, 160, 20);
    log.take();
    mouse(WM_LBUTTONDBLCLK, 160, 20);
    mouse(WM_LBUTTONUP, 160, 20);
    EXPECT_EQ(log.take(), (lines{"b:2:0", "window:2:0"}));
    // The next release is delivered again.
    mouse(WM_LBUTTONUP, 160, 20);
    EXPECT_EQ(log.take(), (lines{"b:1:0", "window:1:0"}));
}

// The press of a double click hides the window, so its release goes to another: the widget hovered at the
// hide hears the pointer leave (a button drops its pressed look), and when the window shows again leave
// tracking is armed anew and a click reaches its widget.
TEST_F(routing, HidingForgetsThePressAndTheHoverItEnded)
{
    show_without_focus();
    move_to(160, 20);
    move_to(161, 20);
    event_manager::instance().connect(&b, &b, event_id::mouse_down,
                                      [this](const event_info&) { window.set_visible(false); });
    log.take();
    mouse(WM_LBUTTONDBLCLK, 160, 20);
    EXPECT_EQ(log.take(), (lines{"b:33:0", "b:2:0", "b:6:0", "window:2:0"}));
    EXPECT_EQ(window.hovered_widget(), nullptr);

    show_without_focus();
    EXPECT_EQ(send(WM_MOUSEMOVE, 0, MAKELPARAM(30, 30)), 1);  // arms tracking again, no event
    EXPECT_TRUE(log.take().empty());
    mouse(WM_LBUTTONDOWN, 30, 30);
    mouse(WM_LBUTTONUP, 30, 30);
    EXPECT_EQ(log.take(), (lines{"b:34:0", "inner:33:0", "inner:2:0", "window:2:0", "inner:1:0", "window:1:0"}));
}

// By real input: the second press of a double click hides the window, so its release goes to whatever lies
// under the cursor then. Shown again while a button pressed elsewhere is held, the window's first input is
// that button's release: it is heard, not swallowed for the double click's.
TEST_F(routing, AWindowShownAgainHearsAReleaseWhosePressWasElsewhere)
{
    show_without_focus();
    int presses = 0;
    event_manager::instance().connect(&b, &b, event_id::mouse_down, [&](const event_info&) {
        if (++presses == 2)
            window.set_visible(false);
    });
    POINT on_b{160, 20};
    ClientToScreen(window.handle(), &on_b);
    qzsdk::test::real_double_click(on_b);
    ASSERT_EQ(presses, 2);
    EXPECT_EQ(log.take(event_id::mouse_up), (lines{"b:1:0", "window:1:0"}));  // the first click's alone

    qzsdk::test::real_mouse_press(on_b);
    EXPECT_EQ(presses, 2);
    show_without_focus();
    qzsdk::test::real_mouse_release();
    EXPECT_EQ(log.take(event_id::mouse_up), (lines{"b:1:0", "window:1:0"}));
}

TEST_F(routing, DoubleClickReachesAWidgetThatListensForIt)
{
    event_log listener;
    listener.listen(&a, "a", {event_id::mouse_double_click});
    mouse(WM_LBUTTONDBLCLK, 90, 90);
    mouse(WM_LBUTTONUP, 90, 90);
    EXPECT_EQ(log.take(), (lines{"a:33:0", "window:3:0"}));
    EXPECT_EQ(listener.take(), (lines{"a:3:0"}));
}

TEST_F(routing, CapturedWidgetTakesMovesAndReleasesAlone)
{
    move_to(200, 50);  // arms tracking
    set_captured_widget(&inner);
    move_to(200, 50);
    mouse(WM_LBUTTONUP, 200, 50);
    EXPECT_EQ(log.take(), (lines{"inner:7:0", "inner:1:0"}));
    set_captured_widget(nullptr);
    mouse(WM_LBUTTONUP, 200, 50);
    EXPECT_EQ(log.take(), (lines{"b:1:0", "window:1:0"}));
}

TEST_F(routing, WheelClimbsToTheFirstAncestorWithHandlers)
{
    double delta = 0;
    event_log wheel;
    qzsdk::ui::event_manager::instance().connect(&a, &wheel, event_id::mouse_wheel, [&](const event_info& info) {
        std::memcpy(&delta, &info.param, sizeof(delta));
    });
    inner.set_enabled(false);
    wheel_at(30, 30, -120);
    EXPECT_EQ(delta, -60.0);
    EXPECT_TRUE(log.take().empty());
}

TEST_F(routing, WheelStopsAtAnEmptiedHandlerList)
{
    int parent_calls = 0;
    event_log wheel;
    auto& manager = qzsdk::ui::event_manager::instance();
    manager.connect(&a, &wheel, event_id::mouse_wheel, [&](const event_info&) { ++parent_calls; });
    manager.disconnect(manager.connect(&inner, &wheel, event_id::mouse_wheel, [](const event_info&) {}));
    wheel_at(30, 30, 120);
    EXPECT_EQ(parent_calls, 0);
}

TEST_F(routing, HoverEnterAndLeave)
{
    move_to(30, 30);  // first move only arms leave tracking
    EXPECT_TRUE(log.take().empty());
    move_to(31, 31);
    EXPECT_EQ(log.take(), (lines{"inner:5:0"}));
    move_to(32, 32);
    EXPECT_EQ(log.take(), (lines{"inner:7:0"}));
    move_to(90, 90);
    EXPECT_EQ(log.take(), (lines{"inner:6:0", "a:5:0"}));
    send(WM_MOUSELEAVE);
    EXPECT_EQ(log.take(), (lines{"a:6:0"}));
    // Back over the same widget: no second enter.
    move_to(91, 91);
    move_to(92, 92);
    EXPECT_EQ(log.take(), (lines{"a:7:0"}));
    // Then onto another widget: leave first.
    move_to(160, 20);
    EXPECT_EQ(log.take(), (lines{"a:6:0", "b:5:0"}));
}

TEST_F(routing, HitTestIsSignedAndPicksTheTopmostChild)
{
    widget over;
    over.name = "over";
    over.attach_to_window(&window.root(), rect{0, 0, 40, 40});
    EXPECT_EQ(window.hit_test({30, 30}), &over);
    EXPECT_EQ(window.hit_test({45, 45}), &inner);
    EXPECT_EQ(window.hit_test({50, 50}), &a);
    EXPECT_EQ(window.hit_test({120, 120}), &window.root());
    EXPECT_EQ(window.hit_test({-5, 10}), nullptr);
    EXPECT_EQ(window.hit_test({300, 10}), nullptr);
    over.set_visible(false);
    EXPECT_EQ(window.hit_test({30, 30}), &inner);
    // A press left of the client area (negative coordinates) reaches no widget.
    mouse(WM_LBUTTONDOWN, -20, 30);
    EXPECT_EQ(log.take(), (lines{"window:2:0"}));
}

TEST_F(routing, TabAndShiftTabWrapThroughTabStops)
{
    a.tab_stop = true;
    b.tab_stop = true;
    inner.tab_stop = true;
    b.set_enabled(false);
    window.set_focus_widget(&a, 0);
    log.take();
    event_log typed;
    typed.listen(&window, "window", {event_id::char_input});
    send(WM_CHAR, 9);
    EXPECT_EQ(window.focused_widget(), &inner);
    send(WM_CHAR, 9);  // b is disabled: wraps to a
    EXPECT_EQ(window.focused_widget(), &a);
    EXPECT_EQ(log.take(), (lines{"a:34:1", "inner:33:1", "inner:34:1", "a:33:1"}));
    {
        qzsdk::test::key_state keys;
        keys.press(VK_LSHIFT);
        send(WM_CHAR, 9);
    }
    EXPECT_EQ(window.focused_widget(), &inner);
    EXPECT_EQ(typed.take(), (lines{"window:11:9", "window:11:9", "window:11:9"}));
}

TEST_F(routing, TabNeverReachesADetachedWidget)
{
    a.tab_stop = true;
    b.tab_stop = true;
    window.root().remove_child(&b);
    window.set_focus_widget(&a, 0);
    send(WM_CHAR, 9);
    EXPECT_EQ(window.focused_widget(), &a);
}

TEST_F(routing, KeysGoToTheFocusedWidgetThenTheWindow)
{
    event_log keys;
    keys.listen(&inner, "inner", {event_id::key_down, event_id::key_down_raw, event_id::key_up, event_id::char_input});
    keys.listen(&window, "window", {event_id::key_down, event_id::key_up});
    window.set_focus_widget(&inner, 0);
    send(WM_KEYDOWN, 'A', 0x001E0001);
    send(WM_CHAR, 'a');
    send(WM_KEYUP, 'A');
    uint64_t raw = 'A' | (0x001E0001ull << 32);
    EXPECT_EQ(keys.take(), (lines{"inner:8:65", "window:8:65", "inner:9:" + std::to_string(raw), "inner:11:97",
                                  "inner:10:65", "window:10:65"}));
}

TEST_F(routing, AttachingAgainMovesTheWidgetAndListsItOnce)
{
    a.tab_stop = b.tab_stop = inner.tab_stop = true;
    inner.attach_to_window(&a, rect{5, 5, 30, 30});
    EXPECT_EQ(a.children().size(), 1u);
    window.set_focus_widget(&a, 0);
    std::vector<widget*> order;
    for (int step = 0; step < 3; ++step) {
        send(WM_CHAR, 9);
        order.push_back(window.focused_widget());
    }
    EXPECT_EQ(order, (std::vector<widget*>{&inner, &b, &a}));

    qzsdk::ui::window other;
    other.create("other", rect{0, 0, 100, 100}, 0);
    window.set_focus_widget(&inner, 0);
    inner.attach_to_window(&other.root(), rect{0, 0, 30, 30});
    EXPECT_TRUE(a.children().empty());
    EXPECT_EQ(window.focused_widget(), nullptr);
    EXPECT_EQ(inner.owner_window(), &other);
    inner.attach_to_window(&a, rect{5, 5, 30, 30});
}

TEST_F(routing, AFocusTargetDestroyedByTheOldWidgetsFocusLossIsLeftAlone)
{
    auto target = std::make_unique<widget>();
    target->attach_to_window(&b, rect{0, 0, 10, 10});
    widget* gone = target.get();
    window.set_focus_widget(&a, 0);
    event_manager::instance().connect(&a, &log, event_id::focus_lost, [&](const event_info&) { target.reset(); });
    window.set_focus_widget(gone, 0);
    EXPECT_EQ(window.focused_widget(), nullptr);
}
