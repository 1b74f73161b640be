#include "toolkit/platform/key_polling.h"

#include "tests/support/key_state.h"

#include <gtest/gtest.h>

#include <initializer_list>

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
    keys.press(VK_RSHIFT);
    keys.press(VK_LWIN);
    using codes = std::initializer_list<int32_t>;
    for (int32_t down : codes{key_left_control, key_alt, key_right_alt, VK_SHIFT, key_shift, key_right_shift,
                              key_windows, key_left_windows})
        EXPECT_TRUE(key_is_down(down)) << down;
    for (int32_t up : codes{key_right_control, key_left_alt, key_left_shift, key_right_windows})
        EXPECT_FALSE(key_is_down(up)) << up;
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
