#include "toolkit/ui/scroll_bar.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/support/window_fixture.h"
#include "tests/support/window_snapshot.h"

using namespace qzsdk::ui;
using qzsdk::test::event_log;
using qzsdk::test::looks_like;
using qzsdk::test::window_snapshot;
using qzsdk::test::window_test;

namespace {

using lines = std::vector<std::string>;

// A 100 x 100 view holding 400 of content (range 300), scrolled by a 16 x 200 bar without buttons: the
// thumb is 50 long and moves 0.5 per unit of position.
class scrolling : public window_test {
protected:
    void SetUp() override
    {
        window_test::SetUp();
        view.attach_to_window(&window.root(), rect{0, 0, 100, 100});
        content.attach_to_window(&view, rect{0, 0, 100, 400});
        bar.attach_to_window(&window.root(), rect{200, 0, 16, 200});
        bar.set_target(&content);
        log.listen(&bar, "bar", {event_id::value_changed});
        move_to(150, 150);  // arms leave tracking
    }

    void wheel(int x, int y, short notches)
    {
        POINT screen{x, y};
        ClientToScreen(window.handle(), &screen);
        send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(notches * 120)), MAKELPARAM(screen.x, screen.y));
    }

    void click(int x, int y)
    {
        mouse_at(WM_LBUTTONDOWN, x, y);
        mouse_at(WM_LBUTTONUP, x, y);
    }

    widget view, content;
    scroll_bar bar;
    event_log log;
};

}  // namespace

TEST_F(scrolling, ThumbAndPositionFollowTheTarget)
{
    EXPECT_EQ(bar.range(), 300);
    EXPECT_EQ(bar.thumb_rect(), (rect{0, 0, 16, 50}));
    bar.scroll_to(100, true);
    EXPECT_EQ(content.initial_bounds().y, -100);
    EXPECT_EQ(bar.thumb_rect().y, 50);
    bar.scroll_to(125, false);
    EXPECT_EQ(bar.position(), 120);
    bar.scroll_to(-15, false);
    EXPECT_EQ(bar.position(), 0);
    bar.scroll_to(1000, true);
    EXPECT_EQ(bar.thumb_rect().y, 150);
    bar.step = 0;  // no snapping rather than a division by zero
    bar.scroll_to(77, false);
    EXPECT_EQ(bar.position(), 77);
    content.set_bounds(rect{0, -40, 100, 400});
    EXPECT_EQ(bar.position(), 40);
    EXPECT_TRUE(log.take().empty());
}

