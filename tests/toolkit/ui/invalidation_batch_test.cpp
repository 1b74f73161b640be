// Repaint requests gathered while a window handles a message: one native rectangle after the message, and
// never a repaint lost to a loop or a paint run inside the handler.
#include "toolkit/ui/invalidation_batch.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/window_fixture.h"
#include "toolkit/ui/event_manager.h"

using namespace qzsdk::ui;
using qzsdk::test::pump_until;
using qzsdk::test::window_test;
using lines = std::vector<std::string>;

namespace {

class batching : public window_test {
protected:
    void SetUp() override
    {
        window_test::SetUp();
        top.name = "top";
        bottom.name = "bottom";
        top.attach_to_window(&window.root(), rect{10, 10, 50, 20});
        bottom.attach_to_window(&window.root(), rect{200, 150, 50, 20});
        record_paints(top);
        record_paints(bottom);
        show_without_focus();
    }
    // The handler runs inside the key's message, as typing runs the popup's search.
    void on_key(WPARAM key, std::function<void()> handler)
    {
        event_manager::instance().connect(&window, &window, event_id::key_down, [key, handler](const event_info& info) {
            if (info.param == key)
                handler();
        });
    }
    bool pending(RECT* update = nullptr)
    {
        RECT ignored{};
        return GetUpdateRect(window.handle(), update ? update : &ignored, FALSE) != FALSE;
    }

    widget top, bottom;
};

}  // namespace

TEST_F(batching, RepaintsAskedForInAHandlerReachTheSystemAsOneRectangleWhenItReturns)
{
    bool native_inside = true;
    on_key('A', [&] {
        top.invalidate(false);
        bottom.invalidate(false);
        native_inside = pending();
    });
    send(WM_KEYDOWN, 'A');
    EXPECT_FALSE(native_inside);
    RECT update{}, both{10, 10, 250, 170};
    ASSERT_TRUE(pending(&update));
    EXPECT_TRUE(EqualRect(&update, &both));
    EXPECT_EQ(paint_now(), (lines{"top", "bottom"}));

    top.invalidate(false);  // outside any message: at once, as before
    EXPECT_TRUE(pending());
}

TEST_F(batching, APaintOrALoopInsideTheHandlerIncludesWhatWasGatheredBeforeIt)
{
    lines painted_inside;
    on_key('A', [&] {
        top.invalidate(false);
        bottom.invalidate(true);  // paints now: the top too
        painted_inside = painted_;
    });
    painted_.clear();
    send(WM_KEYDOWN, 'A');
    EXPECT_EQ(painted_inside, (lines{"top", "bottom"}));
    EXPECT_FALSE(pending());

    // A loop run by the handler (a menu, a modal window) dispatches the window's messages and so its paint.
    painted_.clear();
    bool painted_in_loop = false;
    on_key('B', [&] {
        top.invalidate(false);
        PostMessageW(window.handle(), WM_NULL, 0, 0);
        painted_in_loop = pump_until([&] { return !painted_.empty(); });
    });
    send(WM_KEYDOWN, 'B');
    EXPECT_TRUE(painted_in_loop);
    EXPECT_EQ(painted_.front(), "top");
}

TEST_F(batching, RepaintsAskedForWhilePaintingAreDroppedAndADestroyedWindowIsForgotten)
{
    event_manager::instance().connect(&top, &top, event_id::paint, [this](const event_info&) { top.invalidate(false); });
    top.invalidate(false);
    EXPECT_EQ(paint_now(), lines{"top"});
    EXPECT_FALSE(pending());  // no endless repaint

    auto doomed = std::make_unique<qzsdk::ui::window>();
    doomed->create("doomed", rect{0, 0, 100, 100}, window_style::borderless);
    widget cell;
    cell.attach_to_window(&doomed->root(), rect{0, 0, 50, 50});
    on_key('A', [&] {
        cell.invalidate(false);
        doomed.reset();
    });
    send(WM_KEYDOWN, 'A');
    EXPECT_EQ(doomed, nullptr);
}
