#include "toolkit/ui/flow_panel.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/support/window_fixture.h"
#include "toolkit/ui/event_manager.h"

using namespace qzsdk::ui;
using qzsdk::test::window_test;

namespace {

class flow_panels : public window_test {
protected:
    // A widget of the given size placed in the parent.
    widget& add(widget& parent, int32_t width, int32_t height)
    {
        auto& made = *children.emplace_back(std::make_unique<widget>());
        made.attach_to_window(&parent, rect{0, 0, width, height});
        return made;
    }

    // An inner panel of the other orientation that follows its parent: an expanding item.
    flow_panel& add_expanding(widget& parent, int32_t height)
    {
        auto& made = *inner.emplace_back(std::make_unique<flow_panel>(flow_panel::horizontal, true, false, false));
        made.attach_to_window(&parent, rect{0, 0, 100, height});
        made.set_bounds(rect{0, 0, 100, height});
        return made;
    }

    std::vector<std::unique_ptr<flow_panel>> inner;
    std::vector<std::unique_ptr<widget>> children;
};

}  // namespace

TEST_F(flow_panels, ExpandingItemTakesTheRoomLeftAndASecondLayoutChangesNothing)
{
    flow_panel panel(flow_panel::vertical, false, false, false);
    panel.attach_to_window(&window.root(), rect{0, 0, 100, 300});
    flow_panel& grows = add_expanding(panel, 50);
    widget& fixed = add(panel, 40, 20);
    panel.push_item(flow_item::of_gap(10));
    for (int pass = 1; pass <= 2; ++pass) {
        panel.update_layout();
        EXPECT_EQ(grows.bounds(), (rect{0, 0, 100, 270})) << pass;
        EXPECT_EQ(fixed.bounds(), (rect{0, 270, 40, 20})) << pass;
    }
}

TEST_F(flow_panels, HiddenWidgetTakesNoRoomButCountsInTheSum)
{
    flow_panel panel(flow_panel::vertical, false, false, true);
    panel.attach_to_window(&window.root(), rect{0, 0, 80, 200});
    flow_panel& grows = add_expanding(panel, 20);
    widget& hidden = add(panel, 10, 30);
    widget& last = add(panel, 10, 10);
    hidden.set_visible(false);
    panel.update_layout();
    // S = 60, share 140: the grown item is 160 high, the last ends at 170, 30 short of the end.
    EXPECT_EQ(grows.bounds(), (rect{0, 0, 80, 160}));
    EXPECT_EQ(last.bounds(), (rect{0, 160, 80, 10}));
    EXPECT_EQ(hidden.bounds().y, 0);
}

TEST_F(flow_panels, TwoExpandingStretchesCentreAWidget)
{
    flow_panel panel(flow_panel::horizontal, false, false, false);
    panel.attach_to_window(&window.root(), rect{0, 0, 100, 30});
    panel.push_item(flow_item::of_stretch(true));
    widget& middle = add(panel, 20, 12);
    panel.push_item(flow_item::of_stretch(true));
    panel.update_layout();
    EXPECT_EQ(middle.bounds(), (rect{40, 0, 20, 12}));
}

TEST_F(flow_panels, FitToContentTakesTheContentsExtent)
{
    flow_panel column(flow_panel::vertical, false, true, false);
    column.attach_to_window(&window.root(), rect{5, 5, 50, 200});
    for (int i = 0; i < 3; ++i)
        add(column, 30, 20);
    column.update_layout();
    EXPECT_EQ(column.bounds(), (rect{5, 5, 50, 60}));
    EXPECT_EQ(children[2]->bounds(), (rect{0, 40, 30, 20}));

    // Content too long for an expanding share: the panel never becomes negative.
    flow_panel row(flow_panel::horizontal, false, true, true);
    row.attach_to_window(&window.root(), rect{0, 100, 50, 16});
    row.push_item(flow_item::of_gap(7));
    widget& cell = add(row, 30, 4);
    row.update_layout();
    EXPECT_EQ(row.bounds(), (rect{0, 100, 37, 16}));
    EXPECT_EQ(cell.bounds(), (rect{7, 0, 30, 16}));
}

TEST_F(flow_panels, FillParentFollowsTheParentsSize)
{
    widget holder;
    holder.attach_to_window(&window.root(), rect{0, 0, 200, 100});
    flow_panel panel(flow_panel::vertical, true, false, true);
    panel.attach_to_window(&holder, rect{10, 20, 50, 50});
    widget& child = add(panel, 5, 15);
    EXPECT_EQ(panel.bounds(), (rect{10, 20, 190, 50}));
    holder.set_bounds(rect{0, 0, 300, 100});
    EXPECT_EQ(panel.bounds(), (rect{10, 20, 290, 50}));
    EXPECT_EQ(child.bounds(), (rect{0, 0, 290, 15}));
}

TEST_F(flow_panels, TrackedChildrenRelayOutAndRemovedOnesAreForgotten)
{
    flow_panel panel(flow_panel::vertical, false, false, false);
    panel.track_children = true;
    panel.attach_to_window(&window.root(), rect{0, 0, 100, 200});
    widget& first = add(panel, 10, 20);
    widget& second = add(panel, 10, 20);
    panel.update_layout();
    EXPECT_EQ(second.bounds().y, 20);

    first.set_bounds(rect{0, 0, 10, 35});
    EXPECT_EQ(second.bounds().y, 35);
    first.set_visible(false);
    EXPECT_EQ(second.bounds().y, 0);
    first.set_visible(true);
    EXPECT_EQ(second.bounds().y, 35);

    panel.remove_child(&first);
    EXPECT_EQ(panel.items().size(), 1u);
    EXPECT_EQ(second.bounds().y, 35);
    first.set_bounds(rect{0, 0, 10, 50});
    EXPECT_EQ(second.bounds().y, 35);  // no longer followed
    panel.update_layout();
    EXPECT_EQ(second.bounds().y, 0);

    children.erase(children.begin() + 1);  // a destroyed child leaves no item behind
    EXPECT_TRUE(panel.items().empty());
    panel.update_layout();
}

TEST_F(flow_panels, GrowingTrackedChildrenDoNotStartALayoutInsideTheLayout)
{
    flow_panel panel(flow_panel::vertical, false, false, false);
    panel.track_children = true;
    panel.attach_to_window(&window.root(), rect{0, 0, 100, 200});
    flow_panel& top = add_expanding(panel, 20);
    int top_resizes = 0;
    event_manager::instance().connect(&top, &panel, event_id::resized, [&](const event_info&) { ++top_resizes; });
    // The second panel arrives 200 high (it follows its parent) and is then set to 20: one layout with
    // S = 220 shares -10 to each, while the first one's own resize inside it must not lay out again.
    flow_panel& bottom = add_expanding(panel, 20);
    EXPECT_EQ(top_resizes, 1);
    EXPECT_EQ(top.bounds(), (rect{0, 0, 100, 190}));
    EXPECT_EQ(bottom.bounds(), (rect{0, 190, 100, 10}));
}

TEST_F(flow_panels, RemovingTheLastExpandingItemStopsTheSharing)
{
    flow_panel panel(flow_panel::vertical, false, false, false);
    panel.attach_to_window(&window.root(), rect{0, 0, 100, 200});
    flow_panel& grows = add_expanding(panel, 20);
    widget& fixed = add(panel, 10, 10);
    panel.remove_child(&grows);
    panel.set_bounds(rect{0, 0, 100, 300});
    panel.update_layout();
    EXPECT_EQ(fixed.bounds(), (rect{0, 0, 10, 10}));
}
