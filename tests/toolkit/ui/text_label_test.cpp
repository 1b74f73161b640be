#include "toolkit/ui/text_label.h"

#include <gtest/gtest.h>

#include "tests/support/window_fixture.h"
#include "tests/support/window_snapshot.h"

using namespace qzsdk::ui;
using qzsdk::test::looks_like;
using qzsdk::test::window_snapshot;
using qzsdk::test::window_test;

namespace {

// Red text on a transparent 200 x 40 label at (0, 0).
class label_test : public window_test {
protected:
    void SetUp() override
    {
        window_test::SetUp();
        label.attach_to_window(&window.root(), rect{0, 0, 200, 40});
        label.set_back_color({0, 0, 0, 0});
        label.properties.set_color("label_font_color", {1, 0, 0, 1});
        label.properties.set_scalar("label_font_size", 20.0f);
        label.set_text("MMM");
    }

    struct ink {
        int left = 0, right = 0, strongest = 0;
    };
    ink find_ink()
    {
        window_snapshot shot(window);
        ink found;
        for (int32_t y = 1; y < 39; ++y)
            for (int32_t x = 1; x < 199; ++x) {
                const int red = shot.pixel(x, y).r;
                if (red > 60)
                    ++(x < 100 ? found.left : found.right);
                found.strongest = std::max(found.strongest, red);
            }
        return found;
    }

    text_label label;
};

}  // namespace

TEST_F(label_test, AutoSizingFollowsTheTextUntilSetTextTurnsItOff)
{
    label.auto_width = true;
    label.properties.set_scalar("label_font_size", 12.0f);
    const rect small = label.bounds();
    EXPECT_GT(small.width, 5);
    EXPECT_LT(small.width, 200);
    EXPECT_EQ(small.height, 40);
    EXPECT_EQ(label.initial_bounds(), small);
    label.auto_height = true;
    label.properties.set_scalar("label_font_size", 24.0f);
    EXPECT_GT(label.bounds().width, small.width);
    EXPECT_GT(label.bounds().height, 10);
    EXPECT_LT(label.bounds().height, 40);
    const rect grown = label.bounds();
    label.set_text("MMMMMMMMMM");
    EXPECT_FALSE(label.auto_width);
    EXPECT_FALSE(label.auto_height);
    EXPECT_EQ(label.bounds(), grown);
    label.auto_width = label.auto_height = true;
    label.set_text("");
    label.auto_width = label.auto_height = true;
    label.measure();
    EXPECT_EQ(label.bounds().width, 0);
    EXPECT_EQ(label.bounds().height, 0);
}

TEST_F(label_test, AlignmentAndDisabledOpacity)
{
    const ink left = find_ink();
    EXPECT_GT(left.left, 0);
    EXPECT_EQ(left.right, 0);
    EXPECT_GT(left.strongest, 200);
    label.properties.set_scalar("label_text_align", int32_t(2));
    const ink right = find_ink();
    EXPECT_EQ(right.left, 0);
    EXPECT_GT(right.right, 0);
    label.set_enabled(false);
    EXPECT_LT(find_ink().strongest, 140);
}

TEST_F(label_test, RichTextDrawsItsRuns)
{
    label.runs = {text_style_range{2, 0, false, "", 20.0f, 0, 3, {0, 1, 0, 1}}};
    label.rich = true;
    label.invalidate(false);
    window_snapshot shot(window);
    int green = 0, red = 0;
    for (int32_t y = 1; y < 39; ++y)
        for (int32_t x = 1; x < 100; ++x) {
            green += shot.pixel(x, y).g > 200;
            red += shot.pixel(x, y).r > 60;
        }
    EXPECT_GT(green, 0);
    EXPECT_EQ(red, 0);
}
