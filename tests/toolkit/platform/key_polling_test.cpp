#include "toolkit/platform/key_polling.h"

#include "tests/support/key_state.h"

#include <gtest/gtest.h>

using namespace qzsdk;
using qzsdk::test::key_state;

TEST(KeyPolling, FiresOnceOnEachRisingEdge)
{
    key_state keys;
    EXPECT_FALSE(key_was_pressed(key_space));
    keys.press(VK_SPACE);
    EXPECT_TRUE(key_was_pressed(key_space));
    EXPECT_FALSE(key_was_pressed(key_space));
    // Edges are kept per code: the virtual key of Space has its own first poll.
    EXPECT_TRUE(key_was_pressed(VK_SPACE));
    keys.release(VK_SPACE);
    EXPECT_FALSE(key_was_pressed(key_space));
    keys.press(VK_SPACE);
    EXPECT_TRUE(key_was_pressed(key_space));
    keys.release(VK_SPACE);

    // A key already held at its first poll fires at once.
    keys.press(VK_TAB);
    EXPECT_TRUE(key_was_pressed(key_tab));
    EXPECT_FALSE(key_was_pressed(key_tab));
}

TEST(KeyPolling, SidesAndTheAltGrControl)
{
    key_state keys;
    keys.press(VK_LCONTROL);
    EXPECT_TRUE(key_is_down(key_control_without_right_alt));
    keys.press(VK_RMENU);
    EXPECT_FALSE(key_is_down(key_control_without_right_alt));
    EXPECT_TRUE(key_is_down(key_left_control));
    EXPECT_FALSE(key_is_down(key_right_control));
    EXPECT_TRUE(key_is_down(key_alt));
    EXPECT_TRUE(key_is_down(key_right_alt));
    EXPECT_FALSE(key_is_down(key_left_alt));

    keys.press(VK_RSHIFT);
    EXPECT_TRUE(key_is_down(VK_SHIFT));
    EXPECT_TRUE(key_is_down(key_shift));
    EXPECT_TRUE(key_is_down(key_right_shift));
    EXPECT_FALSE(key_is_down(key_left_shift));
    keys.press(VK_LWIN);
    EXPECT_TRUE(key_is_down(key_windows));
    EXPECT_TRUE(key_is_down(key_left_windows));
    EXPECT_FALSE(key_is_down(key_right_windows));
}

TEST(KeyPolling, CodesOutsideTheTablesAreNeverDown)
{
    key_state keys;
    keys.press(VK_SPACE);
    keys.press(0x01);
    keys.press(0xFE);
    EXPECT_TRUE(key_is_down(VK_SPACE));
    EXPECT_TRUE(key_is_down(0xFE));
    // 0x120 and 0x101 share their low byte with Space and with 0x01.
    for (int32_t code : {0x120, 0x101, 0, 255, 256, -1, -86, -101})
        EXPECT_FALSE(key_is_down(code)) << code;
    EXPECT_FALSE(key_was_pressed(0x120));
}
