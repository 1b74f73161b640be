#include "host/hotkey.h"

#include "tests/support/key_state.h"

#include <gtest/gtest.h>

using qzsdk::test::key_state;

namespace {

PopupSettings mode(uint32_t hotkey_mode)
{
    PopupSettings settings;
    settings.hotkey_mode = hotkey_mode;
    return settings;
}

// Polls with every key up first, so the press memory of earlier tests does not count.
bool fires_once(const PopupSettings& settings, key_state& keys, std::initializer_list<int> held, int key)
{
    HotkeyFired(settings);
    for (int modifier : held)
        keys.press(modifier);
    keys.press(key);
    bool first = HotkeyFired(settings);
    bool repeated = HotkeyFired(settings);
    keys.release(key);
    for (int modifier : held)
        keys.release(modifier);
    HotkeyFired(settings);
    return first && !repeated;
}

}  // namespace

TEST(Hotkey, EachModeFiresOnTheRisingEdgeOfItsKeyWithItsModifier)
{
    key_state keys;
    EXPECT_TRUE(fires_once(mode(hotkey_ctrl_space), keys, {VK_LCONTROL}, VK_SPACE));
    EXPECT_TRUE(fires_once(mode(hotkey_ctrl_space), keys, {VK_RCONTROL, VK_LSHIFT}, VK_SPACE));
    EXPECT_FALSE(fires_once(mode(hotkey_ctrl_space), keys, {VK_LSHIFT}, VK_SPACE));
    EXPECT_FALSE(fires_once(mode(hotkey_ctrl_space), keys, {VK_LCONTROL}, VK_TAB));
    EXPECT_TRUE(fires_once(mode(hotkey_shift_space), keys, {VK_RSHIFT}, VK_SPACE));
    EXPECT_FALSE(fires_once(mode(hotkey_shift_space), keys, {VK_LCONTROL}, VK_SPACE));
    EXPECT_TRUE(fires_once(mode(hotkey_ctrl_tab), keys, {VK_LCONTROL}, VK_TAB));
    EXPECT_TRUE(fires_once(mode(hotkey_shift_tab), keys, {VK_LSHIFT}, VK_TAB));
    EXPECT_FALSE(fires_once(mode(hotkey_shift_tab), keys, {}, VK_TAB));
    EXPECT_FALSE(fires_once(mode(17), keys, {VK_LCONTROL}, VK_SPACE));
}

TEST(Hotkey, TheCustomKeyNeedsExactlyItsModifiers)
{
    key_state keys;
    PopupSettings custom = mode(hotkey_custom);
    custom.custom_key = 'F';
    custom.custom_ctrl = 1;
    custom.custom_shift = 1;
    EXPECT_TRUE(fires_once(custom, keys, {VK_LCONTROL, VK_RSHIFT}, 'F'));
    EXPECT_FALSE(fires_once(custom, keys, {VK_LCONTROL, VK_RSHIFT, VK_LMENU}, 'F'));
    EXPECT_FALSE(fires_once(custom, keys, {VK_LCONTROL}, 'F'));
    custom.custom_ctrl = custom.custom_shift = 0;
    EXPECT_TRUE(fires_once(custom, keys, {}, 'F'));
    // No custom key configured: nothing fires, whatever is held.
    custom.custom_key = -1;
    EXPECT_FALSE(fires_once(custom, keys, {}, VK_SPACE));
}
