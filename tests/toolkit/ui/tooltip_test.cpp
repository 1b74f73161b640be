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
        show_without_focus();
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

    // Hovers and waits the nine ticks it takes to show.
    bool shown_after_wait(int x, int y)
    {
        hover(x, y);
        tick(9);
        return shown();
    }
    tooltip* tip() const { return tooltip_test_api::of(window); }
    bool shown() const { return tip() && tip()->is_visible(); }
    bool tick_timer_running() { return KillTimer(window.handle(), tooltip_timer_id) != FALSE; }

    std::unique_ptr<widget> target;
};

}  // namespace

TEST_F(tooltips, EmptyRegistrationMakesNoWindowAndNoTimer)
{
    window.set_tooltip(target.get(), rect{}, "", "");
    EXPECT_EQ(tip(), nullptr);
    EXPECT_FALSE(tick_timer_running());
    target->set_tooltip("Title", "");
    EXPECT_NE(tip(), nullptr);
    EXPECT_EQ(tip()->skin_source(), target.get());
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
    EXPECT_EQ(tooltip_test_api::title(*tip()), "Title");

    RECT placed{};
    GetWindowRect(tip()->handle(), &placed);
    POINT cursor{};
    GetCursorPos(&cursor);
    EXPECT_TRUE(placed.left == cursor.x + 5 && placed.top == cursor.y + 20);

    HWND tip_window = tip()->handle();
    EXPECT_TRUE(qzsdk::test::shows_color(tip_window, 0, 0, 74, 79, 83));
    EXPECT_TRUE(qzsdk::test::shows_color(tip_window, 1, 1, 0, 0, 0));
    EXPECT_TRUE(qzsdk::test::shows_color(tip_window, 3, 3, 27, 27, 28));

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
        tip()->show(point{30, 30}, title, text);
        RECT client{};
        GetClientRect(tip()->handle(), &client);
        text_extent content = tooltip_test_api::content_size(*tip());
        EXPECT_EQ(client.right, static_cast<LONG>(content.width + 16));
        EXPECT_EQ(client.bottom, static_cast<LONG>(content.height + 8));
        tip()->hide();
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
    ASSERT_TRUE(shown_after_wait(30, 30));
    EXPECT_EQ(tooltip_test_api::title(*tip()), "Left");

    place_cursor(90, 30);
    tick();  // the first tick in the new region
    EXPECT_FALSE(shown());
    tick(7);
    EXPECT_FALSE(shown());
    tick();
    ASSERT_TRUE(shown());
    EXPECT_EQ(tooltip_test_api::title(*tip()), "Right");
    EXPECT_EQ(tooltip_test_api::text(*tip()), "first");

    // Another widget (here the root) hides it at once.
    hover(250, 150);
    EXPECT_FALSE(shown());
}

TEST_F(tooltips, AHiddenOrCoveredWindowShowsNoTooltip)
{
    target->set_tooltip("Title", "");
    ASSERT_TRUE(shown_after_wait(40, 30));
    qzsdk::ui::window cover;
    cover.create("cover", rect{0, 0, 400, 300}, window_style::popup | window_style::topmost);
    SetWindowPos(cover.handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    tick(20);
    EXPECT_FALSE(shown());
    cover.close_request(true);
    ASSERT_TRUE(shown_after_wait(40, 30));
    window.close_request(true);
    EXPECT_FALSE(shown());
    tick(20);
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
    ASSERT_TRUE(shown_after_wait(40, 30));
    HWND tip_window = tip()->handle();
    target.reset();
    EXPECT_EQ(tip(), nullptr);
    EXPECT_FALSE(IsWindow(tip_window));
    EXPECT_FALSE(tick_timer_running());
    tick(20);

    // A later registration starts over.
    widget again;
    again.attach_to_window(&window.root(), rect{10, 10, 100, 50});
    again.set_tooltip("Again", "");
    EXPECT_NE(tip(), nullptr);
    EXPECT_TRUE(tick_timer_running());
}

TEST_F(tooltips, TooltipOfAnotherWidgetOutlivesTheWidgetItTookItsSkinFrom)
{
    widget other;
    other.attach_to_window(&window.root(), rect{150, 10, 100, 50});
    target->set_tooltip("First", "");
    other.set_tooltip("Second", "");
    tooltip* first_tip = tip();
    ASSERT_TRUE(shown_after_wait(40, 30));
    target.reset();
    EXPECT_EQ(tip(), first_tip);
    EXPECT_EQ(tip()->skin_source(), &other);
    EXPECT_FALSE(shown());

    EXPECT_TRUE(shown_after_wait(200, 30));
    EXPECT_EQ(tooltip_test_api::title(*tip()), "Second");
    UpdateWindow(tip()->handle());
}

TEST_F(tooltips, TooltipWindowGoesWithItsWindow)
{
    auto owner = std::make_unique<qzsdk::ui::window>();
    owner->create("owner", rect{20, 20, 200, 100}, window_style::borderless);
    ShowWindow(owner->handle(), SW_SHOWNOACTIVATE);
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
    HWND tip_window = tooltip_test_api::of(*owner)->handle();
    owner.reset();
    EXPECT_FALSE(IsWindow(tip_window));
}
