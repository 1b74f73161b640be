#include "toolkit/ui/drag_capture.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <tuple>

#include "tests/support/window_fixture.h"
#include "toolkit/ui/image_panel.h"
#include "toolkit/ui/scroll_bar.h"
#include "toolkit/ui/split_panel.h"

using namespace qzsdk::ui;
using qzsdk::test::window_test;

namespace {

// A widget that drags, made inside a 200 x 200 holder at the window's origin: where a press starts
// its drag and what the drag moves.
struct dragging_widget {
    std::unique_ptr<widget> made;
    std::unique_ptr<widget> scrolled;
    point press;
    std::function<int32_t()> dragged_value;
};

dragging_widget split_bar(widget& holder)
{
    auto panel = std::make_unique<split_panel>();
    panel->attach_to_window(&holder, rect{0, 0, 200, 100});
    split_panel* p = panel.get();
    return {std::move(panel), nullptr, point{100, 50}, [p] { return p->split_rect().x; }};
}

dragging_widget scroll_thumb(widget& holder)
{
    auto content = std::make_unique<widget>();
    content->attach_to_window(&holder, rect{0, 0, 100, 400});
    auto bar = std::make_unique<scroll_bar>();
    bar->attach_to_window(&holder, rect{180, 0, 16, 200});
    bar->set_target(content.get());
    scroll_bar* b = bar.get();
    return {std::move(bar), std::move(content), point{188, 10}, [b] { return b->position(); }};
}

dragging_widget image_pan(widget& holder)
{
    auto panel = std::make_unique<image_panel>();
    panel->attach_to_window(&holder, rect{0, 0, 200, 200});
    panel->image->create_blank(1000, 1000, 0);
    panel->image_width = panel->image_height = 1000;
    panel->zoom = 1;
    panel->update_view();
    image_panel* p = panel.get();
    return {std::move(panel), nullptr, point{100, 100}, [p] { return p->pan_x; }};
}

enum class loss { cancel_mode, other_window_took_it, hidden, holder_hidden, holder_disabled, destroyed };

class capture_loss : public window_test,
                     public ::testing::WithParamInterface<std::tuple<dragging_widget (*)(widget&), loss>> {};

}  // namespace

// Whatever takes the capture away, the drag ends: no toolkit capture, no native capture, and moves of a
// mouse no longer held change nothing.
TEST_P(capture_loss, EndsTheDragAndGivesTheNativeCaptureBack)
{
    auto [make, cause] = GetParam();
    SetWindowPos(window.handle(), nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    widget holder;
    holder.attach_to_window(&window.root(), rect{0, 0, 200, 200});
    dragging_widget dragging = make(holder);
    move_to(300, 250);
    mouse_at(WM_LBUTTONDOWN, dragging.press.x, dragging.press.y);
    ASSERT_EQ(captured_widget(), dragging.made.get());
    ASSERT_EQ(GetCapture(), window.handle());

    qzsdk::ui::window other;
    switch (cause) {
    case loss::cancel_mode:
        send(WM_CANCELMODE);
        break;
    case loss::other_window_took_it:
        other.create("other", rect{0, 0, 50, 50}, 0);
        SetCapture(other.handle());
        break;
    case loss::hidden:
        dragging.made->set_visible(false);
        break;
    case loss::holder_hidden:
        holder.set_visible(false);
        break;
    case loss::holder_disabled:
        holder.set_enabled(false);
        break;
    case loss::destroyed:
        dragging.made.reset();
        break;
    }
    EXPECT_EQ(captured_widget(), nullptr);
    EXPECT_NE(GetCapture(), window.handle());
    ReleaseCapture();
    holder.set_visible(true);
    holder.set_enabled(true);
    if (dragging.made) {
        dragging.made->set_visible(true);
        const int32_t before = dragging.dragged_value();
        mouse_at(WM_MOUSEMOVE, dragging.press.x - 60, dragging.press.y + 60);
        EXPECT_EQ(dragging.dragged_value(), before);
    }
    mouse_at(WM_MOUSEMOVE, 20, 20);
    mouse_at(WM_LBUTTONUP, 20, 20);
}

INSTANTIATE_TEST_SUITE_P(EveryDrag, capture_loss,
                         ::testing::Combine(::testing::Values(&split_bar, &scroll_thumb, &image_pan),
                                            ::testing::Values(loss::cancel_mode, loss::other_window_took_it,
                                                              loss::hidden, loss::holder_hidden,
                                                              loss::holder_disabled, loss::destroyed)));

TEST_F(window_test, ACaptureTakenByAnotherWidgetEndsTheFirstDrag)
{
    split_panel panel;
    panel.attach_to_window(&window.root(), rect{0, 0, 200, 100});
    widget other;
    other.attach_to_window(&window.root(), rect{0, 100, 50, 50});
    mouse_at(WM_LBUTTONDOWN, 100, 50);
    set_captured_widget(&other);
    EXPECT_FALSE(panel.is_dragging());
    set_captured_widget(nullptr);
}
