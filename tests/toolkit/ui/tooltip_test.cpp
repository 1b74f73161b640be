#include "toolkit/ui/tooltip.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/support/window_fixture.h"
#include "tests/toolkit/ui/tooltip_test_api.h"
#include "toolkit/ui/event_manager.h"

using namespace qzsdk::ui;
using qzsdk::test::event_log;
using qzsdk::test::window_test;

namespace {

// A widget at (10, 10, 100, 50); the tick is driven with real WM_TIMER messages and the real cursor.
class tooltips : public window_test {
protected:
    void SetUp() override
    {
        window_test::SetUp();
        target = std::make_unique<widget>();
        target->attach_to_window(&window.root(), rect{10, 10, 100, 50});
    }

    void TearDown() override
    {
        target.reset();
        window_test::TearDown();
    }

    void tick(int count = 1)
    {
        for (int i = 0; i < count; ++i)
            send(WM_TIMER, tooltip_timer_id, 0);
    }

    // Cursor and hovered widget both over the client point; the first tick notices the new widget.
    // The tests tick by hand: the real timer is stopped so that it cannot add ticks of its own.
    void hover(int x, int y)
    {
        KillTimer(window.handle(), tooltip_timer_id);
        place_cursor(x, y);
        move_to(x, y);
        move_to(x, y);
        tick();
    }

    bool shown() const { return tooltip_test_api::of(window) && tooltip_test_api::of(window)->is_visible(); }

    bool tick_timer_running() { return KillTimer(window.handle(), tooltip_timer_id) != FALSE; }

    std::unique_ptr<widget> target;
};

}  // namespace

TEST_F(tooltips, EmptyRegistrationMakesNoWindowAndNoTimer)
{
    window.set_tooltip(target.get(), rect{}, "", "");
    EXPECT_EQ(tooltip_test_api::of(window), nullptr);
    EXPECT_FALSE(tick_timer_running());
    target->set_tooltip("Title", "");
    EXPECT_NE(tooltip_test_api::of(window), nullptr);
    EXPECT_EQ(tooltip_test_api::of(window)->skin_source(), target.get());
    EXPECT_TRUE(tick_timer_running());
}

TEST_F(tooltips, ShownOnTheNinthTickInARegionAndHiddenForGoodAfterSixSeconds)
{
    target->set_tooltip("Title", "");
    event_log log;
    log.listen(tooltip_test_api::of(window), "tip", {event_id::hidden});
    hover(40, 30);
    tick(8);
    EXPECT_FALSE(shown());
    tick();
    ASSERT_TRUE(shown());
    EXPECT_EQ(tooltip_test_api::title(*tooltip_test_api::of(window)), "Title");

    RECT placed{};
    GetWindowRect(tooltip_test_api::of(window)->handle(), &placed);
    POINT cursor{};
    GetCursorPos(&cursor);
    EXPECT_EQ(placed.left, cursor.x + 5);
    EXPECT_EQ(placed.top, cursor.y + 20);

    HWND tip = tooltip_test_api::of(window)->handle();
    EXPECT_TRUE(qzsdk::test::shows_color(tip, 0, 0, 74, 79, 83));
    EXPECT_TRUE(qzsdk::test::shows_color(tip, 1, 1, 0, 0, 0));
    EXPECT_TRUE(qzsdk::test::shows_color(tip, 3, 3, 27, 27, 28));

    tick(48);  // about 5.7 s in the region
    EXPECT_TRUE(shown());
    tick(6);
    EXPECT_FALSE(shown());
    tick(40);
    EXPECT_FALSE(shown());
    EXPECT_EQ(log.take(), (std::vector<std::string>{"tip:36:0"}));
}

TEST_F(tooltips, WindowIsTheContentPlusMarginsAndTheGapOnlyWithBothTexts)
{
    auto content_for = [this](const std::string& title, const std::string& text) {
        tooltip_test_api::of(window)->show(point{30, 30}, title, text);
        RECT client{};
        GetClientRect(tooltip_test_api::of(window)->handle(), &client);
        text_extent content = tooltip_test_api::content_size(*tooltip_test_api::of(window));
        EXPECT_EQ(client.right, static_cast<LONG>(content.width + 16));
        EXPECT_EQ(client.bottom, static_cast<LONG>(content.height + 8));
        tooltip_test_api::of(window)->hide();
        return content;
    };
    target->set_tooltip("A", "");
    text_extent title_only = content_for("Wide title", "");
    text_extent text_only = content_for("", "x");
    text_extent both = content_for("Wide title", "x");
    EXPECT_GT(title_only.height, 0u);
    EXPECT_EQ(both.height, title_only.height + text_only.height + 2);
    EXPECT_EQ(both.width, std::max(title_only.width, text_only.width));
}

