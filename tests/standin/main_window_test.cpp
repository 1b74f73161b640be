#include "standin/host.h"
#include "standin/main_window.h"
#include "tests/support/standin_test_project.h"

#include <gtest/gtest.h>

namespace {

std::wstring item_text(HMENU menu, int position)
{
    wchar_t text[256] = {};
    GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
    return text;
}

MENUITEMINFOW item_info(HMENU menu, int position)
{
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE | MIIM_ID;
    GetMenuItemInfoW(menu, position, TRUE, &info);
    return info;
}

UINT item_state(HMENU menu, int position) { return item_info(menu, position).fState; }
UINT command_of(HMENU menu, int position) { return item_info(menu, position).wID; }

int find_item(HMENU menu, const std::wstring& text)
{
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        if (item_text(menu, i) == text)
            return i;
    return -1;
}

TEST(StandinMenu, FifthMenuIsEffectWithOneSubmenuPerCategory)
{
    standin::Host host(standin_test::test_project());
    HMENU bar = GetMenu(host.main_window());
    ASSERT_GT(GetMenuItemCount(bar), 4);
    EXPECT_EQ(item_text(bar, 4), L"Effect");
    HMENU effects = GetSubMenu(bar, 4);
    // Categories in first-seen order; the empty category has no submenu.
    ASSERT_EQ(GetMenuItemCount(effects), 4);
    EXPECT_EQ(item_text(effects, 0), L"Blur && Sharpen");
    EXPECT_EQ(item_text(effects, 1), L"Stylize \u00e9t\u00e9");
    EXPECT_EQ(item_text(effects, 2), L"_Obsolete");
    EXPECT_EQ(item_text(effects, 3), L"Utility");

    HMENU blur = GetSubMenu(effects, 0);
    EXPECT_EQ(find_item(blur, L"Fill && Stroke"), 1);
    EXPECT_EQ(item_text(GetSubMenu(effects, 1), 0), L"Caf\u00e9 Glow");
    for (int i = 0; i < GetMenuItemCount(effects); ++i)
        EXPECT_EQ(find_item(GetSubMenu(effects, i), L"Fade In"), -1);

    // A greyed effect reads a non-zero state; its category, all greyed, is greyed too.
    HMENU obsolete = GetSubMenu(effects, 2);
    EXPECT_NE(item_state(obsolete, 0), 0u);
    EXPECT_NE(item_state(effects, 2), 0u);
    EXPECT_EQ(item_state(effects, 0), 0u);
    EXPECT_EQ(item_state(blur, 0), 0u);
}

TEST(StandinMenu, CommandAppliesToTheActiveLayerBeforeSendMessageReturns)
{
    standin::Host host(standin_test::test_project());
    HMENU blur = GetSubMenu(GetSubMenu(GetMenu(host.main_window()), 4), 0);
    UINT id = command_of(blur, 1);
    SendMessageW(host.main_window(), WM_COMMAND, id, 0);
    ASSERT_EQ(host.book().applications.size(), 1u);
    const standin::Application& applied = host.book().applications[0];
    EXPECT_EQ(applied.name, "Fill & Stroke");
    EXPECT_EQ(applied.route, standin::ApplyRoute::menu_command);
    EXPECT_EQ(host.book().effect_count(host.project().active_item, host.project().active_layer), 1);

    // A refusing effect's command, a camera or no active layer leaves the project as it was.
    HMENU utility = GetSubMenu(GetSubMenu(GetMenu(host.main_window()), 4), 3);
    SendMessageW(host.main_window(), WM_COMMAND, command_of(utility, 0), 0);
    ASSERT_TRUE(host.project().select_layer("Camera 1"));
    SendMessageW(host.main_window(), WM_COMMAND, command_of(blur, 0), 0);
    host.project().active_layer = -1;
    SendMessageW(host.main_window(), WM_COMMAND, id, 0);
    EXPECT_EQ(host.book().applications.size(), 1u);
}

}  // namespace
