#include "toolkit/ui/split_panel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "tests/support/window_fixture.h"
#include "tests/support/window_snapshot.h"

using namespace qzsdk::ui;
using qzsdk::test::event_log;
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
        log.listen(&panel, "split", {event_id::value_changed});
    }

    split_panel panel;
    event_log log;
};

}  // namespace

TEST_F(split, AttachCentresTheBarAndSetRatioPlacesTheSides)
{
    EXPECT_EQ(panel.split_rect(), (rect{195, 0, 10, 100}));
    EXPECT_EQ(panel.first_panel.parent(), &panel);
    EXPECT_EQ(panel.second_side, &panel.second_panel);
    log.take();
    float seen = 0;
    event_log reader;
    event_manager::instance().connect(&panel, &reader, event_id::value_changed,
                                      [&](const event_info& info) { seen = *reinterpret_cast<const float*>(info.param); });
    panel.set_ratio(0.25f);
    EXPECT_EQ(panel.split_rect().x, 95);
    EXPECT_EQ(panel.first_panel.bounds(), (rect{0, 0, 95, 100}));
    EXPECT_EQ(panel.second_panel.bounds(), (rect{105, 0, 295, 100}));
    EXPECT_EQ(panel.second_panel.initial_bounds(), (rect{105, 0, 295, 100}));
    EXPECT_EQ(log.take().size(), 1u);
    EXPECT_EQ(seen, 0.25f);
    panel.set_ratio(7.0f);
    EXPECT_EQ(panel.split_rect().x, 390);
    EXPECT_EQ(panel.ratio(), 395.0f / 400.0f);
}

