#include "toolkit/ui/popup_menu.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/menu_driver.h"
#include "tests/support/window_fixture.h"

using namespace qzsdk::ui;
using qzsdk::test::menu_driver;
using qzsdk::test::window_test;

namespace {

constexpr uint32_t top_level = 0xFFFFFFFFu;

class popup_menus : public window_test {
protected:
    // The caller's id of the chosen item, -1 for none.
    int32_t track(popup_menu& menu)
    {
        return static_cast<int32_t>(TrackPopupMenuEx(menu.handle(), TPM_RETURNCMD, 40, 40, window.handle(), nullptr)) -
               1;
    }
};

std::wstring item_text(HMENU menu, UINT command)
{
    wchar_t text[64]{};
    GetMenuStringW(menu, command, text, 64, MF_BYCOMMAND);
    return text;
}

}  // namespace

TEST_F(popup_menus, ChoosingASubmenuItemAnswersItsIdPlusOne)
{
    popup_menu_owner menu = popup_menu::create();
    menu->add_item(6, top_level, "Parent");
    menu->add_item(10, 6, "Child");
    menu->add_item(7, top_level, "Other");
    HMENU top = menu->handle();
    ASSERT_EQ(GetMenuItemCount(top), 2);
    HMENU submenu = GetSubMenu(top, 0);
    ASSERT_NE(submenu, nullptr);
    EXPECT_EQ(GetMenuItemID(submenu, 0), 11u);
    EXPECT_EQ(GetMenuItemID(top, 1), 8u);

    menu_driver driver({VK_DOWN, VK_RIGHT, VK_RETURN});
    EXPECT_EQ(track(*menu), 10);
    EXPECT_TRUE(driver.opened());
}

TEST_F(popup_menus, GreyedItemIsNeverChosen)
{
    popup_menu_owner menu = popup_menu::create();
    menu->add_item(1, top_level, "Only");
    menu->set_enabled(1, false);
    EXPECT_NE(GetMenuState(menu->handle(), 2, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED), 0u);
    menu_driver driver({VK_DOWN, VK_RETURN});
    EXPECT_EQ(track(*menu), -1);

    menu->set_enabled(1, true);
    EXPECT_EQ(GetMenuState(menu->handle(), 2, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED), 0u);
}

TEST_F(popup_menus, CheckMarksSeparatorsAndUnknownIds)
{
    popup_menu_owner menu = popup_menu::create();
    menu->add_item(1, top_level, "One");
    menu->add_separator(2, 0);  // no item 0: the top menu
    menu->add_item(3, top_level, "Three");
    menu->add_separator(4, 3);  // item 3 has no submenu yet: nothing
    menu->add_item(5, 3, "Five");
    menu->add_separator(6, 3);
    menu->set_checked(5);
    menu->set_enabled(99, false);
    menu->set_checked(99);

    HMENU top = menu->handle();
    ASSERT_EQ(GetMenuItemCount(top), 3);
    EXPECT_NE(GetMenuState(top, 3, MF_BYCOMMAND) & MF_SEPARATOR, 0u);
    HMENU submenu = GetSubMenu(top, 2);
    ASSERT_NE(submenu, nullptr);
    ASSERT_EQ(GetMenuItemCount(submenu), 2);
    EXPECT_NE(GetMenuState(submenu, 6, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_NE(GetMenuState(submenu, 1, MF_BYPOSITION) & MF_SEPARATOR, 0u);
    EXPECT_EQ(GetMenuState(top, 2, MF_BYCOMMAND) & (MF_CHECKED | MF_GRAYED | MF_DISABLED), 0u);
}

TEST_F(popup_menus, NonAsciiTextReachesTheMenuIntact)
{
    popup_menu_owner menu = popup_menu::create();
    menu->add_item(0, top_level, "Caf\xC3\xA9");
    menu->add_item(1, 0, "\xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_EQ(item_text(menu->handle(), 1), L"Caf\u00E9");
    EXPECT_EQ(item_text(GetSubMenu(menu->handle(), 0), 2), L"\u65E5\u672C");
}

TEST_F(popup_menus, AmpersandsAreShownAsTextNotTakenForMnemonics)
{
    popup_menu_owner menu = popup_menu::create();
    menu->add_item(0, top_level, "Brightness & Contrast");
    menu->add_item(1, 0, "1. B&C");
    // Doubled in the native text, a '&' is drawn as itself and underlines nothing.
    EXPECT_EQ(item_text(menu->handle(), 1), L"Brightness && Contrast");
    EXPECT_EQ(item_text(GetSubMenu(menu->handle(), 0), 2), L"1. B&&C");
}

TEST_F(popup_menus, DestroyingTheOwnerDestroysEveryNativeMenu)
{
    popup_menu_owner menu = popup_menu::create();
    menu->add_item(0, top_level, "Parent");
    menu->add_item(1, 0, "Child");
    HMENU top = menu->handle();
    HMENU submenu = GetSubMenu(top, 0);
    menu.reset();
    EXPECT_FALSE(IsMenu(top));
    EXPECT_FALSE(IsMenu(submenu));
}
