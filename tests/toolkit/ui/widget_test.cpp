#include "toolkit/ui/widget.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "tests/support/window_fixture.h"
#include "toolkit/ui/event_manager.h"

using namespace qzsdk::ui;
using qzsdk::test::event_log;
using qzsdk::test::window_test;

namespace {

class widget_tree : public window_test {
protected:
    void SetUp() override
    {
        window_test::SetUp();
        panel.name = "panel";
        child.name = "child";
        panel.attach_to_window(&window.root(), rect{10, 10, 100, 80});
        child.attach_to_window(&panel, rect{5, 5, 20, 20});
    }

    widget panel;
    widget child;
    event_log log;
};

}  // namespace

TEST_F(widget_tree, AttachFiresShownAttachedThenTheParentsChildAdded)
{
    widget fresh;
    log.listen(&fresh, "fresh", {event_id::shown, event_id::attached, event_id::parent_changed});
    log.listen(&panel, "panel", {event_id::child_added});
    fresh.attach_to_window(&panel, rect{0, 0, 5, 5});
    auto child_param = std::to_string(reinterpret_cast<uint64_t>(&fresh));
    auto panel_param = std::to_string(reinterpret_cast<uint64_t>(&panel));
    EXPECT_EQ(log.take(), (std::vector<std::string>{"fresh:35:0", "fresh:17:0", "fresh:27:" + panel_param,
                                                     "panel:25:" + child_param}));
    EXPECT_EQ(fresh.owner_window(), &window);
    EXPECT_EQ(fresh.parent(), &panel);
}

TEST_F(widget_tree, AnchoredChildFollowsItsParentsSize)
{
    child.anchors.left = {true, 10};
    child.anchors.right = {true, 10};
    child.anchors.bottom = {true, 4};
    log.listen(&child, "child", {event_id::resized, event_id::parent_resized, event_id::parent_moved});
    log.listen(&panel, "panel", {event_id::resized, event_id::moved});
    panel.set_bounds(rect{10, 10, 200, 100});
    EXPECT_EQ(child.bounds(), (rect{10, 76, 180, 20}));
    uint64_t old_size = 100 | (80ull << 32);
    EXPECT_EQ(log.take(), (std::vector<std::string>{"panel:13:" + std::to_string(old_size),
                                                     "child:23:" + std::to_string(old_size)}));
    // The same size again: nothing. A move: 14 and 24, never 13 or 23.
    panel.set_bounds(rect{10, 10, 200, 100});
    EXPECT_TRUE(log.take().empty());
    panel.set_bounds(rect{30, 40, 200, 100});
    uint64_t old_position = 10 | (10ull << 32);
    EXPECT_EQ(log.take(), (std::vector<std::string>{"panel:14:" + std::to_string(old_position),
                                                     "child:24:" + std::to_string(old_position)}));
    // Right and top anchors alone keep the distance to the right edge.
    child.anchors = {};
    child.set_bounds(rect{5, 5, 20, 20});
    child.anchors.right = {true, 5};
    child.anchors.top = {true, 3};
    panel.set_bounds(rect{10, 10, 150, 60});
    EXPECT_EQ(child.bounds(), (rect{125, 3, 20, 20}));
}

TEST_F(widget_tree, VisibilityAndEnabledAreInherited)
{
    widget grandchild;
    grandchild.attach_to_window(&child, rect{0, 0, 5, 5});
    log.listen(&child, "child", {event_id::shown, event_id::hidden});
    panel.set_visible(false);
    EXPECT_FALSE(child.is_visible(true));
    EXPECT_TRUE(child.is_visible(false));
    EXPECT_FALSE(grandchild.is_visible(true));
    // Re-showing a child inside the hidden panel keeps its subtree hidden.
    child.set_visible(false);
    child.set_visible(true);
    EXPECT_FALSE(grandchild.is_visible(true));
    panel.set_visible(true);
    EXPECT_TRUE(grandchild.is_visible(true));
    EXPECT_EQ(log.take(), (std::vector<std::string>{"child:36:0", "child:35:0"}));
    panel.set_visible(true);

    panel.set_enabled(false);
    child.set_enabled(false);
    child.set_enabled(true);
    EXPECT_FALSE(grandchild.is_enabled(true));
    panel.set_enabled(true);
    EXPECT_TRUE(grandchild.is_enabled(true));
}

TEST_F(widget_tree, RemovingAChildFiresAndDropsItsRecordedConnections)
{
    int heard = 0;
    uint32_t hook = event_manager::instance().connect(&child, &panel, event_id::activated,
                                                      [&](const event_info&) { ++heard; });
    panel.record_child_connection(&child, hook);
    log.listen(&child, "child", {event_id::parent_changed});
    log.listen(&panel, "panel", {event_id::child_removed});
    panel.set_visible(false);
    panel.remove_child(&child);
    EXPECT_EQ(log.take(), (std::vector<std::string>{"child:27:0",
                                                     "panel:26:" + std::to_string(reinterpret_cast<uint64_t>(&child))}));
    EXPECT_EQ(child.parent(), nullptr);
    EXPECT_TRUE(child.is_visible(true));
    fire_event(&child, event_id::activated);
    EXPECT_EQ(heard, 0);
    EXPECT_TRUE(panel.children().empty());
}