TEST_F(tooltips, MovingIntoAnotherRegionHidesAndRestartsTheWait)
{
    window.set_tooltip(target.get(), rect{0, 0, 50, 50}, "Left", "");
    window.set_tooltip(target.get(), rect{51, 0, 49, 50}, "Right", "first");
    hover(30, 30);
    tick(9);
    ASSERT_TRUE(shown());
    EXPECT_EQ(tooltip_test_api::title(*tooltip_test_api::of(window)), "Left");

    place_cursor(90, 30);
    tick();  // the first tick in the new region
    EXPECT_FALSE(shown());
    tick(7);
    EXPECT_FALSE(shown());
    tick();
    ASSERT_TRUE(shown());
    EXPECT_EQ(tooltip_test_api::title(*tooltip_test_api::of(window)), "Right");
    EXPECT_EQ(tooltip_test_api::text(*tooltip_test_api::of(window)), "first");

    // Another widget (here the root) hides it at once.
    hover(250, 150);
    EXPECT_FALSE(shown());
}

TEST_F(tooltips, HidingTheWindowHidesItsTooltip)
{
    target->set_tooltip("Title", "");
    hover(40, 30);
    tick(9);
    ASSERT_TRUE(shown());
    window.close_request(true);
    EXPECT_FALSE(shown());
}

TEST_F(tooltips, WholeWidgetRegionIncludesTheRightAndBottomEdges)
{
    target->set_tooltip("", "Text");
    hover(50, 30);
    place_cursor(110, 60);  // the widget's right and bottom edges
    tick(10);
    EXPECT_TRUE(shown());
    place_cursor(111, 60);
    tick();
    EXPECT_FALSE(shown());
}

TEST_F(tooltips, RealTimerShowsTheTooltip)
{
    target->set_tooltip("Title", "Text");
    place_cursor(40, 30);
    move_to(40, 30);
    move_to(40, 30);
    EXPECT_TRUE(qzsdk::test::pump_until([this] { return shown(); }, 5000));
}

TEST_F(tooltips, DestroyedWidgetTakesItsTooltipAndTheTickWithIt)
{
    target->set_tooltip("Title", "");
    hover(40, 30);
    tick(9);
    ASSERT_TRUE(shown());
    HWND tip = tooltip_test_api::of(window)->handle();
    target.reset();
    EXPECT_EQ(tooltip_test_api::of(window), nullptr);
    EXPECT_FALSE(IsWindow(tip));
    EXPECT_FALSE(tick_timer_running());
    tick(20);

    // A later registration starts over.
    widget again;
    again.attach_to_window(&window.root(), rect{10, 10, 100, 50});
    again.set_tooltip("Again", "");
    EXPECT_NE(tooltip_test_api::of(window), nullptr);
    EXPECT_TRUE(tick_timer_running());
}

TEST_F(tooltips, TooltipOfAnotherWidgetOutlivesTheWidgetItTookItsSkinFrom)
{
    widget other;
    other.attach_to_window(&window.root(), rect{150, 10, 100, 50});
    target->set_tooltip("First", "");
    other.set_tooltip("Second", "");
    tooltip* tip = tooltip_test_api::of(window);
    hover(40, 30);
    tick(9);
    ASSERT_TRUE(shown());
    target.reset();
    EXPECT_EQ(tooltip_test_api::of(window), tip);
    EXPECT_EQ(tip->skin_source(), &other);
    EXPECT_FALSE(tip->is_visible());

    hover(200, 30);
    tick(9);
    EXPECT_TRUE(shown());
    EXPECT_EQ(tooltip_test_api::title(*tip), "Second");
    UpdateWindow(tip->handle());
}

TEST_F(tooltips, TooltipWindowGoesWithItsWindow)
{
    auto owner = std::make_unique<qzsdk::ui::window>();
    owner->create("owner", rect{20, 20, 200, 100}, window_style::borderless);
    widget inside;
    inside.attach_to_window(&owner->root(), rect{0, 0, 100, 100});
    inside.set_tooltip("Title", "");
    POINT screen{40, 40};
    ClientToScreen(owner->handle(), &screen);
    SetCursorPos(screen.x, screen.y);
    SendMessageW(owner->handle(), WM_MOUSEMOVE, 0, MAKELPARAM(40, 40));
    SendMessageW(owner->handle(), WM_MOUSEMOVE, 0, MAKELPARAM(40, 40));
    for (int i = 0; i < 10; ++i)
        SendMessageW(owner->handle(), WM_TIMER, tooltip_timer_id, 0);
    ASSERT_TRUE(tooltip_test_api::of(*owner)->is_visible());
    HWND tip = tooltip_test_api::of(*owner)->handle();
    owner.reset();
    EXPECT_FALSE(IsWindow(tip));
}
