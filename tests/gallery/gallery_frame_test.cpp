// The gallery window's frame under real input: the split between list and preview, moving by the title strip,
// maximising and swapping the sides.
#include "tests/gallery/gallery_window_fixture.h"
#include "tests/support/real_mouse.h"
#include "tests/support/window_snapshot.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace qzsdk::ui;
using namespace gallery_test;
using namespace qzsdk::test;

namespace {

class gallery_frame : public gallery_window {
protected:
    // A client point on the split bar, a quarter down it.
    POINT on_bar()
    {
        const point origin = api().split().window_position();
        const rect& bar = api().split().split_rect();
        return POINT{origin.x + bar.x + bar.width / 2, origin.y + bar.y + bar.height / 4};
    }
    int32_t list_width() { return api().split().first_panel.bounds().width; }
    void resize_by(int dx, int dy)
    {
        RECT frame{};
        GetWindowRect(gallery->handle(), &frame);
        SetWindowPos(gallery->handle(), nullptr, 0, 0, frame.right - frame.left + dx, frame.bottom - frame.top + dy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        pump_messages();
    }
    RECT frame()
    {
        RECT now{};
        GetWindowRect(gallery->handle(), &now);
        return now;
    }
    const void* maximise_icon() { return api().maximise_button().properties.get_image("button_back_image").data; }
};

bool same_rect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

TEST_F(gallery_frame, SplitKeepsBothMinimumsAndTheListItsWidthThroughResizesAndSwaps)
{
    add_images(200);
    show_in_front();

    // Dragged to the window's left edge, the list stays 100 wide and its thumbnails keep a real size, so only
    // the pictures near the view are made.
    const POINT bar = on_bar();
    real_drag(on_screen(bar), on_screen(POINT{0, bar.y}));
    EXPECT_EQ(list_width(), 100);
    std::vector<GalleryThumbnail*> column = api().column();
    ASSERT_EQ(column.size(), 204u);
    EXPECT_EQ(column.back()->bounds().width, 81);
    EXPECT_EQ(column.back()->bounds().height, 45);
    api().settle();
    const auto pictured = std::count_if(column.begin(), column.end(), [](GalleryThumbnail* t) { return bool(t->picture); });
    EXPECT_LE(pictured, 40);

    // Dragged to the right edge, the preview keeps its 100.
    const int32_t split_width = api().split().bounds().width;
    real_drag(on_screen(on_bar()), on_screen(POINT{gallery->get_client_rect().width, bar.y}));
    EXPECT_EQ(api().split().second_panel.bounds().width, 100);
    EXPECT_EQ(list_width(), split_width - 100 - 3);

    // The list keeps its width when the window grows or shrinks; the preview takes the change.
    real_drag(on_screen(on_bar()), on_screen(POINT{300, bar.y}));
    const int32_t kept = list_width();
    resize_by(200, 50);
    EXPECT_EQ(list_width(), kept);
    resize_by(-150, 0);
    EXPECT_EQ(list_width(), kept);

    // Swapped, the list stands on the right and still keeps its width.
    real_click(on_screen(api().swap_button()));
    EXPECT_GT(api().list_panel().window_position().x, api().preview().window_position().x);
    const int32_t swapped = list_width();
    EXPECT_NEAR(swapped, kept, 2);
    resize_by(120, 0);
    EXPECT_EQ(list_width(), swapped);
    EXPECT_EQ(api().column().front()->bounds().width, swapped - 19);
    real_click(on_screen(api().swap_button()));
    EXPECT_LT(api().list_panel().window_position().x, api().preview().window_position().x);
}

TEST_F(gallery_frame, SplitBarEdgesTakeTheThemesBorderColour)
{
    themes[1].gallery_split_border_color = color{1, 0, 0, 1};
    show(1);
    const point origin = api().split().window_position();
    const rect& bar = api().split().split_rect();
    const int32_t y = origin.y + 30;
    window_snapshot shot(*gallery);
    EXPECT_TRUE(looks_like(shot.pixel(origin.x + bar.x, y), themes[1].gallery_split_border_color));
    EXPECT_TRUE(looks_like(shot.pixel(origin.x + bar.x + bar.width - 1, y), themes[1].gallery_split_border_color));
    EXPECT_TRUE(looks_like(shot.pixel(origin.x + bar.x + 1, y), themes[1].gallery_split_back_color));
}

TEST_F(gallery_frame, TitleStripMovesTheWindowAndMaximisesItButTheRestDoesNot)
{
    show_in_front();
    const RECT start = frame();
    real_drag(on_screen(POINT{400, 20}), on_screen(POINT{440, 50}));
    const RECT moved = frame();
    EXPECT_EQ(moved.left - start.left, 40);
    EXPECT_EQ(moved.top - start.top, 30);
    EXPECT_EQ(moved.right - moved.left, start.right - start.left);

    // Below the strip a drag or a double click reaches the panes, never the frame.
    real_drag(on_screen(POINT{600, 300}), on_screen(POINT{640, 330}));
    real_double_click(on_screen(POINT{600, 300}));
    EXPECT_TRUE(same_rect(frame(), moved));
    EXPECT_FALSE(gallery->holder().maximized);

    real_double_click(on_screen(POINT{400, 20}));
    ASSERT_TRUE(pump_until([&] { return bool(IsZoomed(gallery->handle())); }));
    EXPECT_TRUE(gallery->holder().maximized);
    EXPECT_EQ(maximise_icon(), themes[0].restore_image.data);
    const RECT maximised = frame();
    EXPECT_GT(maximised.right - maximised.left, moved.right - moved.left);
    // The strip of a maximised window does not move it; the layout follows the new size.
    real_drag(on_screen(POINT{400, 20}), on_screen(POINT{450, 60}));
    EXPECT_TRUE(same_rect(frame(), maximised));
    EXPECT_EQ(api().split().bounds().width, gallery->get_client_rect().width - 16);

    real_double_click(on_screen(POINT{400, 20}));
    ASSERT_TRUE(pump_until([&] { return !IsZoomed(gallery->handle()); }));
    EXPECT_TRUE(same_rect(frame(), moved));
    EXPECT_EQ(maximise_icon(), themes[0].maximise_image.data);

    // The caption button does the same.
    real_click(on_screen(api().maximise_button()));
    ASSERT_TRUE(pump_until([&] { return bool(IsZoomed(gallery->handle())); }));
    EXPECT_EQ(maximise_icon(), themes[0].restore_image.data);
    real_click(on_screen(api().maximise_button()));
    ASSERT_TRUE(pump_until([&] { return !IsZoomed(gallery->handle()); }));
    EXPECT_TRUE(same_rect(frame(), moved));
}
