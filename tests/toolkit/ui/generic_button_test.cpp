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
using qzsdk::test::test_strip;
using qzsdk::test::window_snapshot;
using qzsdk::test::window_test;

namespace {

using lines = std::vector<std::string>;

// A 40 x 20 button at (10, 10); the 8 x 8 frames of its strips land at (26, 16).
class button_test : public window_test {
protected:
    void SetUp() override
    {
        window_test::SetUp();
        button.attach_to_window(&window.root(), rect{10, 10, 40, 20});
        log.listen(&button, "button", {event_id::activated});
        move_to(200, 150);  // arms leave tracking
    }

    void click(UINT down, UINT up)
    {
        mouse(down, 20, 20);
        mouse(up, 20, 20);
    }
    void strip(const test_strip& value) { button.properties.set_image("button_back_image", value.value()); }
    int shown_frame(int32_t x = 30, int32_t y = 20) { return frame_number(window_snapshot(window).pixel(x, y)); }

    generic_button button;
    event_log log;
};

}  // namespace

TEST_F(button_test, OnlyALeftClickThatBeganOnTheButtonActivatesIt)
{
    move_to(20, 20);
    mouse(WM_LBUTTONDOWN, 20, 20);
    EXPECT_TRUE(button.is_pressed());
    mouse(WM_LBUTTONUP, 20, 20);
    EXPECT_FALSE(button.is_pressed());
    button.toggle_mode = true;
    click(WM_LBUTTONDOWN, WM_LBUTTONUP);
    EXPECT_EQ(log.take(), (lines{"button:38:0", "button:38:1"}));
    EXPECT_TRUE(button.toggled);

    click(WM_RBUTTONDOWN, WM_RBUTTONUP);
    EXPECT_TRUE(button.is_pressed());  // until leave or a focus change
    window.set_focus_widget(&window.root(), 0);
    EXPECT_FALSE(button.is_pressed());
    mouse(WM_LBUTTONDOWN, 200, 150);  // a press elsewhere released over the button
    mouse(WM_LBUTTONUP, 20, 20);
    mouse(WM_LBUTTONDOWN, 20, 20);  // a press that left the button before its release
    move_to(200, 150);
    move_to(20, 20);
    mouse(WM_LBUTTONUP, 20, 20);
    EXPECT_TRUE(log.take().empty());

    window.set_focus_widget(&button, 0);
    send(WM_KEYDOWN, VK_SPACE);
    send(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(log.take(), (lines{"button:38:0"}));
    EXPECT_FALSE(button.toggled);
}

TEST_F(window_test, AClickHandlerMayDestroyTheButtonOrItsWindow)
{
    qzsdk::test::reported_exceptions reported;
    event_object listener;
    auto doomed = std::make_unique<generic_button>();
    doomed->attach_to_window(&window.root(), rect{0, 0, 50, 20});
    event_manager::instance().connect(doomed.get(), &listener, event_id::activated,
                                      [&](const event_info&) { doomed.reset(); });
    mouse(WM_LBUTTONDOWN, 5, 5);
    mouse(WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(doomed, nullptr);

    auto other = std::make_unique<qzsdk::ui::window>();
    other->create("other", rect{40, 40, 100, 60}, window_style::borderless);
    auto* on_other = new generic_button;
    on_other->attach_to_window(&other->root(), rect{0, 0, 50, 20});
    event_manager::instance().connect(on_other, &listener, event_id::activated, [&](const event_info&) {
        delete on_other;
        other.reset();
    });
    other->set_focus_widget(on_other, 0);
    SendMessageW(other->handle(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(other, nullptr);
    EXPECT_TRUE(reported.messages.empty());
}

TEST_F(button_test, TheStripFrameFollowsTheState)
{
    test_strip two(8, 8, numbered_frames(2)), five(8, 8, numbered_frames(5)), eight(8, 8, numbered_frames(8));
    strip(two);
    move_to(20, 20);
    mouse(WM_LBUTTONDOWN, 20, 20);
    EXPECT_EQ(shown_frame(), 1);  // pressing needs 4 frames
    button.set_enabled(false);
    EXPECT_EQ(shown_frame(), 0);  // disabled needs 3

    button.set_enabled(true);
    strip(eight);
    move_to(20, 20);
    mouse(WM_LBUTTONDOWN, 20, 20);
    EXPECT_EQ(shown_frame(), 3);
    button.toggled = true;
    EXPECT_EQ(shown_frame(), 7);
    move_to(200, 150);
    EXPECT_EQ(shown_frame(), 4);
    button.set_enabled(false);
    EXPECT_EQ(shown_frame(), 6);

    button.set_enabled(true);
    strip(five);
    EXPECT_EQ(shown_frame(), 4);
    move_to(20, 20);
    EXPECT_EQ(shown_frame(), 1);
}

TEST_F(button_test, TheStripIsPlacedWhenDecodedAndMalformedOnesDrawSafely)
{
    test_strip two(8, 8, numbered_frames(2)), wide(80, 8, numbered_frames(1));
    strip(two);
    EXPECT_EQ(shown_frame(), 0);
    button.set_bounds(rect{10, 10, 60, 20});
    EXPECT_EQ(shown_frame(), 0);  // resizing kept it at (26, 16)
    strip(two);
    EXPECT_EQ(shown_frame(36, 20), 0);  // decoded again: (36, 16)
    strip(wide);  // wider than the button: centred across its left edge, not thrown far right
    EXPECT_EQ(shown_frame(11, 20), 0);

    embedded_image no_frames = two.value();
    no_frames.frame_count = 0;
    no_frames.scale = 0.0f;
    button.properties.set_image("button_back_image", no_frames);
    EXPECT_EQ(shown_frame(36, 14), 0);  // one 8 x 16 frame
    EXPECT_EQ(shown_frame(36, 24), 1);
    button.properties.set_image("button_back_image", {reinterpret_cast<const uint8_t*>("not a png"), 9, 2, 1.0f});
    EXPECT_EQ(shown_frame(36, 20), -1);
}
