#include "toolkit/ui/generic_button.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/support/test_strip.h"
#include "tests/support/window_fixture.h"
#include "tests/support/window_snapshot.h"

using namespace qzsdk::ui;
using qzsdk::test::event_log;
using qzsdk::test::frame_number;
using qzsdk::test::numbered_frames;
using qzsdk::test::reported_exceptions;
using qzsdk::test::test_strip;
using qzsdk::test::window_snapshot;
using qzsdk::test::window_test;

namespace {

using lines = std::vector<std::string>;

// A 40 x 20 button at (10, 10); its 8 x 8 strip frames land at (26, 16).
class button_test : public window_test {
protected:
    void SetUp() override
    {
        window_test::SetUp();
        button.attach_to_window(&window.root(), rect{10, 10, 40, 20});
        log.listen(&button, "button", {event_id::activated});
        move_to(200, 150);  // arms leave tracking
    }

    void hover() { move_to(20, 20); }
    void click(UINT down, UINT up)
    {
        mouse(down, 20, 20);
        mouse(up, 20, 20);
    }
    int shown_frame() { return frame_number(window_snapshot(window).pixel(30, 20)); }

    generic_button button;
    event_log log;
};

}  // namespace

TEST_F(button_test, LeftClickActivatesAndTogglesInToggleMode)
{
    hover();
    EXPECT_TRUE(button.is_hovered());
    mouse(WM_LBUTTONDOWN, 20, 20);
    EXPECT_TRUE(button.is_pressed());
    EXPECT_TRUE(log.take().empty());
    mouse(WM_LBUTTONUP, 20, 20);
    EXPECT_FALSE(button.is_pressed());
    EXPECT_EQ(log.take(), (lines{"button:38:0"}));
    button.toggle_mode = true;
    click(WM_LBUTTONDOWN, WM_LBUTTONUP);
    EXPECT_TRUE(button.toggled);
    click(WM_LBUTTONDOWN, WM_LBUTTONUP);
    EXPECT_FALSE(button.toggled);
    EXPECT_EQ(log.take(), (lines{"button:38:1", "button:38:0"}));
    move_to(200, 150);
    EXPECT_FALSE(button.is_hovered());
}

TEST_F(button_test, OtherButtonsPressButNeverActivate)
{
    hover();
    click(WM_RBUTTONDOWN, WM_RBUTTONUP);
    EXPECT_TRUE(log.take().empty());
    EXPECT_TRUE(button.is_pressed());  // until leave or a focus change
    window.set_focus_widget(&window.root(), 0);
    EXPECT_FALSE(button.is_pressed());
    // A press that began elsewhere and is released over the button is no click.
    mouse(WM_LBUTTONDOWN, 200, 150);
    mouse(WM_LBUTTONUP, 20, 20);
    EXPECT_TRUE(log.take().empty());
    // Nor is one that left the button before its release.
    mouse(WM_LBUTTONDOWN, 20, 20);
    move_to(200, 150);
    move_to(20, 20);
    mouse(WM_LBUTTONUP, 20, 20);
    EXPECT_TRUE(log.take().empty());
    button.set_enabled(false);
    click(WM_LBUTTONDOWN, WM_LBUTTONUP);
    EXPECT_TRUE(log.take().empty());
}

