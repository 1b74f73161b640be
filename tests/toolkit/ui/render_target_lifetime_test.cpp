// A window holds a render target only while it is shown: none before its first paint, none once hidden, and
// one made again (with its brushes and image bitmaps) when it is shown again.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "tests/support/window_fixture.h"
#include "tests/toolkit/ui/renderer_test_api.h"
#include "tests/toolkit/ui/tooltip_test_api.h"
#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/image.h"

using namespace qzsdk::ui;
using qzsdk::test::shows_color;
using qzsdk::test::window_test;

namespace {

// The root is filled with `back`; a 20 x 20 picture of `picture_color` is drawn at (40, 40).
class render_target_lifetime : public window_test {
protected:
    void SetUp() override
    {
        window_test::SetUp();
        ASSERT_TRUE(picture.create_blank(20, 20, 0));
        fill_picture(color{0, 0, 1, 1});
        event_manager::instance().connect(&window.root(), &window.root(), event_id::paint,
                                          [this](const event_info&) { on_paint(); });
    }

    void on_paint()
    {
        renderer* r = window.renderer();
        r->set_fill_color(back);
        r->fill_rect(window.root().bounds());
        r->draw_image(point{40, 40}, picture);
        if (hide_while_painting)
            ShowWindow(window.handle(), SW_HIDE);
    }

    void fill_picture(const color& value)
    {
        image::pixel_data pixels;
        picture.lock_pixels(pixels);
        for (uint32_t y = 0; y < 20; ++y)
            for (uint32_t x = 0; x < 20; ++x) {
                uint8_t* p = pixels.pixels + y * pixels.stride + x * 4;
                p[0] = uint8_t(value.b * 255);
                p[1] = uint8_t(value.g * 255);
                p[2] = uint8_t(value.r * 255);
                p[3] = 255;
            }
        picture.unlock_pixels();
    }

    bool holds_target() const { return window.renderer()->holds_target(); }

    color back{1, 0, 0, 1};
    image picture;
    bool hide_while_painting = false;
};

}  // namespace

TEST_F(render_target_lifetime, NeverShownWindowHoldsNoTarget)
{
    window.root().invalidate(false);
    qzsdk::test::pump_messages();
    EXPECT_FALSE(holds_target());
}

TEST_F(render_target_lifetime, HiddenWindowReleasesItsTargetAndPaintsAgainWhenReshown)
{
    window.set_visible(true);
    ASSERT_TRUE(shows_color(window.handle(), 5, 5, 255, 0, 0));
    EXPECT_TRUE(shows_color(window.handle(), 45, 45, 0, 0, 255));
    EXPECT_TRUE(holds_target());

    window.set_visible(false);
    EXPECT_FALSE(holds_target());

    // Changed while hidden: the new target, brushes and bitmap must all carry the new state.
    back = color{0, 1, 0, 1};
    fill_picture(color{1, 1, 0, 1});
    window.set_visible(true);
    EXPECT_TRUE(shows_color(window.handle(), 5, 5, 0, 255, 0));
    EXPECT_TRUE(shows_color(window.handle(), 45, 45, 255, 255, 0));
    EXPECT_TRUE(holds_target());
}