TEST_F(split, DragKeepsTheMinimumsAndReleasesTheCapture)
{
    panel.first_min = 100;
    panel.second_min = 100;
    move_to(198, 50);  // arms leave tracking
    mouse_at(WM_LBUTTONDOWN, 198, 50);
    EXPECT_TRUE(panel.is_dragging());
    EXPECT_EQ(captured_widget(), &panel);
    EXPECT_EQ(GetCapture(), window.handle());
    mouse_at(WM_MOUSEMOVE, 33, 50);  // the bar would be at 30
    EXPECT_EQ(panel.split_rect().x, 100);
    EXPECT_EQ(panel.ratio(), 105.0f / 400.0f);
    mouse_at(WM_MOUSEMOVE, 393, 50);
    EXPECT_EQ(panel.split_rect().x, 290);
    EXPECT_EQ(panel.second_panel.bounds(), (rect{300, 0, 100, 100}));
    mouse_at(WM_LBUTTONUP, 393, 50);
    EXPECT_FALSE(panel.is_dragging());
    EXPECT_EQ(captured_widget(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    // Without a drag, moves change nothing.
    mouse_at(WM_MOUSEMOVE, 150, 50);
    mouse_at(WM_MOUSEMOVE, 151, 50);
    EXPECT_EQ(panel.split_rect().x, 290);
}

TEST_F(split, MinimumsThatCannotFitNeverGiveASideANegativeSize)
{
    panel.second_min = 450;
    panel.set_ratio(0.5f);
    EXPECT_EQ(panel.split_rect().x, 0);
    EXPECT_EQ(panel.first_panel.bounds().width, 0);
    EXPECT_EQ(panel.second_panel.bounds(), (rect{10, 0, 390, 100}));
    // No extent at all: the ratio stays a number.
    panel.second_min = 0;
    panel.set_bounds(rect{0, 0, 0, 100});
    panel.clamp_split(true);
    EXPECT_TRUE(std::isfinite(panel.ratio()));
    EXPECT_GE(panel.second_panel.bounds().width, 0);
    panel.set_bounds(rect{0, 0, 5, 100});  // narrower than the bar
    EXPECT_GE(panel.second_panel.bounds().width, 0);
    EXPECT_GE(panel.first_panel.bounds().width, 0);
}

TEST_F(split, ResizingKeepsTheMarkedSideOrTheRatio)
{
    panel.set_ratio(0.25f);
    panel.first_keep_size = true;
    panel.set_bounds(rect{0, 0, 500, 100});
    EXPECT_EQ(panel.first_panel.bounds().width, 95);
    EXPECT_EQ(panel.ratio(), 100.0f / 500.0f);
    panel.first_keep_size = false;
    panel.second_keep_size = true;
    panel.set_bounds(rect{0, 0, 450, 120});
    EXPECT_EQ(panel.second_panel.bounds(), (rect{55, 0, 395, 120}));
    EXPECT_EQ(panel.split_rect().height, 120);
    panel.second_keep_size = false;
    panel.set_ratio(0.5f);
    panel.set_bounds(rect{0, 0, 300, 120});
    EXPECT_EQ(panel.split_rect().x, 145);
    EXPECT_EQ(panel.ratio(), 0.5f);
}

TEST_F(split, RightPressStacksWithTheBarCentredAndThicknessReappliesTheRatio)
{
    panel.set_ratio(0.25f);
    mouse_at(WM_RBUTTONDOWN, 97, 50);
    EXPECT_EQ(panel.orientation, 0u);
    EXPECT_EQ(panel.split_rect(), (rect{0, 45, 400, 10}));
    EXPECT_EQ(panel.first_panel.bounds(), (rect{0, 0, 400, 45}));
    EXPECT_EQ(panel.second_panel.bounds(), (rect{0, 55, 400, 45}));
    EXPECT_FALSE(panel.is_dragging());
    mouse_at(WM_RBUTTONDOWN, 200, 50);
    EXPECT_EQ(panel.orientation, 1u);
    panel.set_ratio(0.25f);
    panel.properties.set_scalar("splitpanel_split_thickness", int32_t(4));
    EXPECT_EQ(panel.split_rect(), (rect{98, 0, 4, 100}));
    EXPECT_EQ(panel.second_panel.bounds().x, 102);
}

TEST_F(split, TheGripIsOpaqueWhileHovered)
{
    panel.set_ratio(0.25f);  // bar at 95: the grip on column 100, rows 30 to 70
    const color bar{0, 0, 0, 1};
    EXPECT_TRUE(looks_like(window_snapshot(window).pixel(97, 10), bar));
    EXPECT_EQ(window_snapshot(window).pixel(100, 50).r, 128);
    move_to(97, 10);
    move_to(97, 11);
    EXPECT_TRUE(panel.is_hovered());
    window_snapshot hovered(window);
    EXPECT_EQ(hovered.pixel(100, 50).r, 255);
    EXPECT_TRUE(looks_like(hovered.pixel(95, 10), {0.314f, 0.314f, 0.322f, 1}));
    EXPECT_TRUE(looks_like(hovered.pixel(104, 10), {0.314f, 0.314f, 0.322f, 1}));
    EXPECT_TRUE(looks_like(hovered.pixel(50, 50), {1, 0, 1, 1}));  // the side copied the panel's back colour
    move_to(300, 50);
    EXPECT_FALSE(panel.is_hovered());
    EXPECT_EQ(window_snapshot(window).pixel(100, 50).r, 128);
}

TEST_F(window_test, ASplitDragEndsWithItsPanelOrWhenThePanelIsDisabled)
{
    auto panel = std::make_unique<split_panel>();
    panel->attach_to_window(&window.root(), rect{0, 0, 300, 100});
    mouse_at(WM_LBUTTONDOWN, 150, 50);
    ASSERT_EQ(captured_widget(), panel.get());
    panel->set_enabled(false);
    EXPECT_FALSE(panel->is_dragging());
    EXPECT_EQ(captured_widget(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);

    panel->set_enabled(true);
    mouse_at(WM_LBUTTONDOWN, 150, 50);
    ASSERT_EQ(GetCapture(), window.handle());
    panel.reset();
    EXPECT_EQ(captured_widget(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    mouse_at(WM_MOUSEMOVE, 20, 50);
    mouse_at(WM_LBUTTONUP, 20, 50);
}

TEST_F(window_test, GenericPanelOutlineSitsInsideItsEdges)
{
    generic_panel panel;
    panel.attach_to_window(&window.root(), rect{10, 10, 40, 30});
    panel.set_back_color({0, 0, 1, 1});
    panel.properties.set_color("default_border_color", {1, 0, 0, 1});
    panel.properties.set_scalar("default_border_width", 2.0f);
    window_snapshot shot(window);
    const color red{1, 0, 0, 1}, blue{0, 0, 1, 1};
    for (int32_t x : {10, 11, 48, 49})
        EXPECT_TRUE(looks_like(shot.pixel(x, 25), red)) << x;
    for (int32_t y : {10, 11, 38, 39})
        EXPECT_TRUE(looks_like(shot.pixel(30, y), red)) << y;
    EXPECT_TRUE(looks_like(shot.pixel(12, 25), blue));
    EXPECT_TRUE(looks_like(shot.pixel(47, 37), blue));
    EXPECT_EQ(shot.pixel(50, 25).a, 0);
    EXPECT_EQ(shot.pixel(9, 25).a, 0);
}