TEST_F(widget_tree, DestroyingAWidgetDetachesItAndItsChildren)
{
    auto doomed = std::make_unique<widget>();
    doomed->attach_to_window(&panel, rect{0, 0, 10, 10});
    widget orphan;
    orphan.attach_to_window(doomed.get(), rect{0, 0, 5, 5});
    window.set_focus_widget(doomed.get(), 0);
    log.listen(doomed.get(), "doomed", {event_id::destroying, event_id::parent_changed});
    log.listen(&panel, "panel", {event_id::child_removed});
    doomed.reset();
    EXPECT_EQ(log.take().size(), 3u);
    EXPECT_EQ(orphan.parent(), nullptr);
    EXPECT_EQ(window.focused_widget(), nullptr);
    EXPECT_EQ(panel.children().size(), 1u);
}

TEST_F(widget_tree, DestroyedWidgetGetsNoMoreTimerTicks)
{
    auto ticking = std::make_unique<widget>();
    ticking->attach_to_window(&panel, rect{0, 0, 10, 10});
    ticking->set_timer(1, 10, false);
    int ticks = 0;
    event_manager::instance().connect(ticking.get(), &panel, event_id::timer, [&](const event_info&) { ++ticks; });
    ASSERT_TRUE(qzsdk::test::pump_until([&] { return ticks > 0; }));
    ticking.reset();
    int before = ticks;
    // A witness on the same interval: once it has ticked a few times, so would have the destroyed one.
    widget witness;
    witness.attach_to_window(&panel, rect{0, 0, 10, 10});
    witness.set_timer(1, 10, false);
    int witnessed = 0;
    event_manager::instance().connect(&witness, &panel, event_id::timer, [&](const event_info&) { ++witnessed; });
    ASSERT_TRUE(qzsdk::test::pump_until([&] { return witnessed >= 3; }));
    EXPECT_EQ(ticks, before);
}

TEST_F(widget_tree, InvalidateMarksOnlyTheVisibleArea)
{
    show_without_focus();
    child.set_bounds(rect{90, 70, 40, 40});  // pokes out of the panel
    ValidateRect(window.handle(), nullptr);
    child.invalidate(false);
    RECT update{}, visible{100, 80, 110, 90};
    ASSERT_TRUE(GetUpdateRect(window.handle(), &update, FALSE));
    EXPECT_TRUE(EqualRect(&update, &visible));
}

TEST_F(widget_tree, APartIsInvalidatedClippedToTheVisibleAreaAndAResizeCoversAnchoredChildren)
{
    show_without_focus();
    ValidateRect(window.handle(), nullptr);
    child.invalidate_part(rect{15, 2, 40, 4});  // pokes out of the child's right edge
    RECT update{}, part{30, 17, 35, 21};
    ASSERT_TRUE(GetUpdateRect(window.handle(), &update, FALSE));
    EXPECT_TRUE(EqualRect(&update, &part));
    ValidateRect(window.handle(), nullptr);
    child.invalidate_part(rect{30, 0, 10, 10});  // wholly outside
    EXPECT_FALSE(GetUpdateRect(window.handle(), &update, FALSE));

    // A child moved by its anchors is repainted at its new place, within its parent's new area.
    child.anchors.right = {true, 5};
    panel.set_bounds(rect{10, 10, 150, 80});
    ASSERT_TRUE(GetUpdateRect(window.handle(), &update, FALSE));
    const rect moved = child.visible_area();
    EXPECT_EQ(moved.x, 10 + 150 - 5 - 20);
    EXPECT_TRUE(update.left <= moved.x && update.right >= moved.x + moved.width && update.top <= moved.y &&
                update.bottom >= moved.y + moved.height);
}

TEST_F(widget_tree, ThrowingHandlersInADestructorAreReported)
{
    qzsdk::test::reported_exceptions reported;
    auto doomed = std::make_unique<widget>();
    doomed->attach_to_window(&panel, rect{0, 0, 10, 10});
    widget orphan;
    orphan.attach_to_window(doomed.get(), rect{0, 0, 5, 5});
    auto& manager = event_manager::instance();
    manager.connect(doomed.get(), &log, event_id::parent_changed, [](const event_info&) { throw std::runtime_error("27"); });
    manager.connect(doomed.get(), &log, event_id::destroying, [](const event_info&) { throw std::runtime_error("18"); });
    doomed.reset();
    EXPECT_EQ(reported.messages, (std::vector<std::string>{"27", "18"}));
    EXPECT_EQ(orphan.parent(), nullptr);
    EXPECT_EQ(panel.children().size(), 1u);
}

namespace {

// Counts the events it hears of itself: a destructor's last events must not reach a subclass already gone.
template <class Base>
struct self_listening : Base {
    explicit self_listening(int& heard)
    {
        for (uint32_t id : {event_id::destroying, event_id::parent_changed})
            event_manager::instance().connect(this, this, id, [&heard](const event_info&) { ++heard; });
    }
};

}  // namespace

TEST_F(widget_tree, ADyingWidgetOrWindowNeverRunsItsOwnHandlers)
{
    int heard = 0;
    {
        self_listening<widget> dying(heard);
        dying.attach_to_window(&panel, rect{0, 0, 5, 5});
        log.listen(&dying, "dying", {event_id::destroying});
        heard = 0;
    }
    { self_listening<qzsdk::ui::window> dying(heard); }
    EXPECT_EQ(heard, 0);
    EXPECT_EQ(log.take(), (std::vector<std::string>{"dying:18:0"}));
}