TEST_F(render_target_lifetime, HiddenByWin32ItselfReleasesToo)
{
    window.set_visible(true);
    ASSERT_TRUE(shows_color(window.handle(), 5, 5, 255, 0, 0));
    ASSERT_TRUE(holds_target());
    SetWindowPos(window.handle(), nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_FALSE(holds_target());
}

// Hiding from inside a paint handler must not pull the target out from under the pass.
TEST_F(render_target_lifetime, HiddenDuringItsOwnPaintReleasesAfterThePass)
{
    window.set_visible(true);
    ASSERT_TRUE(shows_color(window.handle(), 5, 5, 255, 0, 0));
    hide_while_painting = true;
    window.root().invalidate(false);
    ASSERT_TRUE(qzsdk::test::pump_until([&] { return !IsWindowVisible(window.handle()); }));
    EXPECT_FALSE(window.renderer()->is_drawing());
    EXPECT_FALSE(holds_target());

    hide_while_painting = false;
    window.set_visible(true);
    EXPECT_TRUE(shows_color(window.handle(), 45, 45, 0, 0, 255));
}

// A window whose target cannot be made would stay blank: the failure is told as a handler's is, and the
// next paint tries again.
TEST_F(render_target_lifetime, ATargetThatCannotBeMadeIsToldAndMadeAtALaterPaint)
{
    qzsdk::test::reported_exceptions reported;
    HWND gone = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(gone, nullptr);
    DestroyWindow(gone);
    HWND own = renderer_test_api::exchange_handle(*window.renderer(), gone);
    window.set_visible(true);
    ASSERT_TRUE(qzsdk::test::pump_until([&] { return !reported.messages.empty(); }))
        << "the failed render target was not told";
    EXPECT_EQ(reported.messages.front(), "unable to create a d2d render target");
    EXPECT_FALSE(holds_target());

    renderer_test_api::exchange_handle(*window.renderer(), own);
    window.root().invalidate(false);
    EXPECT_TRUE(shows_color(window.handle(), 5, 5, 255, 0, 0));
}

// The first frame through a new target can be lost under Wine: a window just shown paints once more by
// itself, and only once.
TEST_F(render_target_lifetime, AFirstFrameThroughANewTargetIsPaintedAgainWithoutInput)
{
    int paints = 0;
    event_manager::instance().connect(&window.root(), &window.root(), event_id::paint,
                                      [&paints](const event_info&) { ++paints; });
    window.set_visible(true);
    ASSERT_TRUE(qzsdk::test::pump_until([&] { return paints >= 2; }))
        << "a window just shown was painted " << paints << " time(s) and never again";
    qzsdk::test::pump_messages();
    EXPECT_EQ(paints, 2);

    window.root().invalidate(false);
    ASSERT_TRUE(qzsdk::test::pump_until([&] { return paints >= 3; }));
    qzsdk::test::pump_messages();
    EXPECT_EQ(paints, 3) << "only a new target's first frame is painted again";

    // Hidden, the target goes; shown again, a new one comes with its own second frame.
    window.set_visible(false);
    window.set_visible(true);
    EXPECT_TRUE(qzsdk::test::pump_until([&] { return paints >= 5; }));
}

TEST_F(render_target_lifetime, TooltipHoldsATargetOnlyWhileShown)
{
    widget target;
    target.attach_to_window(&window.root(), rect{10, 10, 100, 50});
    target.set_tooltip("Title", "text");
    tooltip* tip = tooltip_test_api::of(window);
    ASSERT_NE(tip, nullptr);
    EXPECT_FALSE(tip->renderer()->holds_target());

    tip->show(point{30, 30}, "Title", "text");
    ASSERT_TRUE(qzsdk::test::pump_until([&] { return tip->renderer()->holds_target(); }));
    tip->hide();
    EXPECT_FALSE(tip->renderer()->holds_target());
}

// Direct2D keeps a window target's device with its factory: one factory per window would mean one device each.
TEST_F(render_target_lifetime, WindowsOfAThreadShareOneFactoryAndOtherThreadsHaveTheirOwn)
{
    qzsdk::ui::window other;
    other.create("other", rect{0, 0, 50, 50}, window_style::borderless);
    ID2D1Factory* shared = renderer_test_api::factory(*window.renderer());
    EXPECT_EQ(renderer_test_api::factory(*other.renderer()), shared);

    ID2D1Factory* elsewhere = nullptr;
    std::thread([&] {
        qzsdk::ui::window apart;
        apart.create("apart", rect{0, 0, 50, 50}, window_style::borderless);
        elsewhere = renderer_test_api::factory(*apart.renderer());
    }).join();
    EXPECT_NE(elsewhere, nullptr);
    EXPECT_NE(elsewhere, shared);
}
