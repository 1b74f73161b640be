#include "toolkit/ui/check_box.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "tests/support/test_strip.h"
#include "tests/support/window_fixture.h"
#include "tests/support/window_snapshot.h"

using namespace qzsdk::ui;
using qzsdk::test::frame_number;
using qzsdk::test::numbered_frames;
using qzsdk::test::test_strip;
using qzsdk::test::window_snapshot;
using qzsdk::test::window_test;

namespace {

using lines = std::vector<std::string>;

// Records each value change with its phase and flag, and what the bound variable held when it was heard.
class change_log : public event_object {
public:
    change_log(check_box& box, const bool* variable)
    {
        event_manager::instance().connect(&box, this, event_id::value_changed, [this, variable](const event_info& i) {
            seen.push_back(std::to_string(i.phase) + "/" + std::to_string(i.flag) + "/" + std::to_string(i.param) +
                           (variable ? (*variable ? " on" : " off") : ""));
        });
    }
    std::vector<std::string> seen;
};

// A 200 x 20 check box at (10, 10) with the default 14 x 14 box image.
class check_box_test : public window_test {
protected:
    void SetUp() override
    {
        window_test::SetUp();
        box.attach_to_window(&window.root(), rect{10, 10, 200, 20});
        move_to(250, 150);  // arms leave tracking
    }

    void click(UINT down, UINT up)
    {
        mouse(down, 20, 20);
        mouse(up, 20, 20);
    }
    int frame_at(int32_t x, int32_t y) { return frame_number(window_snapshot(window).pixel(x, y)); }

    check_box box;
    bool value = false;
};

}  // namespace

TEST_F(check_box_test, EightArrangementsOfBoxAndLabel)
{
    box.set_layout(0, 5);
    EXPECT_EQ(box.box_rect(), (rect{0, 3, 14, 14}));
    EXPECT_EQ(box.label_rect().x, 14);  // an empty label takes no gap
    box.set_text("Full resolution");
    const int32_t tw = box.label_rect().width;
    ASSERT_GT(tw, 20);
    ASSERT_LT(tw, 150);
    const int32_t spare = 200 - 14 - 5 - tw;
    // mode: box x, label x
    const std::vector<std::array<int32_t, 3>> expected = {
        {0, 0, 19},           {1, spare, 200 - tw},       {2, spare / 2, spare / 2 + 19}, {3, 0, 200 - tw},
        {4, tw + 5, 0},       {5, 186, 186 - 5 - tw},     {6, spare / 2 + 5 + tw, spare / 2}, {7, 186, 0},
        {9, 186, 0},
    };
    for (const auto& [mode, box_x, label_x] : expected) {
        box.set_layout(uint32_t(mode), 5);
        EXPECT_EQ(box.box_rect().x, box_x) << mode;
        EXPECT_EQ(box.label_rect().x, label_x) << mode;
    }
    // Narrower than box and label: positions go left of 0 (signed), not thousands to the right.
    box.set_bounds(rect{10, 10, 30, 20});
    box.set_layout(1, 5);
    EXPECT_LT(box.box_rect().x, 0);
}

TEST_F(check_box_test, DisabledUntilBoundThenEachFlipFiresTwice)
{
    EXPECT_FALSE(box.is_enabled(false));
    click(WM_LBUTTONDOWN, WM_LBUTTONUP);
    EXPECT_FALSE(box.is_checked());
    value = true;
    box.bind_value(&value);
    EXPECT_TRUE(box.is_enabled(false));
    EXPECT_TRUE(box.is_checked());
    change_log log(box, &value);
    click(WM_LBUTTONDOWN, WM_LBUTTONUP);
    EXPECT_FALSE(value);
    EXPECT_EQ(log.seen, (lines{"0/0/0 on", "2/0/0 off"}));
    log.seen.clear();
    click(WM_RBUTTONDOWN, WM_RBUTTONUP);
    EXPECT_TRUE(value);
    mouse(WM_LBUTTONDOWN, 20, 20);  // released off the box, then a press elsewhere released over it
    mouse(WM_LBUTTONUP, 250, 150);
    mouse(WM_LBUTTONDOWN, 250, 150);
    mouse(WM_LBUTTONUP, 20, 20);
    EXPECT_TRUE(value);
    window.set_focus_widget(&box, 0);
    send(WM_KEYDOWN, VK_SPACE);
    EXPECT_TRUE(value);  // only the release flips
    send(WM_KEYUP, VK_SPACE);
    EXPECT_FALSE(value);
    send(WM_KEYUP, 'A');
    EXPECT_EQ(log.seen.size(), 4u);
}

TEST_F(check_box_test, TheVariableRulesWhatIsDrawnAndWhatIsFlipped)
{
    test_strip strip(10, 10, numbered_frames(4));
    box.properties.set_image("checkbox_image", strip.value());
    box.set_layout(0, 5);
    EXPECT_EQ(box.box_rect(), (rect{0, 5, 10, 10}));
    box.bind_value(&value);
    EXPECT_EQ(frame_at(15, 20), 0);
    value = true;  // changed elsewhere, without an event
    EXPECT_EQ(frame_at(15, 20), 1);
    move_to(15, 20);
    EXPECT_EQ(frame_at(15, 20), 3);  // hovered and checked
    box.set_enabled(false);
    EXPECT_EQ(frame_at(15, 20), 2);  // disabled, a checked box shows unchecked (hovered)
    box.set_enabled(true);
    value = false;
    mouse(WM_LBUTTONDOWN, 15, 20);
    mouse(WM_LBUTTONUP, 15, 20);  // flips what the variable holds, not the last painted state
    EXPECT_TRUE(value);

    test_strip single(10, 10, numbered_frames(1));
    box.properties.set_image("checkbox_image", single.value());
    EXPECT_EQ(frame_at(15, 20), 0);  // one frame is all it has
    embedded_image no_frames = strip.value();
    no_frames.frame_count = 0;
    box.properties.set_image("checkbox_image", no_frames);
    EXPECT_EQ(box.box_rect().height, 40);  // one frame of the whole strip
}

TEST_F(check_box_test, UnbindingLetsTheVariableDieFirst)
{
    auto owned = std::make_unique<bool>(true);
    box.bind_value(owned.get());
    box.bind_value(nullptr);
    owned.reset();
    EXPECT_FALSE(box.is_enabled(false));
    EXPECT_TRUE(box.is_checked());
    click(WM_LBUTTONDOWN, WM_LBUTTONUP);
    window_snapshot survives(window);
    EXPECT_TRUE(box.is_checked());
}

TEST_F(window_test, ABoxBoundBeforeAttachStaysEnabledAndMayDieInItsOwnHandler)
{
    bool value = false;
    auto box = std::make_unique<check_box>();
    box->bind_value(&value);
    box->attach_to_window(&window.root(), rect{0, 0, 100, 20});
    EXPECT_TRUE(box->is_enabled(false));
    event_object listener;
    event_manager::instance().connect(box.get(), &listener, event_id::value_changed,
                                      [&](const event_info&) { box.reset(); });
    mouse(WM_LBUTTONDOWN, 5, 5);
    mouse(WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(box, nullptr);
    EXPECT_FALSE(value);  // gone before the change
}