TEST_F(scrolling, DraggingSnapsTheTargetButReportsTheUnsnappedPosition)
{
    mouse_at(WM_LBUTTONDOWN, 208, 10);
    EXPECT_EQ(GetCapture(), window.handle());
    mouse_at(WM_MOUSEMOVE, 208, 43);
    EXPECT_EQ(content.bounds().y, -60);
    EXPECT_EQ(log.take(), (lines{"bar:37:66"}));
    mouse_at(WM_MOUSEMOVE, 30, 199);  // off the bar: the capture still brings it
    EXPECT_EQ(bar.position(), 300);
    mouse_at(WM_LBUTTONUP, 30, 199);
    EXPECT_FALSE(bar.is_dragging());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(scrolling, TrackPressesJumpAndTheWheelScrollsFromTargetOrBar)
{
    click(208, 150);  // after the thumb: its top goes to 100
    click(208, 20);
    EXPECT_EQ(log.take(), (lines{"bar:37:200", "bar:37:40"}));
    wheel(50, 50, -1);  // over the target, toward the user
    EXPECT_EQ(bar.position(), 100);
    wheel(208, 100, 1);
    EXPECT_EQ(bar.position(), 40);
    for (int i = 0; i < 8; ++i)
        wheel(50, 50, -1);
    EXPECT_EQ(log.take().back(), "bar:37:300");
}

TEST_F(scrolling, TheViewGrowingOrTheContentShrinkingLeavesNoGap)
{
    bar.scroll_to(300, true);
    view.set_bounds(rect{0, 0, 100, 150});
    EXPECT_EQ(content.bounds().y, -250);
    EXPECT_EQ(bar.range(), 250);
    content.set_bounds(rect{0, -250, 100, 120});
    EXPECT_EQ(content.bounds().y, 0);
    EXPECT_EQ(bar.thumb_rect(), (rect{0, 0, 16, 200}));
}

TEST_F(scrolling, NothingToScrollOrAThumbLongerThanItsTrackDividesByNothing)
{
    content.set_bounds(rect{0, 0, 100, 60});
    EXPECT_EQ(bar.ratio(), 0.0f);
    log.take();
    mouse_at(WM_LBUTTONDOWN, 208, 100);  // on the thumb, which fills the track
    mouse_at(WM_MOUSEMOVE, 208, 190);
    mouse_at(WM_LBUTTONUP, 208, 190);
    wheel(50, 30, -1);
    EXPECT_EQ(content.bounds().y, 0);
    EXPECT_EQ(log.take(), (lines{"bar:37:0", "bar:37:0"}));

    content.set_bounds(rect{0, 0, 100, 400});
    bar.set_bounds(rect{200, 0, 16, 30});  // shorter than the shortest thumb
    EXPECT_EQ(bar.thumb_rect(), (rect{0, 0, 16, 30}));
    wheel(50, 50, -1);
    EXPECT_EQ(bar.position(), 60);  // not thrown to the end
}

TEST_F(scrolling, ArrowButtonsStepAndTrackPressesCountFromTheTrack)
{
    scroll_bar buttons;
    buttons.show_buttons = true;
    buttons.attach_to_window(&window.root(), rect{240, 0, 16, 182});  // track 150: ratio 1 / 3
    buttons.set_target(&content);
    EXPECT_EQ(buttons.second_button_rect(), (rect{0, 166, 16, 16}));
    EXPECT_EQ(buttons.thumb_rect(), (rect{0, 16, 16, 50}));
    click(248, 170);
    EXPECT_EQ(buttons.position(), 10);
    click(248, 5);
    EXPECT_EQ(buttons.position(), 0);
    bar.scroll_to(150, true);  // the thumb now spans 66 to 116
    click(248, 60);
    EXPECT_NEAR(buttons.position(), 132, 1);  // 44 into the track: above the thumb, so never further down
    window_snapshot shot(window);
    EXPECT_TRUE(looks_like(shot.pixel(241, 100), {0.145f, 0.149f, 0.165f, 1}));  // thumb
    EXPECT_TRUE(looks_like(shot.pixel(241, 150), {0.067f, 0.071f, 0.078f, 1}));   // track
    EXPECT_TRUE(looks_like(shot.pixel(241, 5), {0.22f, 0.235f, 0.251f, 1}));      // button
    EXPECT_TRUE(looks_like(shot.pixel(241, 166), {0.325f, 0.325f, 0.325f, 1}));   // its edge
}

TEST_F(scrolling, ATargetThatDiesOrIsReplacedLeavesNoConnection)
{
    widget other;
    other.attach_to_window(&view, rect{0, 0, 100, 200});
    {
        widget replaced;
        replaced.attach_to_window(&view, rect{0, 0, 100, 300});
        bar.set_target(&replaced);
        bar.set_target(&other);
    }
    EXPECT_EQ(bar.target(), &other);  // the old target's death was not heard
    EXPECT_EQ(bar.range(), 100);
    {
        widget short_lived;
        short_lived.attach_to_window(&view, rect{0, 0, 100, 300});
        bar.set_target(&short_lived);
    }
    EXPECT_EQ(bar.target(), nullptr);
    wheel(208, 50, -1);
    bar.scroll_to(50, true);
    click(208, 50);
}

TEST_F(window_test, AValueHandlerMayDestroyTheBarMidDrag)
{
    widget view, content;
    view.attach_to_window(&window.root(), rect{0, 0, 100, 100});
    content.attach_to_window(&view, rect{0, 0, 100, 400});
    auto bar = std::make_unique<scroll_bar>();
    bar->attach_to_window(&window.root(), rect{200, 0, 16, 200});
    bar->set_target(&content);
    event_object listener;
    event_manager::instance().connect(bar.get(), &listener, event_id::value_changed,
                                      [&](const event_info&) { bar.reset(); });
    move_to(150, 150);
    mouse_at(WM_LBUTTONDOWN, 208, 10);
    mouse_at(WM_MOUSEMOVE, 208, 40);
    EXPECT_EQ(bar, nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    mouse_at(WM_MOUSEMOVE, 208, 60);
    mouse_at(WM_LBUTTONUP, 208, 60);
    EXPECT_EQ(content.bounds().y, -60);
}

TEST_F(window_test, AHorizontalBarScrollsAlongX)
{
    widget view, content;
    view.attach_to_window(&window.root(), rect{0, 0, 100, 50});
    content.attach_to_window(&view, rect{0, 0, 400, 50});
    scroll_bar bar;
    bar.orientation = 1;
    bar.show_buttons = true;
    bar.attach_to_window(&window.root(), rect{0, 100, 232, 16});  // track 200: thumb 50, ratio 0.5
    bar.set_target(&content);
    EXPECT_EQ(bar.second_button_rect(), (rect{216, 0, 16, 16}));
    EXPECT_EQ(bar.thumb_rect(), (rect{16, 0, 50, 16}));
    move_to(150, 150);
    mouse_at(WM_LBUTTONDOWN, 20, 108);
    mouse_at(WM_MOUSEMOVE, 70, 108);
    mouse_at(WM_LBUTTONUP, 70, 108);
    EXPECT_EQ(content.bounds().x, -100);
    EXPECT_EQ(bar.thumb_rect().x, 66);
}