TEST_F(button_test, EnterActivatesTheFocusedButton)
{
    button.toggle_mode = true;
    window.set_focus_widget(&button, 0);
    send(WM_KEYDOWN, VK_SPACE);
    send(WM_KEYDOWN, VK_RETURN);
    EXPECT_TRUE(button.toggled);
    send(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(log.take(), (lines{"button:38:1", "button:38:0"}));
    EXPECT_TRUE(button.tab_stop);
}

TEST_F(window_test, AClickHandlerMayDestroyTheButtonOrItsWindow)
{
    reported_exceptions reported;
    auto doomed = std::make_unique<generic_button>();
    doomed->attach_to_window(&window.root(), rect{0, 0, 50, 20});
    event_log listener;
    int heard = 0;
    event_manager::instance().connect(doomed.get(), &listener, event_id::activated, [&](const event_info&) {
        ++heard;
        doomed.reset();
    });
    mouse(WM_LBUTTONDOWN, 5, 5);
    mouse(WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(heard, 1);
    EXPECT_EQ(doomed, nullptr);

    auto other = std::make_unique<qzsdk::ui::window>();
    other->create("other", rect{40, 40, 100, 60}, window_style::borderless);
    generic_button* on_other = new generic_button;
    on_other->attach_to_window(&other->root(), rect{0, 0, 50, 20});
    event_manager::instance().connect(on_other, &listener, event_id::activated, [&](const event_info&) {
        ++heard;
        delete on_other;
        other.reset();
    });
    other->set_focus_widget(on_other, 0);
    SendMessageW(other->handle(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(heard, 2);
    EXPECT_EQ(other, nullptr);
    EXPECT_TRUE(reported.messages.empty());
}

TEST_F(button_test, StripFrameFollowsHoverPressAndDisable)
{
    test_strip two(8, 8, numbered_frames(2));
    button.properties.set_image("button_back_image", two.value());
    EXPECT_EQ(shown_frame(), 0);
    hover();
    mouse(WM_LBUTTONDOWN, 20, 20);
    EXPECT_EQ(shown_frame(), 1);  // pressing needs 4 frames
    button.set_enabled(false);
    EXPECT_EQ(shown_frame(), 0);  // so does disabled need 3

    test_strip eight(8, 8, numbered_frames(8));
    button.set_enabled(true);
    button.properties.set_image("button_back_image", eight.value());
    hover();
    mouse(WM_LBUTTONDOWN, 20, 20);
    EXPECT_EQ(shown_frame(), 3);
    button.toggled = true;
    EXPECT_EQ(shown_frame(), 7);
    move_to(200, 150);
    EXPECT_EQ(shown_frame(), 4);
    button.set_enabled(false);
    EXPECT_EQ(shown_frame(), 6);

    test_strip five(8, 8, numbered_frames(5));
    button.set_enabled(true);
    button.properties.set_image("button_back_image", five.value());
    EXPECT_EQ(shown_frame(), 4);
    hover();
    EXPECT_EQ(shown_frame(), 1);
}

TEST_F(button_test, TheStripIsPlacedAtDecodeAndAMalformedOneDrawsSafely)
{
    test_strip two(8, 8, numbered_frames(2));
    button.properties.set_image("button_back_image", two.value());
    EXPECT_EQ(shown_frame(), 0);
    button.set_bounds(rect{10, 10, 60, 20});
    EXPECT_EQ(shown_frame(), 0);  // still at (26, 16)
    button.properties.set_image("button_back_image", two.value());
    EXPECT_EQ(frame_number(window_snapshot(window).pixel(36, 20)), 0);  // now at (36, 16)
    EXPECT_NE(frame_number(window_snapshot(window).pixel(30, 20)), 0);

    // An image wider than the button is centred to the left of its edge, not thrown far right.
    test_strip wide(80, 8, numbered_frames(1));
    button.properties.set_image("button_back_image", wide.value());
    EXPECT_EQ(frame_number(window_snapshot(window).pixel(11, 20)), 0);

    embedded_image no_frames = two.value();
    no_frames.frame_count = 0;
    no_frames.scale = 0.0f;
    button.properties.set_image("button_back_image", no_frames);
    window_snapshot whole_strip(window);  // one 8 x 16 frame at (36, 12)
    EXPECT_EQ(frame_number(whole_strip.pixel(36, 14)), 0);
    EXPECT_EQ(frame_number(whole_strip.pixel(36, 24)), 1);
    embedded_image garbage{reinterpret_cast<const uint8_t*>("not a png"), 9, 2, 1.0f};
    button.properties.set_image("button_back_image", garbage);
    EXPECT_EQ(frame_number(window_snapshot(window).pixel(36, 20)), -1);  // drawn without it
}

TEST_F(button_test, StretchedStripFillsTheButton)
{
    test_strip two(8, 8, numbered_frames(2));
    button.properties.set_image("button_back_image", two.value());
    button.properties.set_string("button_back_image_strech", std::string(1, '\1'));
    hover();
    window_snapshot shot(window);
    EXPECT_EQ(frame_number(shot.pixel(13, 14)), 1);
    EXPECT_EQ(frame_number(shot.pixel(46, 26)), 1);
}

TEST_F(button_test, FaceColoursFollowTheState)
{
    window_snapshot idle(window);
    EXPECT_TRUE(qzsdk::test::looks_like(idle.pixel(15, 15), {0.173f, 0.176f, 0.192f, 1}));
    hover();
    window_snapshot hovered(window);
    EXPECT_TRUE(qzsdk::test::looks_like(hovered.pixel(15, 15), {0.239f, 0.247f, 0.263f, 1}));
    EXPECT_TRUE(qzsdk::test::looks_like(hovered.pixel(10, 20), {1, 1, 1, 1}));  // the hover border
    button.toggled = true;
    EXPECT_TRUE(qzsdk::test::looks_like(window_snapshot(window).pixel(15, 15), {0.188f, 0.29f, 0.506f, 1}));
}
