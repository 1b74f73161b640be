#include "toolkit/ui/image_panel.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/wic_canvas.h"
#include "tests/support/window_fixture.h"
#include "tests/toolkit/ui/image_panel_test_api.h"
#include "toolkit/ui/event_manager.h"

using namespace qzsdk::ui;
using qzsdk::test::shows_color;
using qzsdk::test::window_test;

namespace {

// A 400 x 400 panel showing a 1000 x 500 picture (fit scale 0.4), in a window large enough to hold it.
class image_panels : public window_test {
protected:
    void SetUp() override
    {
        window_test::SetUp();
        SetWindowPos(window.handle(), nullptr, 0, 0, 500, 500, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        panel.attach_to_window(&window.root(), rect{0, 0, 400, 400});
        event_manager::instance().connect(&panel, &listener, event_id::value_changed, [this](const event_info& info) {
            EXPECT_EQ(info.phase, 2u);
            announced.push_back(*reinterpret_cast<const image_view_state*>(info.param));
        });
        ASSERT_TRUE(panel.image->create_blank(1000, 500, 0));
        panel.image_width = 1000;
        panel.image_height = 500;
        panel.update_view();
    }

    // The panel reads the real cursor, as the window does.
    void wheel(int x, int y, short delta)
    {
        place_cursor(x, y);
        POINT screen{x, y};
        ClientToScreen(window.handle(), &screen);
        send(WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(screen.x, screen.y));
    }

    void drag_move(int x, int y)
    {
        place_cursor(x, y);
        mouse(WM_MOUSEMOVE, x, y, MK_LBUTTON);
    }

    image_panel panel;
    event_object listener;
    std::vector<image_view_state> announced;
};

}  // namespace

TEST_F(image_panels, PictureFitsAndCentres)
{
    EXPECT_FLOAT_EQ(panel.zoom, 0.4f);
    EXPECT_EQ(image_panel_test_api::shown(panel), (rect{0, 100, 400, 200}));
    // The zoom never falls below the fit scale.
    panel.zoom = 0.1f;
    panel.update_view();
    EXPECT_FLOAT_EQ(panel.zoom, 0.4f);
    // A larger panel raises it.
    panel.set_bounds(rect{0, 0, 450, 450});
    EXPECT_FLOAT_EQ(panel.zoom, 0.45f);
    EXPECT_EQ(image_panel_test_api::shown(panel), (rect{0, 112, 450, 225}));
}

TEST_F(image_panels, WheelZoomsAboutTheCursor)
{
    move_to(200, 200);
    move_to(200, 200);
    wheel(200, 200, 120);
    EXPECT_NEAR(panel.zoom, 0.44f, 1e-5);
    EXPECT_EQ(image_panel_test_api::shown(panel), (rect{-20, 90, 440, 220}));
    ASSERT_EQ(announced.size(), 1u);
    EXPECT_NEAR(announced[0].zoom, 0.44f, 1e-5);
    EXPECT_EQ(announced[0].pan_x, 0.0f);

    // Off centre: the point under the cursor stays where it was.
    wheel(300, 200, 120);
    EXPECT_NEAR(panel.zoom, 0.484f, 1e-5);
    // 100 right of the centre before the step, 110 after: the picture moves 10 left.
    EXPECT_EQ(panel.pan_x, -10);
    EXPECT_EQ(image_panel_test_api::shown(panel), (rect{-52, 79, 484, 242}));

    // Back down to the fit scale, centred again.
    for (int i = 0; i < 4; ++i)
        wheel(300, 200, -120);
    EXPECT_FLOAT_EQ(panel.zoom, 0.4f);
    EXPECT_EQ(image_panel_test_api::shown(panel), (rect{0, 100, 400, 200}));
    EXPECT_EQ(panel.pan_x, 0);
    EXPECT_EQ(announced.size(), 6u);
}

TEST_F(image_panels, DragPansAndSnapsToTheEdges)
{
    panel.zoom = 0.8f;  // 800 x 400: wider than the panel, exactly as high
    panel.update_view();
    EXPECT_EQ(image_panel_test_api::shown(panel), (rect{-200, 0, 800, 400}));

    move_to(250, 200);  // arms leave tracking
    place_cursor(250, 200);
    mouse(WM_LBUTTONDOWN, 250, 200);
    EXPECT_TRUE(image_panel_test_api::dragging(panel));
    EXPECT_EQ(captured_widget(), &panel);
    EXPECT_EQ(GetCapture(), window.handle());

    drag_move(300, 230);
    EXPECT_EQ(image_panel_test_api::shown(panel), (rect{-150, 0, 800, 400}));
    EXPECT_EQ(panel.pan_x, 50);
    EXPECT_EQ(panel.pan_y, 0);  // no room to move across
    // Far right: the left edge would leave the panel's left edge; it snaps back to 0.
    drag_move(480, 200);
    EXPECT_EQ(image_panel_test_api::shown(panel), (rect{0, 0, 800, 400}));
    EXPECT_EQ(panel.pan_x, 200);
    drag_move(20, 200);
    EXPECT_EQ(image_panel_test_api::shown(panel), (rect{-400, 0, 800, 400}));
    EXPECT_EQ(panel.pan_x, -200);
    EXPECT_EQ(announced.size(), 3u);
    EXPECT_EQ(announced.back().pan_x, -200.0f);

    mouse(WM_LBUTTONUP, 20, 200);
    EXPECT_FALSE(image_panel_test_api::dragging(panel));
    EXPECT_EQ(captured_widget(), nullptr);
    EXPECT_NE(GetCapture(), window.handle());
    drag_move(100, 200);
    EXPECT_EQ(announced.size(), 3u);
}

TEST_F(image_panels, PictureOfNoSizeOrNotDecodedLeavesTheViewAlone)
{
    image_panel empty;
    empty.attach_to_window(&window.root(), rect{0, 0, 100, 100});
    empty.update_view();
    EXPECT_EQ(empty.zoom, 0.0f);

    ASSERT_TRUE(empty.image->create_blank(10, 10, 0));
    empty.image_width = 0;
    empty.image_height = 10;
    empty.update_view();
    EXPECT_EQ(empty.zoom, 0.0f);
    EXPECT_EQ(image_panel_test_api::shown(empty), rect{});
    empty.set_bounds(rect{0, 0, 50, 50});
    EXPECT_EQ(empty.zoom, 0.0f);
}

TEST_F(image_panels, WheelStepsThatCannotBeShownAreRefused)
{
    move_to(200, 200);
    move_to(200, 200);
    panel.zoom_step = 0;  // a step down would divide by zero
    wheel(200, 200, -120);
    EXPECT_FLOAT_EQ(panel.zoom, 0.4f);
    EXPECT_TRUE(announced.empty());

    panel.zoom_step = 2;
    for (int i = 0; i < 200; ++i)
        wheel(200, 200, 120);
    EXPECT_GT(image_panel_test_api::shown(panel).width, 1000000);
    EXPECT_LE(image_panel_test_api::shown(panel).width, 1 << 24);
    EXPECT_LT(announced.size(), 200u);
}
