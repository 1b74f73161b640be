#include <gtest/gtest.h>

#include "popup/effects_theme.h"
#include "preferences/preferences_shortcut_popup.h"
#include "tests/support/modal_script.h"
#include "tests/support/window_fixture.h"

using namespace qzsdk::ui;
using qzsdk::test::modal_script;
using qzsdk::test::post_click;
using qzsdk::test::post_key;

namespace {

class shortcut_popup : public qzsdk::test::window_test {
protected:
    void SetUp() override
    {
        window_test::SetUp();
        show_without_focus();
    }

    std::vector<EffectsTheme> themes = build_effects_themes();
    PopupSettings settings;
};

// The OK button sits at the bottom left of the 300 x 140 popup.
constexpr int ok_x = 40;
constexpr int ok_y = 120;

}  // namespace

TEST_F(shortcut_popup, ModifierKeysAloneAndImpossibleKeyCodesAreNotCaptured)
{
    PreferencesShortcutPopup popup(&window, point{400, 300}, &settings, &themes[0]);
    HWND handle = popup.handle();
    EXPECT_EQ(popup.key_label.text(), "CTRL + ");
    EXPECT_FALSE(popup.ok_button.is_enabled(false));
    std::vector<std::function<void()>> steps;
    for (UINT key : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LWIN, VK_RWIN, VK_LSHIFT, VK_RCONTROL})
        steps.push_back([handle, key] { post_key(handle, key); });
    steps.push_back([handle] { PostMessageW(handle, WM_KEYDOWN, 0, 1); });
    steps.push_back([handle] { PostMessageW(handle, WM_KEYDOWN, 0xFF, 1); });
    steps.push_back([handle] { PostMessageW(handle, WM_KEYDOWN, 0x1234, 1); });
    steps.push_back([&] {
        EXPECT_EQ(popup.key_code, -1);
        EXPECT_EQ(popup.key_label.text(), "CTRL + ");
        EXPECT_FALSE(popup.ok_button.is_enabled(false));
    });
    modal_script script(std::move(steps));
    EXPECT_EQ(script.run(popup), 0);
}

TEST_F(shortcut_popup, KeyWithATickedModifierIsCapturedAndTabEnterAndEscapeAreKeys)
{
    PreferencesShortcutPopup popup(&window, point{400, 300}, &settings, &themes[1]);
    HWND handle = popup.handle();
    modal_script script({[&] { post_key(handle, VK_TAB); },
                         [&] { post_key(handle, VK_RETURN); },
                         [&] { EXPECT_EQ(popup.key_code, VK_RETURN); },  // a key, not a press of a button
                         [&] { post_key(handle, VK_F5); },
                         [&] {
                             EXPECT_EQ(popup.key_code, VK_F5);
                             EXPECT_EQ(popup.key_label.text(), "CTRL + " + popup.key_name);
                             EXPECT_FALSE(popup.key_name.empty());
                             EXPECT_TRUE(popup.ok_button.is_enabled(false));
                         },
                         [&] { post_key(handle, VK_ESCAPE); },
                         [&] { EXPECT_EQ(popup.key_code, VK_ESCAPE); },
                         [&] { post_click(handle, ok_x, ok_y); }});
    EXPECT_EQ(script.run(popup), 1);
    EXPECT_EQ(popup.key_code, VK_ESCAPE);
    EXPECT_EQ(popup.ctrl, 1u);
    EXPECT_EQ(popup.alt + popup.shift + popup.win, 0u);
}

TEST_F(shortcut_popup, TheLastTickedModifierCannotBeUnticked)
{
    PreferencesShortcutPopup popup(&window, point{400, 300}, &settings, &themes[0]);
    HWND handle = popup.handle();
    modal_script script({[&] { post_click(handle, 37, 20); },
                         [&] {
                             EXPECT_TRUE(popup.ctrl_ticked);
                             EXPECT_TRUE(popup.ctrl_box.is_checked());
                         },
                         [&] { post_click(handle, 132, 20); },
                         [&] { post_click(handle, 37, 20); },
                         [&] {
                             EXPECT_FALSE(popup.ctrl_ticked);
                             EXPECT_TRUE(popup.alt_ticked);
                             EXPECT_EQ(popup.key_label.text(), "ALT + ");
                         }});
    EXPECT_EQ(script.run(popup), 0);
}

TEST_F(shortcut_popup, StoredKeyIsShownOnlyWhenItCouldHaveBeenCaptured)
{
    settings.custom_key = VK_F7;
    settings.custom_win = 1;
    settings.custom_key_name = "F7";
    {
        PreferencesShortcutPopup popup(&window, point{400, 300}, &settings, &themes[0]);
        EXPECT_EQ(popup.key_label.text(), "WIN + F7");
        EXPECT_FALSE(popup.win_box.is_visible(false));
        EXPECT_TRUE(popup.ok_button.is_enabled(false));
        EXPECT_EQ(popup.key_code, VK_F7);
    }
    // A damaged settings file: a modifier as the key, or a key without any modifier.
    for (auto [key, win] : {std::pair{VK_CONTROL, 1u}, std::pair{VK_F7, 0u}, std::pair{0x1FF, 1u}}) {
        settings.custom_key = key;
        settings.custom_win = win;
        PreferencesShortcutPopup popup(&window, point{400, 300}, &settings, &themes[0]);
        EXPECT_EQ(popup.key_code, -1);
        EXPECT_EQ(popup.key_label.text(), "CTRL + ");
        EXPECT_FALSE(popup.ok_button.is_enabled(false));
    }
}
