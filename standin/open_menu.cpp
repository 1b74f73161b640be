#include "standin/open_menu.h"

#include "standin/module_windows.h"

namespace standin {

namespace {

BOOL CALLBACK collect_menu(HWND window, LPARAM found)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && window_class(window) == L"#32768")
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

HMENU menu_of(HWND menu_window)
{
    DWORD_PTR menu = 0;
    SendMessageTimeoutW(menu_window, MN_GETHMENU, 0, 0, SMTO_NORMAL, 1000, &menu);
    return reinterpret_cast<HMENU>(menu);
}

}  // namespace

std::vector<HWND> open_menu_windows()
{
    std::vector<HWND> found;
    EnumWindows(&collect_menu, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::wstring menu_item_text(HMENU menu, int index)
{
    wchar_t buffer[512] = {};
    int length = GetMenuStringW(menu, static_cast<UINT>(index), buffer, 512, MF_BYPOSITION);
    std::wstring text;
    for (int i = 0; i < length && buffer[i] != L'\t'; ++i) {
        // "&&" is a literal ampersand; a single one marks the access key.
        if (buffer[i] == L'&') {
            if (i + 1 >= length || buffer[i + 1] != L'&')
                continue;
            ++i;
        }
        text += buffer[i];
    }
    return text;
}

std::optional<MenuItemLook> find_menu_item(HWND menu_window, const std::wstring& text)
{
    HMENU menu = menu_of(menu_window);
    std::optional<MenuItemLook> found;
    for (int index = 0; menu && index < GetMenuItemCount(menu); ++index) {
        if (menu_item_text(menu, index) != text)
            continue;
        const UINT state = GetMenuState(menu, static_cast<UINT>(index), MF_BYPOSITION);
        MenuItemLook item;
        if (!GetMenuItemRect(nullptr, menu, static_cast<UINT>(index), &item.rect))
            continue;
        item.enabled = !(state & (MF_GRAYED | MF_DISABLED));
        item.lit = state & MF_HILITE;
        if (item.enabled)
            return item;
        if (!found)
            found = item;
    }
    return found;
}

std::optional<RECT> menu_item_rect(HWND menu_window, const std::wstring& text)
{
    const std::optional<MenuItemLook> item = find_menu_item(menu_window, text);
    if (!item || !item->enabled)
        return std::nullopt;
    return item->rect;
}

std::vector<std::wstring> menu_item_texts(HWND menu_window)
{
    std::vector<std::wstring> texts;
    HMENU menu = menu_of(menu_window);
    for (int index = 0; menu && index < GetMenuItemCount(menu); ++index)
        if (std::wstring text = menu_item_text(menu, index); !text.empty())
            texts.push_back(text);
    return texts;
}

}  // namespace standin
