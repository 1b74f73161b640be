#pragma once
// The native popup menus open in this process (class "#32768"), read from any thread of it.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace standin {

// Visible menu windows, the most recently opened (foremost) first.
std::vector<HWND> open_menu_windows();
// An item's text without its "&" marks and its accelerator part after a tab.
std::wstring menu_item_text(HMENU menu, int index);
struct MenuItemLook {
    bool enabled = false;
    bool lit = false;  // the menu's loop runs and follows the cursor over it
    RECT rect{};       // on the screen
};
// The item of that text in the menu window's menu as it is now: the first enabled one of that text, else the
// first; none when there is no such item.
std::optional<MenuItemLook> find_menu_item(HWND menu_window, const std::wstring& text);
// The screen rectangle of the enabled item of that text in the menu window's menu.
std::optional<RECT> menu_item_rect(HWND menu_window, const std::wstring& text);
// The texts of the menu window's items, for messages.
std::vector<std::wstring> menu_item_texts(HWND menu_window);

}  // namespace standin
