#include "toolkit/ui/split_panel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "tests/support/window_fixture.h"
#include "tests/support/window_snapshot.h"

using namespace qzsdk::ui;
using qzsdk::test::looks_like;
using qzsdk::test::window_snapshot;
using qzsdk::test::window_test;

namespace {

// A 400 x 100 side-by-side panel at the window's origin, its bar 10 thick.
class split : public window_test {
protected:
    void SetUp() override
    {
        window_test::SetUp();
        panel.attach_to_window(&window.root(), rect{0, 0, 400, 100});
        move_to(250, 150);  // arms leave tracking
    }

    split_panel panel;
};

}  // namespace

TEST_F(split, SetRatioPlacesTheBarAndTheSidesAndReportsTheRatio)
{
    EXPECT_EQ(panel.split_rect(), (rect{195, 0, 10, 100}));
    std::vector<float> seen;
    event_object listener;
    event_manager::instance().connect(&panel, &listener, event_id::value_changed, [&](const event_info& info) {
        seen.push_back(*reinterpret_cast<const float*>(info.param));
    });
    panel.set_ratio(0.25f);
    EXPECT_EQ(panel.first_panel.bounds(), (rect{0, 0, 95, 100}));
    EXPECT_EQ(panel.second_panel.initial_bounds(), (rect{105, 0, 295, 100}));
    EXPECT_EQ(seen, (std::vector<float>{0.25f}));
    panel.set_ratio(7.0f);  // clamped to 1, then the bar kept inside
    EXPECT_EQ(panel.split_rect().x, 390);
    EXPECT_EQ(panel.ratio(), 395.0f / 400.0f);
}

TEST_F(split, DragKeepsTheMinimumsAndReleasesTheCapture)
{
    panel.first_min = panel.second_min = 100;
    mouse_at(WM_LBUTTONDOWN, 198, 50);
    EXPECT_EQ(captured_widget(), &panel);
    EXPECT_EQ(GetCapture(), window.handle());
    mouse_at(WM_MOUSEMOVE, 33, 50);  // the bar would be at 30
    EXPECT_EQ(panel.split_rect().x, 100);
    EXPECT_EQ(panel.ratio(), 105.0f / 400.0f);
    mouse_at(WM_MOUSEMOVE, 393, 50);
    EXPECT_EQ(panel.second_panel.bounds(), (rect{300, 0, 100, 100}));
    mouse_at(WM_LBUTTONUP, 393, 50);
    EXPECT_FALSE(panel.is_dragging());
    EXPECT_EQ(GetCapture(), nullptr);
    mouse_at(WM_MOUSEMOVE, 150, 50);
    EXPECT_EQ(panel.split_rect().x, 290);
}

TEST_F(split, MinimumsThatCannotFitNeverGiveASideANegativeSize)
{
    panel.second_min = 450;
    panel.set_ratio(0.5f);
    EXPECT_EQ(panel.first_panel.bounds().width, 0);
    EXPECT_EQ(panel.second_panel.bounds(), (rect{10, 0, 390, 100}));
    panel.second_min = 0;
    panel.set_bounds(rect{0, 0, 0, 100});
    panel.clamp_split(true);
    EXPECT_TRUE(std::isfinite(panel.ratio()));
    panel.set_bounds(rect{0, 0, 5, 100});  // narrower than the bar
    EXPECT_GE(panel.second_panel.bounds().width, 0);
}

TEST_F(split, ResizingKeepsTheMarkedSideOrTheRatio)
{
    panel.set_ratio(0.25f);
    panel.first_keep_size = true;
    panel.set_bounds(rect{0, 0, 500, 100});
    EXPECT_EQ(panel.first_panel.bounds().width, 95);
    panel.first_keep_size = false;
    panel.second_keep_size = true;
    panel.set_bounds(rect{0, 0, 450, 120});
    EXPECT_EQ(panel.second_panel.bounds(), (rect{55, 0, 395, 120}));
    panel.second_keep_size = false;
    panel.set_ratio(0.5f);
    panel.set_bounds(rect{0, 0, 300, 120});
    EXPECT_EQ(panel.split_rect().x, 145);
}

TEST_F(split, RightPressStacksAndThicknessReappliesTheRatio)
{
    panel.set_ratio(0.25f);
    mouse_at(WM_RBUTTONDOWN, 97, 50);
    EXPECT_EQ(panel.split_rect(), (rect{0, 45, 400, 10}));
    EXPECT_EQ(panel.second_panel.bounds(), (rect{0, 55, 400, 45}));
    mouse_at(WM_RBUTTONDOWN, 200, 50);
    panel.set_ratio(0.25f);
    panel.properties.set_scalar("splitpanel_split_thickness", int32_t(4));
    EXPECT_EQ(panel.split_rect(), (rect{98, 0, 4, 100}));
}

TEST_F(window_test, GenericPanelOutlineSitsInsideItsEdges)
{
    generic_panel panel;
    panel.attach_to_window(&window.root(), rect{10, 10, 40, 30});
    panel.set_back_color({0, 0, 1, 1});
    panel.properties.set_color("default_border_color", {1, 0, 0, 1});
    panel.properties.set_scalar("default_border_width", 2.0f);
    window_snapshot shot(window);
    for (int32_t x : {10, 11, 48, 49})
        EXPECT_TRUE(looks_like(shot.pixel(x, 25), {1, 0, 0, 1})) << x;
    EXPECT_TRUE(looks_like(shot.pixel(12, 37), {0, 0, 1, 1}));
    EXPECT_EQ(shot.pixel(50, 25).a, 0);
}
